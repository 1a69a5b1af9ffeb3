// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>
#include <array>

// The last futures quote as the ticker shows it.
struct FuturesQuote {
    enum Field { Time, Last, Change, Open };
    // Quote time ("16:00", Eastern time as printed), last price and opening price with a
    // decimal comma ("1534,50"), and the signed change ("+ 0,31 %").
    std::array<QString, 4> fields;
    bool rising = true; // the opening price is not above the last price
};

// "positivo" for a rising market, "negativo" for a falling one.
QString trendWord(bool rising);

// Reads a non-empty quote page. Each value is taken from a fixed window of characters
// before or after its marker, keeping only the characters that can belong to it; a
// missing marker gives an empty time and a change of "0,0". A time whose hour cannot be
// read keeps the time of `previous`.
FuturesQuote readQuote(QStringView page, const FuturesQuote& previous);

// Caption of the futures slot: "  16:00 - SYMBOL, + 0,31 %  ".
QString quoteCaption(const FuturesQuote& quote, const QString& symbol);

// The panel's heading for the futures: "16:00 Indice futures Nasdaq 100".
QString futuresHeading(const FuturesQuote& quote);

// The panel's text for the futures: the trend word ("positivo", "negativo"), the opening
// and the last price and the change, in one sentence.
QString futuresDescription(const FuturesQuote& quote, const QString& trend);

// Caption of the futures slot while no quote is asked for.
inline constexpr QStringView NoQuoteCaption = u".   ";
