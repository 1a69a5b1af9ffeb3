// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/serviceaccess.h"
#include "service/feed/feedchoice.h"
#include "service/feed/feedrelay.h"
#include "service/http/localservice.h"
#include "service/servicecommandline.h"
#include "service/servicelog.h"
#include "service/servicereports.h"
#include "service/stdinwatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkProxyFactory>
#include <QTextStream>

#include <optional>
#include <utility>

namespace {

// Exit code for arguments the service cannot run with, including a port it cannot listen on.
constexpr int BadArguments = 2;
// Exit code of a service started by the program when another service holds the port
// already: that one serves the program, and this one leaves quietly.
constexpr int PortTaken = 3;

QString configText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.read(64 * 1024)) : QString();
}

// Where quotes come from: the provider (or the stand-in that ZEFIRINA_QUOTE_SOURCE names),
// or, with --sample, made up. False when ZEFIRINA_QUOTE_SOURCE is not an http or https URL.
bool useQuoteSource(LocalService& service, const ServiceCommandLine& commandLine, ServiceLog& log) {
    if (commandLine.sample()) {
        log.info(QStringLiteral("serving a sample quote and sample charts"));
        return true;
    }
    const QString override = qEnvironmentVariable("ZEFIRINA_QUOTE_SOURCE");
    const QUrl base(override.isEmpty() ? QStringLiteral("https://query1.finance.yahoo.com") : override,
                    QUrl::StrictMode);
    if (!base.isValid() || base.host().isEmpty() || (base.scheme() != u"http" && base.scheme() != u"https")) {
        log.problem(QStringLiteral("ZEFIRINA_QUOTE_SOURCE '%1' is not an http or https URL").arg(override));
        return false;
    }
    service.useQuoteProvider(base);
    reportQuotes(*service.quoteSource(), log);
    log.info(QStringLiteral("quotes from ") + base.toDisplayString());
    return true;
}

FeedChoice feedChoice(const ServiceCommandLine& commandLine) {
    const QString configFile = userConfigFile();
    return chooseFeeds(commandLine.sample(), commandLine.feed(), qEnvironmentVariable(FeedVariable),
                       configText(configFile), configFile);
}

// The news are public when they are the default feeds' or the samples: the same for
// everyone, so a browser may open them without the key.
bool newsArePublic(const FeedChoice& choice) { return choice.feeds.isEmpty() || choice.feeds == DefaultFeeds; }

// The user's service file names this service until it ends (if no other service of the
// user has named itself there since).
class ServiceFile {
public:
    explicit ServiceFile(ServiceAccess access) : m_access(std::move(access)) {}
    ~ServiceFile() { removeServiceFile(m_access); }
    ServiceFile(const ServiceFile&) = delete;
    ServiceFile& operator=(const ServiceFile&) = delete;

private:
    ServiceAccess m_access;
};

// Serves the news of the feeds chosen, or the sample news, until the end of the program.
int relayNews(LocalService& service, const FeedChoice& choice, std::chrono::seconds refresh, ServiceLog& log) {
    if (choice.problem != FeedAddressProblem::None)
        log.problem(choice.origin + QStringLiteral(": ") + feedAddressProblemText(choice.problem, choice.given) +
                    QStringLiteral("; serving the sample news"));
    if (choice.feeds.isEmpty()) {
        log.info(QStringLiteral("serving the sample news, marked as examples"));
        return QCoreApplication::exec();
    }
    FeedRelay relay(choice.feeds, refresh, service.newsPublisher());
    reportFeed(relay, log);
    holdAnswersForFirstReading(service, relay, relay.limits().timeout);
    relay.start();
    return QCoreApplication::exec();
}

// Runs the service until the end of the program; the program's exit code.
int serve(const ServiceCommandLine& commandLine, ServiceLog& log) {
    if (commandLine.exitWithStdin())
        quitAtEndOfStdin();
    const FeedChoice choice = feedChoice(commandLine);
    LocalService service;
    if (!service.start(commandLine.address(), commandLine.port())) {
        if (commandLine.exitWithStdin() && service.addressInUse())
            return PortTaken;
        log.problem(QStringLiteral("cannot listen on %1 port %2: %3")
                        .arg(commandLine.address().toString())
                        .arg(commandLine.port())
                        .arg(service.errorString()));
        return BadArguments;
    }
    std::optional<ServiceFile> serviceFile;
    if (commandLine.privateToUser()) {
        const ServiceAccess access{service.port(), newServiceKey()};
        service.requireKey(access.key, newsArePublic(choice));
        if (!writeServiceFile(access)) {
            log.problem(QStringLiteral("cannot write ") + serviceFilePath());
            return BadArguments;
        }
        serviceFile.emplace(access);
    }
    // Scripts that start the service with --port 0 read the port from this line, and the
    // program that starts the service waits for it.
    log.info(QStringLiteral("listening on ") + service.baseUrl().toString());

    // The feed is fetched the way the system's browser would: through its proxy, if any.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    if (!useQuoteSource(service, commandLine, log))
        return BadArguments;
    return relayNews(service, choice, commandLine.refreshInterval(), log);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zefirina-service"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEFIRINA_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    ServiceLog log(out, err);
    ServiceCommandLine commandLine;
    switch (commandLine.parse(QCoreApplication::arguments())) {
    case ServiceCommandLine::Outcome::ShowHelp:
        out << commandLine.helpText() << Qt::flush;
        return 0;
    case ServiceCommandLine::Outcome::ShowVersion:
        out << "zefirina-service " << QCoreApplication::applicationVersion() << Qt::endl;
        return 0;
    case ServiceCommandLine::Outcome::Invalid:
        log.problem(commandLine.errorText());
        err << "Try 'zefirina-service --help'." << Qt::endl;
        return BadArguments;
    case ServiceCommandLine::Outcome::Run:
        break;
    }
    return serve(commandLine, log);
}
