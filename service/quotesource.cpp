#include "service/quotesource.h"

#include "service/feedfetcher.h"

QuoteSource::QuoteSource(const QUrl& base, QObject* parent) : QObject(parent), m_base(base) {
    m_keepFresh.setInterval(std::chrono::seconds(5));
    connect(&m_keepFresh, &QTimer::timeout, this, &QuoteSource::keepFresh);
    m_keepFresh.start();
}

QuoteSource::~QuoteSource() = default;

QuoteSource::Entry* QuoteSource::entryFor(const QString& symbol) {
    const QString provided = providerSymbol(symbol);
    if (provided.isEmpty())
        return nullptr;
    auto [place, added] = m_entries.try_emplace(provided);
    Entry& entry = place->second;
    if (added) {
        entry.symbol = symbol;
        entry.fetcher = std::make_unique<FeedFetcher>(providerQuoteUrl(m_base, provided));
        entry.fetcher->setLimits({Timeout, MaxAnswerBytes, 5});
        connect(entry.fetcher.get(), &FeedFetcher::fetched, this,
                [this, &entry](const QByteArray& body) {
                    const auto quote = readProviderQuote(body);
                    if (quote) {
                        entry.quote = quote;
                        entry.quotedAt.start();
                    }
                    Q_EMIT answered(entry.symbol, quote.has_value());
                });
        connect(entry.fetcher.get(), &FeedFetcher::failed, this,
                [this, &entry](const QString&) { Q_EMIT answered(entry.symbol, false); });
    }
    return &entry;
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

void QuoteSource::prepare(const QString& symbol) {
    if (Entry* entry = entryFor(symbol))
        refreshIfDue(*entry);
}

bool QuoteSource::waiting(const QString& symbol) const {
    const auto entry = m_entries.find(providerSymbol(symbol));
    return entry != m_entries.end() && !usable(entry->second) && entry->second.fetcher->busy();
}

void QuoteSource::refreshIfDue(Entry& entry) {
    // Also after a failure: the provider is asked at most once per `FreshFor`.
    if (!entry.fetcher->busy() &&
        (!entry.triedAt.isValid() ||
         entry.triedAt.elapsed() >= std::chrono::milliseconds(FreshFor).count())) {
        entry.triedAt.start();
        entry.fetcher->fetch();
    }
}

void QuoteSource::keepFresh() {
    for (auto& [provided, entry] : m_entries)
        if (entry.askedAt.isValid() &&
            entry.askedAt.elapsed() < std::chrono::milliseconds(KeepFresh).count())
            refreshIfDue(entry);
}
