#include "service/marketdata.h"

#include "service/chartdata.h"
#include "service/easternclock.h"
#include "service/frontmonth.h"
#include "service/quotepage.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>

using Status = QHttpServerResponder::StatusCode;

namespace {
// The made-up futures open here every day; the walk keeps the last price near it.
constexpr double OpeningPrice = 21000.00;

const QByteArray HtmlType = QByteArrayLiteral("text/html; charset=utf-8");
const QByteArray TextType = QByteArrayLiteral("text/plain; charset=utf-8");
const QByteArray JsonType = QByteArrayLiteral("application/json");

MarketData::Answer noData(Status status) { return {status, TextType, {}, true}; }
} // namespace

MarketData::MarketData() : m_price(OpeningPrice), m_seed(QRandomGenerator::global()->generate()) {}

MarketData::~MarketData() = default;

void MarketData::useProvider(const QUrl& base) { m_source = std::make_unique<QuoteSource>(base); }

QByteArray MarketData::futuresSymbol() {
    const QString symbol = frontMonthContract(easternTime(QDateTime::currentDateTimeUtc()).date());
    if (m_source)
        m_source->prepare(symbol);
    return symbol.toLatin1();
}

MarketData::Answer MarketData::quotePage(const QString& symbol) {
    QByteArray page;
    if (!m_source) {
        const double last = m_price.step();
        page = renderQuotePage(easternClockText(QDateTime::currentDateTimeUtc()), last, m_price.open(), symbol);
    } else if (const auto quote = m_source->quote(symbol)) {
        page = renderQuotePage(easternClockText(quote->time), quote->last, quote->open, symbol);
    }
    if (page.isEmpty())
        return noData(Status::ServiceUnavailable);
    return {Status::Ok, HtmlType, page};
}

MarketData::Answer MarketData::chartData(const QString& symbol) {
    if (providerSymbol(symbol).isEmpty())
        return noData(Status::NotFound);
    if (!m_source)
        return {Status::Ok, JsonType,
                chartDataJson(symbol, sampleQuote(symbol, QDateTime::currentDateTimeUtc(), m_seed), true), true};
    if (const auto quote = m_source->quote(symbol))
        return {Status::Ok, JsonType, chartDataJson(symbol, *quote, false), true};
    return noData(m_source->waiting(symbol) ? Status::ServiceUnavailable : Status::BadGateway);
}

MarketData::Answer MarketData::chartScript() {
    QFile file(QStringLiteral(":/zefirina-service/livecharts/livecharts.LiveChartsV3.js"));
    static_cast<void>(file.open(QIODevice::ReadOnly)); // compiled in
    return {Status::Ok, QByteArrayLiteral("text/javascript; charset=utf-8"), file.readAll(), true};
}
