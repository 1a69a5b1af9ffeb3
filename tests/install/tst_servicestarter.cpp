// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/serviceaccess.h"
#include "net/httpfetch.h"
#include "samehost.h"
#include "testhttpserver.h"
#include "ticker/form1.h"
#include "ticker/servicestarter.h"
#include "ticker/tickerstrip.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The host the bar is built with; the bar reads its own service's port instead.
const QString BuiltHost = u"127.0.0.1:8089"_s;
const QString InstalledHelpers = QStringLiteral(INSTALLED_HELPERS);

// The status of a GET of `path` on the local `port`, with `key` if not empty.
int statusOf(quint16 port, const QByteArray& path, const QByteArray& key) {
    QNetworkAccessManager network;
    QNetworkRequest request(QUrl(u"http://127.0.0.1:%1"_s.arg(port) + QString::fromLatin1(path)));
    if (!key.isEmpty())
        request.setRawHeader(ServiceKeyHeader, key);
    QNetworkReply* reply = network.get(request); // deleted with `network`
    QSignalSpy(reply, &QNetworkReply::finished).wait(5000);
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// One user of the machine: a runtime folder and a feed of their own (the installation's
// test feed, or a copy of it with `name` in place of its title), chosen through the
// environment that the services started from now on inherit.
struct User {
    QTemporaryDir runtime;
    QString feed = QStringLiteral(FEED_FILE);

    explicit User(const QString& name = {}) {
        QFile test(feed), copy(runtime.filePath(u"feed.xml"_s));
        if (!name.isEmpty() && test.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly)) {
            copy.write(test.readAll().replace("Prova di installazione", name.toUtf8()));
            feed = copy.fileName();
        }
    }
    void becomeCurrent() const {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        qputenv("ZEFIRINA_FEED", feed.toLocal8Bit());
    }
};

} // namespace

