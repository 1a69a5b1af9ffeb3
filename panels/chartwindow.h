// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/servicehosts.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QtPlugin>
#include <optional>

class QWidget;

// What the chart window asks of the program: the hosts of the chart, the futures symbol and
// the writer of the chart page, which also arms the page's deletion a second later.
class ChartPages {
public:
    virtual ~ChartPages() = default;

    // The hosts the chart page names: its applet's, its data's.
    virtual const ServiceHosts& chartHosts() const = 0;
    // Empty until the futures symbol file has been read.
    virtual QString futuresSymbol() const = 0;
    // Writes the chart page for `symbol`; the path written, or nothing when the page could
    // not be written.
    virtual std::optional<QString> writeChartPage(const QString& symbol) = 0;
    // The key of the user's local service when `url` is on it, for the chart page's
    // requests there; empty otherwise.
    virtual QByteArray serviceKey(const QUrl& url) const = 0;
};

// The chart window: the provider's chart in an embedded browser that refuses every request
// of its page for a new window and for any host but the chart's, with a menu that switches
// between the futures and the two indices. It deletes itself when the user closes it;
// `widget()` tells whether it still exists (watch it with a QPointer). User-interface
// thread only.
class ChartWindow {
public:
    virtual ~ChartWindow() = default;

    // The top-level window itself.
    virtual QWidget* widget() = 0;
    // Shows the page file at `path` as the chart's applet host would serve it; nothing
    // changes when the file cannot be read.
    virtual void navigate(const QString& path) = 0;
    // Writes the chart page for `symbol` and sends the browser to it; nothing is shown when
    // the page could not be written.
    virtual void showChart(const QString& symbol) = 0;
    // Starts the browser engine while the window stays hidden, so that a chart shown later
    // is drawn without waiting for the engine; nothing is read from the network. Nothing
    // happens once the browser has been sent somewhere.
    virtual void prepare() = 0;
};

// The entry point of the chart plugin, the library that holds the browser engine. It is
// loaded on the first chart, so the bar alone never loads the engine.
class ChartWindowFactory {
public:
    virtual ~ChartWindowFactory() = default;

    // A new chart window, hidden and without owner. `pages` must outlive it.
    virtual ChartWindow* createChartWindow(ChartPages& pages) = 0;
};

#define ChartWindowFactory_iid "org.ventoria.zefirina.ChartWindowFactory/1.0"
Q_DECLARE_INTERFACE(ChartWindowFactory, ChartWindowFactory_iid)
