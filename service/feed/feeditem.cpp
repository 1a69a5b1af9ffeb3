// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feeditem.h"

#include <QUrl>

#include <algorithm>
#include <utility>
#include <vector>

QString webAddress(const QString& link) {
    const QUrl url(link, QUrl::StrictMode);
    const bool web = url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
    return web ? url.toString(QUrl::FullyEncoded) : QString();
}

namespace {

// Each item's place in time: its own date, else the date of the dated item before it (or
// of the first dated one, for items at the top), newest first.
struct Place {
    QDateTime date;
    qsizetype index;
};

std::vector<Place> placesInTime(const QList<FeedItem>& items) {
    std::vector<Place> places;
    places.reserve(static_cast<std::size_t>(items.size()));
    QDateTime before;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items.at(i).published.isValid())
            before = items.at(i).published;
        places.push_back({before, i});
    }
    const auto firstDated =
        std::find_if(items.cbegin(), items.cend(), [](const FeedItem& item) { return item.published.isValid(); });
    const QDateTime first = firstDated == items.cend() ? QDateTime() : firstDated->published;
    for (Place& place : places)
        if (!place.date.isValid())
            place.date = first;
    std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.date > b.date; });
    return places;
}

} // namespace

void sortNewestFirst(QList<FeedItem>& items, qsizetype datedFirst) {
    const std::vector<Place> places = placesInTime(items);
    // Undated items met before the newest `datedFirst` dated ones wait until after them.
    const auto datedCount =
        std::count_if(items.cbegin(), items.cend(), [](const FeedItem& item) { return item.published.isValid(); });
    const qsizetype guarded = std::min<qsizetype>(datedFirst, datedCount);
    QList<FeedItem> sorted;
    sorted.reserve(items.size());
    QList<qsizetype> waiting;
    qsizetype dated = 0;
    for (const Place& place : places) {
        const bool hasDate = items.at(place.index).published.isValid();
        if (!hasDate && dated < guarded) {
            waiting.append(place.index);
            continue;
        }
        sorted.append(std::move(items[place.index]));
        if (hasDate && ++dated == guarded)
            for (const qsizetype index : std::exchange(waiting, {}))
                sorted.append(std::move(items[index]));
    }
    items = std::move(sorted);
}
