#include "service/feedrelay.h"

#include "service/feededition.h"
#include "service/feedreader.h"
#include "service/localservice.h"

FeedRelay::FeedRelay(const QUrl& feed, std::chrono::milliseconds refreshInterval, LocalService& service,
                     QObject* parent)
    : QObject(parent), m_service(service), m_fetcher(feed) {
    m_refresh.setInterval(refreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &FeedRelay::readNow);
    connect(&m_fetcher, &FeedFetcher::fetched, this, &FeedRelay::publish);
    connect(&m_fetcher, &FeedFetcher::failed, this, &FeedRelay::reportFailure);
}

void FeedRelay::start() {
    m_service.setAnswering(false);
    connect(this, &FeedRelay::readingFinished, &m_service, [this] { m_service.setAnswering(true); },
            Qt::SingleShotConnection);
    readNow();
    m_refresh.start();
}

void FeedRelay::readNow() {
    // A reading that outlasts the interval is left to finish.
    m_fetcher.fetch();
}

void FeedRelay::publish(const QByteArray& document) {
    FeedReading reading = readFeed(document);
    if (reading.failure) {
        reportFailure(*reading.failure);
        return;
    }
    const auto itemCount = static_cast<int>(reading.items.size());
    NewsEdition edition = renderFeedEdition(std::move(reading.items));
    if (edition.detailPages.isEmpty()) {
        reportFailure({FeedFailure::Kind::NothingToShow, 0, {}});
        return;
    }
    m_service.setNews(std::move(edition));
    m_lastUpdate = QDateTime::currentDateTime();
    Q_EMIT updated(itemCount);
    Q_EMIT readingFinished();
}

void FeedRelay::reportFailure(const FeedFailure& failure) {
    Q_EMIT failed(failure);
    Q_EMIT readingFinished();
}
