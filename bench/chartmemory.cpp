// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// Memory of the program's process tree (the program and the browser engine's processes)
// before the first chart, after it, and after ten switches between the charts; and the
// time from the panel's heading click to a drawn chart. The service runs in the same
// process with sample charts, so no network is used. Linux only: reads /proc.
//   QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1024x768x24" zefirina-bench-chartmemory [--futures-first]
// With --futures-first the chart window is first prepared as a click on the futures slot
// does, three seconds (the user reading the description) before the heading's click; the
// longest pause of the user-interface thread after that click is reported too.
// Setting QTWEBENGINE_CHROMIUM_FLAGS (to " " for none) replaces the program's own engine flags.
#include "model/tickerstate.h"
#include "panels/form2.h"
#include "panels/form3.h"
#include "service/http/localservice.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
struct Usage {
    qint64 rssKb = 0;
    qint64 pssKb = 0;
    int processes = 0;
};

qint64 field(const QByteArray& text, const QByteArray& name) {
    const qsizetype at = text.indexOf("\n" + name + ":");
    return at < 0 ? 0 : text.mid(at + name.size() + 2).trimmed().split(' ').value(0).toLongLong();
}

// The process and all its descendants.
Usage treeUsage() {
    QHash<qint64, qint64> parents;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        parents.insert(pid, line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong());
    }
    QList<qint64> tree{QCoreApplication::applicationPid()};
    for (qsizetype i = 0; i < tree.size(); ++i)
        for (auto it = parents.cbegin(); it != parents.cend(); ++it)
            if (it.value() == tree.at(i))
                tree.append(it.key());
    Usage usage;
    for (const qint64 pid : tree) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = "\n" + rollup.readAll();
        usage.rssKb += field(text, "Rss");
        usage.pssKb += field(text, "Pss");
        ++usage.processes;
    }
    return usage;
}

void report(const char* when, const Usage& usage) {
    std::printf("%-34s %2d processes, RSS %4lld MB, PSS %4lld MB\n", when, usage.processes, usage.rssKb / 1024,
                usage.pssKb / 1024);
}

// The longest gap between the ticks of a 10 ms timer, as the ticker's motion would feel it.
class PauseMeter {
public:
    PauseMeter() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_timer.start(10);
        m_clock.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// Runs the event loop as the program does until `done` holds or `ms` have passed. QTest's
// waits sleep between rounds of events, and every step of the engine's user-interface
// thread would wait for them: a page would take twice as long as in the program.
template <typename Done> bool runUntil(Done done, int ms) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void runFor(int ms) {
    runUntil([] { return false; }, ms);
}

QString titleOf(QWidget* window) {
    return window->findChild<QWidget*>(QStringLiteral("WebBrowser1"))->property("title").toString();
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    LocalService service;
    if (!service.start(QHostAddress::LocalHost, 0))
        return 1;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(service.port());
    const ServiceHosts hosts{host, host, host, host, host, host};
    TickerState state;
    state.CodiceFutures = QStringLiteral("NQZ26");
    Form2 panel(hosts, state);
    panel.chartWindow()->setPluginFile(QStringLiteral(CHART_PLUGIN));
    runFor(1000);
    report("before the first chart", treeUsage());
    if (app.arguments().contains(u"--futures-first")) {
        const PauseMeter pauses;
        panel.chartWindow()->prepare();
        runFor(3000);
        std::printf("longest pause after the futures click: %lld ms\n", pauses.longestMs());
        report("three seconds after it", treeUsage());
    }

    QElapsedTimer clock;
    clock.start();
    panel.Label8_Click();
    QWidget* window = panel.chartWindow()->window();
    if (!window || !runUntil([&] { return titleOf(window) == u"NQZ26"; }, 60000)) {
        std::fprintf(stderr, "no chart: the page's title is '%s'\n", window ? qPrintable(titleOf(window)) : "");
        return 1;
    }
    std::printf("heading click to drawn chart: %lld ms\n", clock.elapsed());
    runFor(2000);
    report("after the first chart", treeUsage());

    const QList<QAction*> menu = window->findChild<QMenuBar*>()->actions();
    for (int i = 0; i < 10; ++i) {
        QAction* item = menu.at(1 + i % 2);
        const QString symbol = i % 2 ? QStringLiteral("INDEX:INDU") : QStringLiteral("INDEX:COMPX");
        item->trigger();
        if (!runUntil([&] { return titleOf(window) == symbol; }, 30000))
            return 1;
    }
    runFor(2000);
    report("after ten switches", treeUsage());
    window->close();
    QFile::remove(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sito.htm")));
    return 0;
}
