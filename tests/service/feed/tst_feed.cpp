// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feedchoice.h"
#include "service/feed/feeddate.h"
#include "service/feed/feedreader.h"

#include "datafile.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FeedAddressProblem)

// Which feed the service reads, and how its documents are read: dates, encodings, links.
class TestFeed : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Which feeds the service reads: --sample, then --feed, then the environment, then the
    // configuration file's line, then the news service's own feeds.
    void feedChoice_data() {
        QTest::addColumn<bool>("sample");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QStringList>("feeds"); // empty: the sample news
        QTest::addColumn<FeedAddressProblem>("problem");

        const QString rss101 = u"https://www.servizitelevideo.rai.it/televideo/pub/rss101.xml"_s;
        const QString allNews = u"https://www.rainews.it/rss/tutti"_s;
        const QString conf = u"# Zefirina\n; feed = https://old.example/rss\n  feed =  https://b.example/rss \n"_s;
        QTest::newRow("nothing set") << false << QString() << QString() << QString() << QStringList{rss101, allNews}
                                     << FeedAddressProblem::None;
        QTest::newRow("config line") << false << QString() << QString() << conf
                                     << QStringList{u"https://b.example/rss"_s} << FeedAddressProblem::None;
        QTest::newRow("last line wins, relative file beside it")
            << false << QString() << QString() << u"feed=a.xml\r\nfeed = notizie/b.xml\r\n"_s
            << QStringList{u"file:///home/u/.config/zefirina/notizie/b.xml"_s} << FeedAddressProblem::None;
        QTest::newRow("environment over config") << false << QString() << u" file:///srv/feed.xml "_s << conf
                                                 << QStringList{u"file:///srv/feed.xml"_s} << FeedAddressProblem::None;
        QTest::newRow("command line over all")
            << false << u"https://c.example/rss"_s << u"https://a.example/rss"_s << conf
            << QStringList{u"https://c.example/rss"_s} << FeedAddressProblem::None;
        QTest::newRow("sample over all") << true << u"https://c.example/rss"_s << u"https://a.example/rss"_s << conf
                                         << QStringList() << FeedAddressProblem::None;
        // A feed the user chose and that cannot be read gives the sample news and says why,
        // rather than news the user did not ask for.
        QTest::newRow("unusable environment") << false << QString() << u"ftp://a.example/rss"_s << conf << QStringList()
                                              << FeedAddressProblem::UnsupportedScheme;
        QTest::newRow("URL without host") << false << QString() << QString() << u"feed=https:///rss"_s << QStringList()
                                          << FeedAddressProblem::InvalidUrl;
    }

    void feedChoice() {
        QFETCH(bool, sample);
        QFETCH(QString, commandLine);
        QFETCH(QString, environment);
        QFETCH(QString, config);
        QFETCH(QStringList, feeds);
        QFETCH(FeedAddressProblem, problem);

        const std::optional<QUrl> given = commandLine.isEmpty() ? std::nullopt : std::optional(QUrl(commandLine));
        const FeedChoice choice =
            chooseFeeds(sample, given, environment, config, u"/home/u/.config/zefirina/zefirina.conf"_s);
        QStringList chosen;
        for (const QUrl& feed : choice.feeds)
            chosen.append(feed.toString());
        QCOMPARE(chosen, feeds);
        QCOMPARE(choice.problem, problem);
    }

    // Dates in the forms feeds write. The offset is kept: the instant and, for a date
    // alone, the day the feed meant.
    void feedDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("date"); // in ISO 8601, " day" after a date without time; empty: no date

        QTest::newRow("wrong day name, no seconds") << u"Mon, 6 Dec 2026 18:40 GMT"_s << u"2026-12-06T18:40:00+00:00"_s;
        QTest::newRow("two-digit year, US zone") << u"06 Dec 26 18:40:00 EST"_s << u"2026-12-06T18:40:00-05:00"_s;
        QTest::newRow("Pacific, month first") << u"Sun, Dec 06 2026 18:40:00 PST"_s << u"2026-12-06T18:40:00-08:00"_s;
        QTest::newRow("month spelt out, offset with colon")
            << u"Sunday, 06 December 2026 18:40:00 +01:00"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("blanks, CEST") << u" Sun, 06 Dec 2026 18:40:00 CEST "_s << u"2026-12-06T18:40:00+02:00"_s;
        QTest::newRow("zone comment") << u"Sun, 06 Dec 2026 18:40:00 +0100 (CET)"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("GMT+1") << u"Sun, 06 Dec 2026 18:40:00 GMT+1"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("no zone") << u"Sun, 06 Dec 2026 18:40:00"_s << u"2026-12-06T18:40:00+00:00"_s;
        QTest::newRow("Italian month, English day")
            << u"Wed, 15 Gen 2012 04:31:00 -0600"_s << u"2012-01-15T04:31:00-06:00"_s;
        QTest::newRow("Italian day like a month") << u"Mar, 14 Gen 2012 04:31 CET"_s << u"2012-01-14T04:31:00+01:00"_s;
        QTest::newRow("Italian, spelt out")
            << u"Domenica 6 dicembre 2026 18:40:00 +0100"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("French, full stops") << u"mer. 6 déc. 2026 18:40:00 +0100"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("French juin") << u"sam., 6 juin 2026 08:00 GMT"_s << u"2026-06-06T08:00:00+00:00"_s;
        QTest::newRow("German") << u"Di, 3. März 2026 09:15:00 MEZ"_s << u"2026-03-03T09:15:00+01:00"_s;
        QTest::newRow("Spanish") << u"mié, 06 dic 2026 18:40:00 -0300"_s << u"2026-12-06T18:40:00-03:00"_s;
        QTest::newRow("ISO 8601, fraction") << u"2026-12-06T18:40:00.123+01:00"_s << u"2026-12-06T18:40:00.123+01:00"_s;
        QTest::newRow("ISO 8601, blank, no seconds") << u"2026-12-06 18:40+0100"_s << u"2026-12-06T18:40:00+01:00"_s;
        QTest::newRow("ISO date alone") << u"2026-12-07"_s << u"2026-12-07T00:00:00+00:00 day"_s;
        QTest::newRow("RFC 822 date alone") << u"Mon, 07 Dec 2026"_s << u"2026-12-07T00:00:00+00:00 day"_s;
        QTest::newRow("offset beyond 14 hours") << u"Sun, 06 Dec 2026 18:40:00 +1500"_s << QString();
        QTest::newRow("unknown zone") << u"Sun, 06 Dec 2026 18:40:00 XY+00:00"_s << QString();
        QTest::newRow("no such day") << u"31 Nov 2026 10:00 GMT"_s << QString();
        QTest::newRow("words") << u"ieri sera"_s << QString();
    }

    void feedDates() {
        QFETCH(QString, text);
        QFETCH(QString, date);
        const FeedDate read = parseFeedDate(text);
        QCOMPARE(read.instant.isValid() ? read.instant.toString(Qt::ISODateWithMs).replace(u".000"_s, QString()) +
                                              (read.timeGiven ? QString() : u" day"_s)
                                        : QString(),
                 date);
    }

    // Whatever the bytes, a feed is read; what was wrong with them is told with where the
    // first wrong byte is. Only a document that is no XML at all gives nothing.
    void encodings_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QByteArray>("charset"); // of the HTTP answer
        QTest::addColumn<QString>("title");      // empty: the document is refused as not XML
        QTest::addColumn<QString>("warning");    // "line:column", "unknown" or empty

        const auto rss = [](const QByteArray& head, const QByteArray& title) {
            return head + "<rss version=\"2.0\"><channel>\n<title>Prova</title>\n<item>\n<title>" + title +
                   "</title>\n</item></channel></rss>\n";
        };
        const QByteArray utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
        QTest::newRow("UTF-8") << rss(utf8, "Citt\xc3\xa0") << QByteArray() << u"Città"_s << QString();
        QTest::newRow("declared Latin-1, 0x80 read as Windows-1252")
            << rss(latin1, "Citt\xe0 \x80") << QByteArray() << u"Città €"_s << QString();
        QTest::newRow("HTTP charset") << rss({}, "Citt\xe0") << QByteArray("ISO-8859-1") << u"Città"_s << QString();
        QTest::newRow("declaration over HTTP charset")
            << rss(utf8, "Citt\xc3\xa0") << QByteArray("iso-8859-1") << u"Città"_s << QString();
        QTest::newRow("stray Latin-1 byte, no declaration")
            << rss({}, "Pi\xc3\xb9 caff\xe8") << QByteArray() << u"Più caffè"_s << u"4:16"_s;
        QTest::newRow("Windows-1252 quote in UTF-8") << rss(utf8, "\x93"
                                                                  "Basta\x94 dice")
                                                     << QByteArray("utf-8") << u"“Basta” dice"_s << u"5:8"_s;
        QTest::newRow("cut UTF-8 sequence") << rss(utf8, "a\xc3") << QByteArray() << u"aÃ"_s << u"5:9"_s;
        QTest::newRow("unknown encoding") << rss("<?xml version=\"1.0\" encoding=\"x-zefirina\"?>\n", "Citt\xe0")
                                          << QByteArray() << u"Città"_s << u"unknown"_s;
        const QString utf16 = u"\uFEFF<rss><channel><item><title>Città</title></item></channel></rss>"_s;
        QTest::newRow("UTF-16 with byte order mark")
            << QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2) << QByteArray("iso-8859-1")
            << u"Città"_s << QString();
        QTest::newRow("JSON") << QByteArray("{\"error\": \"no feed\"}") << QByteArray("utf-8") << QString()
                              << QString();
        QTest::newRow("text") << QByteArray("Servizio sospeso\n") << QByteArray() << QString() << QString();
    }

    void encodings() {
        QFETCH(QByteArray, document);
        QFETCH(QByteArray, charset);
        QFETCH(QString, title);
        QFETCH(QString, warning);

        const FeedReading reading = readFeed(document, {{}, charset});
        if (title.isEmpty()) {
            QCOMPARE(reading.failure ? reading.failure->kind : FeedFailure::Kind::Empty, FeedFailure::Kind::NotXml);
            return;
        }
        QVERIFY(!reading.failure);
        QCOMPARE(reading.items.constFirst().title, title);
        QString told;
        if (reading.warning)
            told = reading.warning->kind == FeedWarning::Kind::UnknownEncoding
                       ? u"unknown"_s
                       : u"%1:%2"_s.arg(reading.warning->line).arg(reading.warning->column);
        QCOMPARE(told, warning);
    }

    // Item pages link to the article whenever the feed gives one: relative links are
    // resolved against xml:base, the feed's address, or its site; only web links stay.
    void links_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("address"); // the feed's own
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<QString>("site");

        const QByteArray atom = dataFile("releases.atom");
        QTest::newRow("Atom, against the feed's address")
            << atom << u"https://github.com/owner/project/releases.atom"_s
            << QStringList{u"https://github.com/owner/project/releases/tag/v3"_s,
                           u"https://github.com/owner/project/tag/v2"_s}
            << u"https://github.com/owner/project/releases"_s;
        QTest::newRow("Atom file, nothing to resolve against")
            << atom << u"file:///tmp/releases.atom"_s << QStringList{QString(), QString()} << QString();
        QTest::newRow("xml:base on feed, entry and link")
            << dataFile("xml-base.atom") << u"https://feeds.example.net/blog.atom"_s
            << QStringList{u"https://example.org/blog/2026/post"_s, u"https://example.org/news/b.html"_s,
                           u"http://other.example/x/c"_s}
            << QString();
        const QByteArray rss = dataFile("relative-links.xml");
        QTest::newRow("RSS file, against the channel's link")
            << rss << u"file:///home/u/notizie.xml"_s
            << QStringList{u"https://notizie.example.org/sezione/art.html"_s,
                           u"https://notizie.example.org/top.html?a=1&b=2"_s, u"https://cdn.example.org/c"_s, QString(),
                           QString()}
            << u"https://notizie.example.org/sezione/"_s;
        QTest::newRow("RSS over http, against the feed's address")
            << rss << u"http://feed.example.com/rss/tutti"_s
            << QStringList{u"http://feed.example.com/rss/art.html"_s, u"http://feed.example.com/top.html?a=1&b=2"_s,
                           u"http://cdn.example.org/c"_s, QString(), QString()}
            << u"https://notizie.example.org/sezione/"_s;
    }

    void links() {
        QFETCH(QByteArray, document);
        QFETCH(QString, address);
        QFETCH(QStringList, links);
        QFETCH(QString, site);

        const FeedReading reading = readFeed(document, {QUrl(address), {}});
        QVERIFY(!reading.failure);
        QStringList read;
        for (const FeedItem& item : reading.items)
            read.append(webAddress(item.link));
        QCOMPARE(read, links);
        QCOMPARE(reading.siteLink, site);
    }
};

QTEST_GUILESS_MAIN(TestFeed)
#include "tst_feed.moc"
