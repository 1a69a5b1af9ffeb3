// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/headlinepage.h"

QByteArray renderHeadlinePage(const QList<HeadlineRecord>& records) {
    QByteArray page;
    page += "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>Televideo - Ultime notizie</title>\n</head>\n<body>\n<h1>Ultime notizie</h1>\n"
            "<div class=\"notizie\">\n";
    for (const HeadlineRecord& record : records) {
        page += "<div class=\"StrilloTelevideo\"><a href=\"";
        page += record.link.toUtf8();
        page += "\">";
        page += record.time.toUtf8();
        page += "&nbsp;";
        page += record.title.toUtf8();
        page += "</a></div>\n";
    }
    page += "</div>\n<p><a href=\"/\">Home page</a></p>\n</body>\n</html>\n";
    return page;
}
