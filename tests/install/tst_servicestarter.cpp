#include "panels/form2.h"
#include "samehost.h"
#include "ticker/form1.h"
#include "ticker/servicestarter.h"
#include "ticker/tickerstrip.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A port that was free a moment ago.
quint16 freePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

bool answers(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(1000);
}

const QString InstalledBin = QStringLiteral(INSTALLED_BIN);

} // namespace

// The bar's starter with the installed service, on a free port of its own.
class TestServiceStarter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("ZEFIRINA_FEED", QByteArrayLiteral(FEED_FILE)); }

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

    // Nothing on the port: the installed service is started, the bar's first headlines are
    // the feed's, and the service ends with its starter.
    void startsTheServiceForTheBar() {
        const quint16 port = freePort();
        const QString host = u"127.0.0.1:%1"_s.arg(port);
        auto starter = std::make_unique<ServiceStarter>(QStringList{InstalledBin});
        QCOMPARE(starter->ensureRunning(host), ServiceStarter::Outcome::Started);
        {
            Form1 bar(sameHost(host));
            QTRY_COMPARE_WITH_TIMEOUT(bar.Frame1->caption(0), u"  18:05 - Prova di installazione, prima notizia  "_s,
                                      30000);
            QCOMPARE(bar.Frame1->caption(4), u"  14:01 - Prova di installazione, quinta notizia  "_s);
            bar.Label1_Click(1);
            QTRY_COMPARE_WITH_TIMEOUT(bar.panel->body(), u"Il testo della seconda notizia."_s, 30000);
        }
        starter.reset();
        QVERIFY(!answers(port));
    }

    // A service that answers is used as it is, and outlives the starter; the news host
    // elsewhere starts nothing. When the service in use ends, the starter starts its own.
    void leavesARunningServiceAlone() {
        const quint16 port = freePort();
        QProcess running;
        running.start(InstalledBin + u"/zefirina-service"_s, {u"--port"_s, QString::number(port), u"--sample"_s});
        QVERIFY(running.waitForReadyRead(30000));
        {
            ServiceStarter starter({InstalledBin});
            QCOMPARE(starter.ensureRunning(u"127.0.0.1:%1"_s.arg(port)), ServiceStarter::Outcome::AlreadyRunning);
        }
        QVERIFY(answers(port));
        QCOMPARE(running.state(), QProcess::Running);
        ServiceStarter elsewhere({InstalledBin});
        QCOMPARE(elsewhere.ensureRunning(u"news.example.org:80"_s), ServiceStarter::Outcome::NotLocal);

        ServiceStarter watching({InstalledBin});
        QCOMPARE(watching.ensureRunning(u"127.0.0.1:%1"_s.arg(port)), ServiceStarter::Outcome::AlreadyRunning);
        watching.keepRunning(u"127.0.0.1:%1"_s.arg(port), std::chrono::milliseconds(50));
        running.kill();
        running.waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(watching.processId() != 0, 30000);
        QVERIFY(answers(port));
    }
};

QTEST_MAIN(TestServiceStarter)
#include "tst_servicestarter.moc"
