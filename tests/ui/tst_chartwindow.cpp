#include "panels/form2.h"
#include "panels/form3.h"
#include "testhttpserver.h"
#include "ticker/form1.h"
#include "ticker/tickerstate.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPluginLoader>
#include <QScreen>
#include <QTest>

// The browser engine is reached only through the plugin and through Qt's object model:
// linking the engine here would start it before the application object, the way the
// program never does, and hide faults of its late start.
namespace {
const QString Caption = QStringLiteral("Futures tempo reale da Lycos");
const QString Nowhere = QStringLiteral("127.0.0.1:1");
constexpr int EngineStart = 30000; // ms; the first page also starts the engine

QString dataPath(const char* name) {
    return QStringLiteral(DATA_DIR "/") + QString::fromLatin1(name);
}

QString chartPagePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sito.htm"));
}

QWidget* browserOf(QWidget* window) {
    return window ? window->findChild<QWidget*>(QStringLiteral("WebBrowser1")) : nullptr;
}

QString pageTitle(QWidget* window) { return browserOf(window)->property("title").toString(); }
QUrl pageUrl(QWidget* window) { return browserOf(window)->property("url").toUrl(); }

QSet<QWidget*> visibleWindows() {
    QSet<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            windows.insert(widget);
    }
    return windows;
}

void chooseMenu(QWidget* window, const QString& caption) {
    const QList<QAction*> actions = window->findChild<QMenuBar*>()->actions();
    for (QAction* action : actions) {
        if (action->text() == caption)
            action->trigger();
    }
}

// Receives the addresses the program hands to the system web browser.
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};
} // namespace

class TestChartWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_state = TickerState{};
        m_state.CodiceFutures = QStringLiteral("NQZ26");
        m_state.AzioneTitolo = 0;
        m_panel = std::make_unique<Form2>(m_hosts, m_state);
        m_panel->chartWindow()->setPluginFile(QStringLiteral(CHART_PLUGIN));
    }
    void cleanup() {
        m_panel.reset();
        QFile::remove(chartPagePath());
    }

    // Must run first: once loaded, the plugin stays loaded for the rest of the run.
    void anEmptyPageBeforeTheFirstChartLoadsNoEngine() {
        m_panel->chartWindow()->navigate(QStringLiteral("about:Blank"));
        QCOMPARE(m_panel->chartWindow()->window(), nullptr);
        QVERIFY(!QPluginLoader(QStringLiteral(CHART_PLUGIN)).isLoaded());
    }

    void showsALocalPage() {
        QWidget* window = openChart();
        QVERIFY(window);
        m_panel->chartWindow()->navigate(dataPath("chart-colour.html"));
        const QPoint middle = browserOf(window)->rect().center();
        QTRY_COMPARE_WITH_TIMEOUT(browserOf(window)->grab().toImage().pixelColor(middle),
                                  QColor(0, 128, 255), EngineStart);
        QCOMPARE(window->windowTitle(), Caption);
    }

    void refusesNewWindows_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("reopened");
        for (const bool reopened : {false, true}) {
            const char* suffix = reopened ? ", window reopened" : "";
            QTest::addRow("link to _blank%s", suffix) << dataPath("chart-link.html") << reopened;
            QTest::addRow("window.open%s", suffix) << dataPath("chart-open.html") << reopened;
        }
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
        const QSet<QWidget*> before = visibleWindows();
        m_panel->chartWindow()->navigate(page);
        QTRY_COMPARE_WITH_TIMEOUT(pageTitle(window), QStringLiteral("ready"), EngineStart);
        // Each page names itself "asked" once it has asked for the new window.
        QVERIFY(clickUntilTitleIs(window, QStringLiteral("asked")));
        QTest::qWait(500); // a window or a navigation would arrive by now
        QCOMPARE(visibleWindows(), before);
        QCOMPARE(pageUrl(window), QUrl::fromLocalFile(page));
    }

    void menuChoosesTheChartAndKeepsTheCaption_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("symbolLine");
        QTest::newRow("Futures") << QStringLiteral("Futures") << QByteArray("value='NQZ26'");
        QTest::newRow("Nasdaq") << QStringLiteral("Nasdaq") << QByteArray("value='INDEX:COMPX'");
        QTest::newRow("Dow Jones")
            << QStringLiteral("Dow Jones") << QByteArray("value='INDEX:INDU'");
    }
    void menuChoosesTheChartAndKeepsTheCaption() {
        QFETCH(QString, item);
        QFETCH(QByteArray, symbolLine);
        QWidget* window = openChart();
        QVERIFY(window);
        m_panel->chartWindow()->navigate(dataPath("chart-colour.html"));
        QTRY_COMPARE_WITH_TIMEOUT(pageUrl(window),
                                  QUrl::fromLocalFile(dataPath("chart-colour.html")), EngineStart);
        chooseMenu(window, item);
        QFile page(chartPagePath());
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("<param name='SYMBOL' " + symbolLine));
        QTRY_COMPARE(pageUrl(window), QUrl::fromLocalFile(chartPagePath()));
        QCOMPARE(window->windowTitle(), Caption);
    }

    void chartPageIsGoneOneTickAfterTheLastWriter_data() {
        QTest::addColumn<QStringList>("items");
        QTest::newRow("one writer") << QStringList{QStringLiteral("Nasdaq")};
        QTest::newRow("two writers within a second")
            << QStringList{QStringLiteral("Nasdaq"), QStringLiteral("Dow Jones")};
    }
    void chartPageIsGoneOneTickAfterTheLastWriter() {
        QFETCH(QStringList, items);
        QWidget* window = openChart();
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(chartPagePath()), 3000);
        for (const QString& item : items) {
            chooseMenu(window, item);
            QVERIFY(QFile::exists(chartPagePath()));
            QTest::qWait(300);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(chartPagePath()), 3000);
        QTest::qWait(1200); // no second deletion pending that could race a later page
        QVERIFY(!QFile::exists(chartPagePath()));
        QVERIFY(!m_panel->Timer1->isActive());
    }

    void chartActionWithoutThePluginDoesNothing() {
        m_panel->chartWindow()->setPluginFile(dataPath("chart-missing"));
        const QSet<QWidget*> before = visibleWindows();
        m_panel->Label8_Click();
        QCOMPARE(m_panel->chartWindow()->window(), nullptr);
        QCOMPARE(visibleWindows(), before);
    }

    void headingFollowsTheLastTickerClick_data() {
        QTest::addColumn<int>("tickerClick");
        QTest::addColumn<bool>("newsSite");
        QTest::newRow("help") << 7 << true;
        QTest::newRow("futures") << 5 << false;
    }
    void headingFollowsTheLastTickerClick() {
        QFETCH(int, tickerClick);
        QFETCH(bool, newsSite);
        TestHttpServer server;
        BrowserStandIn browser;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
        const QString local = server.host();
        Form1 bar(ServiceHosts{local, local, local, local, local, local});
        bar.panel->chartWindow()->setPluginFile(QStringLiteral(CHART_PLUGIN));

        bar.Label1_Click(tickerClick);
        bar.panel->Label8_Click();
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

        QWidget* window = bar.panel->chartWindow()->window();
        if (newsSite) {
            QCOMPARE(browser.opened,
                     QList<QUrl>{QUrl(QStringLiteral("http://") + local + QStringLiteral("/"))});
            QCOMPARE(window, nullptr);
        } else {
            QVERIFY(browser.opened.isEmpty());
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->windowTitle(), Caption);
            const QPoint offCentre = window->frameGeometry().center() -
                                     QGuiApplication::primaryScreen()->geometry().center();
            QVERIFY(offCentre.manhattanLength() <= 1);
        }
        QVERIFY(bar.panel->isVisible());
    }

private:
    // Opens the futures chart as the panel's heading does; the chart window, shown, or null.
    QWidget* openChart() {
        m_panel->Label8_Click();
        QWidget* window = m_panel->chartWindow()->window();
        return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
    }

    // Clicks the middle of the page like a user, so that what the page asks for carries a
    // user gesture, until its title shows that the click arrived (the first clicks may come
    // before the page takes input).
    static bool clickUntilTitleIs(QWidget* window, const QString& title) {
        QWidget* input = browserOf(window)->focusProxy();
        QDeadlineTimer deadline(EngineStart);
        while (!deadline.hasExpired()) {
            QTest::mouseClick(input, Qt::LeftButton, {}, input->rect().center());
            if (QTest::qWaitFor([&] { return pageTitle(window) == title; }, 500))
                return true;
        }
        return false;
    }

    // The panel keeps references to both.
    const ServiceHosts m_hosts = {Nowhere, Nowhere, Nowhere, Nowhere, Nowhere, Nowhere};
    TickerState m_state;
    std::unique_ptr<Form2> m_panel;
};

QTEST_MAIN(TestChartWindow)
#include "tst_chartwindow.moc"
