// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feedrelay.h"

#include "service/feed/feedreader.h"

FeedRelay::FeedRelay(const QList<QUrl>& feeds, std::chrono::milliseconds refreshInterval, NewsPublisher& publisher,
                     QObject* parent)
    : QObject(parent), m_publisher(publisher) {
    Q_ASSERT(!feeds.isEmpty());
    for (const QUrl& feed : feeds) {
        auto fetcher = std::make_unique<FeedFetcher>(feed);
        const int index = static_cast<int>(m_fetchers.size());
        connect(fetcher.get(), &FeedFetcher::fetched, this,
                [this, index](const QByteArray& document, const QByteArray& charset) {
                    publish(index, document, charset);
                });
        connect(fetcher.get(), &FeedFetcher::unchanged, this, [this, index] { keepServing(index); });
        connect(fetcher.get(), &FeedFetcher::failed, this,
                [this, index](const FeedFailure& failure) { reportFailure(index, failure); });
        m_fetchers.push_back(std::move(fetcher));
    }
    m_refresh.setInterval(refreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &FeedRelay::readNow);
}

FeedRelay::~FeedRelay() = default;

void FeedRelay::setLimits(const FeedFetcher::Limits& limits) {
    for (const auto& fetcher : m_fetchers)
        fetcher->setLimits(limits);
}

void FeedRelay::start() {
    readNow();
    m_refresh.start();
}

void FeedRelay::readNow() {
    // A reading that outlasts the interval is left to finish.
    if (!m_fetchers[m_current]->busy())
        read(0);
}

void FeedRelay::read(int feedIndex) {
    m_current = feedIndex;
    m_fetchers[feedIndex]->fetch();
}

void FeedRelay::publish(int feedIndex, const QByteArray& document, const QByteArray& charset) {
    const FeedReading reading = readFeed(document, {m_fetchers[feedIndex]->location(), charset});
    if (reading.failure) {
        reportFailure(feedIndex, *reading.failure);
        return;
    }
    if (!m_publisher.publish(reading)) {
        reportFailure(feedIndex, {FeedFailure::Kind::NothingToShow, 0, {}});
        return;
    }
    // "Unchanged" from another feed would mean unchanged from pages no longer served.
    for (std::size_t i = 0; i < m_fetchers.size(); ++i)
        if (static_cast<int>(i) != feedIndex)
            m_fetchers[i]->forgetValidators();
    m_served = feedIndex;
    m_lastWarning = reading.warning;
    m_lastUpdate = QDateTime::currentDateTime();
    Q_EMIT updated(static_cast<int>(reading.items.size()));
    Q_EMIT readingFinished();
}

void FeedRelay::keepServing(int feedIndex) {
    if (feedIndex != m_served) {
        // Only after a failed parse, whose validators are gone: ask for the whole document.
        m_fetchers[feedIndex]->forgetValidators();
        read(feedIndex);
        return;
    }
    m_lastUpdate = QDateTime::currentDateTime();
    Q_EMIT unchanged();
    Q_EMIT readingFinished();
}

void FeedRelay::reportFailure(int feedIndex, const FeedFailure& failure) {
    // A document that gave nothing must be fetched whole next time, not answered "unchanged".
    m_fetchers[feedIndex]->forgetValidators();
    Q_EMIT failed(failure);
    if (feedIndex + 1 < static_cast<int>(m_fetchers.size()))
        read(feedIndex + 1);
    else
        Q_EMIT readingFinished();
}
