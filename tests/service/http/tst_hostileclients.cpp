// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/http/localservice.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <QDir>
#include <sys/resource.h>
#endif

using namespace std::chrono_literals;

// How a client goes on after the bytes of its row.
enum class Then {
    Waits,        // sends nothing more
    SendsForEver, // sends 'a' as fast as the service takes it
    Trickles,     // sends an 'a' every 20 ms
};
Q_DECLARE_METATYPE(Then)

namespace {

// The statuses of the answers in `received`, in order.
QList<int> statusesIn(const QByteArray& received) {
    QList<int> statuses;
    for (qsizetype at = received.indexOf("HTTP/1.1 "); at >= 0; at = received.indexOf("HTTP/1.1 ", at + 1))
        statuses.append(received.mid(at + 9, 3).toInt());
    return statuses;
}

// Keeps `socket` sending as its row says, while it is connected.
void keepSending(QTcpSocket& socket, Then then, QTimer& trickle) {
    const QByteArray chunk(64 * 1024, 'a');
    if (then == Then::SendsForEver) {
        QObject::connect(&socket, &QTcpSocket::bytesWritten, &socket, [&socket, chunk] {
            if (socket.bytesToWrite() < chunk.size())
                socket.write(chunk);
        });
        socket.write(chunk);
    } else if (then == Then::Trickles) {
        QObject::connect(&trickle, &QTimer::timeout, &socket, [&socket] { socket.write("a"); });
        trickle.start(20);
    }
}

} // namespace

