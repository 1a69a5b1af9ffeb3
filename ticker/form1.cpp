// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "ticker/form1.h"

#include "market/quotereader.h"
#include "model/barlayout.h"
#include "model/helptext.h"
#include "model/promocaptions.h"
#include "news/detailreader.h"
#include "panels/form2.h"
#include "panels/form3.h"
#include "ticker/controlbox.h"
#include "ticker/inettransfer.h"
#include "ticker/tickerstrip.h"
#include "widgets/clicklabel.h"
#include "widgets/style.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QScreen>
#include <QTime>
#include <QTimer>

using BarLayout::toPixels;

namespace {
constexpr int FuturesSlot = 5;
constexpr int PromoSlot = 6;
constexpr int HelpIndex = 7;
const QColor Rising(0, 128, 0);
const QColor Falling(255, 0, 0);

bool askBeforeExit(QWidget* parent) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zefirina - Ventoria"),
                    QStringLiteral("Vuoi veramente uscire da Zefirina ?"), QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral(u"S\u00ec"));
    box.button(QMessageBox::No)->setText(QStringLiteral("No"));
    return box.exec() == QMessageBox::Yes;
}

QSizeF screenTwips() {
    const QSize size = QGuiApplication::primaryScreen()->geometry().size();
    return {BarLayout::toTwips(size.width()), BarLayout::toTwips(size.height())};
}

// A one-letter button of the control box; `left` in twips from the box's left edge.
ClickLabel* makeButton(QWidget* box, const QString& text, const QColor& color, const QString& toolTip, float left) {
    auto* label = new ClickLabel(text, box);
    label->setFont(Style::boldFont(8.25));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setToolTip(toolTip);
    label->setAccessibleName(toolTip);
    label->setCursor(Qt::PointingHandCursor);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(toPixels(left), toPixels(30.f), toPixels(165.f), toPixels(225.f));
    return label;
}
} // namespace

Form1::Form1(const ServiceHosts& hosts, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Frame1(new TickerStrip(m_ring, this)), Frame2(new ControlBox(this)), Frame3(new QWidget(this)),
      Timer1(new QTimer(this)), Timer2(new QTimer(this)), Timer3(new QTimer(this)), m_hosts(hosts),
      m_network(new QNetworkAccessManager(this)),
      m_drag(*this), m_exit{askBeforeExit, [] { QCoreApplication::exit(0); }} {
    setWindowTitle(QStringLiteral("Televideo RAI"));
    // The bar lives for the whole run, and the bar and the panel are tool windows, which Qt
    // does not count: closing the chart window would otherwise end the program. It ends
    // through the exit box, or when the bar itself is closed.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    panel = new Form2(m_hosts, m_state);
    Inet1 = new InetTransfer(m_network, this);
    Inet2 = new InetTransfer(m_network, this);
    Inet3 = new InetTransfer(m_network, this);
    Inet4 = new InetTransfer(m_network, this);
    connect(Inet1, &InetTransfer::StateChanged, this, &Form1::Inet1_StateChanged);
    connect(Inet2, &InetTransfer::StateChanged, this, &Form1::Inet2_StateChanged);
    connect(Inet3, &InetTransfer::StateChanged, this, &Form1::Inet3_StateChanged);
    connect(Inet4, &InetTransfer::StateChanged, this, &Form1::Inet4_StateChanged);

    Frame3->setAutoFillBackground(true);
    QPalette purple = Frame3->palette();
    purple.setColor(QPalette::Window, Style::Purple);
    Frame3->setPalette(purple);
    Frame3->setGeometry(0, toPixels(-60.f), toPixels(105.f), toPixels(495.f));
    buildControlBox();
    Frame3->raise();
    connect(Frame1, &TickerStrip::captionClicked, this, &Form1::Label1_Click);

    Timer1->setInterval(1000);
    Timer2->setInterval(1000);
    Timer3->setSingleShot(true);
    Timer3->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form1::runMotion);
    Timer1->start();
    Timer2->start();
    m_motionClock.start();

    Form_Load();
}

