// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/servicehosts.h"
#include "common/windows1252.h"
#include "datafile.h"
#include "market/quotereader.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Reads the saved quote page with other values where the page prints them (`printed`: last,
// change, open): the time right-aligned in its eight columns, the change left-aligned in its
// ten. Filled in from the bottom of the page up, so a value never lands on a place still to
// be filled.
FuturesQuote readQuotePage(const QString& time,
                           const QStringList& printed = {u"1,534.50"_s, u"+0.31%"_s, u"1,529.25"_s}) {
    QString text = decodeWindows1252(dataFile("quote_nqz26.html"));
    const std::pair<QString, QString> places[] = {
        {u"1,529.25"_s, printed[2]},
        {u"+0.31%    "_s, printed[1].leftJustified(10)},
        {u"1,534.50"_s, printed[0]},
        {u"  4:00pm"_s, time.rightJustified(8)},
    };
    for (const auto& [saved, value] : places)
        text.replace(text.indexOf(saved), saved.size(), value);
    FuturesQuote earlier;
    earlier.fields = {u"15:45"_s, u"1530,00"_s, u"+ 0,10 %"_s, u"1528,00"_s};
    return readQuote(text, earlier);
}
} // namespace

class TestMarket : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void convertsQuoteTime_data() {
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("time");
        QTest::newRow("late evening") << u"10:30pm"_s << u"22:30"_s;
        QTest::newRow("noon hour") << u"12:15pm"_s << u"12:15"_s;
        QTest::newRow("morning") << u"9:30am"_s << u"9:30"_s;
        QTest::newRow("hour after midnight") << u"12:05am"_s << u"0:05"_s;
        QTest::newRow("hour after midnight, one minute digit") << u"12:5am"_s << u"12:5"_s;
        QTest::newRow("hour after midnight, no minutes") << u"12am"_s << u"12am"_s;
        QTest::newRow("blank before pm") << u"3:20 pm"_s << u"15:20"_s;
        QTest::newRow("hour not a number keeps the earlier time") << u"--:--pm"_s << u"15:45"_s;
    }
    void convertsQuoteTime() {
        QFETCH(QString, printed);
        QFETCH(QString, time);
        QCOMPARE(readQuotePage(printed).fields[FuturesQuote::Time], time);
    }

    void readsPricesAndDirection_data() {
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QStringList>("fields"); // last, change, open
        QTest::addColumn<bool>("rising");
        const auto row = [](const char* name, QStringList printed, QStringList fields, bool rising) {
            QTest::newRow(name) << printed << fields << rising;
        };
        row("thousands comma", {u"1,534.50"_s, u"+0.31%"_s, u"1,529.25"_s}, {u"1534,50"_s, u"+ 0,31 %"_s, u"1529,25"_s},
            true);
        row("windows end in a tag, open equal to last", {u"1,534.5"_s, u"0.00%"_s, u"1,534.5"_s},
            {u"1534,5"_s, u"+ 0,00 %"_s, u"1534,5"_s}, true);
        row("open above last, more digits", {u"999.75"_s, u"-0.15%"_s, u"1,001.25"_s},
            {u"999,75"_s, u"- 0,15 %"_s, u"1001,25"_s}, false);
        row("change without digits", {u"1,529.25"_s, u"unch"_s, u"1,534.50"_s},
            {u"1529,25"_s, u"- 0,0 %"_s, u"1534,50"_s}, false);
    }
    void readsPricesAndDirection() {
        QFETCH(QStringList, printed);
        QFETCH(QStringList, fields);
        QFETCH(bool, rising);
        const FuturesQuote quote = readQuotePage(u"4:00pm"_s, printed);
        QCOMPARE((QStringList{quote.fields[FuturesQuote::Last], quote.fields[FuturesQuote::Change],
                              quote.fields[FuturesQuote::Open]}),
                 fields);
        QCOMPARE(quote.rising, rising);
    }

    void describesTheFutures_data() {
        QTest::addColumn<QStringList>("fields"); // time, last, change, open
        QTest::addColumn<QString>("trend");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("description");
        QTest::newRow("falling") << QStringList{u"16:00"_s, u"21034,25"_s, u"- 0,31 %"_s, u"21100,00"_s}
                                 << u"negativo"_s << u"16:00 Indice futures Nasdaq 100"_s
                                 << u"I futures USA Nasdaq-100 viaggiano in terreno negativo. Il valore di "
                                    u"apertura \u00e8 stato di 21100,00 ed il valore attuale \u00e8 21034,25 con "
                                    u"una variazione percentuale pari a - 0,31 %."_s;
        // Before the first quote: the empty values, as they are.
        QTest::newRow("no quote yet") << QStringList{{}, {}, {}, {}} << QString() << u" Indice futures Nasdaq 100"_s
                                      << u"I futures USA Nasdaq-100 viaggiano in terreno . Il valore di apertura "
                                         u"\u00e8 stato di  ed il valore attuale \u00e8  con una variazione "
                                         u"percentuale pari a ."_s;
    }
    void describesTheFutures() {
        QFETCH(QStringList, fields);
        QFETCH(QString, trend);
        QFETCH(QString, heading);
        QFETCH(QString, description);
        FuturesQuote quote;
        quote.fields = {fields[0], fields[1], fields[2], fields[3]};
        QCOMPARE(futuresHeading(quote), heading);
        QCOMPARE(futuresDescription(quote, trend), description);
    }

    // Each window filled exactly, with characters it would keep on both sides of it: a
    // window one character too long, too short or shifted reads another value.
    void readsEachWindowToItsEdges() {
        const QString filler(36, u'x');
        const QString page = u"9+1.2345678"_s + filler + u"Shows primary price"_s + u"9"_s + u"10:30 pm9"_s +
                             filler.left(27) + u"ET</abbr><br /></span>"_s + u"Last price:1111111234567890"_s +
                             u"Open:"_s + QString(25, u'1') + u"000000000000012345"_s + u"0"_s;
        const FuturesQuote quote = readQuote(page, {});
        QCOMPARE(QStringList(quote.fields.begin(), quote.fields.end()),
                 (QStringList{u"22:30"_s, u"23456789"_s, u"+ 1,234567 %"_s, u"000000000000012345"_s}));
    }

    // The symbol comes from the network: none of its characters may add a parameter, a
    // fragment or a line to the request.
    void quoteUrlCarriesSymbolAsOneValue() {
        const ServiceHosts hosts{{}, u"quote.example:8080"_s, {}, {}, {}, {}};
        QCOMPARE(quotePageUrl(hosts, u"NQ Z26&symbols=ES#x\r\nHost: x'\""_s).toEncoded(),
                 "http://quote.example:8080/qc/stocks/quotes.aspx"
                 "?symbols=NQ%20Z26%26symbols%3DES%23x%0D%0AHost%3A%20x%27%22");
    }
};

QTEST_APPLESS_MAIN(TestMarket)
#include "tst_market.moc"
