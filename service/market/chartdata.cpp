// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/chartdata.h"

#include "service/market/easternclock.h"
#include "service/market/pricewalk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 StepSeconds = 5 * 60;
constexpr int SamplePoints = 78; // a stock market's day in five-minute steps

double typicalLevel(const QString& symbol) {
    if (symbol == u"INDEX:INDU")
        return 44000.0;
    if (symbol == u"INDEX:COMPX")
        return 19000.0;
    return 21000.0;
}
} // namespace

QByteArray chartDataJson(const QString& symbol, const ProviderQuote& quote, bool sample) {
    QJsonArray points;
    for (const PricePoint& point : quote.series)
        points.append(QJsonArray{point.time, point.price});
    const QJsonObject data{
        {u"symbol"_s, symbol},
        {u"sample"_s, sample},
        {u"time"_s, quote.time.toSecsSinceEpoch()},
        {u"utcOffset"_s, easternTime(quote.time).offsetFromUtc()},
        {u"last"_s, quote.last},
        {u"open"_s, quote.open},
        {u"previousClose"_s, quote.previousClose},
        {u"points"_s, points},
    };
    return QJsonDocument(data).toJson(QJsonDocument::Compact);
}

ProviderQuote sampleQuote(const QString& symbol, const QDateTime& now, quint32 seed) {
    const double level = typicalLevel(symbol);
    PriceWalk walk(level, seed);
    ProviderQuote quote;
    const qint64 end = now.toSecsSinceEpoch() / StepSeconds * StepSeconds;
    for (int i = SamplePoints - 1; i >= 0; --i)
        quote.series.append({end - i * StepSeconds, i == SamplePoints - 1 ? walk.open() : walk.step()});
    quote.time = QDateTime::fromSecsSinceEpoch(end, Qt::UTC);
    quote.open = walk.open();
    quote.last = walk.last();
    quote.previousClose = level;
    return quote;
}