Form1::~Form1() { delete panel; }

void Form1::buildControlBox() {
    Label6 = makeButton(Frame2, QStringLiteral("^"), QColor(128, 0, 128), QStringLiteral("Finestra al top"), 90.f);
    Label5 = makeButton(Frame2, QStringLiteral("R"), QColor(0, 128, 0), QStringLiteral("Aggiorna i dati"), 300.f);
    HelpButton = makeButton(Frame2, QStringLiteral("?"), QColor(0, 0, 255),
                            QStringLiteral("Aiuto per l'uso del ticker."), 510.f);
    Label3 = makeButton(Frame2, QStringLiteral("X"), QColor(192, 0, 0), QStringLiteral("Chiude"), 1020.f);
    Check2 = new QCheckBox(Frame2);
    Check2->setToolTip(QStringLiteral("Futures Americani"));
    Check2->setAccessibleName(QStringLiteral("Futures Americani"));
    Check2->setStyleSheet(QStringLiteral("QCheckBox { background: rgb(0, 0, 255); }"));
    Check2->setGeometry(toPixels(720.f), toPixels(30.f), toPixels(195.f), toPixels(195.f));

    connect(Label6, &ClickLabel::clicked, this, &Form1::Label6_Click);
    connect(Label5, &ClickLabel::clicked, this, &Form1::Label5_Click);
    connect(HelpButton, &ClickLabel::clicked, this, [this] { Label1_Click(HelpIndex); });
    connect(Label3, &ClickLabel::clicked, this, &Form1::Label3_Click);
    connect(Check2, &QCheckBox::toggled, this, &Form1::Check2_Click);
    connect(Frame2, &ControlBox::pressed, this, [this](Qt::MouseButton button, QPoint at) {
        if (button == Qt::LeftButton)
            m_drag.grab(at);
    });
    connect(Frame2, &ControlBox::mouseMoved, this, &Form1::Frame2_MouseMove);
    connect(Frame2, &ControlBox::released, this, [this] { m_drag.release(); });
}

void Form1::Form_Load() {
    const QSizeF screen = screenTwips();
    m_widthTwips = BarLayout::barWidth(static_cast<float>(screen.width()));
    m_stripWidthTwips = BarLayout::stripWidth(m_widthTwips);
    Frame1->setGeometry(0, 0, toPixels(m_stripWidthTwips), toPixels(375.f));
    Frame2->setGeometry(toPixels(m_stripWidthTwips), 0, toPixels(BarLayout::ControlBoxWidth), toPixels(375.f));
    panel->setWidthTwips(m_widthTwips);
    panel->setCardWidthTwips(m_widthTwips - 100.f);
    panel->centreHeading();
    m_ring.setLeft(0, m_stripWidthTwips);
    Frame1->followRing();
    Label6_Click();
    Command1_Click();
    Inet4->Execute(futuresSymbolUrl(m_hosts));
    scheduleMotion();
}

void Form1::Form_Activate() { raise(); }

void Form1::Form_Unload() { QCoreApplication::quit(); }

bool Form1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // A tool window does not end the application when it closes: the bar does it.
    event->accept();
    Form_Unload();
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Placement sets the twips itself; only a move by the user is read back from pixels.
    if (toPixels(m_leftTwips) != x() || toPixels(m_topTwips) != y()) {
        m_leftTwips = BarLayout::toTwips(x());
        m_topTwips = BarLayout::toTwips(y());
    }
    if (m_drag.active())
        Segue();
}

void Form1::Segue() {
    const float top = BarLayout::panelTop(m_topTwips, m_heightTwips, panel->heightTwips(),
                                          static_cast<float>(screenTwips().height()));
    panel->moveTwips(m_leftTwips, top);
}

