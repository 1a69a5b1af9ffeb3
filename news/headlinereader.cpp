// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "news/headlinereader.h"

#include "common/pagetext.h"
#include "news/textrepair.h"

using PageText::cut;
using PageText::find;
using PageText::keepUnlessFailed;

QString unavailableCaption(const QString& clock) {
    return QStringLiteral("  ") + clock + QStringLiteral(" - Dati non disponibili  ");
}

HeadlineBatch readHeadlines(QStringView page, const HeadlineLinks& previousLinks, const QString& clock) {
    HeadlineBatch batch{{}, previousLinks};
    // Positions and the title outlive a pass: a pass whose searches cannot be made reuses
    // what the pass before it found.
    qsizetype start = 1, marker = 0, nbsp = 0, anchorEnd = 0, href = 0, tagEnd = 0;
    QString title;
    for (int pass = 0; pass < HeadlineCount; ++pass) {
        keepUnlessFailed(marker, find(page, start, u"StrilloTelevideo"));
        keepUnlessFailed(nbsp, find(page, marker, u"&nbsp;"));
        keepUnlessFailed(anchorEnd, find(page, marker, u"</a>"));
        QString time;
        keepUnlessFailed(time, cut(page, nbsp - 5, 5));
        if (time.isEmpty()) {
            batch.captions[pass] = unavailableCaption(clock);
        } else {
            keepUnlessFailed(title, cut(page, nbsp + 6, anchorEnd - nbsp - 6));
            title = repairAccents(title.remove(QChar(u'\t')));
            time.replace(QChar(u'.'), QChar(u':'));
            batch.captions[pass] = QStringLiteral("  ") + time + QStringLiteral(" - ") + title + QStringLiteral("  ");
        }
        keepUnlessFailed(href, find(page, marker, u"href="));
        keepUnlessFailed(tagEnd, find(page, href, u">"));
        keepUnlessFailed(batch.links[pass], cut(page, href + 6, tagEnd - href - 7));
        start = marker + 1;
    }
    return batch;
}
