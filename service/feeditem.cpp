#include "service/feeditem.h"

#include <algorithm>

void sortNewestFirst(QList<FeedItem>& items) {
    std::stable_sort(items.begin(), items.end(), [](const FeedItem& a, const FeedItem& b) {
        if (!a.published.isValid() || !b.published.isValid())
            return a.published.isValid() && !b.published.isValid();
        return a.published > b.published;
    });
}
