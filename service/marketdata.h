#pragma once

#include "service/pricewalk.h"
#include "service/quotesource.h"

#include <QByteArray>
#include <QHttpServerResponder>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <memory>

// What the service answers for the market: the current futures contract, the quote page,
// the chart applet's script and its data. Quotes come from the quote provider once
// useProvider() has named it; before that, and in demonstrations, they are made up,
// and the chart marks them as sample.
class MarketData {
public:
    struct Answer {
        QHttpServerResponder::StatusCode status;
        QByteArray contentType;
        QByteArray body;
        bool anyOrigin = false; // readable by pages of any origin, the local chart page too
    };

    MarketData();
    ~MarketData();

    void useProvider(const QUrl& base);
    // Null while quotes are made up.
    QuoteSource* source() const { return m_source.get(); }

    // The contract to quote today. Its quote is asked for at once, so that it is at hand
    // when the futures are switched on.
    QByteArray futuresSymbol();
    // Without a quote, an empty body (status 503): the ticker keeps what it shows.
    Answer quotePage(const QString& symbol);
    // JSON (see chartdata.h); 503 while the first answer of the provider is on its way,
    // 502 when there is no quote, 404 for a symbol the provider lacks.
    Answer chartData(const QString& symbol);
    static Answer chartScript();

    static constexpr QStringView ChartScriptPath = u"/livecharts/livecharts.LiveChartsV3.js";
    static constexpr QStringView ChartDataPath = u"/livecharts/series.json";

private:
    std::unique_ptr<QuoteSource> m_source;
    PriceWalk m_price;
    quint32 m_seed;
};
