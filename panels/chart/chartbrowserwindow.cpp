// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "panels/chart/chartbrowserwindow.h"

#include "common/serviceaccess.h"
#include "model/barlayout.h"
#include "model/chartpage.h"
#include "widgets/style.h"

#include <QFile>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <QWindow>
#include <utility>

using BarLayout::toPixels;

namespace {
// Every request of a page for a new window (a link with a target, window.open) is
// answered as handled, and no window opens; the page stays where it is.
class NewWindowRefusingPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

// The page reaches the chart's hosts alone; requests to the user's local service carry its
// key, which the page's scripts never see.
class ChartRequestInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    ChartRequestInterceptor(const ChartPages& pages, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_pages(pages) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (!chartPageMayRequest(m_pages.chartHosts(), info.requestUrl()))
            info.block(true);
        else if (const QByteArray key = m_pages.serviceKey(info.requestUrl()); !key.isEmpty())
            info.setHttpHeader(ServiceKeyHeader, key);
    }

private:
    const ChartPages& m_pages;
};

// Content handed to the engine directly is limited; the chart page is a few lines.
constexpr qint64 MaxPageBytes = 1024 * 1024;

// The applets of every page run through the script that their host serves in their place.
QWebEngineScript appletShim() {
    QFile file(QStringLiteral(":/zefirina-chart/appletshim.js"));
    static_cast<void>(file.open(QIODevice::ReadOnly)); // compiled in
    QWebEngineScript script;
    script.setName(QStringLiteral("applets"));
    script.setSourceCode(QString::fromUtf8(file.readAll()));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    // In the page's own world, where the applet's script defines what the shim calls.
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

QIcon chartIcon() {
    QPixmap image(32, 32);
    image.fill(Style::Purple);
    QPainter painter(&image);
    painter.setPen(QPen(QColor(0, 255, 0), 3));
    painter.drawPolyline(QPolygon({{2, 26}, {10, 18}, {16, 22}, {29, 6}}));
    return QIcon(image);
}
} // namespace

ChartBrowserWindow::ChartBrowserWindow(ChartPages& pages) : m_pages(pages) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Futures tempo reale da Lycos"));
    setWindowIcon(chartIcon());
    auto* clientArea = new QWidget(this);
    clientArea->setFixedSize(toPixels(9510.f), toPixels(5505.f));
    setCentralWidget(clientArea);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    menuBar()->addAction(QStringLiteral("Futures"), this, &ChartBrowserWindow::Futures_Click);
    menuBar()->addAction(QStringLiteral("Nasdaq"), this, &ChartBrowserWindow::Nasdaq_Click);
    menuBar()->addAction(QStringLiteral("Dow Jones"), this, &ChartBrowserWindow::DowJones_Click);

    WebBrowser1 = new QWebEngineView(clientArea);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    auto* page = new NewWindowRefusingPage(WebBrowser1);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // The page is shown from the applet's host: no local content is ever shown.
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    page->setUrlRequestInterceptor(new ChartRequestInterceptor(m_pages, page));
    page->scripts().insert(appletShim());
    WebBrowser1->setPage(page);
    // Larger than the client area: its right and bottom edges are never seen.
    WebBrowser1->setGeometry(0, 0, toPixels(9885.f), toPixels(6105.f));
}

void ChartBrowserWindow::navigate(const QString& path) {
    // Read now: the chart page is deleted a second after it was written, and an engine that
    // is still starting (the first chart of a run) would read it later than that. Shown at
    // the applet host's address, the page and the applet's script share that host's origin.
    QFile page(path);
    if (page.size() <= MaxPageBytes && page.open(QIODevice::ReadOnly))
        WebBrowser1->page()->setContent(page.readAll(), QStringLiteral("text/html"),
                                        chartPageAddress(m_pages.chartHosts()));
}

void ChartBrowserWindow::showChart(const QString& symbol) {
    if (const auto path = m_pages.writeChartPage(symbol))
        navigate(*path);
}

void ChartBrowserWindow::prepare() {
    // An empty page is enough: the engine's start and its first page's renderer, which the
    // first chart would otherwise wait for, are paid now.
    if (WebBrowser1->url().isEmpty())
        WebBrowser1->setUrl(QUrl(QStringLiteral("about:blank")));
}

void ChartBrowserWindow::Futures_Click() { showChart(m_pages.futuresSymbol()); }

void ChartBrowserWindow::Nasdaq_Click() { showChart(NasdaqSymbol.toString()); }

void ChartBrowserWindow::DowJones_Click() { showChart(DowJonesSymbol.toString()); }

void ChartBrowserWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (std::exchange(m_placed, true))
        return;
    centre();
    // A window manager puts its frame around the window once it is shown, before the window
    // is first drawn: centred again then, with the frame, before anybody can have moved it.
    windowHandle()->installEventFilter(this);
}

bool ChartBrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose && !m_framed &&
        !windowHandle()->frameMargins().isNull()) {
        m_framed = true;
        windowHandle()->removeEventFilter(this);
        centre();
    }
    return QMainWindow::eventFilter(watched, event);
}

void ChartBrowserWindow::centre() {
    // The whole window, title bar and border included, as far as they are known by now.
    QRect frame = geometry().marginsAdded(windowHandle()->frameMargins());
    frame.moveCenter(QGuiApplication::primaryScreen()->geometry().center());
    windowHandle()->setFramePosition(frame.topLeft());
}
