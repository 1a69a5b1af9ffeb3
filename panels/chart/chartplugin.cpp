#include "panels/chart/chartplugin.h"

#include "panels/chart/chartbrowserwindow.h"

#include <QQuickWindow>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

ChartPlugin::ChartPlugin() {
    // Linked into a program, the engine sets itself up before the application object
    // exists: it picks a graphics interface it can draw with and creates the OpenGL context
    // that its pages share. Loaded later, as here, it skips both and crashes on its first
    // page; the same two steps are taken now, before the first view. The engine warns that
    // this start is late; the warnings are expected.
    const QSGRendererInterface::GraphicsApi api = QQuickWindow::graphicsApi();
    if (api != QSGRendererInterface::OpenGL && api != QSGRendererInterface::Vulkan &&
        api != QSGRendererInterface::Metal && api != QSGRendererInterface::Direct3D11)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
    QtWebEngineQuick::initialize();
}

ChartWindow* ChartPlugin::createChartWindow(ChartPages& pages) {
    return new ChartBrowserWindow(pages);
}
