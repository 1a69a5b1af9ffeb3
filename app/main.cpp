// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "autostart.h"
#include "commandline.h"
#include "ticker/form1.h"
#include "ticker/servicestarter.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

#include <optional>

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

// Exit code of a command line the program does not take.
constexpr int BadArguments = 2;

// Runs what the command line asks for besides the bar, with no window and no display; the
// program's exit code, or nothing when the bar is to start.
std::optional<int> runCommand(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments());
    QTextStream out(stdout);
    QTextStream err(stderr);
    const AutostartEntry autostart(QCoreApplication::applicationFilePath());
    switch (commandLine.action) {
    case CommandLine::Action::RunBar:
        return std::nullopt;
    case CommandLine::Action::Help:
        out << CommandLine::helpText();
        return 0;
    case CommandLine::Action::Version:
        out << "zefirina " ZEFIRINA_VERSION "\n";
        return 0;
    case CommandLine::Action::AutostartOn:
        if (!autostart.enable()) {
            err << "zefirina: impossibile scrivere " << autostart.path() << "\n";
            return 1;
        }
        out << "Zefirina partirà all'accesso: " << autostart.path() << "\n";
        return 0;
    case CommandLine::Action::AutostartOff:
        if (!autostart.disable()) {
            err << "zefirina: impossibile togliere " << autostart.path() << "\n";
            return 1;
        }
        out << "Zefirina non partirà all'accesso (" << autostart.path() << " non c'è)\n";
        return 0;
    case CommandLine::Action::Refused:
        err << "zefirina: " << commandLine.error << "\n";
        return BadArguments;
    }
    return BadArguments;
}
} // namespace

int main(int argc, char** argv) {
    if (const auto exitCode = runCommand(argc, argv))
        return *exitCode;
    // Read by the application object when it starts.
    if (runOnX11Instead(argc, argv))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // The strip is redrawn some thirty times a second. Through shared memory, Qt's X11
    // platform waits for the display server to take each picture before drawing the next:
    // a round trip that wakes the program twice more per picture. Sending the few pixels of
    // the strip with the request itself costs less. Only the X11 platform reads this.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zefirina"));
    QApplication::setOrganizationName(QStringLiteral("Ventoria"));
    // Lets the session match the bar's window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(ZEFIRINA_APP_ID));
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
