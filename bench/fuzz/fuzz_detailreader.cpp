// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// readDetail on any fetched detail page, and on the input set as the text of a
// well-formed one.
#include "bench/fuzz/fuzzcheck.h"
#include "news/detailreader.h"

using namespace Qt::StringLiterals;

namespace {
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Every comma is followed by a blank or a digit, never by a blank and then a digit, and no
// lead of an accent pair is left.
void checkText(const QString& text) {
    FUZZ_CHECK(!text.contains(QChar(0x00C3)));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u',')
            continue;
        FUZZ_CHECK(i + 1 < text.size());
        const QChar next = text[i + 1];
        FUZZ_CHECK(next == u' ' || isAsciiDigit(next));
        FUZZ_CHECK(!(next == u' ' && i + 2 < text.size() && isAsciiDigit(text[i + 2])));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString page = fetchedText(data, size);
    if (page.isEmpty())
        return 0; // the bar never reads an empty body
    checkText(readDetail(page));

    // Between the marker block and the closing div, a text that gives the rules nothing to
    // do comes back as it is.
    const QString wrapped = u"<div class=\"popup05\"><h2>T</h2></div>\r\n\r\n"_s + page + u"\r\n</div>"_s;
    const QString text = readDetail(wrapped);
    checkText(text);
    // The panel never gets more than it can show: each comma of the cut adds one blank.
    FUZZ_CHECK(text.size() <= 2 * MaxDetailChars + 1);
    if (page.size() <= MaxDetailChars && !page.contains(u"</div>") && !page.contains(u',') && !page.contains(u"  ") &&
        !page.contains(QChar(0x00C3)))
        FUZZ_CHECK(text == page);
    return 0;
}
