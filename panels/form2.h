// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/servicehosts.h"
#include "model/chartpagefile.h"
#include "panels/browserlink.h"
#include "panels/chartwindow.h"

#include <QWidget>
#include <memory>
#include <optional>

class ClickLabel;
class Form3;
class QFrame;
struct TickerState;

// The detail panel: a borderless strip under the bar with a heading and a body on a light
// cyan card. Its content, size and place are set by the bar; a click on the body hides it,
// a click on the heading leads on to the news site or to the chart window. Geometry is
// kept in twips so that the bar's arithmetic never sees rounded pixels. It writes the chart
// pages for the chart window.
class Form2 : public QWidget, public ChartPages {
    Q_OBJECT
public:
    Form2(const ServiceHosts& hosts, const TickerState& state);
    ~Form2() override;

    float widthTwips() const { return m_widthTwips; }
    float heightTwips() const { return m_heightTwips; }
    void setWidthTwips(float width);
    void setHeightTwips(float height);
    void moveTwips(float left, float top);
    float topTwips() const { return m_topTwips; }
    float leftTwips() const { return m_leftTwips; }

    void setCardWidthTwips(float width);
    void setCardHeightTwips(float height);
    // Centres the heading once, for the caption it has now.
    void centreHeading();
    // Places the body at `left` with `width`; returns the height its text takes there.
    float fitBody(float left, float width);

    // Heading and body texts, the pointer over the body.
    void setHeading(const QString& text, const QString& toolTip);
    void setBody(const QString& text);
    QString heading() const;
    QString body() const;
    void setBodyWaiting(bool waiting);

    // Writes the chart page for `symbol`, which is deleted a second later; the path
    // written, or nothing when the page could not be written.
    std::optional<QString> writeChartPage(const QString& symbol) override;
    const ChartPageFile& chartPage() const { return m_chartPage; }
    const ServiceHosts& chartHosts() const override { return m_hosts; }
    QString futuresSymbol() const override;
    QByteArray serviceKey(const QUrl& url) const override;
    // The chart window, loaded from the chart plugin beside the program on the first chart.
    Form3* chartWindow() { return m_chartWindow.get(); }

    void Label7_Click();
    void Label8_Click();

    ClickLabel* Label7; // body
    ClickLabel* Label8; // heading
    QFrame* Shape2;     // card

private:
    const ServiceHosts& m_hosts;
    const TickerState& m_state;
    ChartPageFile m_chartPage;
    std::unique_ptr<Form3> m_chartWindow;
    BrowserLink m_browser;
    float m_leftTwips = 0.f;
    float m_topTwips = 0.f;
    float m_widthTwips = 13080.f;
    float m_heightTwips = 1395.f;
};
