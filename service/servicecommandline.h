#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>

// The service's command line: --port N (0 picks a free port), --listen ADDRESS, --help.
class ServiceCommandLine {
public:
    enum class Outcome { Run, ShowHelp, Invalid };

    ServiceCommandLine();

    // `arguments` starts with the program name, as QCoreApplication::arguments() does.
    Outcome parse(const QStringList& arguments);

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    // Why the arguments are invalid, one line.
    QString errorText() const { return m_error; }
    QString helpText() const { return m_parser.helpText(); }

    // The port the program looks for the service on unless it was built otherwise.
    static const quint16 DefaultPort;

private:
    Outcome reject(const QString& error);

    QCommandLineParser m_parser;
    QCommandLineOption m_helpOption;
    QCommandLineOption m_portOption;
    QCommandLineOption m_listenOption;
    QHostAddress m_address;
    quint16 m_port = DefaultPort;
    QString m_error;
};
