// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/providerquote.h"

#include "service/market/easternclock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

#include <cmath>

namespace {
// The earliest quote time believed: earlier ones are garbage, not quotes.
constexpr qint64 EarliestTime = 946684800; // 2000-01-01
// How far ahead of the clock a quote time may be, for a clock that is a little behind.
constexpr qint64 MostAheadSeconds = 24 * 3600;
// A price further than this factor from the previous close is garbage, not a price.
constexpr double MostPlausibleFactor = 10.0;
// A trading day: CME's futures trade from 18:00 New York time to 17:00 the next day, a
// stock market from 9:30 to 16:00; counted from 18:00, either session lies in one day.
constexpr qint64 SessionDayShiftSeconds = 6 * 3600;

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
    if (!(number >= 1.0 && number < 1e12)) // 0.5 would read as 0
        return std::nullopt;
    return static_cast<qint64>(number);
}

// The trading day `time` belongs to.
QDate sessionDay(qint64 time) {
    return easternTime(QDateTime::fromSecsSinceEpoch(time + SessionDayShiftSeconds, Qt::UTC)).date();
}

struct Checks {
    qint64 now;
    double previousClose;
    bool inTime(qint64 time) const { return time >= EarliestTime && time <= now + MostAheadSeconds; }
    bool plausible(double price) const {
        return price <= previousClose * MostPlausibleFactor && price >= previousClose / MostPlausibleFactor;
    }
};

// The series' points of the session of `day` with a time and a plausible price, in time
// order; `open` is the first opening price among them (else the first price).
QList<PricePoint> sessionSeries(const QJsonArray& times, const QJsonArray& opens, const QJsonArray& closes,
                                const Checks& checks, QDate day, std::optional<double>& open) {
    QList<PricePoint> series;
    for (qsizetype i = 0; i < times.size(); ++i) {
        const auto time = moment(times[i]);
        const auto close = price(closes[i]);
        if (!time || !close || !checks.inTime(*time) || !checks.plausible(*close) || sessionDay(*time) != day)
            continue;
        if (!series.isEmpty() && *time <= series.constLast().time)
            continue;
        if (series.isEmpty()) {
            const auto first = opens.isEmpty() ? std::nullopt : price(opens[i]);
            open = first && checks.plausible(*first) ? first : close;
        }
        series.append({*time, *close});
    }
    return series;
}
} // namespace

namespace {

// The chart's one result in the answer, or why there is none.
ProviderRejection chartResult(const QByteArray& answer, QJsonObject& result) {
    const QJsonDocument document = QJsonDocument::fromJson(answer);
    if (!document.isObject())
        return ProviderRejection::NotJson;
    const QJsonObject chart = document.object().value(u"chart").toObject();
    if (!chart.value(u"error").isNull() && !chart.value(u"error").isUndefined())
        return ProviderRejection::ProviderError;
    result = chart.value(u"result").toArray().at(0).toObject();
    return result.isEmpty() ? ProviderRejection::NoChart : ProviderRejection::None;
}

// The last price, its time and the previous close, as the answer's "meta" gives them.
struct QuoteHead {
    double last = 0.0;
    double previousClose = 0.0;
    qint64 time = 0;
};

ProviderRejection readHead(const QJsonObject& meta, const QDateTime& now, QuoteHead& head) {
    const QJsonValue lastValue = meta.value(u"regularMarketPrice");
    if (!lastValue.isDouble())
        return ProviderRejection::NoLastPrice;
    auto previousClose = price(meta.value(u"previousClose"));
    if (!previousClose)
        previousClose = price(meta.value(u"chartPreviousClose"));
    if (!previousClose)
        return ProviderRejection::NoPreviousClose;
    const Checks checks{now.toSecsSinceEpoch(), *previousClose};
    const auto last = price(lastValue);
    if (!last || !checks.plausible(*last))
        return ProviderRejection::ImplausiblePrice;
    const auto time = moment(meta.value(u"regularMarketTime"));
    if (!time)
        return ProviderRejection::NoTime;
    if (!checks.inTime(*time))
        return ProviderRejection::TimeOutOfRange;
    head = {*last, *previousClose, *time};
    return ProviderRejection::None;
}

} // namespace

ProviderReading readProviderQuote(const QByteArray& answer, const QDateTime& now) {
    QJsonObject result;
    QuoteHead head;
    if (const auto rejection = chartResult(answer, result); rejection != ProviderRejection::None)
        return {std::nullopt, rejection};
    if (const auto rejection = readHead(result.value(u"meta").toObject(), now, head);
        rejection != ProviderRejection::None)
        return {std::nullopt, rejection};

    const QJsonObject prices = result.value(u"indicators").toObject().value(u"quote").toArray().at(0).toObject();
    const QJsonArray times = result.value(u"timestamp").toArray();
    const QJsonArray opens = prices.value(u"open").toArray();
    const QJsonArray closes = prices.value(u"close").toArray();
    if (closes.size() != times.size() || (!opens.isEmpty() && opens.size() != times.size()))
        return {std::nullopt, ProviderRejection::UnequalArrays};

    const Checks checks{now.toSecsSinceEpoch(), head.previousClose};
    std::optional<double> open;
    QList<PricePoint> series = sessionSeries(times, opens, closes, checks, sessionDay(head.time), open);
    if (series.isEmpty())
        return {std::nullopt, ProviderRejection::NoSessionPrice};
    // The provider's own open is the day's, and the series holds that day.
    if (const auto given = result.value(u"meta").toObject().value(u"regularMarketOpen");
        !given.isUndefined() && !given.isNull()) {
        open = price(given);
        if (!open || !checks.plausible(*open))
            return {std::nullopt, ProviderRejection::ImplausiblePrice};
    }
    return {ProviderQuote{QDateTime::fromSecsSinceEpoch(head.time, Qt::UTC), head.last, *open, head.previousClose,
                          std::move(series)},
            ProviderRejection::None};
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
    case ProviderRejection::NoTime:
        return QStringLiteral("the answer has no time of the last price");
    case ProviderRejection::TimeOutOfRange:
        return QStringLiteral("the time of the last price is before 2000 or more than a day ahead");
    case ProviderRejection::ImplausiblePrice:
        return QStringLiteral("a price is not a number above zero within ten times the previous close");
    case ProviderRejection::UnequalArrays:
        return QStringLiteral("the series' times and prices differ in number");
    case ProviderRejection::NoSessionPrice:
        return QStringLiteral("the series has no price of the last price's trading day");
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
