// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// The longest gap between two motion ticks of the bar while a large page arrives and is
// read, and the time from the bar's creation to its first headlines. Runs the real bar
// against a loopback server on a thread of its own, so that only the bar's work is
// measured, on the offscreen platform.
//   QT_QPA_PLATFORM=offscreen zefirina-bench-responsiveness
#include "generatedpages.h"
#include "panels/form2.h"
#include "testhttpserver.h"
#include "ticker/form1.h"
#include "ticker/inettransfer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {
QByteArray bigDetailPage() {
    QByteArray page = "<div class=\"popup05\"><h2>T</h2></div>\r\n\r\n";
    const QByteArray sentence = "Il livello \xc3\xa8 salito, oggi 12,5 cm,in pi\xc3\xb9.  ";
    while (page.size() + sentence.size() < InetTransfer::MaxBodyBytes - 16)
        page += sentence;
    return page + "\r\n</div>";
}

// Runs `start`, then measures the longest gap between motion ticks until `transfer`
// reports and half a second has passed.
double longestTickGapMs(Form1& bar, InetTransfer& transfer, const std::function<void()>& start) {
    QElapsedTimer clock;
    qint64 last = -1, longest = 0;
    const auto tick = QObject::connect(bar.Timer3, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            longest = std::max(longest, now - last);
        last = now;
    });
    QEventLoop loop;
    const auto done = QObject::connect(&transfer, &InetTransfer::StateChanged,
                                       [&] { QTimer::singleShot(500, &loop, &QEventLoop::quit); });
    clock.start();
    start();
    loop.exec();
    QObject::disconnect(tick);
    QObject::disconnect(done);
    return static_cast<double>(longest) / 1e6;
}
} // namespace

// The loopback server, living on a thread of its own.
class ServerThread {
public:
    ServerThread() {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        run([this] { m_server = std::make_unique<TestHttpServer>(); });
    }
    ~ServerThread() {
        run([this] { m_server.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    void setReply(const QByteArray& path, const TestHttpServer::Reply& reply) {
        run([&] { m_server->setReply(path, reply); });
    }
    QString host() {
        QString host;
        run([&] { host = m_server->host(); });
        return host;
    }

private:
    void run(const std::function<void()>& work) {
        QMetaObject::invokeMethod(&m_context, work, Qt::BlockingQueuedConnection);
    }

    QThread m_thread;
    QObject m_context;
    std::unique_ptr<TestHttpServer> m_server;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ServerThread server;
    server.setReply("/notizietelevideo/", {200, headlinePage(5)});
    const QString host = server.host();
    QElapsedTimer startUp;
    startUp.start();
    Form1 bar(ServiceHosts{host, host, host, host, host, host});
    QEventLoop firstHeadlines;
    QObject::connect(bar.Inet1, &InetTransfer::StateChanged, &firstHeadlines, &QEventLoop::quit);
    firstHeadlines.exec();
    std::printf("creation of the bar to first headlines: %.1f ms\n", static_cast<double>(startUp.nsecsElapsed()) / 1e6);
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();

    QByteArray big = headlinePage(0);
    big.insert(big.size() - 16, QByteArray(InetTransfer::MaxBodyBytes - big.size() - 1, 'x'));
    server.setReply("/notizietelevideo/", {200, big});
    std::printf("16 MiB headline page without markers: longest tick gap %.1f ms\n",
                longestTickGapMs(bar, *bar.Inet1, [&] { bar.Label5_Click(); }));

    server.setReply("/notizietelevideo/", {200, headlinePage(10'000)});
    std::printf("headline page with 10,000 markers:    longest tick gap %.1f ms\n",
                longestTickGapMs(bar, *bar.Inet1, [&] { bar.Label5_Click(); }));

    server.setReply("/accessibile/n/0.html", {200, bigDetailPage()});
    std::printf("16 MiB detail page:                   longest tick gap %.1f ms\n",
                longestTickGapMs(bar, *bar.Inet2, [&] { bar.Label1_Click(0); }));
    return 0;
}
