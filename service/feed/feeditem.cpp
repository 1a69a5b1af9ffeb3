#include "service/feed/feeditem.h"

#include <QUrl>

#include <algorithm>

QString webAddress(const QString& link) {
    const QUrl url(link, QUrl::StrictMode);
    const bool web = url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
    return web ? url.toString(QUrl::FullyEncoded) : QString();
}

void sortNewestFirst(QList<FeedItem>& items) {
    std::stable_sort(items.begin(), items.end(), [](const FeedItem& a, const FeedItem& b) {
        if (!a.published.isValid() || !b.published.isValid())
            return a.published.isValid() && !b.published.isValid();
        return a.published > b.published;
    });
}
