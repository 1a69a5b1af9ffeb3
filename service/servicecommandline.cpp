// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/servicecommandline.h"

#include "common/serviceaccess.h"
#include "service/feed/feedchoice.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

// Digits only: QString::toUInt() would also take blanks and a sign.
std::optional<uint> parseNumber(const QString& text, qsizetype maxDigits, uint max) {
    if (text.isEmpty() || text.size() > maxDigits)
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const uint value = text.toUInt();
    if (value > max)
        return std::nullopt;
    return value;
}

std::optional<quint16> parsePort(const QString& text) {
    const auto value = parseNumber(text, 5, 65535);
    if (!value)
        return std::nullopt;
    return static_cast<quint16>(*value);
}

} // namespace

const quint16 ServiceCommandLine::DefaultPort = ZEFIRINA_SERVICE_PORT;

ServiceCommandLine::ServiceCommandLine()
    : m_helpOption(m_parser.addHelpOption()), m_versionOption(m_parser.addVersionOption()),
      m_portOption(QStringLiteral("port"),
                   QStringLiteral("Port to listen on; 0 picks a free one (default %1).").arg(DefaultPort),
                   QStringLiteral("N"), QString::number(DefaultPort)),
      m_listenOption(QStringLiteral("listen"), QStringLiteral("Numeric address to listen on (default 127.0.0.1)."),
                     QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1")),
      m_feedOption(QStringLiteral("feed"),
                   QStringLiteral("News feed (RSS 2.0 or Atom) whose latest items to serve: an http "
                                  "or https URL, or a file. Without it, the feed in ZEFIRINA_FEED, "
                                  "else the line 'feed = URL|FILE' of %1, else the news service's own "
                                  "feeds.")
                       .arg(userConfigFile()),
                   QStringLiteral("URL|FILE")),
      m_refreshOption(QStringLiteral("refresh"),
                      QStringLiteral("Seconds between two readings of the feed, %1 to %2 (default %3).")
                          .arg(MinRefresh.count())
                          .arg(MaxRefresh.count())
                          .arg(DefaultRefresh.count()),
                      QStringLiteral("SECONDS"), QString::number(DefaultRefresh.count())),
      m_sampleOption(QStringLiteral("sample"),
                     QStringLiteral("Serve sample content, marked as sample, instead of reading real sources")),
      m_exitWithStdinOption(QStringLiteral("exit-with-stdin"),
                            QStringLiteral("Exit when standard input ends (a pipe from the program that "
                                           "started the service).")),
      m_privateOption(QStringLiteral("private"),
                      QStringLiteral("Serve only this user: write the port and a new key into %1, readable by "
                                     "this user alone, and answer only requests that carry the key in the "
                                     "header X-Zefirina-Key (the pages a browser opens excepted).")
                          .arg(serviceFilePath())),
      m_address(QHostAddress::LocalHost) {
    m_parser.setApplicationDescription(
        QStringLiteral("Local stand-in for the news service, the quote provider and the maker's "
                       "web server that Zefirina reads. The news come from a feed; while no feed "
                       "can be read, the last good reading (or the sample news, marked as "
                       "examples) is served and standard error says why."));
    m_parser.addOption(m_portOption);
    m_parser.addOption(m_listenOption);
    m_parser.addOption(m_feedOption);
    m_parser.addOption(m_refreshOption);
    m_parser.addOption(m_sampleOption);
    m_parser.addOption(m_exitWithStdinOption);
    m_parser.addOption(m_privateOption);
}

ServiceCommandLine::Outcome ServiceCommandLine::parse(const QStringList& arguments) {
    if (!m_parser.parse(arguments))
        return reject(m_parser.errorText());
    // addHelpOption() also registers "--help-all", which only process() would act on.
    if (m_parser.isSet(m_helpOption) || m_parser.isSet(QStringLiteral("help-all")))
        return Outcome::ShowHelp;
    if (m_parser.isSet(m_versionOption))
        return Outcome::ShowVersion;
    if (!m_parser.positionalArguments().isEmpty())
        return reject(QStringLiteral("unexpected argument '%1'").arg(m_parser.positionalArguments().constFirst()));

    if (!readListening() || !readFeedOptions())
        return Outcome::Invalid;
    m_exitWithStdin = m_parser.isSet(m_exitWithStdinOption);
    m_private = m_parser.isSet(m_privateOption);
    return Outcome::Run;
}

bool ServiceCommandLine::readListening() {
    const QString portText = m_parser.value(m_portOption);
    const auto port = parsePort(portText);
    if (!port) {
        reject(QStringLiteral("invalid port '%1': expected a number from 0 to 65535").arg(portText));
        return false;
    }
    const QString addressText = m_parser.value(m_listenOption);
    if (!m_address.setAddress(addressText)) {
        reject(QStringLiteral("invalid address '%1': expected a numeric IPv4 or IPv6 address").arg(addressText));
        return false;
    }
    m_port = *port;
    return true;
}

bool ServiceCommandLine::readFeedOptions() {
    if (m_parser.isSet(m_feedOption)) {
        m_feed = parseFeed(m_parser.value(m_feedOption));
        if (!m_feed)
            return false;
    }
    const QString refreshText = m_parser.value(m_refreshOption);
    const auto refresh = parseNumber(refreshText, 5, static_cast<uint>(MaxRefresh.count()));
    if (!refresh || *refresh < MinRefresh.count()) {
        reject(QStringLiteral("invalid refresh interval '%1': expected whole seconds from %2 to %3")
                   .arg(refreshText)
                   .arg(MinRefresh.count())
                   .arg(MaxRefresh.count()));
        return false;
    }
    m_sample = m_parser.isSet(m_sampleOption);
    if (m_sample && (m_feed || m_parser.isSet(m_refreshOption))) {
        reject(QStringLiteral("--sample reads no feed: --feed and --refresh do not apply"));
        return false;
    }
    m_refresh = std::chrono::seconds(*refresh);
    return true;
}

std::optional<QUrl> ServiceCommandLine::parseFeed(const QString& text) {
    FeedAddressProblem problem = FeedAddressProblem::None;
    const auto url = feedAddress(text, QDir::currentPath(), &problem);
    if (!url) {
        reject(feedAddressProblemText(problem, text));
        return std::nullopt;
    }
    if (!url->isLocalFile())
        return url;
    const QFileInfo file(url->toLocalFile());
    if (!file.exists()) {
        reject(QStringLiteral("feed file '%1' not found").arg(text));
        return std::nullopt;
    }
    if (!file.isFile() || !file.isReadable()) {
        reject(QStringLiteral("feed file '%1' is not a readable file").arg(text));
        return std::nullopt;
    }
    return url;
}

ServiceCommandLine::Outcome ServiceCommandLine::reject(const QString& error) {
    m_error = error;
    return Outcome::Invalid;
}
