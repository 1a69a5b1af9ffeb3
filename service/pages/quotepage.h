// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QStringView>

// The quote provider's page for one futures symbol, in ASCII.
//
// The ticker reads each value from a fixed window of characters next to a marker text,
// keeping only the characters that can belong to the value, so the layout around each
// marker is exact and every window holds its value and blanks only:
//   `clock`  ("4:00pm", Eastern time) right-aligned in the 8 characters that end 28
//            characters before "ET</abbr><br /></span>";
//   `last`   in the 8 characters that start 7 characters after "Last price:";
//   change   |last - open| / open in percent, at the start of the 10 characters that end
//            36 characters before "Shows primary price". The ticker signs it by comparing
//            open and last and describes it next to the two, so it is the change since the
//            open: against the previous close, sign and sentence would not match the number;
//   `open`   in the 18 characters that start 25 characters after "Open:".
// Prices are written with two decimals and no thousands separator. Each marker occurs once.
// A page whose values do not all fit their windows, or with a price that is not above 0,
// is not written: the result is empty ("last" of 100000 or more, a change of 1000% or more).
//
// `symbol` comes from the request: it is shown in the title with every character other
// than letters, digits and ". - _ ^ =" written as a numeric character reference, so it can
// neither add markup nor spell out one of the markers.
QByteArray renderQuotePage(QStringView clock, double last, double open, QStringView symbol);
