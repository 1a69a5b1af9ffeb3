// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// readProviderQuote on any answer of the quote provider: a whole quote or none, and a
// whole quote always fits the quote page or is turned away by it.
#include "bench/fuzz/fuzzcheck.h"
#include "service/market/providerquote.h"
#include "service/pages/quotepage.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray answer(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QDateTime now(QDate(2026, 12, 4), QTime(21, 0), Qt::UTC);
    const ProviderReading reading = readProviderQuote(answer, now);
    FUZZ_CHECK(reading.quote.has_value() == (reading.rejection == ProviderRejection::None));
    const auto& quote = reading.quote;
    if (!quote)
        return 0;
    for (const double price : {quote->last, quote->open, quote->previousClose})
        FUZZ_CHECK(std::isfinite(price) && price > 0.0);
    FUZZ_CHECK(quote->time.isValid() && quote->time.toSecsSinceEpoch() >= 946684800 && quote->time <= now.addDays(1));
    FUZZ_CHECK(!quote->series.isEmpty());
    for (qsizetype i = 0; i < quote->series.size(); ++i) {
        const PricePoint& point = quote->series.at(i);
        FUZZ_CHECK(point.time >= 946684800 && std::isfinite(point.price) && point.price > 0.0);
        FUZZ_CHECK(point.price <= quote->previousClose * 10 && point.price >= quote->previousClose / 10);
        FUZZ_CHECK(i == 0 || point.time > quote->series.at(i - 1).time);
    }
    // The page holds the values or is not written at all.
    const QByteArray page = renderQuotePage(u"4:00pm", quote->last, quote->open, u"NQZ26");
    FUZZ_CHECK(page.isEmpty() || page.contains("Last price:"));
    return 0;
}
