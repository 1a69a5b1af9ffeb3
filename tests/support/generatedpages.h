// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>

// A headline page of `records` records, record i reading "12.00&nbsp;Titolo numero i" and
// linking to /n/i.html.
inline QByteArray headlinePage(int records) {
    QByteArray page = "<html><body>\n";
    for (int i = 0; i < records; ++i)
        page += "<div class=\"StrilloTelevideo\"><a href=\"/n/" + QByteArray::number(i) +
                ".html\">12.00&nbsp;Titolo numero " + QByteArray::number(i) + "</a></div>\n";
    return page + "</body></html>\n";
}
