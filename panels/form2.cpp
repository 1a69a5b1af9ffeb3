// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "panels/form2.h"

#include "model/barlayout.h"
#include "model/chartpage.h"
#include "model/tickerstate.h"
#include "net/httpfetch.h"
#include "panels/form3.h"
#include "widgets/clicklabel.h"
#include "widgets/style.h"

#include <QCoreApplication>
#include <QFrame>
#include <QStandardPaths>

using BarLayout::toPixels;
using BarLayout::toTwips;

namespace {
// Installed, the chart window is a package apart, which the user may not have.
const QString ChartMissingText = QStringLiteral("Per il grafico occorre installare il pacchetto zefirina-chart.");
} // namespace

Form2::Form2(const ServiceHosts& hosts, const TickerState& state)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), Label7(new ClickLabel({}, this)),
      Label8(new ClickLabel(QStringLiteral("Dettaglio Notizia"), this)), Shape2(new QFrame(this)), m_hosts(hosts),
      m_state(state), m_chartPage(ChartPageFile::buildTreeFolder(QCoreApplication::applicationDirPath()),
                                  QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)),
      m_chartWindow(std::make_unique<Form3>(*this, Form3::defaultPluginFile())) {
    setWindowTitle(QStringLiteral("Dettaglio Notizia"));

    Shape2->setFrameShape(QFrame::Box);
    Shape2->setAutoFillBackground(true);
    QPalette card = Shape2->palette();
    card.setColor(QPalette::Window, QColor(192, 255, 255));
    Shape2->setPalette(card);
    Shape2->move(toPixels(60.f), toPixels(60.f));
    Shape2->lower(); // the card lies behind the texts

    Label8->setFont(Style::boldFont(13.5));
    Label8->setAlignment(Qt::AlignCenter);
    QPalette heading = Label8->palette();
    heading.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label8->setPalette(heading);
    Label8->setCursor(Qt::PointingHandCursor);
    Label8->adjustSize();
    Label8->move(0, toPixels(210.f));

    Label7->setFont(Style::boldFont(12));
    Label7->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label7->setWordWrap(true);
    Label7->move(toPixels(BarLayout::BodyLeft), toPixels(690.f));

    connect(Label7, &ClickLabel::clicked, this, &Form2::Label7_Click);
    connect(Label8, &ClickLabel::clicked, this, &Form2::Label8_Click);
    resize(toPixels(m_widthTwips), toPixels(m_heightTwips));
}

void Form2::setWidthTwips(float width) {
    m_widthTwips = width;
    resize(toPixels(width), height());
}

void Form2::setHeightTwips(float height) {
    m_heightTwips = height;
    resize(width(), toPixels(height));
}

void Form2::moveTwips(float left, float top) {
    m_leftTwips = left;
    m_topTwips = top;
    move(toPixels(left), toPixels(top));
}

void Form2::setCardWidthTwips(float width) { Shape2->resize(toPixels(width), Shape2->height()); }

void Form2::setCardHeightTwips(float height) { Shape2->resize(Shape2->width(), toPixels(height)); }

void Form2::centreHeading() { Label8->move(toPixels((m_widthTwips - toTwips(Label8->width())) / 2.f), Label8->y()); }

float Form2::fitBody(float left, float width) {
    const int widthPx = toPixels(width);
    Label7->setGeometry(toPixels(left), Label7->y(), widthPx, Label7->heightForWidth(widthPx));
    return toTwips(Label7->height());
}

void Form2::setHeading(const QString& text, const QString& toolTip) {
    // The heading sizes itself to its caption and keeps its left edge, so a long one runs
    // past the card.
    Label8->setText(text);
    Label8->adjustSize();
    Label8->setToolTip(toolTip);
}

void Form2::setBody(const QString& text) { Label7->setText(text); }

QString Form2::heading() const { return Label8->text(); }

QString Form2::body() const { return Label7->text(); }

void Form2::setBodyWaiting(bool waiting) {
    if (waiting)
        Label7->setCursor(Qt::WaitCursor);
    else
        Label7->unsetCursor();
}

void Form2::Label7_Click() { hide(); }

Form2::~Form2() = default;

std::optional<QString> Form2::writeChartPage(const QString& symbol) {
    return m_chartPage.write(chartPageText(m_hosts, symbol));
}

QString Form2::futuresSymbol() const { return m_state.CodiceFutures; }

QByteArray Form2::serviceKey(const QUrl& url) const { return HttpFetch::serviceKey(url); }

void Form2::Label8_Click() {
    if (m_state.AzioneTitolo == HeadingAction::NewsSite) {
        m_browser.open(newsHomeUrl(m_hosts));
        return;
    }
    Form3* chart = chartWindow();
    if (!chart->available()) {
        setBody(ChartMissingText);
        return;
    }
    chart->showChart(m_state.CodiceFutures);
    chart->show();
}
