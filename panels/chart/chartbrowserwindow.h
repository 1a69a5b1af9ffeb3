// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "panels/chartwindow.h"

#include <QMainWindow>

class QWebEngineView;

// The chart window of the chart plugin: a fixed-size window whose browser shows the chart
// page, with the menu "Futures", "Nasdaq", "Dow Jones". The caption never changes, the page
// may not open new windows, and the window is centred on the screen when first shown.
class ChartBrowserWindow : public QMainWindow, public ChartWindow {
    Q_OBJECT
public:
    explicit ChartBrowserWindow(ChartPages& pages);

    QWidget* widget() override { return this; }
    void navigate(const QString& target) override;
    void showChart(const QString& symbol) override;
    void prepare() override;

    void Futures_Click();
    void Nasdaq_Click();
    void DowJones_Click();

    QWebEngineView* WebBrowser1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void centre();

    ChartPages& m_pages;
    bool m_placed = false;
    bool m_framed = false; // centred with the frame the window manager added
};
