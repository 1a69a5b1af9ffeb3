// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/quotesource.h"

#include "net/httpfetch.h"
#include "service/market/easternclock.h"
#include "service/market/frontmonth.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

#include <algorithm>

QuoteSource::QuoteSource(const QUrl& base, QObject* parent)
    : QObject(parent), m_base(base), m_network(std::make_unique<QNetworkAccessManager>()) {
    // Often enough for the first retry after a failure to come on time.
    m_keepFresh.setInterval(std::chrono::seconds(1));
    connect(&m_keepFresh, &QTimer::timeout, this, &QuoteSource::keepFresh);
    m_keepFresh.start();
}

QuoteSource::~QuoteSource() = default;

bool QuoteSource::relays(const QString& symbol) {
    const QDate today = easternTime(QDateTime::currentDateTimeUtc()).date();
    return symbol == u"INDEX:COMPX" || symbol == u"INDEX:INDU" || symbol == frontMonthContract(today) ||
           symbol == nextContract(today);
}

QuoteSource::Entry* QuoteSource::entryFor(const QString& symbol) {
    if (!relays(symbol))
        return nullptr;
    const QString provided = providerSymbol(symbol);
    if (provided.isEmpty())
        return nullptr;
    auto [place, added] = m_entries.try_emplace(provided);
    Entry& entry = place->second;
    if (added) {
        entry.symbol = symbol;
        entry.url = providerQuoteUrl(m_base, provided);
        entry.fetch = std::make_unique<HttpFetch>(m_network.get());
        entry.fetch->setLimits({std::chrono::milliseconds(0), Timeout, MaxAnswerBytes, 5});
        connect(entry.fetch.get(), &HttpFetch::finished, this,
                [this, &entry](const FetchOutcome& outcome) { take(entry, outcome); });
    }
    return &entry;
}

// Only a 2xx answer can hold a quote; any failure or other status is no quote.
void QuoteSource::take(Entry& entry, const FetchOutcome& outcome) {
    QuoteFailure failure;
    if (outcome.failure != FetchFailure::None) {
        failure = {QuoteFailure::Kind::NoAnswer, outcome.failure, 0, ProviderRejection::None, outcome.detail};
    } else if (outcome.status < 200 || outcome.status >= 300) {
        failure = {QuoteFailure::Kind::HttpStatus, FetchFailure::None, outcome.status};
    } else if (ProviderReading reading = readProviderQuote(outcome.body, QDateTime::currentDateTimeUtc());
               reading.quote) {
        entry.quote = std::move(reading.quote);
        entry.quotedAt.start();
    } else {
        failure = {QuoteFailure::Kind::Rejected, FetchFailure::None, 0, reading.rejection};
    }
    entry.retryAfter = failure.kind == QuoteFailure::Kind::None ? std::chrono::seconds(0)
                       : entry.retryAfter.count() == 0          ? FirstRetry
                                                                : std::min(entry.retryAfter * 2, LastRetry);
    Q_EMIT answered(entry.symbol, failure);
}

std::optional<ProviderQuote> QuoteSource::quote(const QString& symbol) {
    Entry* entry = entryFor(symbol);
    if (!entry)
        return std::nullopt;
    entry->askedAt.start();
    refreshIfDue(*entry);
    return usable(*entry) ? entry->quote : std::nullopt;
}

bool QuoteSource::usable(const Entry& entry) {
    return entry.quote && entry.quotedAt.elapsed() <= std::chrono::milliseconds(MaxAge).count();
}

bool QuoteSource::waiting(const QString& symbol) const {
    const auto entry = m_entries.find(providerSymbol(symbol));
    return entry != m_entries.end() && !usable(entry->second) && entry->second.fetch->running();
}

void QuoteSource::refreshIfDue(Entry& entry) {
    const std::chrono::milliseconds wait = entry.retryAfter.count() > 0 ? entry.retryAfter : FreshFor;
    if (!entry.fetch->running() && (!entry.triedAt.isValid() || entry.triedAt.elapsed() >= wait.count())) {
        entry.triedAt.start();
        QNetworkRequest request(entry.url);
        request.setHeader(QNetworkRequest::UserAgentHeader,
                          QStringLiteral("zefirina-service/%1").arg(QCoreApplication::applicationVersion()));
        entry.fetch->start(request);
    }
}

void QuoteSource::keepFresh() {
    for (auto& [provided, entry] : m_entries)
        if (entry.askedAt.isValid() && entry.askedAt.elapsed() < std::chrono::milliseconds(KeepFresh).count())
            refreshIfDue(entry);
}
