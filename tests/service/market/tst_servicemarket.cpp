// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/frontmonth.h"
#include "service/market/pricewalk.h"
#include "service/market/providerquote.h"
#include "service/market/quotefailure.h"
#include "service/market/quotesource.h"

#include "datafile.h"
#include "testhttpserver.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ProviderRejection)

// The market as the service reads it from the provider, before any page is written.
class TestServiceMarket : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The code changes on the Thursday eight days before the third Friday of March, June,
    // September and December, and after December's roll the year is the next one.
    void frontMonth_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("contract");
        QTest::newRow("September, day before the roll") << QDate(2026, 9, 9) << u"NQU26"_s;
        QTest::newRow("September roll") << QDate(2026, 9, 10) << u"NQZ26"_s;
        QTest::newRow("December roll") << QDate(2026, 12, 10) << u"NQH27"_s;
        QTest::newRow("March roll") << QDate(2027, 3, 11) << u"NQM27"_s;
        QTest::newRow("December 2029, day before the roll") << QDate(2029, 12, 12) << u"NQZ29"_s;
        QTest::newRow("December 2029 roll") << QDate(2029, 12, 13) << u"NQH30"_s;
        QTest::newRow("March 2030 roll, on the 7th") << QDate(2030, 3, 7) << u"NQM30"_s;
        QTest::newRow("century") << QDate(2099, 12, 31) << u"NQH00"_s;
    }
    void frontMonth() {
        QFETCH(QDate, day);
        QFETCH(QString, contract);
        QCOMPARE(frontMonthContract(day), contract);
    }

    // Answers of the quote provider: a quote is whole or not at all, of one trading session,
    // and made only of believable numbers. The chart's series keeps that session's good points.
    void providerAnswer_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("quote"); // "time last open previousClose points first-point", "" for none
        QTest::addColumn<ProviderRejection>("rejection");

        const QByteArray rising = dataFile("provider-rising.json");
        const auto changed = [&rising](const char* from, const char* to) {
            QByteArray answer = rising;
            if (!answer.contains(from))
                qFatal("no %s in the answer", from);
            return answer.replace(from, to);
        };
        const QString whole = u"2026-12-04T14:55:00Z 21034.25 21000 20950 5 14:30"_s;
        QTest::newRow("rising day") << rising << whole << ProviderRejection::None;
        QTest::newRow("falling day, open given")
            << dataFile("provider-falling.json") << u"2026-12-04T20:00:00Z 20990.75 21080.5 21100 6 14:30"_s
            << ProviderRejection::None;
        QTest::newRow("market closed") << dataFile("provider-closed.json")
                                       << u"2026-12-04T22:00:00Z 21050 20980 20950 6 14:30"_s
                                       << ProviderRejection::None;
        QTest::newRow("no last price") << dataFile("provider-missing.json") << QString()
                                       << ProviderRejection::NoLastPrice;
        QTest::newRow("error object") << dataFile("provider-error.json") << QString()
                                      << ProviderRejection::ProviderError;
        QTest::newRow("cut short") << rising.left(rising.size() / 2) << QString() << ProviderRejection::NotJson;
        QTest::newRow("time as text") << changed("\"regularMarketTime\":", "\"regularMarketTime\":\"1\",\"x\":")
                                      << QString() << ProviderRejection::NoTime;
        const QByteArray noPrevious = changed("\"previousClose\":20950.0", "\"previousClose\":null");
        QTest::newRow("only the chart's previous close") << noPrevious << whole << ProviderRejection::None;
        QTest::newRow("no previous close")
            << QByteArray(noPrevious).replace("\"chartPreviousClose\":20950.0", "\"chartPreviousClose\":0") << QString()
            << ProviderRejection::NoPreviousClose;
        // The day's first bars are of the day before: the open is the session's first.
        QTest::newRow("bars of two days")
            << changed("1796394600,1796394900", "1796308200,1796308500")
            << u"2026-12-04T14:55:00Z 21034.25 21010.5 20950 3 14:40"_s << ProviderRejection::None;
        QTest::newRow("bars of another day")
            << changed("\"regularMarketTime\":1796396100", "\"regularMarketTime\":1796482500") << QString()
            << ProviderRejection::NoSessionPrice;
        QTest::newRow("no opening prices")
            << changed("\"open\":[21000.0,21000.5,21010.5,20995.25,null,21020.0]",
                       "\"open\":[null,null,null,null,null,null]")
            << u"2026-12-04T14:55:00Z 21034.25 21000.5 20950 5 14:30"_s << ProviderRejection::None;
        QTest::newRow("huge price") << changed("\"regularMarketPrice\":21034.25", "\"regularMarketPrice\":1e20")
                                    << QString() << ProviderRejection::ImplausiblePrice;
        QTest::newRow("tiny price") << changed("\"regularMarketPrice\":21034.25", "\"regularMarketPrice\":0.001")
                                    << QString() << ProviderRejection::ImplausiblePrice;
        QTest::newRow("implausible open") << QByteArray(dataFile("provider-falling.json"))
                                                 .replace("\"regularMarketOpen\":21080.5", "\"regularMarketOpen\":1.5")
                                          << QString() << ProviderRejection::ImplausiblePrice;
        QTest::newRow("huge price in the series")
            << changed("\"close\":[21000.5,21010.5", "\"close\":[21000.5,1e308")
            << u"2026-12-04T14:55:00Z 21034.25 21000 20950 4 14:30"_s << ProviderRejection::None;
        QTest::newRow("time of 1.5 s") << changed("\"regularMarketTime\":1796396100", "\"regularMarketTime\":1.5")
                                       << QString() << ProviderRejection::TimeOutOfRange;
        QTest::newRow("two days ahead") << changed("\"regularMarketTime\":1796396100",
                                                   "\"regularMarketTime\":1796590800")
                                        << QString() << ProviderRejection::TimeOutOfRange;
        QTest::newRow("point at 1.5 s") << changed("[1796394600,", "[1.5,")
                                        << u"2026-12-04T14:55:00Z 21034.25 21000.5 20950 4 14:35"_s
                                        << ProviderRejection::None;
        QTest::newRow("unequal arrays") << changed("1796396100],", "1796396100,1796396400],") << QString()
                                        << ProviderRejection::UnequalArrays;
    }
    void providerAnswer() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, quote);
        QFETCH(ProviderRejection, rejection);
        const ProviderReading reading = readProviderQuote(answer, QDateTime(QDate(2026, 12, 4), QTime(21, 0), Qt::UTC));
        QCOMPARE(reading.rejection, rejection);
        const auto& read = reading.quote;
        QCOMPARE(read.has_value(), !quote.isEmpty());
        if (!read)
            return;
        QCOMPARE(u"%1 %2 %3 %4 %5 %6"_s.arg(read->time.toString(Qt::ISODate))
                     .arg(read->last, 0, 'g', 10)
                     .arg(read->open, 0, 'g', 10)
                     .arg(read->previousClose, 0, 'g', 10)
                     .arg(read->series.size())
                     .arg(QDateTime::fromSecsSinceEpoch(read->series.constFirst().time, Qt::UTC).toString(u"hh:mm")),
                 quote);
    }

    // After a failed request the provider is asked again within seconds, not after the
    // 30 s a good answer is kept: the quote is back soon after a hiccup.
    void asksAgainSoonAfterAFailure() {
        TestHttpServer provider;
        provider.setDefaultReply({500, "busy"});
        QuoteSource source(QUrl(u"http://"_s + provider.host()));
        QSignalSpy answered(&source, &QuoteSource::answered);
        QVERIFY(!source.quote(u"INDEX:COMPX"_s)); // always relayed, whatever the day
        QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, 15000);
        QCOMPARE(answered.at(0).at(1).value<QuoteFailure>().kind, QuoteFailure::Kind::HttpStatus);
        provider.setDefaultReply({200, dataFile("provider-rising.json")});
        QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 2, 20000);
        QCOMPARE(answered.at(1).at(1).value<QuoteFailure>().kind, QuoteFailure::Kind::None);
        QCOMPARE(provider.requestLines().size(), 2);
    }

    void providerSymbols_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("provided");
        QTest::newRow("contract") << u"NQZ26"_s << u"NQZ26.CME"_s;
        QTest::newRow("Nasdaq Composite") << u"INDEX:COMPX"_s << u"^IXIC"_s;
        QTest::newRow("Dow Jones") << u"INDEX:INDU"_s << u"^DJI"_s;
        QTest::newRow("not a quarter month") << u"NQF27"_s << QString();
        QTest::newRow("with a line end") << u"NQZ26\r\n"_s << QString();
        QTest::newRow("another market") << u"ESZ26"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void providerSymbols() {
        QFETCH(QString, symbol);
        QFETCH(QString, provided);
        QCOMPARE(providerSymbol(symbol), provided);
    }

    void priceWalkStaysInBounds() {
        PriceWalk walk(21000.0, 2026);
        double low = walk.open(), high = walk.open();
        for (int i = 0; i < 20000; ++i) {
            const double before = walk.last(), after = walk.step();
            QVERIFY(std::abs(after - before) <= before * PriceWalk::MaxStep);
            QCOMPARE(std::fmod(after, PriceWalk::Tick), 0.0);
            low = std::min(low, after);
            high = std::max(high, after);
        }
        // It wanders over the band, 5% either side of the opening price, and never beyond.
        QVERIFY2(low >= 19950.0 && low < 20500.0 && high > 21500.0 && high <= 22050.0,
                 qPrintable(u"%1 to %2"_s.arg(low).arg(high)));
    }
};

QTEST_GUILESS_MAIN(TestServiceMarket)
#include "tst_servicemarket.moc"
