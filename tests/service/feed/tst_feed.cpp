#include "service/feed/feedchoice.h"
#include "service/feed/feeddate.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FeedAddressProblem)

// Which feed the service reads, and the dates feeds write.
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

QTEST_GUILESS_MAIN(TestFeed)
#include "tst_feed.moc"
