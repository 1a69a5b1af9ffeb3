#include "panels/form2.h"
#include "service/feedrelay.h"
#include "service/localservice.h"
#include "ticker/form1.h"
#include "ticker/promocaptions.h"
#include "ticker/tickerstrip.h"

#include "testhttpserver.h"

#include <QFile>
#include <QTest>

#include <memory>

// The bar against the service relaying a feed over loopback HTTP, started as a user
// starts them: the service, its first reading of the feed and the bar at once.
class TestFeedTicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { m_bar.reset(); }
    void showsTheFeed_data();
    void showsTheFeed();

private:
    TestHttpServer m_feedServer;
    LocalService m_service;
    std::unique_ptr<FeedRelay> m_relay;
    std::unique_ptr<Form1> m_bar;
};

void TestFeedTicker::initTestCase() {
    QFile feed(QStringLiteral(DATA_DIR "/rss2.xml"));
    QVERIFY(feed.open(QIODevice::ReadOnly));
    m_feedServer.setReply("/rss.xml", {200, feed.readAll()});
    QVERIFY2(m_service.start(QHostAddress::LocalHost, 0), qPrintable(m_service.errorString()));
    const QUrl feedUrl(QStringLiteral("http://") + m_feedServer.host() + QStringLiteral("/rss.xml"));
    m_relay = std::make_unique<FeedRelay>(feedUrl, std::chrono::hours(1), m_service);
    m_relay->start();

    const QString host = QStringLiteral("127.0.0.1:%1").arg(m_service.port());
    m_bar = std::make_unique<Form1>(ServiceHosts{host, host, host, host, host, host});
    QTRY_COMPARE(m_bar->Frame1->caption(6), PromoCaptions::first());
}

void TestFeedTicker::showsTheFeed_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("newest") << 0 << QStringLiteral("  12:30 - Wall Street apre in rialzo  ")
                            << QStringLiteral("Apertura positiva per i listini americani, trainati dai titoli tecnologici.");
    QTest::newRow("second") << 1 << QStringLiteral("  16:45 - Neve in Trentino, strade chiuse in Val di Sole  ")
                            << QStringLiteral("Nevica da stanotte sopra i 900 metri: chiuse due strade provinciali.");
    QTest::newRow("third") << 2 << QStringLiteral("  17:05 - Concerto di Natale in piazza Duomo  ")
                           << QStringLiteral("Il coro delle scuole canta stasera alle 21, ingresso libero.");
    QTest::newRow("fourth") << 3 << QStringLiteral("  11:00 - Elezioni comunali, affluenza al 40% a mezzogiorno  ")
                            << QStringLiteral(u"L'affluenza \u00E8 pi\u00F9 alta di quella di cinque anni fa.");
    QTest::newRow("fifth, accents repaired") << 4
        << QStringLiteral(u"  09:15 - Porto di Genova, arriva la nave pi\u00F9 grande  ")
        << QStringLiteral(u"La nave portacontainer pi\u00F9 grande mai entrata nel porto \u00E8 attraccata "
                          u"stamattina al molo Ronco.");
}

void TestFeedTicker::showsTheFeed() {
    QFETCH(int, slot);
    QFETCH(QString, caption);
    QFETCH(QString, text);

    QCOMPARE(m_bar->Frame1->caption(slot), caption);
    m_bar->Label1_Click(slot);
    QTRY_COMPARE(m_bar->panel->body(), text);
}

QTEST_MAIN(TestFeedTicker)
#include "tst_servicefeedticker.moc"