// Clients that a web server meets on an open network, against the service with its
// limits on time shortened: each gets the answers of its row, and the connection closes
// or stays as the row says.
class TestHostileClients : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        m_service.setConnectionLimits({.headTimeout = 300ms, .lingerTime = 500ms, .maxBufferedAnswers = 64 * 1024});
        QVERIFY(m_service.start(QHostAddress::LocalHost, 0));
    }

    void answersEachAsAWebServerWould_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<Then>("then");
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<bool>("closed");

        const QByteArray get = "GET /notizietelevideo/ HTTP/1.1\r\n";
        const QByteArray next = "GET /altro HTTP/1.1\r\n\r\n"; // 404: the connection still serves
        QByteArray fields100;
        for (int i = 0; i < 100; ++i)
            fields100 += "X-Campo-" + QByteArray::number(i) + ": valore\r\n";

        QTest::newRow("long request line") << "GET /" + QByteArray(8200, 'a') + " HTTP/1.1\r\n\r\n"
                                           << Then::Waits << QList<int>{414} << true;
        QTest::newRow("endless request line") << QByteArray("GET /") << Then::SendsForEver << QList<int>{414} << true;
        QTest::newRow("100 header fields")
            << get + fields100 + "\r\n" + next << Then::Waits << QList<int>{200, 404} << false;
        QTest::newRow("101 header fields") << get + fields100 + "X-Uno-Di-Troppo: a\r\n\r\n"
                                           << Then::Waits << QList<int>{431} << true;
        QTest::newRow("huge header field") << get + "X-Grande: " + QByteArray(40000, 'a') + "\r\n\r\n"
                                           << Then::Waits << QList<int>{431} << true;
        QTest::newRow("endless header field") << get + "X-Grande: " << Then::SendsForEver << QList<int>{431} << true;
        QTest::newRow("endless body on GET") << get + "Content-Length: 100000000000\r\n\r\n"
                                             << Then::SendsForEver << QList<int>{413} << true;
        QTest::newRow("chunked body on HEAD") << QByteArray("HEAD / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n")
                                              << Then::SendsForEver << QList<int>{413} << true;
        QTest::newRow("empty body") << get + "Content-Length: 0\r\n\r\n" + next << Then::Waits << QList<int>{200, 404}
                                    << false;
        QTest::newRow("head never ends") << get + "Host: 127.0.0.1\r\n" << Then::Waits << QList<int>{408} << true;
        QTest::newRow("head trickles") << get + "X-Lento: " << Then::Trickles << QList<int>{408} << true;
        // The head of the page a GET gets, and no body: the next answer follows at once.
        QTest::newRow("HEAD") << QByteArray("HEAD /notizietelevideo/ HTTP/1.1\r\n\r\n") + next << Then::Waits
                              << QList<int>{200, 404} << false;
        QTest::newRow("If-None-Match: *")
            << get + "If-None-Match: *\r\n\r\n" + next << Then::Waits << QList<int>{304, 404} << false;
        QTest::newRow("HTTP/1.0 on a later request, LF only")
            << QByteArray("GET /notizietelevideo/ HTTP/1.1\nHost: a\n\nGET /notizietelevideo/ HTTP/1.0\nHost: a\n\n")
            << Then::Waits << QList<int>{200, 200} << true;
        QTest::newRow("HTTP/1.0, keep-alive") << QByteArray("GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n") + next
                                              << Then::Waits << QList<int>{200, 404} << false;
        QTest::newRow("keep-alive, close")
            << get + "Connection: keep-alive, close\r\n\r\n" + next << Then::Waits << QList<int>{200} << true;
    }
    void answersEachAsAWebServerWould() {
        QFETCH(QByteArray, sent);
        QFETCH(Then, then);
        QFETCH(QList<int>, statuses);
        QFETCH(bool, closed);

        QTcpSocket socket;
        QTimer trickle;
        socket.connectToHost(QHostAddress::LocalHost, m_service.port());
        socket.write(sent);
        keepSending(socket, then, trickle);
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT(
            (received += socket.isOpen() ? socket.readAll() : QByteArray(),
             closed ? socket.state() == QAbstractSocket::UnconnectedState
                    : statusesIn(received).size() == statuses.size() && received.endsWith("Pagina non trovata\n")),
            20000);
        QCOMPARE(statusesIn(received), statuses);
        if (statuses.first() >= 400 && statuses.first() != 404)
            QVERIFY2(received.contains("\r\nConnection: close\r\n"), received.constData());
        if (QTest::currentDataTag() == QByteArrayLiteral("HEAD"))
            QVERIFY2(received.contains("\r\n\r\nHTTP/1.1 404 "), received.constData());
        QCOMPARE(socket.state(), closed ? QAbstractSocket::UnconnectedState : QAbstractSocket::ConnectedState);
    }

    // A client that sends request after request and reads no answer: the service stops
    // reading it once the answers waiting for it pass the bound, and answers every request,
    // in order, as the client reads.
    void holdsBackAClientThatDoesNotRead() {
        constexpr int Requests = 4000;
        const QByteArray request = "GET /livecharts/livecharts.LiveChartsV3.js HTTP/1.1\r\n\r\n";
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_service.port());
        QVERIFY(socket.waitForConnected());
        socket.setReadBufferSize(64 * 1024);
        socket.write(request.repeated(Requests));
        QTRY_VERIFY_WITH_TIMEOUT(m_service.waitingAnswerBytes() > 64 * 1024, 20000);
        QTest::qWait(300);
        // The bound, and at most the one answer that passed it.
        QVERIFY2(m_service.waitingAnswerBytes() < 2 * 64 * 1024, QByteArray::number(m_service.waitingAnswerBytes()));

        socket.setReadBufferSize(0);
        qsizetype answers = 0;
        QByteArray tail;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                tail += socket.readAll();
                answers += tail.count("HTTP/1.1 200 OK");
                tail = tail.right(14); // too short to hold a whole status line again
                return answers == Requests;
            }(),
            60000);
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
    }

    // Clients waiting to be accepted while the process has run out of files: the service
    // stops accepting for a moment instead of trying again at once, and accepts them all
    // once files are free again.
    void acceptsAgainOnceFilesAreFree() {
#ifdef Q_OS_LINUX
        constexpr int Clients = 20;
        std::vector<std::unique_ptr<QTcpSocket>> clients;
        for (int i = 0; i < Clients; ++i) {
            clients.push_back(std::make_unique<QTcpSocket>());
            clients.back()->connectToHost(QHostAddress::LocalHost, m_service.port());
            // Only the client's own socket is waited for: the service has accepted none yet.
            QVERIFY(clients.back()->waitForConnected());
            clients.back()->write("GET /notizietelevideo/ HTTP/1.1\r\n\r\n");
            QVERIFY(clients.back()->waitForBytesWritten());
        }
        rlimit files{};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &files) == 0);
        const rlimit before = files;
        // Room for two more files: most clients find none when the service accepts them.
        files.rlim_cur = QDir(QStringLiteral("/proc/self/fd")).count() + 2;
        QVERIFY(setrlimit(RLIMIT_NOFILE, &files) == 0);
        QTest::qWait(200);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &before) == 0);
        const auto answered = [&] {
            return std::count_if(clients.cbegin(), clients.cend(),
                                 [](const auto& client) { return client->peek(12) == "HTTP/1.1 200"; });
        };
        QVERIFY2(answered() < Clients, "every client was accepted while files were short");
        QTRY_COMPARE_WITH_TIMEOUT(answered(), Clients, 10000);
#else
        QSKIP("The open-file limit is set here on Linux only");
#endif
    }

private:
    LocalService m_service; // with its sample news
};

QTEST_GUILESS_MAIN(TestHostileClients)
#include "tst_hostileclients.moc"
