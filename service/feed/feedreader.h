#pragma once

#include "service/feed/feedfailure.h"
#include "service/feed/feeditem.h"

#include <QByteArrayView>

#include <optional>

// What a feed document gives: its items in document order, or why it gives none.
struct FeedReading {
    QList<FeedItem> items;
    std::optional<FeedFailure> failure; // Empty, NotWellFormed, NotAFeed or NoItems
    // The feed's own web site (RSS: the channel's link; Atom: the feed's alternate link),
    // fully encoded; empty unless it is an http or https address.
    QString siteLink = {};
};

// Reads an RSS 2.0 (and 0.9x, 1.0) or Atom 1.0 document from the bytes as fetched.
//
// The character encoding is the document's own: a byte order mark or the XML declaration,
// UTF-8 without either. A document declared ISO-8859-1 is read as Windows-1252, which is
// what its writers mean when bytes 0x80 to 0x9F (curly quotes, dashes) turn up in it.
//
// Titles, descriptions and contents become plain text: entities and CDATA are decoded,
// HTML (RSS always; Atom where type is "html" or "xhtml") is reduced to its text, and
// whitespace is collapsed. An item's date is pubDate (RSS), else dc:date; published,
// else updated (Atom): the bar shows when a piece of news came out, and a later
// correction should not bring it back to the top. An item without a title takes its
// text as title; one with neither is left out.
//
// A document that is not well-formed, is not a feed or has no item gives no items, even
// where some could be read: the service rather keeps what it served before.
FeedReading readFeed(QByteArrayView document);
