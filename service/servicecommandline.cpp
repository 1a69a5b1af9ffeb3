#include "service/servicecommandline.h"

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
    : m_helpOption(m_parser.addHelpOption()),
      m_portOption(QStringLiteral("port"),
                   QStringLiteral("Port to listen on; 0 picks a free one (default %1).").arg(DefaultPort),
                   QStringLiteral("N"), QString::number(DefaultPort)),
      m_listenOption(QStringLiteral("listen"),
                     QStringLiteral("Numeric address to listen on (default 127.0.0.1)."),
                     QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1")),
      m_feedOption(QStringLiteral("feed"),
                   QStringLiteral("News feed (RSS 2.0 or Atom) whose latest items to serve instead of the "
                                  "sample news: an http or https URL, or a file."),
                   QStringLiteral("URL|FILE")),
      m_refreshOption(QStringLiteral("refresh"),
                      QStringLiteral("Seconds between two readings of the feed, %1 to %2 (default %3).")
                          .arg(MinRefresh.count())
                          .arg(MaxRefresh.count())
                          .arg(DefaultRefresh.count()),
                      QStringLiteral("SECONDS"), QString::number(DefaultRefresh.count())),
      m_sampleOption(QStringLiteral("sample"),
                     QStringLiteral("Serve sample content, marked as sample, instead of reading real sources")),
      m_address(QHostAddress::LocalHost) {
    m_parser.setApplicationDescription(
        QStringLiteral("Local stand-in for the news service, the quote provider and the maker's "
                       "web server that Zefirina reads. With --feed, the news come from a feed; "
                       "while it cannot be read, the last good reading (or the sample news) is "
                       "served and standard error says why."));
    m_parser.addOption(m_portOption);
    m_parser.addOption(m_listenOption);
    m_parser.addOption(m_feedOption);
    m_parser.addOption(m_refreshOption);
    m_parser.addOption(m_sampleOption);
}

ServiceCommandLine::Outcome ServiceCommandLine::parse(const QStringList& arguments) {
    if (!m_parser.parse(arguments))
        return reject(m_parser.errorText());
    // addHelpOption() also registers "--help-all", which only process() would act on.
    if (m_parser.isSet(m_helpOption) || m_parser.isSet(QStringLiteral("help-all")))
        return Outcome::ShowHelp;
    if (!m_parser.positionalArguments().isEmpty())
        return reject(QStringLiteral("unexpected argument '%1'").arg(m_parser.positionalArguments().constFirst()));

    const QString portText = m_parser.value(m_portOption);
    const auto port = parsePort(portText);
    if (!port)
        return reject(QStringLiteral("invalid port '%1': expected a number from 0 to 65535").arg(portText));

    const QString addressText = m_parser.value(m_listenOption);
    QHostAddress address;
    if (!address.setAddress(addressText))
        return reject(QStringLiteral("invalid address '%1': expected a numeric IPv4 or IPv6 address").arg(addressText));

    std::optional<QUrl> feed;
    if (m_parser.isSet(m_feedOption)) {
        feed = parseFeed(m_parser.value(m_feedOption));
        if (!feed)
            return Outcome::Invalid;
    }

    const QString refreshText = m_parser.value(m_refreshOption);
    const auto refresh = parseNumber(refreshText, 5, static_cast<uint>(MaxRefresh.count()));
    if (!refresh || *refresh < MinRefresh.count())
        return reject(QStringLiteral("invalid refresh interval '%1': expected whole seconds from %2 to %3")
                          .arg(refreshText)
                          .arg(MinRefresh.count())
                          .arg(MaxRefresh.count()));
    if (m_parser.isSet(m_refreshOption) && !feed)
        return reject(QStringLiteral("--refresh only applies with --feed"));

    m_port = *port;
    m_address = address;
    m_feed = feed;
    m_refresh = std::chrono::seconds(*refresh);
    m_sample = m_parser.isSet(m_sampleOption);
    return Outcome::Run;
}

std::optional<QUrl> ServiceCommandLine::parseFeed(const QString& text) {
    const QString scheme = text.section(QStringLiteral("://"), 0, 0).toLower();
    const bool hasScheme = text.contains(QStringLiteral("://"));
    if (hasScheme && (scheme == u"http" || scheme == u"https")) {
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty()) {
            reject(QStringLiteral("invalid feed URL '%1'").arg(text));
            return std::nullopt;
        }
        return url;
    }
    if (hasScheme && scheme != u"file") {
        reject(QStringLiteral("unsupported feed URL '%1': expected http, https or a file").arg(text));
        return std::nullopt;
    }
    // A path as it is, or a file: URL. "C:\feeds\rss.xml" is a path, not a URL.
    const QString path = hasScheme ? QUrl(text).toLocalFile() : text;
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists()) {
        reject(QStringLiteral("feed file '%1' not found").arg(text));
        return std::nullopt;
    }
    if (!file.isFile() || !file.isReadable()) {
        reject(QStringLiteral("feed file '%1' is not a readable file").arg(text));
        return std::nullopt;
    }
    return QUrl::fromLocalFile(file.absoluteFilePath());
}

ServiceCommandLine::Outcome ServiceCommandLine::reject(const QString& error) {
    m_error = error;
    return Outcome::Invalid;
}
