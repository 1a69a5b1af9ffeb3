// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One item of a news feed as the service keeps it: plain text, markup already gone.
struct FeedItem {
    QString id;   // guid (RSS) or id (Atom); empty when the feed gives none
    QString link; // the item's page on the publisher's site; may be empty
    QString title;
    QString text;         // the description or summary, else the content
    QDateTime published;  // with the UTC offset the feed wrote; invalid when it gave none
    bool dayOnly = false; // `published` gives the day, not the time of day (midnight then)
};

// `link` fully encoded when it is a web address (http or https, with a host); otherwise
// empty. Encoded, it holds no quote, angle bracket, blank or line break.
QString webAddress(const QString& link);

// Newest first by the instant of publication; items of the same instant in the order the
// feed gave them. An item without a date keeps its place next to the item the feed gave
// before it (the first dated one, when none is before it), but never goes before the
// `datedFirst` newest dated items: a date that cannot be read must not hide the news.
void sortNewestFirst(QList<FeedItem>& items, qsizetype datedFirst);
