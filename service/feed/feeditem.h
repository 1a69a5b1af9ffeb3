#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One item of a news feed as the service keeps it: plain text, markup already gone.
struct FeedItem {
    QString id;   // guid (RSS) or id (Atom); empty when the feed gives none
    QString link; // the item's page on the publisher's site; may be empty
    QString title;
    QString text;        // the description or summary, else the content
    QDateTime published; // with the UTC offset the feed wrote; invalid when it gave none
};

// `link` fully encoded when it is a web address (http or https, with a host); otherwise
// empty. Encoded, it holds no quote, angle bracket, blank or line break.
QString webAddress(const QString& link);

// Newest first by the instant of publication. Items without a date follow the dated
// ones in the order the feed gave them, as do items with the same date.
void sortNewestFirst(QList<FeedItem>& items);
