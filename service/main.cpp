#include "service/localservice.h"
#include "service/servicecommandline.h"

#include <QCoreApplication>
#include <QTextStream>

// Exit code for arguments the service cannot run with, including a port it cannot listen on.
constexpr int BadArguments = 2;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zefirina-service"));

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
    return QCoreApplication::exec();
}
