#include "service/feedrelay.h"
#include "service/localservice.h"
#include "service/sitecontent.h"
#include "ticker/servicehosts.h"

#include "testhttpserver.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The service relaying a feed served over loopback HTTP, read through its own routes.
class TestFeedRelay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void keepsTheLastGoodNews_data();
    void keepsTheLastGoodNews();
    void servesTheSampleNewsUntilAGoodReading();
    void holdsTheFirstRequestsUntilTheFeedIsRead();

private:
    // The body of a page of the service; empty when it did not answer 200.
    QByteArray fetch(const QString& path);
    QUrl feedUrl() const { return QUrl(QStringLiteral("http://") + m_feedServer->host() + QStringLiteral("/rss.xml")); }
    void startRelay();

    std::unique_ptr<TestHttpServer> m_feedServer;
    std::unique_ptr<LocalService> m_service;
    std::unique_ptr<FeedRelay> m_relay;
    QNetworkAccessManager m_network;
};

namespace {
QByteArray feedFile(const char* name) {
    QFile file(QStringLiteral(DATA_DIR "/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test feed %s", name);
    return file.readAll();
}

// The detail link of the first headline.
QString firstLink(const QByteArray& headlinePage) {
    const qsizetype href = headlinePage.indexOf("href=\"") + 6;
    return QString::fromLatin1(headlinePage.mid(href, headlinePage.indexOf('"', href) - href));
}
} // namespace

void TestFeedRelay::init() {
    m_feedServer = std::make_unique<TestHttpServer>();
    m_service = std::make_unique<LocalService>();
    QVERIFY(m_service->start(QHostAddress::LocalHost, 0));
}

void TestFeedRelay::cleanup() {
    m_relay.reset();
    m_service.reset();
    m_feedServer.reset();
}

QByteArray TestFeedRelay::fetch(const QString& path) {
    const QUrl url(QStringLiteral("http://127.0.0.1:%1%2").arg(m_service->port()).arg(path));
    std::unique_ptr<QNetworkReply> reply(m_network.get(QNetworkRequest(url)));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 10000) || reply->error() != QNetworkReply::NoError)
        return {};
    return reply->readAll();
}

void TestFeedRelay::startRelay() {
    // The refresh is left to the test.
    m_relay = std::make_unique<FeedRelay>(feedUrl(), std::chrono::hours(1), *m_service);
    m_relay->setLimits({std::chrono::milliseconds(500), 8 * 1024 * 1024, 5});
    m_relay->start();
}

void TestFeedRelay::keepsTheLastGoodNews_data() {
    QTest::addColumn<TestHttpServer::Reply>("failure");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("serverGone");

    QTest::newRow("server error") << TestHttpServer::Reply{500, "Errore"} << QStringLiteral("HTTP 500 Status") << false;
    QTest::newRow("not found") << TestHttpServer::Reply{404, "Non trovato"} << QStringLiteral("HTTP 404 Status") << false;
    QTest::newRow("broken XML") << TestHttpServer::Reply{200, feedFile("broken.xml")}
                                << QStringLiteral("not well-formed XML at line 9") << false;
    QTest::newRow("empty feed") << TestHttpServer::Reply{200, feedFile("empty.xml")}
                                << QStringLiteral("the feed has no items") << false;
    QTest::newRow("web page") << TestHttpServer::Reply{200, "<html><body>Manutenzione</body></html>"}
                              << QStringLiteral("not an RSS or Atom feed") << false;
    QTest::newRow("too large") << TestHttpServer::Reply{200, feedFile("rss2.xml").leftJustified(9 * 1024 * 1024, ' ')}
                               << QStringLiteral("larger than 8 MiB") << false;
    QTest::newRow("no answer") << TestHttpServer::Reply{200, {}, TestHttpServer::Delivery::Silent}
                               << QStringLiteral("no complete answer within 0.5 s") << false;
    QTest::newRow("server gone") << TestHttpServer::Reply{} << QStringLiteral("Connection refused") << true;
}

void TestFeedRelay::keepsTheLastGoodNews() {
    QFETCH(TestHttpServer::Reply, failure);
    QFETCH(QString, reason);
    QFETCH(bool, serverGone);

    m_feedServer->setReply("/rss.xml", {200, feedFile("rss2.xml")});
    startRelay();
    QSignalSpy updated(m_relay.get(), &FeedRelay::updated);
    QSignalSpy failed(m_relay.get(), &FeedRelay::failed);
    QTRY_COMPARE(updated.size(), 1);
    QCOMPARE(updated.at(0).at(0).toInt(), 7);
    const QByteArray headlines = fetch(ServicePaths::Headlines.toString());
    QVERIFY(headlines.contains("Wall Street apre in rialzo"));
    const QString detailPath = ServicePaths::DetailPrefix.toString() + firstLink(headlines);
    const QByteArray detail = fetch(detailPath);
    QVERIFY(detail.contains("Apertura positiva"));

    if (serverGone)
        m_feedServer.reset();
    else
        m_feedServer->setReply("/rss.xml", failure);
    m_relay->readNow();
    QTRY_COMPARE(failed.size(), 1);
    QVERIFY2(failed.at(0).at(0).toString().startsWith(reason), qPrintable(failed.at(0).at(0).toString()));
    QCOMPARE(updated.size(), 1);
    QCOMPARE(fetch(ServicePaths::Headlines.toString()), headlines);
    QCOMPARE(fetch(detailPath), detail);
}

void TestFeedRelay::servesTheSampleNewsUntilAGoodReading() {
    m_feedServer->setReply("/rss.xml", {503, "Riprova più tardi"});
    startRelay();
    QSignalSpy failed(m_relay.get(), &FeedRelay::failed);
    QTRY_COMPARE(failed.size(), 1);
    QCOMPARE(fetch(ServicePaths::Headlines.toString()), SiteContent().headlinePage());

    m_feedServer->setReply("/rss.xml", {200, feedFile("atom.xml")});
    QSignalSpy updated(m_relay.get(), &FeedRelay::updated);
    m_relay->readNow();
    QTRY_COMPARE(updated.size(), 1);
    QVERIFY(fetch(ServicePaths::Headlines.toString()).contains("Biblioteca civica, nuovi orari"));
}

// A bar started with the service asks for headlines before the feed is read: it must get
// the feed's, not the sample news.
void TestFeedRelay::holdsTheFirstRequestsUntilTheFeedIsRead() {
    m_feedServer->setReply("/rss.xml", {200, {}, TestHttpServer::Delivery::Silent});
    startRelay();
    const QUrl url(QStringLiteral("http://127.0.0.1:%1%2").arg(m_service->port()).arg(ServicePaths::Headlines));
    std::unique_ptr<QNetworkReply> early(m_network.get(QNetworkRequest(url)));
    QTest::qWait(200);
    QVERIFY(!early->isFinished());

    // The first reading fails on its time-out: the waiting request gets the sample news.
    QTRY_VERIFY(early->isFinished());
    QCOMPARE(early->readAll(), SiteContent().headlinePage());
    QVERIFY(fetch(ServicePaths::Headlines.toString()) == SiteContent().headlinePage());
}

QTEST_GUILESS_MAIN(TestFeedRelay)
#include "tst_servicefeedrelay.moc"
