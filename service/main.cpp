#include "service/feedrelay.h"
#include "service/localservice.h"
#include "service/servicecommandline.h"

#include <QCoreApplication>
#include <QNetworkProxyFactory>
#include <QTextStream>

#include <memory>

// Exit code for arguments the service cannot run with, including a port it cannot listen on.
constexpr int BadArguments = 2;

// Where quotes come from: the provider (or the stand-in that ZEFIRINA_QUOTE_SOURCE names),
// or, with --sample, made up.
// False when ZEFIRINA_QUOTE_SOURCE is not an http or https URL.
bool useQuoteSource(LocalService& service, const ServiceCommandLine& commandLine, QTextStream& out, QTextStream& err) {
    if (commandLine.sample()) {
        out << "zefirina-service: serving a sample quote and sample charts" << Qt::endl;
        return true;
    }
    const QString override = qEnvironmentVariable("ZEFIRINA_QUOTE_SOURCE");
    const QUrl base(override.isEmpty() ? QStringLiteral("https://query1.finance.yahoo.com") : override,
                    QUrl::StrictMode);
    if (!base.isValid() || base.host().isEmpty() || (base.scheme() != u"http" && base.scheme() != u"https")) {
        err << "zefirina-service: ZEFIRINA_QUOTE_SOURCE '" << override << "' is not an http or https URL" << Qt::endl;
        return false;
    }
    service.useQuoteProvider(base);
    out << "zefirina-service: quotes from " << base.toDisplayString() << Qt::endl;
    return true;
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zefirina-service"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    ServiceCommandLine commandLine;
    switch (commandLine.parse(QCoreApplication::arguments())) {
    case ServiceCommandLine::Outcome::ShowHelp:
        out << commandLine.helpText() << Qt::flush;
        return 0;
    case ServiceCommandLine::Outcome::Invalid:
        err << "zefirina-service: " << commandLine.errorText() << "\n"
            << "Try 'zefirina-service --help'." << Qt::endl;
        return BadArguments;
    case ServiceCommandLine::Outcome::Run:
        break;
    }

    LocalService service;
    if (!service.start(commandLine.address(), commandLine.port())) {
        err << "zefirina-service: cannot listen on " << commandLine.address().toString() << " port "
            << commandLine.port() << ": " << service.errorString() << Qt::endl;
        return BadArguments;
    }
    // Scripts that start the service with --port 0 read the port from this line.
    out << "zefirina-service: listening on " << service.baseUrl().toString() << Qt::endl;

    // The feed is fetched the way the system's browser would: through its proxy, if any.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    if (!useQuoteSource(service, commandLine, out, err))
        return BadArguments;
    std::unique_ptr<FeedRelay> relay;
    // Success is told once, and again after failures; every failure is told.
    bool failing = true;
    if (const auto feed = commandLine.feed()) {
        relay = std::make_unique<FeedRelay>(*feed, commandLine.refreshInterval(), service);
        const QString source = feed->isLocalFile() ? feed->toLocalFile() : feed->toDisplayString();
        QObject::connect(relay.get(), &FeedRelay::updated, &app, [&out, &failing, source](int items) {
            if (failing)
                out << "zefirina-service: serving the news of " << source << " (" << items << " items)" << Qt::endl;
            failing = false;
        });
        QObject::connect(relay.get(), &FeedRelay::failed, &app, [&err, &failing, &relay, source](const QString& reason) {
            failing = true;
            const QDateTime last = relay->lastUpdate();
            err << "zefirina-service: cannot read the feed " << source << ": " << reason << "; "
                << (last.isValid() ? QStringLiteral("still serving its news of ") +
                                         last.toString(QStringLiteral("yyyy-MM-dd hh:mm"))
                                   : QStringLiteral("serving the sample news"))
                << Qt::endl;
        });
        relay->start();
    }
    return QCoreApplication::exec();
}
