// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/servicehosts.h"
#include "model/tickerring.h"
#include "model/tickerstate.h"
#include "news/headlinereader.h"
#include "ticker/windowdrag.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class ClickLabel;
class ControlBox;
class Form2;
class InetTransfer;
class QCheckBox;
class QNetworkAccessManager;
class QTimer;
class TickerStrip;

// The bar: a thin borderless strip at the top centre of the screen, above every other
// window, in which the headlines scroll. It owns the four transfers, the ticker ring and
// the detail panel, and places the panel under itself.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // Asks whether to quit (true for Yes), and ends the program. A handler left empty keeps
    // the bar's own.
    struct ExitHandlers {
        std::function<bool(QWidget* parent)> ask;
        std::function<void()> quit;
    };

    explicit Form1(const ServiceHosts& hosts, QWidget* parent = nullptr);
    ~Form1() override;

    // Fits the panel to its body text and shows it.
    void Ridim();
    // Hangs the panel under the bar, or above it where there is no room below.
    void Segue();

    void Command1_Click();
    void Check2_Click();
    void Label1_Click(int Index);
    void Label3_Click();
    void Label5_Click();
    void Label6_Click();
    void Frame2_MouseMove(Qt::MouseButtons Button, QPoint globalPosition);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Inet1_StateChanged(int State);
    void Inet2_StateChanged(int State);
    void Inet3_StateChanged(int State);
    void Inet4_StateChanged(int State);

    void setExitHandlers(ExitHandlers handlers);

    const HeadlineLinks& LinkNotizie() const { return m_links; }
    const TickerState& state() const { return m_state; }
    const TickerRing& ring() const { return m_ring; }
    // Geometry of the bar in twips.
    float leftTwips() const { return m_leftTwips; }
    float topTwips() const { return m_topTwips; }
    float widthTwips() const { return m_widthTwips; }
    float stripWidthTwips() const { return m_stripWidthTwips; }

    TickerStrip* Frame1;
    ControlBox* Frame2;
    QWidget* Frame3;
    ClickLabel* Label6;     // "^"
    ClickLabel* Label5;     // "R"
    ClickLabel* HelpButton; // "?", caption 7 of the ticker: its clicks go to Label1_Click(7)
    QCheckBox* Check2;      // futures on or off
    ClickLabel* Label3;     // "X"
    QTimer* Timer1;         // promotional captions
    QTimer* Timer2;         // seconds until the next refresh
    QTimer* Timer3;         // ticker motion: wakes only for the ticks that change the picture
    InetTransfer* Inet1;    // headline page
    InetTransfer* Inet2;    // one news item
    InetTransfer* Inet3;    // futures quote
    InetTransfer* Inet4;    // futures symbol
    Form2* panel;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void buildControlBox();
    void setSlotCaption(int slot, const QString& caption);
    void showHelp();
    void showFuturesDescription();
    void requestDetail(int slot);
    void runMotion();
    void scheduleMotion();

    ServiceHosts m_hosts;
    QNetworkAccessManager* m_network;
    TickerRing m_ring;
    TickerState m_state;
    HeadlineLinks m_links;
    WindowDrag m_drag;
    ExitHandlers m_exit;
    float m_leftTwips = 0.f;
    float m_topTwips = 0.f;
    float m_widthTwips = 13395.f;
    float m_heightTwips = 2400.f;
    float m_stripWidthTwips = 12075.f;
    // The motion ticks every TickMs, on this clock. A wake runs the ticks planned since the
    // last one, which draw nothing, and then the tick that changes the picture.
    static constexpr int TickMs = 10;
    QElapsedTimer m_motionClock;
    qint64 m_lastTickMs = 0; // when the last tick run was due
    int m_plannedTicks = 1;
};
