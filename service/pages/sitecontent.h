// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The pages the service serves as they are, all compiled in: the headline page, the detail
// page of each news item, the news service's home page and the program's page on the
// maker's site. Detail pages are looked up by exact link, so a request can only ever reach
// a page of this set.
class SiteContent {
public:
    SiteContent();

    QByteArray headlinePage() const { return m_headlinePage; }
    QByteArray newsHomePage() const { return m_newsHomePage; }
    QByteArray makerPage() const { return m_makerPage; }

    // `link` as the headline page writes it ("/notizie/2026/12/06/mercati.html").
    std::optional<QByteArray> detailPage(QStringView link) const;
    QStringList detailLinks() const { return m_detailPages.keys(); }

private:
    void loadDetailPages();

    QByteArray m_headlinePage;
    QByteArray m_newsHomePage;
    QByteArray m_makerPage;
    QHash<QString, QByteArray> m_detailPages;
};
