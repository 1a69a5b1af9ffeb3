// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/feed/feedfailure.h"
#include "service/feed/feeditem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QUrl>

#include <optional>

// What a feed document gives: its items in document order, or why it gives none.
struct FeedReading {
    QList<FeedItem> items;
    std::optional<FeedFailure> failure; // Empty, NotXml, NotWellFormed, NotAFeed or NoItems
    // The feed's own web site (RSS: the channel's link; Atom: the feed's alternate link),
    // fully encoded; empty unless it is an http or https address.
    QString siteLink = {};
    // A fault of the document that did not keep it from being read.
    std::optional<FeedWarning> warning = {};
};

// Where a document came from, as far as reading it depends on that.
struct FeedSource {
    QUrl address = {};       // the feed's own address; only an http or https one resolves links
    QByteArray charset = {}; // the charset of the HTTP Content-Type; empty without one
};

// Reads an RSS 2.0 (and 0.9x, 1.0) or Atom 1.0 document from the bytes as fetched.
//
// The characters are decoded as decodeFeedDocument() says: a document is never refused for
// a byte its encoding does not allow; `warning` tells it. A document that does not begin
// with markup fails as NotXml.
//
// Titles, descriptions and contents become plain text: entities and CDATA are decoded,
// HTML (RSS always; Atom where type is "html" or "xhtml") is reduced to its text, and
// whitespace is collapsed. An item's date is pubDate (RSS), else dc:date; published,
// else updated (Atom): the bar shows when a piece of news came out, and a later
// correction should not bring it back to the top. When every dated item of a feed (two or
// more) is at midnight, the feed gives days, not times: each is marked dayOnly. An item
// without a title takes its text as title; one with neither is left out.
//
// Links (items' and the site's) are resolved against xml:base, then against the feed's
// own address when it is an http or https one, else against the feed's site; a link that
// stays relative is kept as it is, and webAddress() leaves it out.
//
// A document that is not well-formed, is not a feed or has no item gives no items, even
// where some could be read: the service rather keeps what it served before.
FeedReading readFeed(QByteArrayView document, const FeedSource& source = {});
