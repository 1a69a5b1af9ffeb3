#pragma once

#include "market/quotereader.h"

#include <QString>
#include <optional>

// What the bar has read from the network and what the last click on the ticker chose.
// The bar writes it; the panel and the chart window read it.
struct TickerState {
    QString CodiceFutures;           // the futures symbol; empty until it has been read
    FuturesQuote DatiFutures;        // the last quote read
    QString TendenzaFutures;         // "positivo" or "negativo"; empty before the first quote
    std::optional<int> AzioneTitolo; // 1: the panel's heading leads to the news site;
                                     // anything else: to the chart window
};
