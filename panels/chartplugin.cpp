#include "panels/chartplugin.h"

#include "panels/chartbrowserwindow.h"

#include <QQuickWindow>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

namespace {
// The engine's processes, which make most of the program's memory once a chart is shown:
// the page and the engine share one renderer process, and the GPU work runs inside the
// browser process instead of a process of its own. The chart draws in software all the same.
constexpr char EngineFlags[] = "--renderer-process-limit=1 --in-process-gpu --disable-gpu";
} // namespace

ChartPlugin::ChartPlugin() {
    // Read by the engine when it starts, below; a user's own flags are left as they are.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", EngineFlags);
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
