// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "panels/chartwindow.h"

#include <QObject>

// The chart plugin's entry point. Created by the plugin loader, after the application
// object; it prepares the browser engine for that late start before the first window.
class ChartPlugin : public QObject, public ChartWindowFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ChartWindowFactory_iid)
    Q_INTERFACES(ChartWindowFactory)
public:
    ChartPlugin();

    ChartWindow* createChartWindow(ChartPages& pages) override;
};
