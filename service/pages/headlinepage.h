// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One record of the headline page.
struct HeadlineRecord {
    QString time;  // "18.40": five characters
    QString title; // plain text
    QString link;  // "/notizie/feed/0123456789abcdef.html"
};

// The news service's headline page in UTF-8, one "StrilloTelevideo" record per headline
// in the given order: <div class="StrilloTelevideo"><a href="LINK">TIME&nbsp;TITLE</a></div>
// The ticker takes the time from the five characters before the first "&nbsp;" after the
// marker, the title from there to the first "</a>", the link from between 'href="' and
// the next '>' less one. So the title holds no '<', '>', '&' (the ticker shows the page's
// characters as they are) nor tabs (it drops them), and the link no '"' or '>'.
QByteArray renderHeadlinePage(const QList<HeadlineRecord>& records);
