// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/newspages.h"

#include "service/pages/detailpage.h"
#include "service/pages/feededition.h"

#include <QRegularExpression>

#include <QUrl>

#include <utility>

NewsPages::NewsPages() {
    m_news.headlinePage = m_content.headlinePage();
    for (const QString& link : m_content.detailLinks())
        m_news.detailPages.insert(link, m_content.detailPage(link).value_or(QByteArray()));
}

bool NewsPages::publish(const FeedReading& reading) {
    NewsEdition edition = renderFeedEdition(reading.items);
    if (edition.detailPages.isEmpty())
        return false;
    edition.siteLink = reading.siteLink;
    m_previousNews = std::exchange(m_news, std::move(edition));
    return true;
}

Page NewsPages::headlines() const { return Page::html(m_news.headlinePage, MaxAgeSeconds); }

Page NewsPages::detail(QStringView link) const {
    for (const NewsEdition* news : {&m_news, &m_previousNews})
        if (const auto page = news->detailPages.constFind(link.toString()); page != news->detailPages.constEnd())
            return Page::html(*page, MaxAgeSeconds);
    // The link of an item served before: the bar shows that it is gone. Not to be kept,
    // as the link may name an item again after the service reads its feed.
    static const QRegularExpression itemLink(
        QStringLiteral("^(/notizie/feed/[0-9a-f]{16}|/notizie/\\d{4}/\\d\\d/\\d\\d/[a-z]+)\\.html$"));
    if (itemLink.match(link).hasMatch())
        return Page::html(renderDetailPage(GoneTitle.toString(), GoneText.toString()));
    return Page::notFound();
}

Page NewsPages::home() const {
    if (m_news.siteLink.isEmpty())
        return Page::html(m_content.newsHomePage());
    // Encoded, the address holds no quote, angle bracket or line break.
    const QByteArray target = QUrl(m_news.siteLink).toEncoded();
    Page redirect = Page::html("<!DOCTYPE html>\n<p><a href=\"" + target + "\">" + target + "</a></p>\n");
    redirect.status = Page::Status::Found;
    redirect.location = target;
    return redirect;
}

Page NewsPages::makerPage() const { return Page::html(m_content.makerPage()); }
