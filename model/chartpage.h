// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/servicehosts.h"

#include <QByteArray>
#include <QString>

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
