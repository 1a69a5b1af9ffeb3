// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/servicehosts.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// File name of the chart page, written beside the program and deleted a second later.
inline constexpr QStringView ChartPageFileName = u"sito.htm";

// Symbols of the two index charts of the chart window's menu.
inline constexpr QStringView NasdaqSymbol = u"INDEX:COMPX";
inline constexpr QStringView DowJonesSymbol = u"INDEX:INDU";

// The chart page: the provider's chart applet with its parameters, 19 lines each ended by
// CR LF, ASCII only. The symbol comes from the network, so it is escaped for the HTML
// attribute it goes into (quotes, angle brackets, ampersands, control characters such as
// a trailing line end, anything beyond ASCII); a plain symbol is written as it stands.
QByteArray chartPageText(const ServiceHosts& hosts, const QString& symbol);

// Where the chart window shows the chart page: beside the applet on the applet's host, so
// that the page and every script that host serves share that http origin, from which no
// script may read the user's files.
QUrl chartPageAddress(const ServiceHosts& hosts);

// Whether the chart window lets its page ask for `url`: only the applet's and the chart
// data's hosts, over http or https (a host named without a port on port 80 or 443), and the
// page's own data and blob URLs. A script served by the applet host reaches no other
// server, of the machine or of the network.
bool chartPageMayRequest(const ServiceHosts& hosts, const QUrl& url);
