// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "market/quotereader.h"

#include <QString>

// Where a click on the panel's heading leads.
enum class HeadingAction { NewsSite, Chart };

// What the bar has read from the network and what the last click on the ticker chose.
// The bar writes it; the panel and the chart window read it.
struct TickerState {
    QString CodiceFutures;                             // the futures symbol; empty until it has been read
    FuturesQuote DatiFutures;                          // the last quote read
    QString TendenzaFutures;                           // "positivo" or "negativo"; empty before the first quote
    HeadingAction AzioneTitolo = HeadingAction::Chart; // the chart until a headline or help
};
