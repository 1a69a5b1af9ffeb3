// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/marketpages.h"

#include "service/market/chartdata.h"
#include "service/market/easternclock.h"
#include "service/market/frontmonth.h"
#include "service/pages/quotepage.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>

using Status = Page::Status;

namespace {
// The made-up futures open here every day; the walk keeps the last price near it.
constexpr double OpeningPrice = 21000.00;

Page noData(Status status) {
    Page page = Page::text(status, {});
    page.anyOrigin = true;
    return page;
}

Page json(const QByteArray& body) { return {Status::Ok, QByteArrayLiteral("application/json"), body, 0, {}, true}; }
} // namespace

MarketPages::MarketPages() : m_price(OpeningPrice), m_seed(QRandomGenerator::global()->generate()) {}

MarketPages::~MarketPages() = default;

void MarketPages::useProvider(const QUrl& base) { m_source = std::make_unique<QuoteSource>(base); }

Page MarketPages::futuresSymbol() {
    const QString symbol = frontMonthContract(easternTime(QDateTime::currentDateTimeUtc()).date());
    return Page::text(Status::Ok, symbol.toLatin1(), SymbolMaxAgeSeconds);
}

Page MarketPages::quotePage(const QString& symbol) {
    if (m_source && !QuoteSource::relays(symbol))
        return noData(Status::NotFound);
    QByteArray page;
    if (!m_source) {
        const double last = m_price.step();
        page = renderQuotePage(easternClockText(QDateTime::currentDateTimeUtc()), last, m_price.open(), symbol);
    } else if (const auto quote = m_source->quote(symbol)) {
        page = renderQuotePage(easternClockText(quote->time), quote->last, quote->open, symbol);
    }
    if (page.isEmpty())
        return noData(Status::Unavailable);
    return Page::html(page, QuoteMaxAgeSeconds);
}

bool MarketPages::quoteOnItsWay(const QString& symbol) const { return m_source && m_source->waiting(symbol); }

Page MarketPages::chartData(const QString& symbol) {
    if (providerSymbol(symbol).isEmpty() || (m_source && !QuoteSource::relays(symbol)))
        return noData(Status::NotFound);
    if (!m_source)
        return json(chartDataJson(symbol, sampleQuote(symbol, QDateTime::currentDateTimeUtc(), m_seed), true));
    if (const auto quote = m_source->quote(symbol))
        return json(chartDataJson(symbol, *quote, false));
    return noData(m_source->waiting(symbol) ? Status::Unavailable : Status::BadGateway);
}

Page MarketPages::chartScript() {
    QFile file(QStringLiteral(":/zefirina-service/livecharts/livecharts.LiveChartsV3.js"));
    static_cast<void>(file.open(QIODevice::ReadOnly)); // compiled in
    Page script{Status::Ok, QByteArrayLiteral("text/javascript; charset=utf-8"), file.readAll()};
    script.anyOrigin = true;
    return script;
}
