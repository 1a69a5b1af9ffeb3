// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/feededition.h"

#include "common/pagetext.h"
#include "service/pages/detailpage.h"
#include "service/pages/headlinepage.h"
#include "service/pages/tickertext.h"

#include <QCryptographicHash>
#include <QTimeZone>

#include <optional>

namespace {

QString identity(const FeedItem& item) {
    if (!item.id.isEmpty())
        return QStringLiteral("id:") + item.id;
    if (!item.link.isEmpty())
        return QStringLiteral("link:") + item.link;
    return QStringLiteral("title:") + item.title + u'\n' + item.published.toString(Qt::ISODate);
}

QString linkOf(const FeedItem& item) {
    const QByteArray digest = QCryptographicHash::hash(identity(item).toUtf8(), QCryptographicHash::Sha256);
    return FeedDetailFolder.toString() + QString::fromLatin1(digest.left(8).toHex()) + QStringLiteral(".html");
}

// `local` is the system's time zone, looked up at the first item with a time: the C
// library's local time would look for the zone's file at every call.
QString timeOf(const FeedItem& item, std::optional<QTimeZone>& local) {
    if (!item.published.isValid())
        return QStringLiteral("--.--");
    // A day alone is the day the feed wrote: moved to another zone, midnight could change it.
    if (item.dayOnly)
        return item.published.toString(QStringLiteral("dd/MM"));
    if (!local)
        local = QTimeZone::systemTimeZone();
    return (local->isValid() ? item.published.toTimeZone(*local) : item.published.toLocalTime())
        .toString(QStringLiteral("hh.mm"));
}

} // namespace

NewsEdition renderFeedEdition(QList<FeedItem> items) {
    sortNewestFirst(items, BarHeadlines);
    std::optional<QTimeZone> local;
    NewsEdition edition;
    QList<HeadlineRecord> records;
    for (const FeedItem& item : items) {
        if (records.size() == MaxFeedHeadlines)
            break;
        const QString title = PageText::shortened(tickerText(item.title), MaxTitleLength, PageText::Cut::AtBlank);
        if (title.isEmpty())
            continue; // nothing of it can be shown
        QString link = linkOf(item);
        // Two items of one identity are one item given twice: the first stands.
        if (edition.detailPages.contains(link))
            continue;
        const QString text = PageText::shortened(tickerText(item.text), MaxTextLength, PageText::Cut::AtBlank);
        edition.detailPages.insert(link, renderDetailPage(title, text.isEmpty() ? title : text, webAddress(item.link)));
        records.append({timeOf(item, local), title, std::move(link)});
    }
    edition.headlinePage = renderHeadlinePage(records);
    return edition;
}
