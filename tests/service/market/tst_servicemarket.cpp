#include "service/market/frontmonth.h"
#include "service/market/pricewalk.h"
#include "service/market/providerquote.h"
#include "service/market/quotefailure.h"

#include "datafile.h"

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
        QTest::newRow("December, day before the roll") << QDate(2026, 12, 9) << u"NQZ26"_s;
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

    // Answers of the quote provider: a quote is whole or not at all.
    void providerAnswer_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("quote"); // "time last open previousClose points", "" for none
        QTest::addColumn<ProviderRejection>("rejection");

        const QByteArray rising = dataFile("provider-rising.json");
        QTest::newRow("rising day") << rising << u"2026-12-04T14:55:00Z 21034.25 21000 20950 5"_s
                                    << ProviderRejection::None;
        QTest::newRow("falling day, open given")
            << dataFile("provider-falling.json") << u"2026-12-04T20:00:00Z 20990.75 21080.5 21100 6"_s
            << ProviderRejection::None;
        QTest::newRow("market closed") << dataFile("provider-closed.json")
                                       << u"2026-12-04T22:00:00Z 21050 20980 20950 6"_s << ProviderRejection::None;
        QTest::newRow("no last price") << dataFile("provider-missing.json") << QString()
                                       << ProviderRejection::NoLastPrice;
        QTest::newRow("error object") << dataFile("provider-error.json") << QString()
                                      << ProviderRejection::ProviderError;
        QTest::newRow("cut short") << rising.left(rising.size() / 2) << QString() << ProviderRejection::NotJson;
        QTest::newRow("empty") << QByteArray() << QString() << ProviderRejection::NotJson;
        QByteArray negative = rising;
        QTest::newRow("negative price") << negative.replace("\"regularMarketPrice\":21034.25",
                                                            "\"regularMarketPrice\":-1")
                                        << QString() << ProviderRejection::NoLastPrice;
        QByteArray textTime = rising;
        QTest::newRow("time as text") << textTime.replace("\"regularMarketTime\":",
                                                          "\"regularMarketTime\":\"1\",\"x\":")
                                      << QString() << ProviderRejection::NoTime;
        QByteArray noPrevious = rising;
        noPrevious.replace("\"previousClose\":20950.0", "\"previousClose\":null");
        QTest::newRow("only the chart's previous close")
            << noPrevious << u"2026-12-04T14:55:00Z 21034.25 21000 20950 5"_s << ProviderRejection::None;
        QTest::newRow("no previous close")
            << QByteArray(noPrevious).replace("\"chartPreviousClose\":20950.0", "\"chartPreviousClose\":0") << QString()
            << ProviderRejection::NoPreviousClose;
    }
    void providerAnswer() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, quote);
        QFETCH(ProviderRejection, rejection);
        const ProviderReading reading = readProviderQuote(answer);
        QCOMPARE(reading.rejection, rejection);
        const auto& read = reading.quote;
        QCOMPARE(read.has_value(), !quote.isEmpty());
        if (!read)
            return;
        QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(read->time.toString(Qt::ISODate))
                     .arg(read->last, 0, 'g', 10)
                     .arg(read->open, 0, 'g', 10)
                     .arg(read->previousClose, 0, 'g', 10)
                     .arg(read->series.size()),
                 quote);
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
