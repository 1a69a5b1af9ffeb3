// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/market/providerquote.h"
#include "service/market/quotefailure.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

class HttpFetch;
struct FetchOutcome;
class QNetworkAccessManager;

// The quote provider, asked over http(s) for the symbols the service is asked about and
// kept at hand. A quote is asked for anew when the one at hand is older than `FreshFor`;
// a symbol asked about is kept fresh that way, in the background, for `KeepFresh` after
// the last time it was asked about, so the bar's next refresh finds a recent quote. A quote
// older than `MaxAge` is no longer given out. After a failed request the provider is asked
// again sooner, `FirstRetry` later, then twice as late after each failure in a row, up to
// `LastRetry`, so a quote comes back soon after a hiccup without hammering a provider that
// is down. Nothing is ever made up: until the provider
// has answered, and when it fails, there is no quote (or the last good one, within its age).
class QuoteSource : public QObject {
    Q_OBJECT
public:
    // `base`: the provider's address, "https://query1.finance.yahoo.com" or a stand-in's.
    explicit QuoteSource(const QUrl& base, QObject* parent = nullptr);
    ~QuoteSource() override;

    // The quote at hand for one of our symbols ("NQZ26", "INDEX:COMPX"), if any; asks for a
    // fresher one when due. Nothing, and nothing asked, for a symbol the provider lacks.
    std::optional<ProviderQuote> quote(const QString& symbol);
    // Whether the provider is asked about `symbol`: only for the symbols the program shows,
    // the futures contract of the day and the next one (a bar may have read the symbol just
    // before the change) and the chart's two indices, whole texts.
    static bool relays(const QString& symbol);
    // True while the provider is being asked for `symbol` and there is no quote to give.
    bool waiting(const QString& symbol) const;

    static constexpr std::chrono::seconds FreshFor{30};
    static constexpr std::chrono::seconds KeepFresh{240};
    static constexpr std::chrono::seconds MaxAge{900};
    static constexpr std::chrono::seconds FirstRetry{5};
    static constexpr std::chrono::seconds LastRetry{60};
    // An answer for one symbol is some tens of kilobytes.
    static constexpr qint64 MaxAnswerBytes = 2 * 1024 * 1024;
    static constexpr std::chrono::milliseconds Timeout{10'000};

Q_SIGNALS:
    // Each answer of the provider: a quote (kind None), or why not.
    void answered(const QString& symbol, const QuoteFailure& failure);

private:
    struct Entry {
        QString symbol;
        QUrl url;
        std::unique_ptr<HttpFetch> fetch;
        std::optional<ProviderQuote> quote;
        QElapsedTimer quotedAt;
        QElapsedTimer askedAt;
        QElapsedTimer triedAt;
        std::chrono::seconds retryAfter{0}; // after a failure; 0 after an answer with a quote
    };
    Entry* entryFor(const QString& symbol);
    void take(Entry& entry, const FetchOutcome& outcome);
    static bool usable(const Entry& entry);
    void refreshIfDue(Entry& entry);
    void keepFresh();

    QUrl m_base;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::map<QString, Entry> m_entries; // by provider symbol
    QTimer m_keepFresh;
};
