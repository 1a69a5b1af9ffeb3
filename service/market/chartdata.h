// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/market/providerquote.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The chart applet's data for one symbol, as a JSON object:
//   {"symbol": "NQZ26", "sample": false, "time": 1796680800, "utcOffset": -18000,
//    "last": 21012.5, "open": 20990.25, "previousClose": 20950,
//    "points": [[1796650200, 20990.25], ...]}
// Times are seconds since 1970 (UTC); `utcOffset` is New York's offset from UTC at the
// quote's time, in seconds, so the chart can write New York times. "sample" is true for
// made-up data, which the chart marks as such.
QByteArray chartDataJson(const QString& symbol, const ProviderQuote& quote, bool sample);

// A made-up day for `symbol` up to `now`: a random walk in five-minute steps from a
// level typical of the symbol, for demonstrations and tests. Marked as sample wherever it
// is shown.
ProviderQuote sampleQuote(const QString& symbol, const QDateTime& now, quint32 seed);
