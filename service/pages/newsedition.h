// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The news pages the service serves at one time: the headline page and the detail page
// of each link it lists, by link as the headline page writes it.
struct NewsEdition {
    QByteArray headlinePage;
    QHash<QString, QByteArray> detailPages;
    // Where the news site's home page sends the browser: the web site the news come from.
    // Empty for the sample news, whose home page is served here.
    QString siteLink;
};
