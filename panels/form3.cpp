// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "panels/form3.h"

#include "panels/chartwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>
#include <utility>

Form3::Form3(ChartPages& pages, QString pluginFile) : m_pages(pages), m_loader(std::move(pluginFile)) {}

// The window is never owned by a widget (it has no owner), so it goes with its handle.
Form3::~Form3() { delete m_window; }

QString Form3::defaultPluginFile() {
    // bin/zefirina and lib/zefirina/plugins/, installed and in the build tree alike; on
    // Windows the plugin sits beside the program.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QDir libraryFolder(programFolder.filePath(QStringLiteral("../lib/zefirina/plugins")));
    return (libraryFolder.exists() ? libraryFolder : programFolder).filePath(QStringLiteral("zefirina_chart"));
}

void Form3::setPluginFile(const QString& pluginFile) { m_loader.setFileName(pluginFile); }

ChartWindow* Form3::chart() {
    if (m_window)
        return m_chart;
    auto* factory = qobject_cast<ChartWindowFactory*>(m_loader.instance());
    if (!factory)
        return nullptr;
    m_chart = factory->createChartWindow(m_pages);
    m_window = m_chart->widget();
    return m_chart;
}

void Form3::navigate(const QString& path) {
    if (ChartWindow* window = chart())
        window->navigate(path);
}

void Form3::showChart(const QString& symbol) {
    if (ChartWindow* window = chart())
        window->showChart(symbol);
}

void Form3::prepare() {
    if (ChartWindow* window = chart())
        window->prepare();
}

void Form3::show() {
    if (m_window)
        m_window->show();
}