// The bar's starter with the installed service, each test with runtime folders of its own.
class TestServiceStarter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_user = std::make_unique<User>();
        m_user->becomeCurrent();
    }

    void loopbackPort_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port"); // 0: not the local service
        QTest::newRow("IPv4 loopback") << u"127.0.0.1:8089"_s << 8089;
        QTest::newRow("localhost") << u"LocalHost:8089"_s << 8089;
        QTest::newRow("IPv6 loopback") << u"[::1]:8089"_s << 8089;
        QTest::newRow("no port") << u"127.0.0.1"_s << 0;
        QTest::newRow("other host") << u"news.example.org:8089"_s << 0;
        QTest::newRow("user part") << u"127.0.0.1:8089@news.example.org"_s << 0;
    }
    void loopbackPort() {
        QFETCH(QString, host);
        QFETCH(int, port);
        QCOMPARE(ServiceStarter::loopbackPort(host).value_or(0), port);
    }

    // Two users of one machine, each with a feed of their own: each user's bar starts its own
    // service on a port of its own, named with its key in a file that only the user can
    // read, and reads its own news; neither service answers the other's key, nor none. A
    // service and its file end with its starter.
    void twoUsersSeeTheirOwnNews() {
        const User anna(u"Anna"_s), bruno(u"Bruno"_s);
        anna.becomeCurrent();
        ServiceStarter annas({InstalledHelpers});
        QCOMPARE(annas.ensureRunning(BuiltHost), ServiceStarter::Outcome::Started);
        bruno.becomeCurrent();
        auto brunos = std::make_unique<ServiceStarter>(QStringList{InstalledHelpers});
        QCOMPARE(brunos->ensureRunning(BuiltHost), ServiceStarter::Outcome::Started);
        const ServiceAccess a = annas.access().value(), b = brunos->access().value();
        QVERIFY(a.port != b.port);
        QCOMPARE(readServiceFile(), b);
        QCOMPARE(QFile::permissions(serviceFilePath()),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        Form1 annasBar(withLocalPort(sameHost(BuiltHost), BuiltHost, a.port));
        Form1 brunosBar(withLocalPort(sameHost(BuiltHost), BuiltHost, b.port));
        QTRY_COMPARE_WITH_TIMEOUT(annasBar.Frame1->caption(0), u"  18:05 - Anna, prima notizia  "_s, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(brunosBar.Frame1->caption(0), u"  18:05 - Bruno, prima notizia  "_s, 30000);
        QCOMPARE(statusOf(a.port, "/notizietelevideo/", b.key), 403);
        QCOMPARE(statusOf(b.port, "/notizietelevideo/", a.key), 403);
        QCOMPARE(statusOf(b.port, "/notizietelevideo/", {}), 403);
        // A feed the user chose is not shown to a browser, which carries no key; the
        // maker's page is.
        QCOMPARE(statusOf(a.port, "/", {}), 403);
        QCOMPARE(statusOf(a.port, "/zefirina/", {}), 200);
        brunos.reset();
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, b.port);
        QVERIFY(!socket.waitForConnected(1000));
        QVERIFY(!QFile::exists(serviceFilePath()));
    }

    // Whatever answers where the user's service was, or on the usual port, is never read:
    // the bar starts its own service and shows the news.
    void squattersNeverStopTheBar_data() {
        QTest::addColumn<bool>("staleFile"); // the file names the squatter's port
        QTest::newRow("on the port of a service gone") << true;
        QTest::newRow("on the usual port") << false;
    }
    void squattersNeverStopTheBar() {
        QFETCH(bool, staleFile);
        TestHttpServer squatter;
        squatter.setDefaultReply({200, "squatter"});
        const auto squatterPort = static_cast<quint16>(squatter.host().section(u':', 1).toUInt());
        if (staleFile)
            QVERIFY(writeServiceFile({squatterPort, newServiceKey()}));
        ServiceStarter starter({InstalledHelpers});
        QCOMPARE(starter.ensureRunning(staleFile ? BuiltHost : squatter.host()), ServiceStarter::Outcome::Started);
        const quint16 port = starter.access().value().port;
        QVERIFY(port != squatterPort);
        Form1 bar(sameHost(u"127.0.0.1:%1"_s.arg(port)));
        QTRY_COMPARE_WITH_TIMEOUT(bar.Frame1->caption(0), u"  18:05 - Prova di installazione, prima notizia  "_s,
                                  30000);
        for (const QByteArray& request : squatter.requests())
            QVERIFY2(!request.toLower().contains("x-zefirina-key"), request.constData());
    }

    // A service the user started by hand with --private is used as it is (the installed bar's
    // test shows that it outlives the bar); the news host elsewhere starts nothing. When the
    // service in use ends, the starter starts one again on the same port, with a new key for
    // the bar's fetches.
    void leavesARunningServiceAlone() {
        QProcess running;
        running.start(InstalledHelpers + u"/zefirina-service"_s, {u"--port"_s, u"0"_s, u"--private"_s, u"--sample"_s});
        QVERIFY(running.waitForReadyRead(30000));
        const ServiceAccess byHand = readServiceFile().value();
        ServiceStarter elsewhere({InstalledHelpers});
        QCOMPARE(elsewhere.ensureRunning(u"news.example.org:80"_s), ServiceStarter::Outcome::NotLocal);

        ServiceStarter watching({InstalledHelpers});
        QCOMPARE(watching.ensureRunning(BuiltHost), ServiceStarter::Outcome::AlreadyRunning);
        QCOMPARE(watching.access(), byHand);
        watching.keepRunning(BuiltHost, std::chrono::milliseconds(50));
        running.kill();
        running.waitForFinished();
        QTRY_VERIFY(watching.processId() != 0);
        const ServiceAccess again = watching.access().value();
        QCOMPARE(again.port, byHand.port);
        QVERIFY(again.key != byHand.key);
        const QUrl symbol(u"http://127.0.0.1:%1/browser/fut.txt"_s.arg(again.port));
        QCOMPARE(HttpFetch::serviceKey(symbol), again.key);
    }

private:
    std::unique_ptr<User> m_user;
};

QTEST_MAIN(TestServiceStarter)
#include "tst_servicestarter.moc"
