// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/windows1252.h"
#include "market/quotereader.h"
#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "service/feed/feedreader.h"
#include "service/market/easternclock.h"
#include "service/pages/feededition.h"
#include "service/pages/quotepage.h"

#include "datafile.h"

#include <QDir>
#include <QFile>
#include <QJSEngine>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

// What a test feed must give the bar, as written in its NAME.xml.expected beside it: lines
// starting with "#" say why; then the captions without their padding ("12:30 - Titolo"),
// newest first; a blank line; the texts the first headlines open, in the same order.
std::pair<QStringList, QStringList> feedExpectation(const QString& path) {
    QFile file(path);
    QStringList lines = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n') : QStringList();
    lines.removeIf([](const QString& line) { return line.startsWith(u'#'); });
    const qsizetype blank = lines.indexOf(QString());
    if (blank < 0)
        qFatal("no blank line after the captions in %s", qPrintable(path));
    QStringList texts = lines.mid(blank + 1);
    texts.removeAll(QString()); // the file's last line end
    return {lines.first(blank), texts};
}

// A feed of `count` items a minute apart, oldest first, the newest with a long text.
QByteArray hugeFeed(int count) {
    const QDateTime first(QDate(2026, 12, 1), QTime(0, 0), QTimeZone(3600));
    QByteArray items;
    for (int i = 0; i < count; ++i)
        items += "<item><title>Notizia " + QByteArray::number(i) + "</title><pubDate>" +
                 first.addSecs(60LL * i).toString(Qt::RFC2822Date).toLatin1() + "</pubDate><description>" +
                 (i == count - 1 ? QByteArray("parola ").repeated(200) : "Testo") + "</description></item>\n";
    return "<rss version=\"2.0\"><channel><title>Tante notizie</title>\n" + items + "</channel></rss>\n";
}

} // namespace

