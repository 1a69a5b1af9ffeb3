// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QDateTime>
#include <QStringView>

// A date as a feed wrote it.
struct FeedDate {
    // The instant, with the UTC offset it was written with; invalid when the text is no date.
    QDateTime instant;
    // False for a day without a time of day: `instant` is then that day's midnight.
    bool timeGiven = false;
};

// Dates as feeds write them, read leniently as feed readers do. Blanks around the text
// are ignored.
//
// ISO 8601 ("2026-12-06T18:40:00+01:00", "...Z"), with or without seconds and their
// fraction, 'T' or a blank between date and time; a date alone has no time; no offset
// reads as UTC.
//
// RFC 822 and the forms derived from it: "Sun, 06 Dec 2026 18:40:00 +0100", the day name
// missing, wrong or in another language, the month before the day, the seconds missing,
// a year of two digits (below 50 in this century), no time at all. Month and day names
// in English, Italian, French, German and Spanish, spelt out or abbreviated, with or
// without a full stop ("15 Gen 2012", "3. März 2026", "mer. 6 déc. 2026"). Zones: numeric
// offsets ("+0100", "+01:00", "GMT+1"), UT, GMT, UTC, Z, the US zones (EST to PDT), the
// European ones (WET, CET, EET with their summer forms, BST, MEZ, MESZ) and a comment in
// parentheses after the offset; any other single letter, or no zone, reads as UTC; any
// other name gives no date, rather than a time that could be hours off.
FeedDate parseFeedDate(QStringView text);
