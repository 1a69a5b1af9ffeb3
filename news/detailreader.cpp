// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "news/detailreader.h"

#include "common/pagetext.h"
#include "news/textrepair.h"

#include <algorithm>

using PageText::cut;
using PageText::find;
using PageText::keepUnlessFailed;
using PageText::shortened;

namespace {
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// In one pass, the same text as these replacements made in turn over the whole text:
// "," by ", "; then "  " by " " (left to right, so a run of n blanks keeps n - n / 2);
// then ", d" by ",d" for each digit d. Replacing in place would move the rest of a long
// text for every match.
QString tidyCommasAndBlanks(QStringView text) {
    // Each comma adds at most one character.
    QString tidy(text.size() + text.count(u','), Qt::Uninitialized);
    QChar* out = tidy.data();
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u',' && c != u' ') {
            *out++ = c;
            ++i;
            continue;
        }
        // A comma gains a blank before the blanks that follow it; the run is then halved.
        const bool comma = c == u',';
        if (comma)
            *out++ = c;
        qsizetype blanks = comma ? 1 : 0;
        for (i += comma ? 1 : 0; i < text.size() && text[i] == u' '; ++i)
            ++blanks;
        const qsizetype kept = blanks - blanks / 2;
        // The blank after a comma goes where a digit follows it directly.
        const bool digitAfterComma = comma && kept == 1 && i < text.size() && isDigit(text[i]);
        if (!digitAfterComma)
            out = std::fill_n(out, kept, QChar(u' '));
    }
    tidy.truncate(out - tidy.constData());
    return tidy;
}
} // namespace

QString readDetail(QStringView page) {
    qsizetype marker = 0, firstDiv = 0, secondDiv = 0;
    keepUnlessFailed(marker, find(page, 1, u"popup05"));
    keepUnlessFailed(firstDiv, find(page, marker, u"</div>"));
    keepUnlessFailed(secondDiv, find(page, firstDiv + 1, u"</div>"));
    // Only what the panel can show is cut and tidied. Tidying halves runs of blanks and the
    // repair turns pairs into one vowel, so twice the shown length, and a little more, is
    // enough to tell what the panel shows and whether the text goes on; the limit is then
    // counted on the tidy text.
    const qsizetype length = std::min(secondDiv - firstDiv - 12, 2 * MaxDetailChars + 8);
    QString text;
    keepUnlessFailed(text, cut(page, firstDiv + 10, length));
    return shortened(repairAccents(tidyCommasAndBlanks(text)), MaxDetailChars);
}

QString detailFailureText(const QString& message) { return QStringLiteral("\r\n") + message + QStringLiteral("\r\n"); }
