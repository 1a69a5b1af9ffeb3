#include "common/windows1252.h"
#include "market/quotereader.h"
#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "service/easternclock.h"
#include "service/feedchoice.h"
#include "service/feeddate.h"
#include "service/feededition.h"
#include "service/feedreader.h"
#include "service/frontmonth.h"
#include "service/pricewalk.h"
#include "service/providerquote.h"
#include "service/quotepage.h"
#include "service/servicecommandline.h"

#include "datafile.h"
#include "feedexpectation.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

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

// The service's pages and settings without a network; every page is read back with the
// bar's own readers, so what is checked is what the bar would show.
class TestServicePages : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

        const QByteArray rising = dataFile("provider-rising.json");
        QTest::newRow("rising day") << rising << u"2026-12-04T14:55:00Z 21034.25 21000 20950 5"_s;
        QTest::newRow("falling day, open given")
            << dataFile("provider-falling.json") << u"2026-12-04T20:00:00Z 20990.75 21080.5 21100 6"_s;
        QTest::newRow("market closed") << dataFile("provider-closed.json")
                                       << u"2026-12-04T22:00:00Z 21050 20980 20950 6"_s;
        QTest::newRow("no last price") << dataFile("provider-missing.json") << QString();
        QTest::newRow("error object") << dataFile("provider-error.json") << QString();
        QTest::newRow("cut short") << rising.left(rising.size() / 2) << QString();
        QTest::newRow("empty") << QByteArray() << QString();
        QByteArray negative = rising;
        QTest::newRow("negative price") << negative.replace("\"regularMarketPrice\":21034.25",
                                                            "\"regularMarketPrice\":-1")
                                        << QString();
        QByteArray textTime = rising;
        QTest::newRow("time as text") << textTime.replace("\"regularMarketTime\":",
                                                          "\"regularMarketTime\":\"1\",\"x\":")
                                      << QString();
        QByteArray noPrevious = rising;
        noPrevious.replace("\"previousClose\":20950.0", "\"previousClose\":null");
        QTest::newRow("only the chart's previous close")
            << noPrevious << u"2026-12-04T14:55:00Z 21034.25 21000 20950 5"_s;
        QTest::newRow("no previous close")
            << QByteArray(noPrevious).replace("\"chartPreviousClose\":20950.0", "\"chartPreviousClose\":0")
            << QString();
    }
    void providerAnswer() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, quote);
        const auto read = readProviderQuote(answer);
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

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome"); // "invalid", "help" or "ADDRESS PORT FEED REFRESH SWITCHES"

        const auto args = [](std::initializer_list<QStringView> list) {
            QStringList result{u"zefirina-service"_s};
            for (const QStringView arg : list)
                result.append(arg.toString());
            return result;
        };
        const auto run = [](const QString& listen, QStringView feed = u"-", int refresh = 180,
                            QStringView switches = u"-") {
            return u"%1 %2 %3 %4"_s.arg(listen, feed).arg(refresh).arg(switches);
        };
        const QString local = u"127.0.0.1 %1"_s.arg(ServiceCommandLine::DefaultPort);
        const QString file = QStringLiteral(DATA_DIR "/rss2.xml");
        const QString fileUrl = QUrl::fromLocalFile(file).toString();
        const QString invalid = u"invalid"_s;
        QTest::newRow("defaults") << args({}) << run(local);
        QTest::newRow("free port") << args({u"--port", u"0"}) << run(u"127.0.0.1 0"_s);
        QTest::newRow("IPv6") << args({u"--listen", u"::1"}) << run(u"::1 %1"_s.arg(ServiceCommandLine::DefaultPort));
        QTest::newRow("help") << args({u"--help"}) << u"help"_s;
        QTest::newRow("help-all") << args({u"--help-all"}) << u"help"_s;
        QTest::newRow("feed URL") << args({u"--feed", u"https://x.org/rss"}) << run(local, u"https://x.org/rss");
        QTest::newRow("file, shortest refresh")
            << args({u"--feed", file, u"--refresh", u"30"}) << run(local, fileUrl, 30);
        QTest::newRow("file URL, longest refresh")
            << args({u"--feed", fileUrl, u"--refresh", u"86400"}) << run(local, fileUrl, 86400);
        QTest::newRow("port too high") << args({u"--port", u"65536"}) << invalid;
        QTest::newRow("port with sign") << args({u"--port", u"+80"}) << invalid;
        QTest::newRow("host name") << args({u"--listen", u"localhost"}) << invalid;
        QTest::newRow("stray argument") << args({u"8089"}) << invalid;
        QTest::newRow("missing file") << args({u"--feed", file + u".old"_s}) << invalid;
        QTest::newRow("folder") << args({u"--feed", QStringLiteral(DATA_DIR)}) << invalid;
        QTest::newRow("other scheme") << args({u"--feed", u"ftp://x.org/rss"}) << invalid;
        QTest::newRow("no host") << args({u"--feed", u"http:///rss"}) << invalid;
        QTest::newRow("refresh too short") << args({u"--feed", file, u"--refresh", u"29"}) << invalid;
        QTest::newRow("refresh too long") << args({u"--feed", file, u"--refresh", u"86401"}) << invalid;
        QTest::newRow("refresh with unit") << args({u"--feed", file, u"--refresh", u"5m"}) << invalid;
        QTest::newRow("refresh of the default feeds") << args({u"--refresh", u"60"}) << run(local, u"-", 60);
        QTest::newRow("sample") << args({u"--sample"}) << run(local, u"-", 180, u"sample");
        QTest::newRow("sample with a feed") << args({u"--sample", u"--feed", file}) << invalid;
        QTest::newRow("sample with refresh") << args({u"--sample", u"--refresh", u"60"}) << invalid;
        QTest::newRow("started by the bar")
            << args({u"--port", u"0", u"--exit-with-stdin"}) << run(u"127.0.0.1 0"_s, u"-", 180, u"stdin");
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, outcome);

        using Outcome = ServiceCommandLine::Outcome;
        ServiceCommandLine line;
        const Outcome parsed = line.parse(arguments);
        QCOMPARE(line.errorText().isEmpty(), parsed != Outcome::Invalid); // the user is told why
        if (parsed != Outcome::Run)
            QCOMPARE(parsed == Outcome::Invalid ? u"invalid"_s : u"help"_s, outcome);
        else
            QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(line.address().toString())
                         .arg(line.port())
                         .arg(line.feed() ? line.feed()->toString() : u"-"_s)
                         .arg(line.refreshInterval().count())
                         .arg(line.sample()          ? u"sample"_s
                              : line.exitWithStdin() ? u"stdin"_s
                                                     : u"-"_s),
                     outcome);
    }

    // Which feeds the service reads: --sample, then --feed, then the environment, then the
    // configuration file's line, then the news service's own feeds.
    void feedChoice_data() {
        QTest::addColumn<bool>("sample");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QStringList>("feeds"); // empty: the sample news
        QTest::addColumn<QString>("error");

        const QString rss101 = u"https://www.servizitelevideo.rai.it/televideo/pub/rss101.xml"_s;
        const QString allNews = u"https://www.rainews.it/rss/tutti"_s;
        const QString conf = u"# Zefirina\n; feed = https://old.example/rss\n  feed =  https://b.example/rss \n"_s;
        QTest::newRow("nothing set") << false << QString() << QString() << QString() << QStringList{rss101, allNews}
                                     << QString();
        QTest::newRow("config line") << false << QString() << QString() << conf
                                     << QStringList{u"https://b.example/rss"_s} << QString();
        QTest::newRow("last line wins, relative file beside it")
            << false << QString() << QString() << u"feed=a.xml\r\nfeed = notizie/b.xml\r\n"_s
            << QStringList{u"file:///home/u/.config/zefirina/notizie/b.xml"_s} << QString();
        QTest::newRow("environment over config") << false << QString() << u" file:///srv/feed.xml "_s << conf
                                                 << QStringList{u"file:///srv/feed.xml"_s} << QString();
        QTest::newRow("command line over all") << false << u"https://c.example/rss"_s << u"https://a.example/rss"_s
                                               << conf << QStringList{u"https://c.example/rss"_s} << QString();
        QTest::newRow("sample over all") << true << u"https://c.example/rss"_s << u"https://a.example/rss"_s << conf
                                         << QStringList() << QString();
        // A feed the user chose and that cannot be read gives the sample news and says why,
        // rather than news the user did not ask for.
        QTest::newRow("unusable environment")
            << false << QString() << u"ftp://a.example/rss"_s << conf << QStringList()
            << u"unsupported feed URL 'ftp://a.example/rss': expected http, https or a file"_s;
        QTest::newRow("URL without host") << false << QString() << QString() << u"feed=https:///rss"_s << QStringList()
                                          << u"invalid feed URL 'https:///rss'"_s;
    }

    void feedChoice() {
        QFETCH(bool, sample);
        QFETCH(QString, commandLine);
        QFETCH(QString, environment);
        QFETCH(QString, config);
        QFETCH(QStringList, feeds);
        QFETCH(QString, error);

        const std::optional<QUrl> given = commandLine.isEmpty() ? std::nullopt : std::optional(QUrl(commandLine));
        const FeedChoice choice =
            chooseFeeds(sample, given, environment, config, u"/home/u/.config/zefirina/zefirina.conf"_s);
        QStringList chosen;
        for (const QUrl& feed : choice.feeds)
            chosen.append(feed.toString());
        QCOMPARE(chosen, feeds);
        QCOMPARE(choice.error, error);
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
            const FeedExpectation expected = readFeedExpectation(data.filePath(name));
            const QString feed = name.chopped(u".expected"_s.size());
            QTest::newRow(qPrintable(feed)) << dataFile(qPrintable(feed)) << expected.captions << expected.texts;
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

    // The offset matters beside the instant: the bar shows the time of day the feed wrote.
    void feedDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("date"); // in ISO 8601; empty when the text is no date

        QTest::newRow("wrong day name, no seconds") << u"Mon, 6 Dec 2026 18:40 GMT"_s << u"2026-12-06T18:40:00+00:00"_s;
        QTest::newRow("two-digit year, US zone") << u"06 Dec 26 18:40:00 EST"_s << u"2026-12-06T18:40:00-05:00"_s;
        QTest::newRow("month spelt out, offset with colon")
            << u"Sunday, 06 December 2026 18:40:00 +01:00"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("blanks, CEST") << u" Sun, 06 Dec 2026 18:40:00 CEST "_s << u"2026-12-06T18:40:00+02:00"_s;
        QTest::newRow("ISO 8601, blank, no seconds") << u"2026-12-06 18:40+0100"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("ISO date alone") << u"2026-12-07"_s << u"2026-12-07T00:00:00+00:00"_s;
        QTest::newRow("offset beyond 14 hours") << u"Sun, 06 Dec 2026 18:40:00 +1500"_s << QString();
        QTest::newRow("unknown zone") << u"Sun, 06 Dec 2026 18:40:00 XYZ"_s << QString();
    }

    void feedDates() {
        QFETCH(QString, text);
        QFETCH(QString, date);
        QCOMPARE(parseFeedDate(text).toString(Qt::ISODate), date);
    }
};

QTEST_GUILESS_MAIN(TestServicePages)
#include "tst_servicepages.moc"
