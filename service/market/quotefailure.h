// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "net/httpfetch.h"
#include "service/market/providerquote.h"

#include <QMetaType>
#include <QString>

#include <chrono>

// How one request to the quote provider ended without a quote. A value until the
// service's log words it.
struct QuoteFailure {
    enum class Kind {
        None,       // the answer gave a quote
        NoAnswer,   // the fetch failed: refused, timed out, too large, cut short, redirected
        HttpStatus, // the provider answered with a status other than 2xx
        Rejected,   // the answer gives no quote: `rejection` says why
    };
    Kind kind = Kind::None;
    FetchFailure fetch = FetchFailure::None; // NoAnswer: how the fetch ended
    int status = 0;                          // HttpStatus
    ProviderRejection rejection = ProviderRejection::None;
    QString detail = {}; // NoAnswer: the network library's words

    friend bool operator==(const QuoteFailure&, const QuoteFailure&) = default;
};
Q_DECLARE_METATYPE(QuoteFailure)

// One line in English, for the service's log: "HTTP 404", "the answer has no last price".
// `timeout` and `maxBytes` are the limits the provider was asked with.
QString quoteFailureText(const QuoteFailure& failure, std::chrono::milliseconds timeout, qint64 maxBytes);
