// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/detailpage.h"

QByteArray renderDetailPage(const QString& title, const QString& text, const QString& source) {
    const QByteArray utf8Title = title.toUtf8();
    QByteArray page;
    page += "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    page += utf8Title;
    page += " - Televideo</title>\n</head>\n<body>\n<div class=\"notizia\">\n";
    page += "<div class=\"popup05\"><h2>";
    page += utf8Title;
    page += "</h2></div>\r\n\r\n";
    page += text.toUtf8();
    // Closes the "notizia" block; the reader stops two characters before it.
    page += "\r\n</div>\n";
    if (!source.isEmpty()) {
        // An encoded address needs only its ampersands written as references.
        page += "<p><a href=\"" + QString(source).replace(u'&', QStringLiteral("&amp;")).toLatin1() +
                "\">Leggi la notizia sul sito della fonte</a></p>\n";
    }
    page += "<p><a href=\"/notizietelevideo/\">Torna alle ultime notizie</a></p>\n</body>\n</html>\n";
    return page;
}
