#include "market/quotereader.h"
#include "samplepage.h"
#include "ticker/servicehosts.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The saved quote page with other values where the page prints them: the time right-aligned
// in its eight columns, the change left-aligned in its ten. Filled in from the bottom of the
// page up, so a value never lands on a place still to be filled.
QString quotePage(const QString& time, const QString& last, const QString& change,
                  const QString& open) {
    QString text = samplePage(u"quote_nqz26.html"_s);
    const std::pair<QString, QString> places[] = {
        {u"1,529.25"_s, open},
        {u"+0.31%    "_s, change.leftJustified(10)},
        {u"1,534.50"_s, last},
        {u"  4:00pm"_s, time.rightJustified(8)},
    };
    for (const auto& [saved, value] : places)
        text.replace(text.indexOf(saved), saved.size(), value);
    return text;
}

FuturesQuote earlierQuote() {
    FuturesQuote quote;
    quote.fields = {u"15:45"_s, u"1530,00"_s, u"+ 0,10 %"_s, u"1528,00"_s};
    return quote;
}
} // namespace

class TestMarket : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void convertsQuoteTime_data() {
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("time");
        QTest::newRow("afternoon") << u"4:00pm"_s << u"16:00"_s;
        QTest::newRow("late evening") << u"10:30pm"_s << u"22:30"_s;
        QTest::newRow("noon hour") << u"12:15pm"_s << u"12:15"_s;
        QTest::newRow("morning") << u"9:30am"_s << u"9:30"_s;
        QTest::newRow("late morning") << u"11:05am"_s << u"11:05"_s;
        QTest::newRow("midnight hour") << u"12:05am"_s << u"00:05"_s;
        QTest::newRow("blank before pm") << u"3:20 pm"_s << u"15:20"_s;
        QTest::newRow("hour not a number keeps the earlier time") << u"--:--pm"_s << u"15:45"_s;
    }
    void convertsQuoteTime() {
        QFETCH(QString, printed);
        QFETCH(QString, time);
        const QString page = quotePage(printed, u"1,534.50"_s, u"+0.31%"_s, u"1,529.25"_s);
        QCOMPARE(readQuote(page, earlierQuote()).fields[FuturesQuote::Time], time);
    }

    void readsPricesAndDirection_data() {
        QTest::addColumn<QStringList>("printed"); // last, change, open
        QTest::addColumn<QStringList>("fields");  // last, change, open
        QTest::addColumn<bool>("rising");
        const auto row = [](const char* name, QStringList printed, QStringList fields,
                            bool rising) { QTest::newRow(name) << printed << fields << rising; };
        row("thousands comma", {u"1,534.50"_s, u"+0.31%"_s, u"1,529.25"_s},
            {u"1534,50"_s, u"+ 0,31 %"_s, u"1529,25"_s}, true);
        row("window ends in a tag", {u"1,534.5"_s, u"+0.28%"_s, u"1,530"_s},
            {u"1534,5"_s, u"+ 0,28 %"_s, u"1530"_s}, true);
        row("open equal to last", {u"1,534.50"_s, u"0.00%"_s, u"1,534.50"_s},
            {u"1534,50"_s, u"+ 0,00 %"_s, u"1534,50"_s}, true);
        row("open below last, fewer digits", {u"1,001.25"_s, u"+0.15%"_s, u"999.75"_s},
            {u"1001,25"_s, u"+ 0,15 %"_s, u"999,75"_s}, true);
        row("open above last, more digits", {u"999.75"_s, u"-0.15%"_s, u"1,001.25"_s},
            {u"999,75"_s, u"- 0,15 %"_s, u"1001,25"_s}, false);
        row("change without digits", {u"1,529.25"_s, u"unch"_s, u"1,534.50"_s},
            {u"1529,25"_s, u"- 0,0 %"_s, u"1534,50"_s}, false);
        row("tenth column of the change ignored", {u"1,534.50"_s, u"+1.2345678"_s, u"1,529.25"_s},
            {u"1534,50"_s, u"+ 1,234567 %"_s, u"1529,25"_s}, true);
    }
    void readsPricesAndDirection() {
        QFETCH(QStringList, printed);
        QFETCH(QStringList, fields);
        QFETCH(bool, rising);
        const FuturesQuote quote =
            readQuote(quotePage(u"4:00pm"_s, printed[0], printed[1], printed[2]), earlierQuote());
        QCOMPARE((QStringList{quote.fields[FuturesQuote::Last], quote.fields[FuturesQuote::Change],
                              quote.fields[FuturesQuote::Open]}),
                 fields);
        QCOMPARE(quote.rising, rising);
    }

    void captionsSavedPages_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("caption");
        QTest::newRow("quote") << u"quote_nqz26.html"_s << u"  16:00 - NQZ26, + 0,31 %  "_s;
        QTest::newRow("no markers") << u"quote_nomarkers.html"_s << u"   - NQZ26, + 0,0 %  "_s;
    }
    void captionsSavedPages() {
        QFETCH(QString, fileName);
        QFETCH(QString, caption);
        const FuturesQuote quote = readQuote(samplePage(fileName), earlierQuote());
        QCOMPARE(quoteCaption(quote, u"NQZ26"_s), caption);
        QCOMPARE(trendWord(quote.rising), u"positivo"_s);
    }

    void quoteUrlCarriesSymbolAsOneValue_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QByteArray>("query");
        QTest::newRow("plain") << u"NQZ26"_s << QByteArray("symbols=NQZ26");
        QTest::newRow("parameter and fragment")
            << u"NQZ26&symbols=ES#x"_s << QByteArray("symbols=NQZ26%26symbols%3DES%23x");
        QTest::newRow("blanks, line break, quotes")
            << u"NQ Z26\r\nHost: x'\""_s << QByteArray("symbols=NQ%20Z26%0D%0AHost%3A%20x%27%22");
    }
    void quoteUrlCarriesSymbolAsOneValue() {
        QFETCH(QString, symbol);
        QFETCH(QByteArray, query);
        const ServiceHosts hosts{{}, u"quote.example:8080"_s, {}, {}, {}, {}};
        QCOMPARE(quotePageUrl(hosts, symbol).toEncoded(),
                 "http://quote.example:8080/qc/stocks/quotes.aspx?" + query);
    }
};

QTEST_APPLESS_MAIN(TestMarket)
#include "tst_market.moc"
