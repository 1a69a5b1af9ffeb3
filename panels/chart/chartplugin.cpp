// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "panels/chart/chartplugin.h"

#include "panels/chart/chartbrowserwindow.h"

#include <QQuickWindow>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

namespace {
// The engine's processes make most of the program's memory once a chart is shown. One
// process does the work of all of them here (no zygotes, no renderer of its own), without a
// GPU process: the chart page is ours and draws in software. About 230 MB in all after the
// first chart instead of 400 (bench/chartmemory.cpp).
constexpr char EngineFlags[] = "--single-process --disable-gpu";
} // namespace

ChartPlugin::ChartPlugin() {
    // Read by the engine when it starts, below; a user's own flags are left as they are.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", EngineFlags);
    // Linked into a program, the engine sets itself up before the application object
    // exists: it picks a graphics interface it can draw with and, for OpenGL, creates the
    // context that its pages share. Loaded later, as here, it skips both and crashes on its
    // first page; the same steps are taken now, before the first view. Unless the user
    // chose an interface, the chart is drawn in software: a line chart needs no graphics
    // card, and the OpenGL drivers alone take some 25 MB. The engine warns that this start
    // is late; the warnings are expected.
    const bool userChose =
        qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
    const QSGRendererInterface::GraphicsApi api = QQuickWindow::graphicsApi();
    if (!userChose)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    else if (api != QSGRendererInterface::OpenGL && api != QSGRendererInterface::Vulkan &&
             api != QSGRendererInterface::Software && api != QSGRendererInterface::Metal &&
             api != QSGRendererInterface::Direct3D11)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
    QtWebEngineQuick::initialize();
}

ChartWindow* ChartPlugin::createChartWindow(ChartPages& pages) { return new ChartBrowserWindow(pages); }
