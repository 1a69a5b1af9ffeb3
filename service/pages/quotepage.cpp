// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/quotepage.h"

#include "common/htmlescape.h"

#include <QList>
#include <QString>

#include <cmath>
#include <string_view>

namespace {

using namespace std::string_view_literals;

// The fillers between each value and its marker. Their lengths are what the ticker counts.
constexpr auto ClockGap = R"( <abbr title="Eastern Time">)"sv;
constexpr auto LastGap = "</span>"sv;
constexpr auto ChangeGap = R"(</td><td class="notes"><span title=")"sv;
constexpr auto OpenGap = R"(</th><td class="opening">)"sv;
static_assert(ClockGap.size() == 28);
static_assert(LastGap.size() == 7);
static_assert(ChangeGap.size() == 36);
static_assert(OpenGap.size() == 25);

// Window widths.
constexpr qsizetype ClockWidth = 8;
constexpr qsizetype LastWidth = 8;
constexpr qsizetype ChangeWidth = 10;
constexpr qsizetype OpenWidth = 18;

QByteArray bytes(std::string_view text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

QByteArray price(double value) {
    // QByteArray::number never groups thousands, whatever the locale.
    return QByteArray::number(value, 'f', 2);
}

bool isPlainSymbolChar(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'.' || c == U'-' ||
           c == U'_' || c == U'^' || c == U'=';
}

} // namespace

QByteArray renderQuotePage(QStringView clock, double last, double open, QStringView symbol) {
    const QByteArray change = price(std::abs(last - open) / open * 100.0) + '%';
    // The scanned part of each window must hold the whole value.
    if (!(last > 0 && open > 0) || price(last).size() > LastWidth || price(open).size() > OpenWidth ||
        change.size() >= ChangeWidth || clock.size() > ClockWidth)
        return {};

    QByteArray page;
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"us-ascii\">\n<title>";
    page += escapedHtml(symbol, isPlainSymbolChar, HtmlReferences::Numeric).toLatin1();
    page += " - Futures quote</title>\n</head>\n<body>\n<table class=\"quote\">\n";

    page += "<tr><th>Time</th><td><span class=\"clock\">";
    page += clock.toLatin1().rightJustified(ClockWidth, ' ');
    page += bytes(ClockGap);
    page += "ET</abbr><br /></span></td></tr>\n";

    page += "<tr><td><span class=\"label\">Last price:";
    page += bytes(LastGap);
    page += price(last).rightJustified(LastWidth, ' ');
    page += "</td></tr>\n";

    // Left-aligned: the ticker's window covers only the first nine of the ten characters.
    page += "<tr><td class=\"change\">";
    page += change.leftJustified(ChangeWidth, ' ');
    page += bytes(ChangeGap);
    page += "Shows primary price\">primary</span></td></tr>\n";

    page += "<tr><th>Open:";
    page += bytes(OpenGap);
    page += price(open).rightJustified(OpenWidth, ' ');
    page += "</td></tr>\n";

    page += "</table>\n<p>Quotes delayed at least 15 minutes.</p>\n</body>\n</html>\n";
    return page;
}
