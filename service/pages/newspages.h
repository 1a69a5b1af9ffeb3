// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/feed/newspublisher.h"
#include "service/pages/newsedition.h"
#include "service/pages/page.h"
#include "service/pages/sitecontent.h"

#include <QStringView>

// The news pages served at one time: the sample news until a feed is published, then the
// newest reading's. The detail pages of the news a reading replaces stay reachable until
// the next one, so that a headline the bar read just before the change still opens.
class NewsPages : public NewsPublisher {
public:
    NewsPages();

    bool publish(const FeedReading& reading) override;

    Page headlines() const;
    // `link` as the headline page writes it ("/notizie/feed/0123456789abcdef.html"). A link
    // of that form (or of the sample news') that names no item served now or just before
    // gets a detail page saying the item is gone, never to be kept by a cache; any other
    // link gets "not found".
    Page detail(QStringView link) const;
    // The news site's home page: while a feed is served, a redirect to the feed's site.
    Page home() const;
    Page makerPage() const;

    // How long a cache may keep the headlines and the news items.
    static constexpr int MaxAgeSeconds = 180;
    static constexpr QStringView GoneTitle = u"Notizia non disponibile";
    static constexpr QStringView GoneText = u"Notizia non più disponibile.";

private:
    SiteContent m_content;
    NewsEdition m_news;
    NewsEdition m_previousNews;
};
