#include "service/servicecommandline.h"

#include <optional>

namespace {

// Digits only: QString::toUInt() would also take blanks and a sign.
std::optional<quint16> parsePort(const QString& text) {
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const uint value = text.toUInt();
    if (value > 65535)
        return std::nullopt;
    return static_cast<quint16>(value);
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
      m_address(QHostAddress::LocalHost) {
    m_parser.setApplicationDescription(
        QStringLiteral("Local stand-in for the news service, the quote provider and the maker's "
                       "web server that Zefirina reads."));
    m_parser.addOption(m_portOption);
    m_parser.addOption(m_listenOption);
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

    m_port = *port;
    m_address = address;
    return Outcome::Run;
}

ServiceCommandLine::Outcome ServiceCommandLine::reject(const QString& error) {
    m_error = error;
    return Outcome::Invalid;
}
