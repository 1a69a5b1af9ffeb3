// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <optional>

// The service's command line: --port N (0 picks a free port), --listen ADDRESS,
// --feed URL|FILE, --refresh SECONDS, --sample, --exit-with-stdin, --private, --help,
// --version.
class ServiceCommandLine {
public:
    enum class Outcome { Run, ShowHelp, ShowVersion, Invalid };

    ServiceCommandLine();

    // `arguments` starts with the program name, as QCoreApplication::arguments() does.
    Outcome parse(const QStringList& arguments);

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    // The feed to relay: an http or https URL, or a file: URL for a local file, which
    // existed as a readable file when the arguments were read. Nothing when not given.
    std::optional<QUrl> feed() const { return m_feed; }
    // Serve the sample news and quote whatever else is set.
    bool sample() const { return m_sample; }
    // End when standard input ends: the program that started the service holds the other
    // end of a pipe there, and the pipe closes when that program ends in any way.
    bool exitWithStdin() const { return m_exitWithStdin; }
    // Serve only the user who starts it: a new key, written with the port into the user's
    // service file (common/serviceaccess.h), is asked of every request.
    bool privateToUser() const { return m_private; }
    std::chrono::seconds refreshInterval() const { return m_refresh; }
    // Why the arguments are invalid, one line.
    QString errorText() const { return m_error; }
    QString helpText() const { return m_parser.helpText(); }

    // The port the program looks for the service on unless it was built otherwise.
    static const quint16 DefaultPort;
    // As often as the bar reads the headlines; with conditional requests an unchanged
    // feed costs its host a few hundred bytes.
    static constexpr std::chrono::seconds DefaultRefresh{180};
    static constexpr std::chrono::seconds MinRefresh{30};
    static constexpr std::chrono::seconds MaxRefresh{86400};

private:
    Outcome reject(const QString& error);
    // Each reads its options into the members; false, with the error set, for an invalid one.
    bool readListening();
    bool readFeedOptions();
    std::optional<QUrl> parseFeed(const QString& text);

    QCommandLineParser m_parser;
    QCommandLineOption m_helpOption;
    QCommandLineOption m_versionOption;
    QCommandLineOption m_portOption;
    QCommandLineOption m_listenOption;
    QCommandLineOption m_feedOption;
    QCommandLineOption m_refreshOption;
    QCommandLineOption m_sampleOption;
    QCommandLineOption m_exitWithStdinOption;
    QCommandLineOption m_privateOption;
    QHostAddress m_address;
    quint16 m_port = DefaultPort;
    std::optional<QUrl> m_feed;
    std::chrono::seconds m_refresh = DefaultRefresh;
    bool m_sample = false;
    bool m_exitWithStdin = false;
    bool m_private = false;
    QString m_error;
};
