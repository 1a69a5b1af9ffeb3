#include "ticker/form1.h"
#include "ticker/servicestarter.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zefirina"));
    QApplication::setOrganizationName(QStringLiteral("Ventoria"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zefirina/icons/zefirina.png")));
    // The interface is Italian, the toolkit's own texts included.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    const ServiceHosts hosts{
        QStringLiteral(ZEFIRINA_NEWS_HOST),         QStringLiteral(ZEFIRINA_QUOTE_HOST),
        QStringLiteral(ZEFIRINA_MAKER_HOST),        QStringLiteral(ZEFIRINA_CHART_APPLET_HOST),
        QStringLiteral(ZEFIRINA_CHART_HELP_HOST),   QStringLiteral(ZEFIRINA_CHART_DATA_HOST)};
    // Before the bar's first refresh, so that it already finds the service. The service
    // started here ends with the program, however the program ends.
    ServiceStarter service;
    service.ensureRunning(hosts.news);
    service.keepRunning(hosts.news);
    Form1 bar(hosts);
    bar.show();
    return app.exec();
}