void Form1::Ridim() {
    const float bodyHeight = panel->fitBody(BarLayout::BodyLeft, BarLayout::bodyWidth(panel->widthTwips()));
    const BarLayout::PanelFit fit = BarLayout::fitPanel(panel->widthTwips(), bodyHeight);
    panel->setHeightTwips(fit.panelHeight);
    panel->setCardHeightTwips(fit.cardHeight);
    panel->show();
}

void Form1::setSlotCaption(int slot, const QString& caption) {
    Frame1->setCaption(slot, caption);
    m_ring.setWidth(slot, Frame1->captionWidth(slot));
    scheduleMotion();
}

void Form1::Command1_Click() {
    Inet1->Execute(headlinePageUrl(m_hosts));
    if (Check2->isChecked() && !m_state.CodiceFutures.isEmpty()) {
        Inet3->Execute(quotePageUrl(m_hosts, m_state.CodiceFutures));
    } else {
        Inet3->Cancel();
        setSlotCaption(FuturesSlot, NoQuoteCaption.toString());
    }
}

void Form1::Label5_Click() { Command1_Click(); }

void Form1::Check2_Click() {
    m_ring.requestRefresh();
    scheduleMotion();
}

void Form1::Label6_Click() {
    const QSizeF screen = screenTwips();
    m_topTwips = 0.f;
    m_heightTwips = BarLayout::BarHeight;
    m_leftTwips = BarLayout::barLeft(static_cast<float>(screen.width()), m_widthTwips);
    setGeometry(toPixels(m_leftTwips), toPixels(m_topTwips), toPixels(m_widthTwips), toPixels(m_heightTwips));
    Segue();
}

void Form1::Frame2_MouseMove(Qt::MouseButtons Button, QPoint globalPosition) {
    if (Button == Qt::LeftButton)
        m_drag.follow(globalPosition);
    else
        m_drag.end();
    Segue();
}

void Form1::setExitHandlers(ExitHandlers handlers) {
    if (handlers.ask)
        m_exit.ask = std::move(handlers.ask);
    if (handlers.quit)
        m_exit.quit = std::move(handlers.quit);
}

void Form1::Label3_Click() {
    // Yes ends the program at once: nothing else of the program runs.
    if (m_exit.ask(this))
        m_exit.quit();
}

void Form1::Timer1_Timer() {
    if (const auto next = PromoCaptions::next(Frame1->caption(PromoSlot)))
        Frame1->setCaption(PromoSlot, *next); // the box keeps the first caption's width
}

void Form1::Timer2_Timer() {
    m_ring.secondElapsed();
    scheduleMotion(); // a refresh may now be pending
}

void Form1::Timer3_Timer() {
    m_ring.tick(m_stripWidthTwips, [this] { Command1_Click(); });
    Frame1->followRing();
}

void Form1::runMotion() {
    // Ticks that would change nothing on screen are not woken for: they run here, in
    // order, before the one that moves a box to another pixel or reaches a sync point.
    const int planned = m_plannedTicks; // a refresh at a sync point plans again
    for (int tick = 0; tick < planned; ++tick)
        Timer3_Timer();
    m_lastTickMs += planned * TickMs;
    // Time lost while the program was busy is not made up in a jump, as a plain timer
    // would not make it up either.
    m_lastTickMs = std::max(m_lastTickMs, m_motionClock.elapsed() - TickMs);
    scheduleMotion();
}

// Plans the next wake from the ring as it stands after the last tick run: called again
// whenever the ring is rewritten or a refresh is asked for between two ticks.
void Form1::scheduleMotion() {
    if (!m_motionClock.isValid())
        return; // still starting
    m_plannedTicks = m_ring.ticksUntilNextFrame(m_stripWidthTwips);
    const qint64 wakeMs = m_lastTickMs + m_plannedTicks * TickMs;
    Timer3->start(static_cast<int>(std::max<qint64>(0, wakeMs - m_motionClock.elapsed())));
}

