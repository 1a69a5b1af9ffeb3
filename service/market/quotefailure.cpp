// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/quotefailure.h"

namespace {
QString noAnswerText(const QuoteFailure& failure, std::chrono::milliseconds timeout, qint64 maxBytes) {
    switch (failure.fetch) {
    case FetchFailure::TimedOut:
        return QStringLiteral("no complete answer within %1 s").arg(std::chrono::duration<double>(timeout).count());
    case FetchFailure::BodyTooLarge:
        return QStringLiteral("the answer is larger than %1 bytes").arg(maxBytes);
    default:
        return failure.detail;
    }
}
} // namespace

QString quoteFailureText(const QuoteFailure& failure, std::chrono::milliseconds timeout, qint64 maxBytes) {
    switch (failure.kind) {
    case QuoteFailure::Kind::None:
        break;
    case QuoteFailure::Kind::NoAnswer:
        return noAnswerText(failure, timeout, maxBytes);
    case QuoteFailure::Kind::HttpStatus:
        return QStringLiteral("HTTP %1").arg(failure.status);
    case QuoteFailure::Kind::Rejected:
        return providerRejectionText(failure.rejection);
    }
    return QStringLiteral("a quote");
}
