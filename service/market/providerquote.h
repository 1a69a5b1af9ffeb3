// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

// One point of the day's price series: when (seconds since 1970, UTC) and the price.
struct PricePoint {
    qint64 time = 0;
    double price = 0.0;
    friend bool operator==(const PricePoint&, const PricePoint&) = default;
};

// A quote as the quote provider gives it. Every price is finite, above zero and within ten
// times the previous close either way; `time` is the moment of the last price; `series`
// runs in time order and holds at least one price of the session of `time`.
struct ProviderQuote {
    QDateTime time;
    double last = 0.0;
    double open = 0.0;
    double previousClose = 0.0;
    QList<PricePoint> series;
};

// Why an answer of the provider gives no quote.
enum class ProviderRejection {
    None,
    NotJson,          // not a JSON object
    ProviderError,    // the provider says why it has no chart ("chart": {"error": ...})
    NoChart,          // no "chart" with a "result" entry
    NoLastPrice,      // no usable "regularMarketPrice"
    NoPreviousClose,  // no usable "previousClose" or "chartPreviousClose"
    NoTime,           // no usable "regularMarketTime"
    TimeOutOfRange,   // "regularMarketTime" before 2000 or more than a day ahead of the clock
    ImplausiblePrice, // last price or open not finite, not above zero, or more than ten times
                      // (less than a tenth of) the previous close
    UnequalArrays,    // "timestamp", "close" and "open" of different lengths
    NoSessionPrice,   // no price of the series on the last price's trading day
};

// One line in English, for the service's log.
QString providerRejectionText(ProviderRejection rejection);

// What an answer of the provider gives: a quote, or why none.
struct ProviderReading {
    std::optional<ProviderQuote> quote;
    ProviderRejection rejection = ProviderRejection::None;
};

// Reads the provider's answer to a chart request (a JSON object "chart" whose "result"
// holds one entry with "meta", "timestamp" and "indicators"), at `now`. A quote is of one
// trading session, the one its time falls in (a day from 18:00 New York time, which holds
// both a futures session and a stock market's): the series keeps only that session's
// points with a time from 2000 to a day ahead of `now` and a plausible price, and without
// any there is no quote. The open is "regularMarketOpen" when the answer has it, else the
// first opening price of the session's series.
ProviderReading readProviderQuote(const QByteArray& answer, const QDateTime& now);

// The provider's name for one of our symbols: a Nasdaq-100 futures contract code
// ("NQZ26") names that very contract on its exchange ("NQZ26.CME"), "INDEX:COMPX" the
// Nasdaq Composite ("^IXIC"), "INDEX:INDU" the Dow Jones Industrial Average ("^DJI").
// Empty for any other symbol: the provider is asked for nothing else.
QString providerSymbol(QStringView symbol);

// Where the provider answers for `providerSymbol` below `base` ("https://host"): the day's
// series in five-minute steps.
QUrl providerQuoteUrl(const QUrl& base, const QString& providerSymbol);
