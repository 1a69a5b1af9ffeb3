#include "testhttpserver.h"
#include "ticker/inettransfer.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>

using Failure = InetTransfer::Failure;

class TestInetTransfer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_server = std::make_unique<TestHttpServer>(); }

    void completesWithTheBodyWhateverTheStatus_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += char(b);
        QTest::newRow("ok, every byte value") << 200 << everyByte;
        // Qt files these statuses under different error classes; all of them are answers.
        for (const int status : {400, 401, 403, 404, 407, 410, 418, 429, 499, 500, 503, 599})
            QTest::addRow("status %d", status) << status << "<h1>" + QByteArray::number(status) + "</h1>";
        QTest::newRow("empty body") << 200 << QByteArray();
    }
    void completesWithTheBodyWhateverTheStatus() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        m_server->setReply("/page", {status, body});
        InetTransfer transfer(&m_network);
        QSignalSpy states(&transfer, &InetTransfer::StateChanged);
        QVERIFY(transfer.Execute(url("/page")));
        QTRY_COMPARE(states.size(), 1);
        QCOMPARE(states.at(0).at(0).toInt(), int(InetTransfer::ResponseCompleted));
        const QString text = transfer.ResponseText();
        QCOMPARE(text.size(), body.size());
        for (qsizetype i = 0; i < body.size(); ++i) {
            const auto byte = static_cast<unsigned char>(body[i]);
            if (byte < 0x80 || byte > 0x9F)
                QCOMPARE(text[i].unicode(), char16_t(byte));
        }
        QVERIFY(!transfer.StillExecuting());
    }

    void refusesWhileBusyAndFinishesTheRunningRequest() {
        m_server->setReply("/first", {200, "primo"});
        InetTransfer transfer(&m_network);
        QSignalSpy states(&transfer, &InetTransfer::StateChanged);
        QVERIFY(transfer.Execute(url("/first")));
        QVERIFY(!transfer.Execute(url("/second")));
        QTRY_COMPARE(states.size(), 1);
        QCOMPARE(transfer.ResponseText(), QStringLiteral("primo"));
        QVERIFY(transfer.Execute(url("/first"))); // free again
    }

    void reportsNothingForACancelledRequest() {
        m_server->setReply("/slow", {200, {}, TestHttpServer::Delivery::Silent});
        InetTransfer transfer(&m_network);
        QSignalSpy states(&transfer, &InetTransfer::StateChanged);
        QVERIFY(transfer.Execute(url("/slow")));
        transfer.Cancel();
        QVERIFY(!transfer.StillExecuting());
        QTest::qWait(200);
        QCOMPARE(states.size(), 0);
        m_server->setReply("/next", {200, "dopo"});
        QVERIFY(transfer.Execute(url("/next")));
        QTRY_COMPARE(states.size(), 1);
        QCOMPARE(transfer.ResponseText(), QStringLiteral("dopo"));
    }

    void failsOnceWithACode_data() {
        using Delivery = TestHttpServer::Delivery;
        QTest::addColumn<QString>("host");
        QTest::addColumn<TestHttpServer::Reply>("reply");
        QTest::addColumn<int>("code");
        const TestHttpServer::Reply page{200, "<html>" + QByteArray(4096, 'x') + "</html>"};
        QTest::newRow("connection refused") << QStringLiteral("127.0.0.1:1") << page
                                            << int(Failure::ConnectionFailed);
        QTest::newRow("unknown host") << QStringLiteral("no-such-host.invalid") << page
                                      << int(Failure::ConnectionFailed);
        QTest::newRow("never answers") << QString() << TestHttpServer::Reply{200, {}, Delivery::Silent}
                                       << int(Failure::TimedOut);
        QTest::newRow("a byte now and then") << QString() << TestHttpServer::Reply{200, {}, Delivery::Trickle}
                                             << int(Failure::TimedOut);
        QTest::newRow("closed mid-body") << QString() << TestHttpServer::Reply{200, page.body, Delivery::CutMidBody}
                                         << int(Failure::Other);
        QTest::newRow("error page closed mid-body")
            << QString() << TestHttpServer::Reply{500, page.body, Delivery::CutMidBody} << int(Failure::Other);
        QTest::newRow("redirect loop") << QString() << TestHttpServer::Reply{302, {}, Delivery::RedirectToItself}
                                       << int(Failure::Other);
        QTest::newRow("100 MiB body") << QString() << TestHttpServer::Reply{200, {}, Delivery::Endless}
                                      << int(Failure::BodyTooLarge);
    }
    void failsOnceWithACode() {
        QFETCH(QString, host);
        QFETCH(TestHttpServer::Reply, reply);
        QFETCH(int, code);
        m_server->setReply("/fault", reply);
        InetTransfer transfer(&m_network);
        transfer.setTimeouts(300, 1000);
        QSignalSpy states(&transfer, &InetTransfer::StateChanged);
        const QString target = host.isEmpty() ? m_server->host() : host;
        QVERIFY(transfer.Execute(QUrl(QStringLiteral("http://") + target + QStringLiteral("/fault"))));
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 1, 20000);
        QCOMPARE(states.at(0).at(0).toInt(), int(InetTransfer::Error));
        QCOMPARE(transfer.ResponseCode(), code);
        QVERIFY(!transfer.ResponseInfo().isEmpty());
        QVERIFY(transfer.ResponseText().isEmpty());
        QVERIFY(!transfer.StillExecuting());
        QTest::qWait(100);
        QCOMPARE(states.size(), 1);
    }

private:
    QUrl url(const char* path) const {
        return QUrl(QStringLiteral("http://") + m_server->host() + QString::fromLatin1(path));
    }

    QNetworkAccessManager m_network;
    std::unique_ptr<TestHttpServer> m_server;
};

QTEST_GUILESS_MAIN(TestInetTransfer)
#include "tst_inettransfer.moc"
