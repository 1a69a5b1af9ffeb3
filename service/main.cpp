#include "service/feedchoice.h"
#include "service/feedrelay.h"
#include "service/localservice.h"
#include "service/servicecommandline.h"
#include "service/stdinwatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkProxyFactory>
#include <QTextStream>

// Exit code for arguments the service cannot run with, including a port it cannot listen on.
constexpr int BadArguments = 2;
// Exit code of a service started by the program when another service holds the port
// already: that one serves the program, and this one leaves quietly.
constexpr int PortTaken = 3;

namespace {

QString configText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.read(64 * 1024)) : QString();
}

} // namespace

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

    if (commandLine.exitWithStdin())
        quitAtEndOfStdin();
    LocalService service;
    if (!service.start(commandLine.address(), commandLine.port())) {
        if (commandLine.exitWithStdin() && service.addressInUse())
            return PortTaken;
        err << "zefirina-service: cannot listen on " << commandLine.address().toString() << " port "
            << commandLine.port() << ": " << service.errorString() << Qt::endl;
        return BadArguments;
    }
    // Scripts that start the service with --port 0 read the port from this line, and the
    // program that starts the service waits for it.
    out << "zefirina-service: listening on " << service.baseUrl().toString() << Qt::endl;

    // The feed is fetched the way the system's browser would: through its proxy, if any.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    if (!useQuoteSource(service, commandLine, out, err))
        return BadArguments;
    const QString configFile = userConfigFile();
    const FeedChoice choice = chooseFeeds(commandLine.sample(), commandLine.feed(), qEnvironmentVariable(FeedVariable),
                                          configText(configFile), configFile);
    if (!choice.error.isEmpty())
        err << "zefirina-service: " << choice.origin << ": " << choice.error << "; serving the sample news" << Qt::endl;
    if (choice.feeds.isEmpty()) {
        out << "zefirina-service: serving the sample news, marked as examples" << Qt::endl;
        return QCoreApplication::exec();
    }

    const auto sourceOf = [](const QUrl& feed) {
        return feed.isLocalFile() ? feed.toLocalFile() : feed.toDisplayString();
    };
    FeedRelay relay(choice.feeds, commandLine.refreshInterval(), service);
    // Success is told once, and again after failures or a change of feed; every failure is told.
    QUrl told;
    QObject::connect(&relay, &FeedRelay::updated, &app, [&](int items) {
        if (told != relay.servedFeed())
            out << "zefirina-service: serving the news of " << sourceOf(relay.servedFeed()) << " (" << items
                << " items)" << Qt::endl;
        told = relay.servedFeed();
    });
    QObject::connect(&relay, &FeedRelay::failed, &app, [&](const FeedFailure& failure) {
        told.clear();
        const QString reason = feedFailureText(failure, relay.limits().timeout, relay.limits().maxBytes);
        const QDateTime last = relay.lastUpdate();
        err << "zefirina-service: cannot read the feed " << sourceOf(relay.feed()) << ": " << reason << "; "
            << (last.isValid() ? QStringLiteral("still serving the news of ") + sourceOf(relay.servedFeed()) +
                                     last.toString(QStringLiteral(" read at yyyy-MM-dd hh:mm"))
                               : QStringLiteral("serving the sample news"))
            << Qt::endl;
    });
    relay.start();
    return QCoreApplication::exec();
}
