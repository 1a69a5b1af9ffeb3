// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/feed/feedfetcher.h"
#include "service/feed/newspublisher.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

// Keeps the served news in step with a feed: reads it at start() and then every refresh
// interval, and hands every reading that gives items to the publisher. The
// feeds are tried in the order given, each only when the ones before it failed in this
// reading. A reading in which every feed fails changes nothing: the publisher keeps the
// last good reading, or its sample news before the first one. A feed that
// answers "unchanged" costs neither a parse nor new pages.
class FeedRelay : public QObject {
    Q_OBJECT
public:
    FeedRelay(const QList<QUrl>& feeds, std::chrono::milliseconds refreshInterval, NewsPublisher& publisher,
              QObject* parent = nullptr);
    FeedRelay(const QUrl& feed, std::chrono::milliseconds refreshInterval, NewsPublisher& publisher,
              QObject* parent = nullptr)
        : FeedRelay(QList<QUrl>{feed}, refreshInterval, publisher, parent) {}
    ~FeedRelay() override;

    void setLimits(const FeedFetcher::Limits& limits);
    const FeedFetcher::Limits& limits() const { return m_fetchers.front()->limits(); }
    // The feed being read, or the last one read.
    QUrl feed() const { return m_fetchers[m_current]->location(); }
    // The feed whose news the service serves; empty while it serves the sample news.
    QUrl servedFeed() const { return m_served < 0 ? QUrl() : m_fetchers[m_served]->location(); }

    // Reads the feed now and then every refresh interval.
    void start();
    // Starts a reading now, unless one is running.
    void readNow();
    // When the publisher last got the feed's news; invalid before the first good reading.
    QDateTime lastUpdate() const { return m_lastUpdate; }
    // What was wrong with the document of the last good reading, though it was read.
    std::optional<FeedWarning> lastWarning() const { return m_lastWarning; }

Q_SIGNALS:
    // The publisher serves the newest of `itemCount` items of servedFeed() now.
    void updated(int itemCount);
    // The served feed has not changed since it was last read.
    void unchanged();
    // feed() gave nothing to serve. The next feed is tried, if any.
    void failed(const FeedFailure& failure);
    // After updated(), unchanged() or the failure of the last feed.
    void readingFinished();

private:
    void read(int feedIndex);
    void publish(int feedIndex, const QByteArray& document, const QByteArray& charset);
    void keepServing(int feedIndex);
    void reportFailure(int feedIndex, const FeedFailure& failure);

    NewsPublisher& m_publisher;
    std::vector<std::unique_ptr<FeedFetcher>> m_fetchers;
    int m_current = 0;
    int m_served = -1;
    QTimer m_refresh;
    QDateTime m_lastUpdate;
    std::optional<FeedWarning> m_lastWarning;
};
