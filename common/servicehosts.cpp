// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/servicehosts.h"

namespace {
QUrl httpUrl(const QString& host, const QString& pathAndQuery) {
    return QUrl(QStringLiteral("http://") + host + pathAndQuery, QUrl::TolerantMode);
}
} // namespace

QUrl headlinePageUrl(const ServiceHosts& hosts) { return httpUrl(hosts.news, ServicePaths::Headlines.toString()); }

QUrl detailPageUrl(const ServiceHosts& hosts, const QString& link) {
    return httpUrl(hosts.news, ServicePaths::DetailPrefix.toString() + link);
}

QUrl quotePageUrl(const ServiceHosts& hosts, const QString& symbol) {
    const QByteArray encoded = QUrl::toPercentEncoding(symbol);
    QUrl url = httpUrl(hosts.quote, ServicePaths::Quote.toString());
    url.setQuery(QStringLiteral("symbols=") + QString::fromLatin1(encoded), QUrl::StrictMode);
    return url;
}

QUrl futuresSymbolUrl(const ServiceHosts& hosts) {
    return httpUrl(hosts.maker, ServicePaths::FuturesSymbol.toString());
}

QUrl newsHomeUrl(const ServiceHosts& hosts) { return httpUrl(hosts.news, ServicePaths::NewsHome.toString()); }

QUrl makerPageUrl(const ServiceHosts& hosts) { return httpUrl(hosts.maker, ServicePaths::MakerPage.toString()); }

ServiceHosts withLocalPort(ServiceHosts hosts, const QString& builtHost, quint16 port) {
    const QString local = QStringLiteral("127.0.0.1:") + QString::number(port);
    for (QString* host :
         {&hosts.news, &hosts.quote, &hosts.maker, &hosts.chartApplet, &hosts.chartHelp, &hosts.chartData})
        if (*host == builtHost)
            *host = local;
    return hosts;
}