void Form1::Inet1_StateChanged(int State) {
    if (State != InetTransfer::ResponseCompleted)
        return;
    const QString page = Inet1->ResponseText();
    if (page.isEmpty())
        return;
    const HeadlineBatch batch = readHeadlines(page, m_links, QTime::currentTime().toString(QStringLiteral("hh:mm")));
    for (int slot = 0; slot < HeadlineCount; ++slot)
        setSlotCaption(slot, batch.captions[slot]);
    m_links = batch.links;
    setSlotCaption(PromoSlot, PromoCaptions::first());
    m_ring.layOutBehindFirst();
    Frame1->followRing();
    scheduleMotion();
}

void Form1::Inet2_StateChanged(int State) {
    if (State == InetTransfer::Error) {
        const bool connectionFailed =
            Inet2->ResponseCode() == static_cast<int>(InetTransfer::Failure::ConnectionFailed);
        panel->setBody(detailFailureText(connectionFailed ? QStringLiteral("Connessione non riuscita, riprovare!")
                                                          : Inet2->ResponseInfo()));
        panel->setBodyWaiting(false);
        return;
    }
    if (State != InetTransfer::ResponseCompleted)
        return;
    const QString page = Inet2->ResponseText();
    if (page.isEmpty())
        return; // the panel stays waiting
    panel->setBodyWaiting(false);
    panel->setBody(readDetail(page));
    Ridim();
    Segue();
}

void Form1::Inet3_StateChanged(int State) {
    if (State != InetTransfer::ResponseCompleted)
        return;
    const QString page = Inet3->ResponseText();
    if (page.isEmpty())
        return;
    m_state.DatiFutures = readQuote(page, m_state.DatiFutures);
    m_state.TendenzaFutures = trendWord(m_state.DatiFutures.rising);
    Frame1->setCaptionColor(FuturesSlot, m_state.DatiFutures.rising ? Rising : Falling);
    setSlotCaption(FuturesSlot, quoteCaption(m_state.DatiFutures, m_state.CodiceFutures));
}

void Form1::Inet4_StateChanged(int State) {
    if (State != InetTransfer::ResponseCompleted)
        return;
    const QString symbol = Inet4->ResponseText();
    if (!symbol.isEmpty())
        m_state.CodiceFutures = symbol;
}

void Form1::Label1_Click(int Index) {
    if (Index < FuturesSlot)
        requestDetail(Index);
    else if (Index == FuturesSlot) {
        showFuturesDescription();
        // The description leads to the chart: its engine starts now, while the user reads.
        panel->chartWindow()->prepare();
    } else if (Index == PromoSlot)
        QDesktopServices::openUrl(makerPageUrl(m_hosts));
    else if (Index == HelpIndex)
        showHelp();
}

void Form1::requestDetail(int slot) {
    panel->setBody(detailFailureText(QStringLiteral("Connessione in corso...")));
    Ridim();
    panel->setBodyWaiting(true);
    // The newest click wins: a detail still arriving for another headline is abandoned,
    // so the panel never shows one item's text under another item's heading.
    Inet2->Cancel();
    Inet2->Execute(detailPageUrl(m_hosts, m_links[slot]));
    panel->setHeading(Frame1->caption(slot), QStringLiteral("Vai alla pagina Televideo RAI"));
    m_state.AzioneTitolo = HeadingAction::NewsSite;
}

void Form1::showFuturesDescription() {
    panel->setHeading(futuresHeading(m_state.DatiFutures), QStringLiteral("Chart tempo reale"));
    panel->setBody(futuresDescription(m_state.DatiFutures, m_state.TendenzaFutures));
    panel->show();
    Ridim();
    m_state.AzioneTitolo = HeadingAction::Chart;
}

void Form1::showHelp() {
    panel->setHeading(HelpText::heading(), QStringLiteral("Vai alla pagina Televideo RAI"));
    panel->setBody(HelpText::body());
    panel->show();
    Ridim();
    m_state.AzioneTitolo = HeadingAction::NewsSite;
}