// The service's pages without a network; every page is read back with the bar's own
// readers, so what is checked is what the bar would show. The chart page's script is run
// by a JavaScript engine without a browser.
class TestServicePages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QFile file(QStringLiteral(CHART_SCRIPT));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJSValue loaded = m_engine.evaluate(QString::fromUtf8(file.readAll()), file.fileName());
        QVERIFY2(!loaded.isError(), qPrintable(loaded.toString()));
    }

    // The clock as well: the bar turns the page's Eastern 12-hour time into "16:00". The
    // markers come after the title, so a symbol spelling them must not move a value. A value
    // that does not fit its window gives no page at all ("").
    void quote_data() {
        QTest::addColumn<QDateTime>("instant");
        QTest::addColumn<double>("last");
        QTest::addColumn<double>("open");
        QTest::addColumn<QString>("fields"); // time|last|change|open as the bar shows them

        const auto at = [](int month, int day, int hour, int minute) {
            return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
        };
        QTest::newRow("summer") << at(7, 1, 20, 0) << 21034.25 << 21000.0 << u"16:00|21034,25|+ 0,16 %|21000,00"_s;
        QTest::newRow("winter") << at(12, 4, 14, 30) << 20958.5 << 21000.0 << u"9:30|20958,50|- 0,20 %|21000,00"_s;
        QTest::newRow("midnight") << at(12, 5, 5, 5) << 21000.0 << 21000.0 << u"0:05|21000,00|+ 0,00 %|21000,00"_s;
        QTest::newRow("noon") << at(12, 4, 17, 30) << 21042.0 << 21000.0 << u"12:30|21042,00|+ 0,20 %|21000,00"_s;
        QTest::newRow("four digits") << at(12, 5, 4, 59) << 9999.75 << 10000.0 << u"23:59|9999,75|- 0,00 %|10000,00"_s;
        QTest::newRow("last too wide") << at(12, 4, 20, 0) << 100000.0 << 99000.0 << QString();
        QTest::newRow("change too wide") << at(12, 4, 20, 0) << 21000.0 << 1.0 << QString();
        QTest::newRow("no open") << at(12, 4, 20, 0) << 21000.0 << 0.0 << QString();
    }

    void quote() {
        QFETCH(QDateTime, instant);
        QFETCH(double, last);
        QFETCH(double, open);
        QFETCH(QString, fields);

        const QString symbol = u"Open: Last price: Shows primary price ET</abbr><br /></span>"_s;
        const QByteArray page = renderQuotePage(easternClockText(instant), last, open, symbol);
        QCOMPARE(page.isEmpty(), fields.isEmpty());
        if (page.isEmpty())
            return;
        const FuturesQuote quote = readQuote(decodeWindows1252(page), {});
        QCOMPARE(QStringList(quote.fields.begin(), quote.fields.end()).join(u'|'), fields);
    }

    void quoteTitleEscapesSymbol() {
        const QByteArray page = renderQuotePage(u"4:00pm", 21000.0, 21000.0, u"<b>a&b\"c\u20AC\U0001F600");
        QVERIFY2(page.contains("<title>&#60;b&#62;a&#38;b&#34;c&#8364;&#128512; - "), page.constData());
        QVERIFY(std::all_of(page.cbegin(), page.cend(), [](char c) { return static_cast<uchar>(c) < 0x80; }));
    }

    // Each feed as the bar shows it: "HH:MM - Title" in its first slots, newest first, and
    // the text that the link of each of the first headlines opens. The bar repairs à but
    // keeps the second byte of its UTF-8 form, a no-break space, and its detail reader glues
    // a comma to a following digit. Each feed in the data folder comes with what it must
    // give in NAME.xml.expected: adding a case is adding the two files.
    void feed_data() {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("texts");

        const QDir data(QStringLiteral(DATA_DIR));
        const QStringList expectations = data.entryList({u"*.xml.expected"_s}, QDir::Files, QDir::Name);
        QVERIFY(expectations.size() >= 5);
        for (const QString& name : expectations) {
            const auto [captions, texts] = feedExpectation(data.filePath(name));
            const QString feed = name.chopped(u".expected"_s.size());
            QTest::newRow(qPrintable(feed)) << dataFile(qPrintable(feed)) << captions << texts;
        }
        // The newest comes last in the document; its long text is cut for the panel.
        QTest::newRow("40000 items") << hugeFeed(40000)
                                     << QStringList{u"18:39 - Notizia 39999"_s, u"18:38 - Notizia 39998"_s,
                                                    u"18:37 - Notizia 39997"_s}
                                     << QStringList{QStringList(114, u"parola"_s).join(u' ') + u"..."_s, u"Testo"_s};
    }

    void feed() {
        QFETCH(QByteArray, feed);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, texts);

        const FeedReading reading = readFeed(feed);
        QVERIFY(!reading.failure);
        const NewsEdition edition = renderFeedEdition(reading.items);
        const HeadlineBatch batch = readHeadlines(decodeWindows1252(edition.headlinePage), {}, u"00:00"_s);
        for (qsizetype slot = 0; slot < captions.size(); ++slot)
            QCOMPARE(batch.captions[slot], u"  "_s + captions.at(slot) + u"  "_s);
        for (qsizetype slot = 0; slot < texts.size(); ++slot)
            QCOMPARE(readDetail(decodeWindows1252(edition.detailPages.value(batch.links[slot]))), texts.at(slot));
    }

    // The bar holds the links of its last reading while the service may have read the feed
    // again: a link names the same item, with the same page, in the next reading.
    void linksOutlastARefresh() {
        QList<FeedItem> items = readFeed(dataFile("rss2.xml")).items;
        const NewsEdition before = renderFeedEdition(items);
        const QDateTime latest(QDate(2026, 12, 6), QTime(19, 0), Qt::UTC);
        items.prepend({u"nuova"_s, {}, u"Ultima ora"_s, u"Testo."_s, latest});
        const NewsEdition after = renderFeedEdition(items);
        QCOMPARE(after.detailPages.size(), before.detailPages.size() + 1);
        for (auto page = before.detailPages.cbegin(); page != before.detailPages.cend(); ++page)
            QCOMPARE(after.detailPages.value(page.key()), page.value());
    }

    // An item's own web address is linked below its text for a browser, never shown by the
    // bar, and only when it is one: nothing of a feed's link can leave the attribute.
    void detailPageLinksTheSource_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QByteArray>("anchor"); // empty: no link to the source

        QTest::newRow("article") << u"https://www.rainews.it/articoli/2026/12/neve.html?a=1&b=2"_s
                                 << QByteArray(
                                        "<a href=\"https://www.rainews.it/articoli/2026/12/neve.html?a=1&amp;b=2\">");
        QTest::newRow("accent") << u"http://example.org/città"_s
                                << QByteArray("<a href=\"http://example.org/citt%C3%A0\">");
        QTest::newRow("markup in it") << u"http://example.org/a\"><script>"_s << QByteArray();
        QTest::newRow("script") << u"javascript:alert(1)"_s << QByteArray();
        QTest::newRow("relative") << u"/articoli/neve.html"_s << QByteArray();
        QTest::newRow("none") << QString() << QByteArray();
    }

    void detailPageLinksTheSource() {
        QFETCH(QString, link);
        QFETCH(QByteArray, anchor);
        const QDateTime published(QDate(2026, 12, 6), QTime(19, 0), Qt::UTC);
        const NewsEdition edition = renderFeedEdition({{u"uno"_s, link, u"Titolo"_s, u"Testo."_s, published}});
        QCOMPARE(edition.detailPages.size(), 1);
        const QByteArray page = edition.detailPages.cbegin().value();
        QCOMPARE(page.contains("sito della fonte"), !anchor.isEmpty());
        QVERIFY2(page.contains(anchor), page.constData());
        QCOMPARE(readDetail(decodeWindows1252(page)), u"Testo."_s);
    }

    // Each row is an expression over LiveChartsMath and the text it must give.
    void chartScript_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("result");

        // Ticks: round steps across the day's prices; equal prices are spread by one either side.
        QTest::newRow("price ticks of a day") << u"priceTicks(20950, 21034.25)"_s << u"20960,20980,21000,21020"_s;
        QTest::newRow("price ticks of one price") << u"priceTicks(99, 101)"_s << u"99,99.5,100,100.5,101"_s;
        QTest::newRow("equal prices spread")
            << u"(function(b){return [b.low,b.high].join(',')})(bounds({points:[[1,5],[2,5]],previousClose:5,last:5,"
               "time:2}))"_s
            << u"4,6"_s;
        // Numbers no chart should see: the ticks end, few or none, whatever they are.
        QTest::newRow("ticks of the largest prices")
            << u"priceTicks(0, 1e308)"_s << u"0,2e+307,4e+307,6e+307,8e+307,1e+308"_s;
        QTest::newRow("ticks across all numbers") << u"priceTicks(-1e308, 1e308)"_s << QString();
        QTest::newRow("ticks below rounding") << u"priceTicks(1e20, 1e20 + 1e5).length <= 12"_s << u"true"_s;
        QTest::newRow("ticks of 1e20 and 1e-20") << u"priceTicks(1e-20, 1e20).length <= 12"_s << u"true"_s;
        QTest::newRow("ticks of nothing") << u"priceTicks(NaN, NaN)"_s << QString();
        // The trading day in New York (UTC-5): 9:30 to 16:00 gives a mark every hour.
        QTest::newRow("time ticks of a day")
            << u"timeTicks(1796653800, 1796677200, -18000).map(function(t){return clock(t, -18000)})"_s
            << u"10:00,11:00,12:00,13:00,14:00,15:00,16:00"_s;
        QTest::newRow("time ticks of a century") << u"timeTicks(0, 3e9, 0)"_s << QString();
        QTest::newRow("time ticks backwards") << u"timeTicks(1796677200, 1796653800, 0)"_s << QString();
        QTest::newRow("clock") << u"clock(1796653800, -18000)"_s << u"09:30"_s;
        QTest::newRow("clock of no time") << u"clock(NaN, 0)"_s << u"--:--"_s;
        QTest::newRow("price") << u"decimal(21034.25)"_s << u"21034,25"_s;
        QTest::newRow("no price") << u"decimal(Infinity)"_s << u"-"_s;
        QTest::newRow("rise") << u"changeText(21034.25, 20950)"_s << u"+84,25 (+0,40%)"_s;
        QTest::newRow("fall") << u"changeText(20900, 20950)"_s << u"-50,00 (-0,24%)"_s;
        // The data are asked over the scheme the script came over, never another one.
        QTest::newRow("data over https")
            << u"dataUrl({ASCIISERVER:'charts.example', ASCIIPORT:'8080', SYMBOL:'INDEX:COMPX'}, 'https:')"_s
            << u"https://charts.example:8080/livecharts/series.json?symbol=INDEX%3ACOMPX"_s;
        QTest::newRow("data of a local page over http")
            << u"dataUrl({ASCIISERVER:'a.example:9', ASCIIPORT:'80', SYMBOL:'NQZ26&x=1'}, 'file:')"_s
            << u"http://a.example:9/livecharts/series.json?symbol=NQZ26%26x%3D1"_s;
        QTest::newRow("usable data")
            << u"usable({symbol:'NQZ26', last:2, previousClose:1, time:5, utcOffset:0, points:[[1,2]]})"_s << u"true"_s;
        QTest::newRow("no previous close")
            << u"usable({symbol:'NQZ26', last:2, previousClose:0, time:5, utcOffset:0, points:[]})"_s << u"false"_s;
        QTest::newRow("a point of text")
            << u"usable({symbol:'NQZ26', last:2, previousClose:1, time:5, utcOffset:0, points:[[1,'2']]})"_s
            << u"false"_s;
        QTest::newRow("no symbol") << u"usable({last:2, previousClose:1, time:5, utcOffset:0, points:[]})"_s
                                   << u"false"_s;
    }
    void chartScript() {
        QFETCH(QString, expression);
        QFETCH(QString, result);
        const QJSValue value = m_engine.evaluate(u"with (LiveChartsMath) { String(%1) }"_s.arg(expression));
        QVERIFY2(!value.isError(), qPrintable(value.toString()));
        QCOMPARE(value.toString(), result);
    }

private:
    QJSEngine m_engine;
};

QTEST_GUILESS_MAIN(TestServicePages)
#include "tst_servicepages.moc"
