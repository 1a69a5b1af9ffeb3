// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QPluginLoader>
#include <QPointer>
#include <QString>

class ChartPages;
class ChartWindow;
class QWidget;

// The chart window as the bar and the panel reach it. The window and its browser engine
// live in the chart plugin, which is loaded on the first chart: until then the program
// carries no browser engine at all. The window is created hidden on first use and again
// after the user has closed it. When the plugin cannot be loaded, chart actions do nothing.
class Form3 {
public:
    // `pluginFile` is the plugin's path, with or without the platform's file suffix.
    Form3(ChartPages& pages, QString pluginFile);
    ~Form3();
    Form3(const Form3&) = delete;
    Form3& operator=(const Form3&) = delete;

    // The plugin beside the program.
    static QString defaultPluginFile();
    // Where the plugin is looked for; takes effect at the next load, so only before the
    // first chart.
    void setPluginFile(const QString& pluginFile);

    // Shows the page file at `path` as the chart's applet host would serve it.
    void navigate(const QString& path);
    // Writes the chart page for `symbol` and sends the browser to it.
    void showChart(const QString& symbol);
    // Loads the plugin and starts the browser engine in the hidden window, when the user has
    // shown interest in a chart: the chart then appears sooner. Shows nothing.
    void prepare();
    // Shows the window, modeless and without owner.
    void show();
    // Whether the chart window can be shown: false when the plugin (a package of its own
    // when installed) is not there or cannot be loaded.
    bool available() { return chart() != nullptr; }

    // The window, or null before the first chart, after the user closed it, or when the
    // plugin cannot be loaded.
    QWidget* window() const { return m_window; }

private:
    // The window, created hidden when there is none; null when the plugin cannot be loaded.
    ChartWindow* chart();

    ChartPages& m_pages;
    QPluginLoader m_loader;
    ChartWindow* m_chart = nullptr; // valid while m_window is
    QPointer<QWidget> m_window;
};
