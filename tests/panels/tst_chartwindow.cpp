// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "browserstandin.h"
#include "datafile.h"
#include "model/tickerstate.h"
#include "panels/form2.h"
#include "panels/form3.h"
#include "samehost.h"
#include "service/http/localservice.h"
#include "service/market/easternclock.h"
#include "service/market/frontmonth.h"
#include "testhttpserver.h"
#include "ticker/form1.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QPluginLoader>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The browser engine is reached only through the plugin and through Qt's object model:
// linking the engine here would start it before the application object, the way the
// program never does, and hide faults of its late start.
namespace {
const QString Caption = u"Futures tempo reale da Lycos"_s;
const QString Nowhere = u"127.0.0.1:1"_s;
constexpr int EngineStart = 30000; // ms; the first page also starts the engine

QString dataPath(const char* name) { return QStringLiteral(DATA_DIR "/") + QLatin1String(name); }

QString chartPagePath() { return QDir(QCoreApplication::applicationDirPath()).filePath(u"sito.htm"_s); }

QWidget* browserOf(QWidget* window) { return window->findChild<QWidget*>(u"WebBrowser1"_s); }
QString pageTitle(QWidget* window) { return browserOf(window)->property("title").toString(); }
QUrl pageUrl(QWidget* window) { return browserOf(window)->property("url").toUrl(); }

QSet<QWidget*> visibleWindows() {
    QSet<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            windows.insert(widget);
    return windows;
}

// Pixels of `colour` in `image`.
int pixels(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}
int risingPixels(const QImage& image) { return pixels(image, QColor(0, 128, 0)); } // a rising chart's line
bool allWhite(const QImage& image) { return pixels(image, Qt::white) == image.width() * image.height(); }

// The window's frame as the window manager reports it: the client area on the screen and
// the frame's extents around it.
QRect managerFrame(const QWidget* window) {
    const auto output = [](const QString& program, const QString& id, const QString& extra) {
        QProcess process;
        process.start(program, {u"-id"_s, id, extra});
        return process.waitForFinished() ? QString::fromLatin1(process.readAllStandardOutput()) : QString();
    };
    const QString id = QString::number(window->winId());
    const QString info = output(u"xwininfo"_s, id, u"-stats"_s);
    const auto value = [&](const QString& name) {
        return QRegularExpression(name + u":\\s*(-?\\d+)"_s).match(info).captured(1).toInt();
    };
    const QStringList extents =
        output(u"xprop"_s, id, u"_NET_FRAME_EXTENTS"_s).section(u'=', 1).split(u',', Qt::SkipEmptyParts);
    if (extents.size() != 4)
        return {};
    const int left = extents[0].toInt(), right = extents[1].toInt();
    const int top = extents[2].toInt(), bottom = extents[3].toInt();
    return QRect(value(u"Absolute upper-left X"_s) - left, value(u"Absolute upper-left Y"_s) - top,
                 value(u"Width"_s) + left + right, value(u"Height"_s) + top + bottom);
}

// Closes a window by its title bar's close button, as the window manager does.
bool closeByWindowManager(QWidget* window) {
    QPointer<QWidget> watched(window);
    // Asked again until it goes: the window manager may not have taken the window in yet.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] { QProcess::execute(u"wmctrl"_s, {u"-c"_s, Caption}); });
    closer.start(250);
    return QTest::qWaitFor([&] { return watched.isNull(); }, EngineStart);
}

void chooseMenu(QWidget* window, const QString& caption) {
    const QList<QAction*> actions = window->findChild<QMenuBar*>()->actions();
    for (QAction* action : actions)
        if (action->text() == caption)
            action->trigger();
}
} // namespace

class TestChartWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_state = TickerState{};
        m_state.CodiceFutures = u"NQZ26"_s;
        m_panel = std::make_unique<Form2>(m_hosts, m_state);
        m_panel->chartWindow()->setPluginFile(QStringLiteral(CHART_PLUGIN));
    }
    void cleanup() {
        m_panel.reset();
        QFile::remove(chartPagePath());
    }

    // Must run first: once loaded, the plugin stays loaded for the rest of the run (without
    // the plugin, the installed tree's chart-absent test shows the panel's words and no
    // window). From the bar, the futures description leads to the chart: its click starts
    // the engine on an empty page, showing nothing; other clicks do not. After help, then
    // futures, the heading leads to the chart window, not to the news site, and the window
    // is centred on the screen, title bar and border included, as the window manager has
    // framed it. Closing it leaves the program running.
    void headingFollowsTheLastTickerClick() {
        TestHttpServer server;
        BrowserStandIn browser;
        QDesktopServices::setUrlHandler(u"http"_s, &browser, "open");
        Form1 bar(sameHost(server.host()));
        bar.show();
        bar.panel->chartWindow()->setPluginFile(QStringLiteral(CHART_PLUGIN));
        bar.Label1_Click(0);
        bar.Label1_Click(7);
        QVERIFY(!QPluginLoader(QStringLiteral(CHART_PLUGIN)).isLoaded());
        bar.Label1_Click(5);
        QVERIFY(QPluginLoader(QStringLiteral(CHART_PLUGIN)).isLoaded());
        QWidget* window = bar.panel->chartWindow()->window();
        QVERIFY(window);
        QTRY_COMPARE_WITH_TIMEOUT(pageUrl(window), QUrl(u"about:blank"_s), EngineStart);
        QCOMPARE(visibleWindows(), (QSet<QWidget*>{&bar, bar.panel}));
        bar.panel->Label8_Click();
        QDesktopServices::unsetUrlHandler(u"http"_s);

        QVERIFY(browser.opened.isEmpty());
        QVERIFY(bar.panel->isVisible());
        window = bar.panel->chartWindow()->window();
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        // Framed at first sight, then centred: what a user sees once the window has settled.
        QTRY_VERIFY(!managerFrame(window).isEmpty() && managerFrame(window).height() > window->height());
        const auto offCentre = [&] { return (managerFrame(window).center() - QPoint(511, 383)).manhattanLength(); };
        QTRY_VERIFY2(offCentre() <= 1,
                     qPrintable(u"frame at %1, %2"_s.arg(managerFrame(window).x()).arg(managerFrame(window).y())));

        // Closed by the user through the window manager while the program runs: the bar and
        // the panel stay, and the program goes on.
        connect(window, &QObject::destroyed, this, [] { QTimer::singleShot(200, [] { QCoreApplication::exit(42); }); });
        QTimer::singleShot(0, [window] { closeByWindowManager(window); });
        QTimer guard;
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(EngineStart);
        QCOMPARE(QCoreApplication::exec(), 42);
        QCOMPARE(bar.panel->chartWindow()->window(), nullptr);
        QVERIFY(bar.isVisible() && bar.panel->isVisible());
    }

    void refusesNewWindows_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("reopened");
        QTest::newRow("link to _blank") << dataPath("chart-link.html") << false;
        QTest::newRow("window.open, window reopened") << dataPath("chart-open.html") << true;
    }
    void refusesNewWindows() {
        QFETCH(QString, page);
        QFETCH(bool, reopened);
        QWidget* window = openChart();
        QVERIFY(window);
        if (reopened) {
            window->close();
            QTRY_COMPARE(m_panel->chartWindow()->window(), nullptr);
            window = openChart();
            QVERIFY(window);
        }
        m_panel->chartWindow()->navigate(page);
        QTRY_COMPARE_WITH_TIMEOUT(pageTitle(window), u"ready"_s, EngineStart);
        // A click like a user's, so that the request carries a user gesture, until the page
        // names itself "asked" (the first clicks may come before the page takes input).
        QWidget* input = browserOf(window)->focusProxy();
        const auto clickAndAsk = [&] {
            QTest::mouseClick(input, Qt::LeftButton, {}, input->rect().center());
            return QTest::qWaitFor([&] { return pageTitle(window) == u"asked"_s; }, 500);
        };
        QTRY_VERIFY_WITH_TIMEOUT(clickAndAsk(), EngineStart);
        QTest::qWait(500); // a window or a navigation would arrive by now
        QCOMPARE(visibleWindows(), QSet<QWidget*>{window});
        QCOMPARE(pageUrl(window), QUrl(u"http://127.0.0.1:1/livecharts/sito.htm"_s));
        QCOMPARE(window->windowTitle(), Caption); // not the page's title
    }

    // The chart page's applet runs as the script its host serves, and draws the day of the
    // symbol from the data host; the service's quote provider is a loopback stand-in.
    void appletDrawsTheChart_data() {
        QTest::addColumn<int>("providerStatus");        // 0: no applet host at all
        QTest::addColumn<QString>("outcome");           // the page's title once the chart is done
        QTest::newRow("drawn") << 200 << u"CONTRACT"_s; // the contract of the day, the only one relayed
        QTest::newRow("provider failing") << 503 << u"Dati non disponibili"_s;
        QTest::newRow("applet without script") << 0 << QString();
    }
    void appletDrawsTheChart() {
        QFETCH(int, providerStatus);
        QFETCH(QString, outcome);
        m_state.CodiceFutures = frontMonthContract(easternTime(QDateTime::currentDateTimeUtc()).date());
        if (outcome == u"CONTRACT")
            outcome = m_state.CodiceFutures;
        TestHttpServer provider;
        provider.setDefaultReply({providerStatus, dataFile("../../service/data/provider-rising.json")});
        LocalService service;
        service.useQuoteProvider(QUrl(u"http://"_s + provider.host()));
        QVERIFY(service.start(QHostAddress::LocalHost, 0));
        const QString local = u"127.0.0.1:%1"_s.arg(service.port());
        const QString host = providerStatus ? local : Nowhere;
        const ServiceHosts hosts = sameHost(host);
        Form2 panel(hosts, m_state);
        panel.chartWindow()->setPluginFile(QStringLiteral(CHART_PLUGIN));
        panel.Label8_Click();
        // Gone before the engine reads it, as when a starting engine takes over a second.
        QVERIFY(QFile::remove(chartPagePath()));
        QWidget* window = panel.chartWindow()->window();
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        const QRect area(8, 8, 610, 337); // the applet's place in the page
        const auto applet = [&] { return browserOf(window)->grab().toImage().copy(area); };
        const auto belowApplet = [&] { return browserOf(window)->grab().toImage().copy(0, 350, 620, 50); };

        if (outcome.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(pageUrl(window), QUrl(u"http://127.0.0.1:1/livecharts/sito.htm"_s), EngineStart);
            QTest::qWait(2000); // the script would be loaded and run by now
            QVERIFY(allWhite(applet()));
            QCOMPARE(visibleWindows(), QSet<QWidget*>{window});
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(pageTitle(window), outcome, EngineStart);
        QTRY_VERIFY(!allWhite(applet())); // drawn a moment after the page is named
        QImage chart = applet();
        QCOMPARE(risingPixels(chart) > 100, providerStatus == 200);
        if (providerStatus != 200)
            return;
        for (const auto& [item, symbol] :
             {std::pair(u"Nasdaq"_s, u"INDEX:COMPX"_s), std::pair(u"Dow Jones"_s, u"INDEX:INDU"_s),
              std::pair(u"Futures"_s, outcome)}) {
            chooseMenu(window, item);
            QTRY_COMPARE_WITH_TIMEOUT(pageTitle(window), symbol, EngineStart);
            // Drawn a moment after the page is named: until then the last chart may still show.
            QTRY_VERIFY(applet() != chart && risingPixels(applet()) > 100);
            chart = applet();
        }

        // Closed by its close button and opened again from the heading, ten times: a new
        // window with one chart each time.
        for (int reopened = 1; reopened <= 10; ++reopened) {
            QVERIFY(closeByWindowManager(window));
            panel.Label8_Click();
            window = panel.chartWindow()->window();
            QVERIFY(window && QTest::qWaitForWindowExposed(window));
            QTRY_COMPARE_WITH_TIMEOUT(pageTitle(window), outcome, EngineStart);
            QTRY_VERIFY(risingPixels(applet()) > 100);
            QTest::qWait(300); // a second chart would be drawn by now
            QVERIFY2(allWhite(belowApplet()), qPrintable(u"reopened %1 times"_s.arg(reopened)));
        }
    }

    // Whatever script the applet host serves in the applet's place reads neither the user's
    // files nor another local server's pages; it names the page with what it got.
    void servedScriptReadsNoFileNorOtherPort() {
        QTemporaryFile privateFile;
        QVERIFY(privateFile.open() && privateFile.write("private") == 7 && privateFile.flush());
        TestHttpServer otherServer;
        otherServer.setDefaultReply({200, "other"});
        TestHttpServer appletHost;
        const QString script = QString::fromUtf8(dataFile("reads-file-and-port.js"));
        const QString filled = script.arg(QUrl::fromLocalFile(privateFile.fileName()).toString(), otherServer.host());
        appletHost.setReply("/livecharts/livecharts.LiveChartsV3.js", {200, filled.toUtf8()});
        ServiceHosts hosts = sameHost(Nowhere);
        hosts.chartApplet = appletHost.host();
        Form2 panel(hosts, m_state);
        panel.chartWindow()->setPluginFile(QStringLiteral(CHART_PLUGIN));
        panel.Label8_Click();
        QWidget* window = panel.chartWindow()->window();
        QVERIFY(window);
        QTRY_COMPARE_WITH_TIMEOUT(pageTitle(window), u"file:refused port:refused"_s, EngineStart);
        QCOMPARE(otherServer.requests().size(), 0);
    }

    // A second after the last of several chart pages, none is left beside the program.
    void chartPageIsGoneASecondAfterTheLastWriter() {
        QWidget* window = openChart();
        QVERIFY(window);
        chooseMenu(window, u"Nasdaq"_s);
        chooseMenu(window, u"Dow Jones"_s);
        QVERIFY(QFile::exists(chartPagePath()));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(chartPagePath()), 3000);
        QVERIFY(!m_panel->chartPage().removalPending());
    }

private:
    // Opens the futures chart as the panel's heading does; the chart window, shown, or null.
    QWidget* openChart() {
        m_panel->Label8_Click();
        QWidget* window = m_panel->chartWindow()->window();
        return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
    }

    // The panel keeps references to both.
    const ServiceHosts m_hosts = sameHost(Nowhere);
    TickerState m_state;
    std::unique_ptr<Form2> m_panel;
};

QTEST_MAIN(TestChartWindow)
#include "tst_chartwindow.moc"
