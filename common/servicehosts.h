// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

// The outside services the bar talks to. Each host may carry a port ("127.0.0.1:8089").
// They are fixed when the program is built and handed to the bar as one value, so a test
// can point the bar at a server of its own; the hosts built as the local service get the
// port of the user's own service when the bar has found or started it.
struct ServiceHosts {
    QString news;        // headline page, detail pages, the news site's home page
    QString quote;       // quote page; also the quote site of the chart page
    QString maker;       // futures symbol file and the program's page on the maker's site
    QString chartApplet; // where the chart applet is served from
    QString chartHelp;   // the chart provider's help pages
    QString chartData;   // the chart applet's data server
};

// Paths that the news service, the quote provider and the maker's server answer on.
namespace ServicePaths {
inline constexpr QStringView Headlines = u"/notizietelevideo/";
inline constexpr QStringView DetailPrefix = u"/accessibile";
inline constexpr QStringView Quote = u"/qc/stocks/quotes.aspx";
inline constexpr QStringView FuturesSymbol = u"/browser/fut.txt";
inline constexpr QStringView NewsHome = u"/";
inline constexpr QStringView MakerPage = u"/zefirina/";
} // namespace ServicePaths

QUrl headlinePageUrl(const ServiceHosts& hosts);
// The link comes straight from the headline page and is appended unchanged.
QUrl detailPageUrl(const ServiceHosts& hosts, const QString& link);
// The symbol comes from the network: it is percent-encoded so that none of its characters
// can add a parameter, a fragment or a line to the request.
QUrl quotePageUrl(const ServiceHosts& hosts, const QString& symbol);
QUrl futuresSymbolUrl(const ServiceHosts& hosts);
QUrl newsHomeUrl(const ServiceHosts& hosts);
QUrl makerPageUrl(const ServiceHosts& hosts);
// `hosts` with every host that is `builtHost` replaced by "127.0.0.1:PORT".
ServiceHosts withLocalPort(ServiceHosts hosts, const QString& builtHost, quint16 port);
