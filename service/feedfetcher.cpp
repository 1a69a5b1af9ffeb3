#include "service/feedfetcher.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkRequest>

namespace {
FeedFailure::Kind kindOf(FetchFailure failure) {
    switch (failure) {
    case FetchFailure::ConnectionFailed:
        return FeedFailure::Kind::Unreachable;
    case FetchFailure::TimedOut:
        return FeedFailure::Kind::TimedOut;
    case FetchFailure::BodyTooLarge:
        return FeedFailure::Kind::TooLarge;
    case FetchFailure::Redirect:
        return FeedFailure::Kind::Redirect;
    case FetchFailure::None:
    case FetchFailure::Interrupted:
        break;
    }
    return FeedFailure::Kind::Interrupted;
}
} // namespace

FeedFetcher::FeedFetcher(const QUrl& location, QObject* parent)
    : QObject(parent), m_location(location) {
    setLimits(m_limits);
    connect(&m_fetch, &HttpFetch::finished, this, &FeedFetcher::answered);
}

void FeedFetcher::setLimits(const Limits& limits) {
    m_limits = limits;
    m_fetch.setLimits({std::chrono::milliseconds(0), limits.timeout, limits.maxBytes, limits.maxRedirects});
}

bool FeedFetcher::fetch() {
    if (m_busy)
        return false;
    m_busy = true;
    if (m_location.isLocalFile()) {
        // Queued, so that the outcome comes after the call like a transfer's does.
        QMetaObject::invokeMethod(this, &FeedFetcher::readFile, Qt::QueuedConnection);
        return true;
    }
    QNetworkRequest request(m_location);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("zefirina-service/%1").arg(QCoreApplication::applicationVersion()));
    request.setRawHeader(QByteArrayLiteral("Accept"),
                         QByteArrayLiteral("application/rss+xml, application/atom+xml, application/xml;q=0.9, "
                                           "text/xml;q=0.9, */*;q=0.5"));
    m_fetch.start(request);
    return true;
}

void FeedFetcher::readFile() {
    QFile file(m_location.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) {
        fail({FeedFailure::Kind::FileUnreadable, 0, file.fileName() + QStringLiteral(": ") + file.errorString()});
        return;
    }
    // Read with the cap rather than trust the size: a device or a pipe has none.
    QByteArray body = file.read(m_limits.maxBytes + 1);
    if (body.size() > m_limits.maxBytes) {
        fail({FeedFailure::Kind::TooLarge, 0, {}});
    } else if (file.error() != QFileDevice::NoError) {
        fail({FeedFailure::Kind::FileUnreadable, 0, file.fileName() + QStringLiteral(": ") + file.errorString()});
    } else {
        m_busy = false;
        Q_EMIT fetched(body);
    }
}

void FeedFetcher::answered(const FetchOutcome& outcome) {
    if (outcome.failure != FetchFailure::None) {
        fail({kindOf(outcome.failure), 0, outcome.detail});
    } else if (outcome.status >= 300) {
        fail({FeedFailure::Kind::HttpStatus, outcome.status, outcome.statusText});
    } else {
        m_busy = false;
        Q_EMIT fetched(outcome.body);
    }
}

void FeedFetcher::fail(FeedFailure failure) {
    m_busy = false;
    Q_EMIT failed(failure);
}
