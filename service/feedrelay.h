#pragma once

#include "service/feedfetcher.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>

class LocalService;

// Keeps the service's news in step with a feed: reads the feed at start() and then every
// refresh interval, and hands the pages of every reading that gives items to the service.
// A reading that fails changes nothing: the service goes on serving the last good
// reading, or its sample news before the first one.
class FeedRelay : public QObject {
    Q_OBJECT
public:
    FeedRelay(const QUrl& feed, std::chrono::milliseconds refreshInterval, LocalService& service,
              QObject* parent = nullptr);

    void setLimits(const FeedFetcher::Limits& limits) { m_fetcher.setLimits(limits); }
    const FeedFetcher::Limits& limits() const { return m_fetcher.limits(); }

    // Reads the feed now and then every refresh interval. Until the first reading is in,
    // the service leaves new connections waiting (see LocalService::setAnswering()): a bar
    // started together with the service then shows the feed at once rather than the
    // sample news until its next refresh. The wait is bounded by the fetch time-out, which
    // is shorter than the time the bar waits for an answer. Call after the service listens.
    void start();
    // Starts a reading now, unless one is running.
    void readNow();
    // When the service last got the feed's news; invalid before the first good reading.
    QDateTime lastUpdate() const { return m_lastUpdate; }

Q_SIGNALS:
    // The service serves the newest of `itemCount` items now.
    void updated(int itemCount);
    // The reading gave nothing to serve.
    void failed(const FeedFailure& failure);
    // After updated() or failed().
    void readingFinished();

private:
    void publish(const QByteArray& document);
    void reportFailure(const FeedFailure& failure);

    LocalService& m_service;
    FeedFetcher m_fetcher;
    QTimer m_refresh;
    QDateTime m_lastUpdate;
};
