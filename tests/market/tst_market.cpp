// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/servicehosts.h"
#include "common/windows1252.h"
#include "datafile.h"
#include "market/quotereader.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestMarket : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The saved page with other values where it prints them ("time|last|change|open"): the
    // time right-aligned in its eight columns, the change left-aligned in its ten. A time it
    // cannot read keeps the earlier quote's, 15:45.
    void readsTheQuotePage_data() {
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("fields"); // as the bar shows them
        QTest::addColumn<bool>("rising");
        const auto time = [](const char* name, const QString& printed, const QString& shown) {
            QTest::newRow(name) << printed + u"|1,534.50|+0.31%|1,529.25"_s << shown + u"|1534,50|+ 0,31 %|1529,25"_s
                                << true;
        };
        time("late evening", u"10:30pm"_s, u"22:30"_s);
        time("noon hour", u"12:15pm"_s, u"12:15"_s);
        time("morning", u"9:30am"_s, u"9:30"_s);
        time("hour after midnight", u"12:05am"_s, u"0:05"_s);
        time("hour after midnight, one minute digit", u"12:5am"_s, u"12:5"_s);
        time("hour after midnight, no minutes", u"12am"_s, u"12am"_s);
        time("blank before pm", u"3:20 pm"_s, u"15:20"_s);
        time("hour not a number", u"--:--pm"_s, u"15:45"_s);
        QTest::newRow("windows end in a tag, open equal to last")
            << u"4:00pm|1,534.5|0.00%|1,534.5"_s << u"16:00|1534,5|+ 0,00 %|1534,5"_s << true;
        QTest::newRow("open above last, more digits")
            << u"4:00pm|999.75|-0.15%|1,001.25"_s << u"16:00|999,75|- 0,15 %|1001,25"_s << false;
        QTest::newRow("change without digits")
            << u"4:00pm|1,529.25|unch|1,534.50"_s << u"16:00|1529,25|- 0,0 %|1534,50"_s << false;
    }
    void readsTheQuotePage() {
        QFETCH(QString, printed);
        QFETCH(QString, fields);
        QFETCH(bool, rising);
        const QStringList value = printed.split(u'|');
        QString text = decodeWindows1252(dataFile("quote_nqz26.html"));
        // Filled in from the bottom of the page up, so a value never lands on a place still
        // to be filled.
        const std::pair<QString, QString> places[] = {{u"1,529.25"_s, value[3]},
                                                      {u"+0.31%    "_s, value[2].leftJustified(10)},
                                                      {u"1,534.50"_s, value[1]},
                                                      {u"  4:00pm"_s, value[0].rightJustified(8)}};
        for (const auto& [saved, shown] : places)
            text.replace(text.indexOf(saved), saved.size(), shown);
        const FuturesQuote quote = readQuote(text, {{u"15:45"_s, u"1530,00"_s, u"+ 0,10 %"_s, u"1528,00"_s}});
        QCOMPARE(QStringList(quote.fields.begin(), quote.fields.end()).join(u'|'), fields);
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
        const FuturesQuote quote{{fields[0], fields[1], fields[2], fields[3]}};
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
