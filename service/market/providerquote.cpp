#include "service/market/providerquote.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

#include <cmath>

namespace {
// Latest quote time believed: later ones are garbage, not quotes.
constexpr qint64 LatestTime = 32503680000; // 3000-01-01

std::optional<double> price(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number <= 0.0)
        return std::nullopt;
    return number;
}

std::optional<qint64> moment(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= 1.0 && number < static_cast<double>(LatestTime))) // 0.5 would read as 0
        return std::nullopt;
    return static_cast<qint64>(number);
}

QList<PricePoint> seriesOf(const QJsonArray& times, const QJsonArray& closes) {
    QList<PricePoint> series;
    const qsizetype count = std::min(times.size(), closes.size());
    for (qsizetype i = 0; i < count; ++i) {
        const auto time = moment(times[i]);
        const auto close = price(closes[i]);
        if (time && close && (series.isEmpty() || *time > series.constLast().time))
            series.append({*time, *close});
    }
    return series;
}

std::optional<double> firstPrice(const QJsonArray& prices) {
    for (const QJsonValue& value : prices)
        if (const auto number = price(value))
            return number;
    return std::nullopt;
}
} // namespace

ProviderReading readProviderQuote(const QByteArray& answer) {
    const QJsonDocument document = QJsonDocument::fromJson(answer);
    if (!document.isObject())
        return {std::nullopt, ProviderRejection::NotJson};
    const QJsonObject chart = document.object().value(u"chart").toObject();
    if (!chart.value(u"error").isNull() && !chart.value(u"error").isUndefined())
        return {std::nullopt, ProviderRejection::ProviderError};
    const QJsonObject result = chart.value(u"result").toArray().at(0).toObject();
    if (result.isEmpty())
        return {std::nullopt, ProviderRejection::NoChart};
    const QJsonObject meta = result.value(u"meta").toObject();
    const QJsonObject prices = result.value(u"indicators").toObject().value(u"quote").toArray().at(0).toObject();

    const auto last = price(meta.value(u"regularMarketPrice"));
    auto previousClose = price(meta.value(u"previousClose"));
    if (!previousClose)
        previousClose = price(meta.value(u"chartPreviousClose"));
    auto open = price(meta.value(u"regularMarketOpen"));
    if (!open)
        open = firstPrice(prices.value(u"open").toArray());
    const auto time = moment(meta.value(u"regularMarketTime"));
    if (!last)
        return {std::nullopt, ProviderRejection::NoLastPrice};
    if (!previousClose)
        return {std::nullopt, ProviderRejection::NoPreviousClose};
    if (!open)
        return {std::nullopt, ProviderRejection::NoOpen};
    if (!time)
        return {std::nullopt, ProviderRejection::NoTime};

    ProviderQuote quote;
    quote.time = QDateTime::fromSecsSinceEpoch(*time, Qt::UTC);
    quote.last = *last;
    quote.open = *open;
    quote.previousClose = *previousClose;
    quote.series = seriesOf(result.value(u"timestamp").toArray(), prices.value(u"close").toArray());
    return {quote, ProviderRejection::None};
}

QString providerRejectionText(ProviderRejection rejection) {
    switch (rejection) {
    case ProviderRejection::None:
        break;
    case ProviderRejection::NotJson:
        return QStringLiteral("the answer is not a JSON object");
    case ProviderRejection::ProviderError:
        return QStringLiteral("the provider has no chart for the symbol");
    case ProviderRejection::NoChart:
        return QStringLiteral("the answer holds no chart");
    case ProviderRejection::NoLastPrice:
        return QStringLiteral("the answer has no last price");
    case ProviderRejection::NoPreviousClose:
        return QStringLiteral("the answer has no previous close");
    case ProviderRejection::NoOpen:
        return QStringLiteral("the answer has no opening price");
    case ProviderRejection::NoTime:
        return QStringLiteral("the answer has no time of the last price");
    }
    return QStringLiteral("a quote");
}

QString providerSymbol(QStringView symbol) {
    static const QRegularExpression contract(QStringLiteral("\\ANQ[HMUZ][0-9]{2}\\z"));
    if (contract.match(symbol.toString()).hasMatch())
        return symbol.toString() + QStringLiteral(".CME");
    if (symbol == u"INDEX:COMPX")
        return QStringLiteral("^IXIC");
    if (symbol == u"INDEX:INDU")
        return QStringLiteral("^DJI");
    return {};
}

QUrl providerQuoteUrl(const QUrl& base, const QString& providerSymbol) {
    QUrl url = base;
    QString path = url.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    url.setPath(path + QStringLiteral("v8/finance/chart/") + providerSymbol);
    url.setQuery(QStringLiteral("interval=5m&range=1d"));
    return url;
}
