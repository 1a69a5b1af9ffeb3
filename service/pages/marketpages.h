// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/market/pricewalk.h"
#include "service/market/quotesource.h"
#include "service/pages/page.h"

#include <QString>
#include <QStringView>
#include <QUrl>

#include <memory>

// The market's pages: the current futures contract, the quote page, the chart applet's
// script and its data. Quotes come from the quote provider once useProvider() has named
// it; before that, and in demonstrations, they are made up, and the chart marks them as
// sample.
class MarketPages {
public:
    MarketPages();
    ~MarketPages();

    void useProvider(const QUrl& base);
    // Null while quotes are made up.
    QuoteSource* source() const { return m_source.get(); }

    // The contract to quote today. Nothing is asked of the provider until a quote is.
    Page futuresSymbol();
    // Without a quote, an empty body (status 503): the ticker keeps what it shows; 404 for
    // a symbol the provider is not asked about (QuoteSource::relays()).
    Page quotePage(const QString& symbol);
    // Whether the provider is being asked for `symbol` and there is no quote to give yet;
    // its answer comes within QuoteSource::Timeout, through source()'s answered().
    bool quoteOnItsWay(const QString& symbol) const;
    // JSON (see chartdata.h); 503 while the first answer of the provider is on its way,
    // 502 when there is no quote, 404 for a symbol the provider lacks.
    Page chartData(const QString& symbol);
    static Page chartScript();

    // How long a cache may keep the futures symbol, and a quote page.
    static constexpr int SymbolMaxAgeSeconds = 180;
    static constexpr int QuoteMaxAgeSeconds = 5;

private:
    std::unique_ptr<QuoteSource> m_source;
    PriceWalk m_price;
    quint32 m_seed;
};
