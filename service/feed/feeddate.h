#pragma once

#include <QDateTime>
#include <QStringView>

// Dates as feeds write them. The result keeps the UTC offset the date was written with,
// so that its time() is the time of day the feed gave; it is invalid when the text is no
// date. Blanks around the text are ignored.

// RFC 822 as RSS writes it ("Sun, 06 Dec 2026 18:40:00 +0100"), read leniently as feeds
// need: the day name may be missing or wrong, the seconds may be missing, the year may
// have two digits (below 50 in this century), the month may be spelt out in English, the
// offset may carry a colon ("+01:00"). Zone names: UT, GMT, UTC, Z, the US zones (EST to
// PDT) and CET, CEST; any other single letter, or no zone, reads as UTC.
QDateTime parseRfc822Date(QStringView text);

// ISO 8601 as Atom and Dublin Core write it ("2026-12-06T18:40:00+01:00", "...Z"), with
// or without seconds and their fraction, 'T' or a blank between date and time; a date
// alone is midnight; no offset reads as UTC.
QDateTime parseIsoDate(QStringView text);

// Either form: feeds put ISO dates in pubDate and RFC 822 dates in Atom elements.
QDateTime parseFeedDate(QStringView text);
