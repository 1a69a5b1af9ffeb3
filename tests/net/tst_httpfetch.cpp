// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "net/httpfetch.h"
#include "testhttpserver.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FetchFailure)

class TestHttpFetch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_server = std::make_unique<TestHttpServer>(); }

    // A busy fetch refuses another request and finishes its own; a cancelled one reports
    // nothing and is free again.
    void refusesWhileBusyAndReportsNothingWhenCancelled() {
        m_server->setReply("/first", {200, "primo"});
        m_server->setReply("/slow", {200, {}, TestHttpServer::Delivery::Silent});
        m_server->setReply("/next", {200, "dopo"});
        HttpFetch fetch(&m_network);
        QSignalSpy finished(&fetch, &HttpFetch::finished);
        QVERIFY(fetch.start(request("/first")));
        QVERIFY(!fetch.start(request("/next")));
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).value<FetchOutcome>().body, QByteArray("primo"));
        QVERIFY(fetch.start(request("/slow")));
        fetch.cancel();
        QVERIFY(!fetch.running());
        QTest::qWait(200);
        QCOMPARE(finished.size(), 1);
        QVERIFY(fetch.start(request("/next")));
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(finished.at(1).at(0).value<FetchOutcome>().body, QByteArray("dopo"));
    }

    // One report for each fetch: an answer, whatever its status and bytes, or a failure of
    // a kind, without status or body.
    void reportsOnce_data() {
        using Delivery = TestHttpServer::Delivery;
        using Reply = TestHttpServer::Reply;
        QTest::addColumn<QString>("host");
        QTest::addColumn<TestHttpServer::Reply>("reply");
        QTest::addColumn<FetchFailure>("failure");
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += char(b);
        QTest::newRow("ok, every byte value") << QString() << Reply{200, everyByte} << FetchFailure::None;
        // Qt files these statuses under its proxy, content, protocol (400 and 418) and server
        // error classes; all of them are answers.
        for (const int status : {407, 404, 400, 418, 500})
            QTest::addRow("status %d", status)
                << QString() << Reply{status, "<h1>" + QByteArray::number(status) + "</h1>"} << FetchFailure::None;
        QTest::newRow("empty body") << QString() << Reply{200, {}} << FetchFailure::None;
        const Reply page{200, "<html>" + QByteArray(4096, 'x') + "</html>"};
        QTest::newRow("connection refused") << QStringLiteral("127.0.0.1:1") << page << FetchFailure::ConnectionFailed;
        QTest::newRow("unknown host") << QStringLiteral("no-such-host.invalid") << page
                                      << FetchFailure::ConnectionFailed;
        QTest::newRow("never answers") << QString() << Reply{200, {}, Delivery::Silent} << FetchFailure::TimedOut;
        QTest::newRow("a byte now and then")
            << QString() << Reply{200, {}, Delivery::Trickle} << FetchFailure::TimedOut;
        QTest::newRow("closed mid-body") << QString() << Reply{200, page.body, Delivery::CutMidBody}
                                         << FetchFailure::Interrupted;
        QTest::newRow("error page closed mid-body")
            << QString() << Reply{500, page.body, Delivery::CutMidBody} << FetchFailure::Interrupted;
        QTest::newRow("redirect loop") << QString() << Reply{302, "/fault", Delivery::Redirect}
                                       << FetchFailure::Redirect;
        // Refused before it is asked: followed, it would fail to connect.
        QTest::newRow("redirect to another local port")
            << QString() << Reply{302, "http://127.0.0.1:1/secret", Delivery::Redirect} << FetchFailure::Redirect;
        QTest::newRow("100 MiB body") << QString() << Reply{200, {}, Delivery::Endless} << FetchFailure::BodyTooLarge;
        // 8 KiB on the wire, 8 MiB once inflated: the cap counts what the body inflates to.
        const QByteArray deflated = qCompress(QByteArray(8 * 1024 * 1024, 'x'), 9).mid(4); // without Qt's size
        QTest::newRow("deflate inflating past the cap")
            << QString() << Reply{200, deflated, Delivery::Whole, {}, "Content-Encoding: deflate\r\n"}
            << FetchFailure::BodyTooLarge;
    }
    void reportsOnce() {
        QFETCH(QString, host);
        QFETCH(TestHttpServer::Reply, reply);
        QFETCH(FetchFailure, failure);
        m_server->setReply("/fault", reply);
        HttpFetch fetch(&m_network);
        // A cap of 1 MiB, so that the endless body breaks it long before the time-out; time-outs
        // short for the test, long enough for a busy machine to follow ten redirects.
        fetch.setLimits({std::chrono::milliseconds(2000), std::chrono::milliseconds(4000), 1024 * 1024, 10});
        QSignalSpy finished(&fetch, &HttpFetch::finished);
        const QString target = host.isEmpty() ? m_server->host() : host;
        QVERIFY(fetch.start(QNetworkRequest(QUrl(QStringLiteral("http://") + target + QStringLiteral("/fault")))));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        const auto outcome = finished.at(0).at(0).value<FetchOutcome>();
        QCOMPARE(outcome.failure, failure);
        QCOMPARE(outcome.status, failure == FetchFailure::None ? reply.status : 0);
        QCOMPARE(outcome.body, failure == FetchFailure::None ? reply.body : QByteArray());
        QVERIFY(!fetch.running());
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
    }

    // Which redirects are followed, by address, without resolving names.
    void followsOnlyRedirectsAwayFromThisMachine_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("followed");

        const QString feed = u"https://news.example.org/rss.xml"_s;
        QTest::newRow("another site") << feed << u"https://www.example.com/rss"_s << true;
        QTest::newRow("https to http") << feed << u"http://www.example.com/rss"_s << false;
        QTest::newRow("another scheme") << feed << u"file:///etc/passwd"_s << false;
        QTest::newRow("loopback") << feed << u"https://127.0.0.1:8089/notizietelevideo/"_s << false;
        QTest::newRow("loopback, other form") << feed << u"https://127.1.2.3/"_s << false;
        QTest::newRow("localhost") << feed << u"https://LocalHost:631/"_s << false;
        QTest::newRow("IPv6 loopback") << feed << u"https://[::1]/"_s << false;
        QTest::newRow("IPv4 in IPv6") << feed << u"https://[::ffff:127.0.0.1]/"_s << false;
        QTest::newRow("private 10") << feed << u"https://10.1.2.3/"_s << false;
        QTest::newRow("private 172") << feed << u"https://172.20.0.1/"_s << false;
        QTest::newRow("private 192") << feed << u"https://192.168.1.1/admin"_s << false;
        QTest::newRow("link-local") << feed << u"https://169.254.169.254/latest/meta-data/"_s << false;
        QTest::newRow("IPv6 link-local") << feed << u"https://[fe80::1]/"_s << false;
        QTest::newRow("IPv6 unique local") << feed << u"https://[fd00::1]/"_s << false;
        QTest::newRow("unspecified") << feed << u"https://0.0.0.0:8089/"_s << false;
        QTest::newRow("public address") << feed << u"https://93.184.216.34/"_s << true;
        const QString local = u"http://127.0.0.1:9000/rss.xml"_s;
        QTest::newRow("loopback, same port") << local << u"http://127.0.0.1:9000/other.xml"_s << true;
        QTest::newRow("loopback, other port") << local << u"http://127.0.0.1:8089/notizietelevideo/"_s << false;
        QTest::newRow("loopback to private") << local << u"http://192.168.1.1/"_s << false;
        QTest::newRow("loopback to a site") << local << u"http://www.example.com/rss"_s << true;
        QTest::newRow("private to private")
            << u"http://192.168.1.5/rss.xml"_s << u"http://192.168.1.6/rss.xml"_s << true;
        QTest::newRow("private to loopback") << u"http://192.168.1.5/rss.xml"_s << u"http://127.0.0.1/"_s << false;
    }
    void followsOnlyRedirectsAwayFromThisMachine() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, followed);
        QCOMPARE(HttpFetch::mayFollow(QUrl(from), QUrl(to)), followed);
    }

private:
    QNetworkRequest request(const char* path) const {
        return QNetworkRequest(QUrl(QStringLiteral("http://") + m_server->host() + QString::fromLatin1(path)));
    }

    QNetworkAccessManager m_network;
    std::unique_ptr<TestHttpServer> m_server;
};

QTEST_GUILESS_MAIN(TestHttpFetch)
#include "tst_httpfetch.moc"
