// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// chartPageText on any futures symbol file.
#include "bench/fuzz/fuzzcheck.h"
#include "model/chartpage.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace {
const ServiceHosts Hosts{u"news.example"_s,   u"quote.example:8080"_s, u"maker.example"_s,
                         u"charts.example"_s, u"help.example"_s,       u"feed.example"_s};
constexpr qsizetype LineCount = 19;
constexpr qsizetype SymbolLine = 11;
constexpr char SymbolLineHead[] = "  <param name='SYMBOL' value='";
constexpr char SymbolLineTail[] = "' />\r";
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The bar takes the whole body of the symbol file as the symbol.
    const QString symbol = fetchedText(data, size);
    const QByteArray page = chartPageText(Hosts, symbol);

    for (const char c : page)
        FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    // 19 lines, each ended by CR LF, and no CR or LF anywhere else.
    FUZZ_CHECK(page.endsWith("\r\n") && page.count('\r') == LineCount && page.count('\n') == LineCount &&
               page.count("\r\n") == LineCount);

    // The symbol changes its own line only, and cannot end the attribute it goes into.
    static const QList<QByteArray> plainLines = chartPageText(Hosts, QString()).split('\n');
    const QList<QByteArray> lines = page.split('\n');
    FUZZ_CHECK(lines.size() == plainLines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (i != SymbolLine)
            FUZZ_CHECK(lines[i] == plainLines[i]);
    const QByteArray& line = lines[SymbolLine];
    constexpr qsizetype headSize = sizeof SymbolLineHead - 1;
    constexpr qsizetype tailSize = sizeof SymbolLineTail - 1;
    FUZZ_CHECK(line.size() >= headSize + tailSize && line.startsWith(SymbolLineHead) && line.endsWith(SymbolLineTail));
    const QByteArrayView value = QByteArrayView(line).sliced(headSize, line.size() - headSize - tailSize);
    for (const char c : value)
        FUZZ_CHECK(c != '\'' && c != '"' && c != '<' && c != '>');
    if (onlyOf(symbol, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789:.-_"))
        FUZZ_CHECK(value == symbol.toLatin1());
    return 0;
}
