#pragma once

#include "service/feedfetcher.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <memory>
#include <vector>

class LocalService;

// Keeps the service's news in step with a feed: reads it at start() and then every refresh
// interval, and hands the pages of every reading that gives items to the service. The
// feeds are tried in the order given, each only when the ones before it failed in this
// reading. A reading in which every feed fails changes nothing: the service goes on
// serving the last good reading, or its sample news before the first one. A feed that
// answers "unchanged" costs neither a parse nor new pages.
class FeedRelay : public QObject {
    Q_OBJECT
public:
    FeedRelay(const QList<QUrl>& feeds, std::chrono::milliseconds refreshInterval, LocalService& service,
              QObject* parent = nullptr);
    FeedRelay(const QUrl& feed, std::chrono::milliseconds refreshInterval, LocalService& service,
              QObject* parent = nullptr)
        : FeedRelay(QList<QUrl>{feed}, refreshInterval, service, parent) {}
    ~FeedRelay() override;

    void setLimits(const FeedFetcher::Limits& limits);
    const FeedFetcher::Limits& limits() const { return m_fetchers.front()->limits(); }
    // The feed being read, or the last one read.
    QUrl feed() const { return m_fetchers[m_current]->location(); }
    // The feed whose news the service serves; empty while it serves the sample news.
    QUrl servedFeed() const { return m_served < 0 ? QUrl() : m_fetchers[m_served]->location(); }

    // Reads the feed now and then every refresh interval. Until the first reading is in,
    // the service leaves new connections waiting (see LocalService::setAnswering()): a bar
    // started together with the service then shows the feed at once rather than the
    // sample news until its next refresh. The wait is bounded by one fetch time-out, which
    // is shorter than the time the bar waits for an answer, however many feeds are tried.
    // Call after the service listens.
    void start();
    // Starts a reading now, unless one is running.
    void readNow();
    // When the service last got the feed's news; invalid before the first good reading.
    QDateTime lastUpdate() const { return m_lastUpdate; }

Q_SIGNALS:
    // The service serves the newest of `itemCount` items of servedFeed() now.
    void updated(int itemCount);
    // The served feed has not changed since it was last read.
    void unchanged();
    // feed() gave nothing to serve. The next feed is tried, if any.
    void failed(const FeedFailure& failure);
    // After updated(), unchanged() or the failure of the last feed.
    void readingFinished();

private:
    void read(int feedIndex);
    void publish(int feedIndex, const QByteArray& document);
    void keepServing(int feedIndex);
    void reportFailure(int feedIndex, const FeedFailure& failure);

    LocalService& m_service;
    std::vector<std::unique_ptr<FeedFetcher>> m_fetchers;
    int m_current = 0;
    int m_served = -1;
    QTimer m_refresh;
    QDateTime m_lastUpdate;
};
