#include "ticker/form1.h"
#include "ticker/servicestarter.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// On a Wayland session a window can neither place itself at the top centre of the screen
// nor stay above the others. Where X11 is there too (XWayland), the bar runs on it, unless
// the user chose a platform.
bool runOnX11Instead(int argc, char** argv) {
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (!wayland || qEnvironmentVariableIsEmpty("DISPLAY") || qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform" || argument.startsWith("-platform=") ||
            argument.startsWith("--platform="))
            return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    // Read by the application object when it starts.
    if (runOnX11Instead(argc, argv))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // The strip is redrawn some seventy times a second. Through shared memory, Qt's X11
    // platform waits for the display server to take each picture before drawing the next:
    // a round trip that wakes the program twice more per picture. Sending the few pixels of
    // the strip with the request itself costs less. Only the X11 platform reads this.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zefirina"));
    QApplication::setOrganizationName(QStringLiteral("Ventoria"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zefirina/icons/zefirina.png")));
    // The interface is Italian, the toolkit's own texts included.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    ServiceHosts hosts{QStringLiteral(ZEFIRINA_NEWS_HOST),       QStringLiteral(ZEFIRINA_QUOTE_HOST),
                       QStringLiteral(ZEFIRINA_MAKER_HOST),      QStringLiteral(ZEFIRINA_CHART_APPLET_HOST),
                       QStringLiteral(ZEFIRINA_CHART_HELP_HOST), QStringLiteral(ZEFIRINA_CHART_DATA_HOST)};
    // Before the bar's first refresh, so that it already finds the service. The service
    // started here ends with the program, however the program ends. The hosts built as the
    // local service are the user's own service, on the port it listens on.
    ServiceStarter service;
    service.ensureRunning(hosts.news);
    if (const auto access = service.access())
        hosts = withLocalPort(hosts, hosts.news, access->port);
    service.keepRunning(hosts.news);
    Form1 bar(hosts);
    bar.show();
    return app.exec();
}
