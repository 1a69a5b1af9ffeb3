// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/feed/feeditem.h"
#include "service/pages/newsedition.h"

// The news pages for the items of a feed, newest first. The headline page lists the
// newest MaxFeedHeadlines items; each gets a detail page.
//
// Time: hh.mm in the system's time zone, whatever zone the feed wrote; for an item whose
// feed gives a day but no time of day, that day as dd/MM ("06/12"); "--.--" for an item
// without a date.
// Link: /notizie/feed/<16 hex digits>.html, from the item's identity (its guid or id,
// else its link, else its title and date), so that an item keeps its link from one
// reading of the feed to the next and a headline the bar read before a refresh still
// opens its own text.
// Title and text are written as the bar can show them (see tickerText()), the title cut
// to MaxTitleLength, the text to MaxTextLength; an item without a text shows its title.
NewsEdition renderFeedEdition(QList<FeedItem> items);

inline constexpr qsizetype MaxFeedHeadlines = 20;
// The bar shows the first five: they are the five newest dated items whatever the feed.
inline constexpr qsizetype BarHeadlines = 5;
inline constexpr qsizetype MaxTitleLength = 160;
// The panel grows with the text: a whole article would cover the screen.
inline constexpr qsizetype MaxTextLength = 800;

// Where the feed's detail pages are, under the news service's detail prefix.
inline constexpr QStringView FeedDetailFolder = u"/notizie/feed/";
