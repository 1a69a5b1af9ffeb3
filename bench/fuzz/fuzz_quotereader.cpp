// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// readQuote and quoteCaption on any fetched quote page.
#include "bench/fuzz/fuzzcheck.h"
#include "market/quotereader.h"

using namespace Qt::StringLiterals;

namespace {
FuturesQuote previousQuote() {
    FuturesQuote quote;
    quote.fields = {u"15:59"_s, u"1534,50"_s, u"+ 0,31 %"_s, u"1529,25"_s};
    return quote;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString page = fetchedText(data, size);
    if (page.isEmpty())
        return 0; // the bar never reads an empty body
    static const FuturesQuote previous = previousQuote();
    const FuturesQuote quote = readQuote(page, previous);
    const auto& fields = quote.fields;
    constexpr QStringView price = u"0123456789,";

    // "+ 0,31 %" on a rising market, "- 0,31 %" on a falling one.
    const QString& change = fields[FuturesQuote::Change];
    FUZZ_CHECK(change.startsWith(quote.rising ? u"+ " : u"- ") && change.endsWith(u" %"));
    const QStringView changeValue = QStringView(change).mid(2, change.size() - 4);
    FUZZ_CHECK(!changeValue.isEmpty() && changeValue.size() <= 9 && onlyOf(changeValue, price));

    // Each value keeps only the characters that can belong to it, from a window of its own.
    FUZZ_CHECK(fields[FuturesQuote::Last].size() <= 8 && onlyOf(fields[FuturesQuote::Last], price));
    FUZZ_CHECK(fields[FuturesQuote::Open].size() <= 18 && onlyOf(fields[FuturesQuote::Open], price));
    const QString& time = fields[FuturesQuote::Time];
    FUZZ_CHECK(time.size() <= 6 && onlyOf(time, u"0123456789:apm"));

    // Reading the same page again changes nothing.
    const FuturesQuote again = readQuote(page, quote);
    FUZZ_CHECK(again.fields == quote.fields && again.rising == quote.rising);

    const QString caption = quoteCaption(quote, u"NQZ26"_s);
    FUZZ_CHECK(caption == u"  "_s + time + u" - NQZ26, "_s + change + u"  "_s);
    return 0;
}
