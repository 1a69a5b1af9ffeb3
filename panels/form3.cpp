#include "panels/form3.h"

#include "panels/chartpage.h"
#include "panels/form2.h"
#include "ticker/barlayout.h"
#include "ticker/tickerstate.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

using BarLayout::toPixels;

namespace {
// Every request of a page for a new window (a link with a target, window.open) is
// answered as handled, and no window opens.
class NewWindowRefusingPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

QIcon chartIcon() {
    QPixmap image(32, 32);
    image.fill(QColor(192, 0, 192));
    QPainter painter(&image);
    painter.setPen(QPen(QColor(0, 255, 0), 3));
    painter.drawPolyline(QPolygon({{2, 26}, {10, 18}, {16, 22}, {29, 6}}));
    return QIcon(image);
}
} // namespace

Form3::Form3(Form2& panel, const TickerState& state)
    : m_panel(panel), m_state(state), m_clientArea(new QWidget(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Futures tempo reale da Lycos"));
    setWindowIcon(chartIcon());
    m_clientArea->setFixedSize(toPixels(9510.f), toPixels(5505.f));
    setCentralWidget(m_clientArea);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    menuBar()->addAction(QStringLiteral("Futures"), this, &Form3::Futures_Click);
    menuBar()->addAction(QStringLiteral("Nasdaq"), this, &Form3::Nasdaq_Click);
    menuBar()->addAction(QStringLiteral("Dow Jones"), this, &Form3::DowJones_Click);
}

void Form3::createBrowser() {
    WebBrowser1 = new QWebEngineView(m_clientArea);
    auto* page = new NewWindowRefusingPage(WebBrowser1);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    WebBrowser1->setPage(page);
    // Larger than the client area: its right and bottom edges are never seen.
    WebBrowser1->setGeometry(0, 0, toPixels(9885.f), toPixels(6105.f));
    WebBrowser1->show();
}

void Form3::navigate(const QString& target) {
    if (!WebBrowser1 && target.compare(u"about:blank", Qt::CaseInsensitive) == 0)
        return;
    if (!WebBrowser1)
        createBrowser();
    WebBrowser1->setUrl(QUrl::fromUserInput(target));
}

void Form3::showChart(const QString& symbol) {
    if (const auto path = m_panel.writeChartPage(symbol))
        navigate(*path);
}

void Form3::Futures_Click() { showChart(m_state.CodiceFutures); }

void Form3::Nasdaq_Click() { showChart(NasdaqSymbol.toString()); }

void Form3::DowJones_Click() { showChart(DowJonesSymbol.toString()); }

void Form3::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (std::exchange(m_placed, true))
        return;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.center() - rect().center());
}
