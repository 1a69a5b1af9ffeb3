// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feedfetcher.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QNetworkRequest>

namespace {
// "text/xml; charset=ISO-8859-1" gives "ISO-8859-1".
QByteArray charsetOf(const QByteArray& contentType) {
    for (const QByteArray& parameter : contentType.split(';')) {
        const QByteArray trimmed = parameter.trimmed();
        if (trimmed.toLower().startsWith("charset="))
            return trimmed.mid(8).replace('"', "").replace('\'', "").trimmed();
    }
    return {};
}

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

FeedFetcher::FeedFetcher(const QUrl& location, QObject* parent) : QObject(parent), m_location(location) {
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
    if (!m_etag.isEmpty())
        request.setRawHeader(QByteArrayLiteral("If-None-Match"), m_etag);
    if (!m_lastModified.isEmpty())
        request.setRawHeader(QByteArrayLiteral("If-Modified-Since"), m_lastModified);
    request.setRawHeader(QByteArrayLiteral("Accept"),
                         QByteArrayLiteral("application/rss+xml, application/atom+xml, application/xml;q=0.9, "
                                           "text/xml;q=0.9, */*;q=0.5"));
    m_fetch.start(request);
    return true;
}

void FeedFetcher::forgetValidators() {
    m_etag.clear();
    m_lastModified.clear();
    m_fileStamp.clear();
}

void FeedFetcher::readFile() {
    QFile file(m_location.toLocalFile());
    const QFileInfo info(file);
    const QString stamp =
        QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toUTC().toString(Qt::ISODateWithMs));
    if (info.isFile() && stamp == m_fileStamp) {
        reportUnchanged();
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        fail({FeedFailure::Kind::FileUnreadable, 0, file.fileName() + QStringLiteral(": ") + file.errorString()});
        return;
    }
    // Read with the cap rather than trust the size: a device or a pipe has none.
    const QByteArray body = file.read(m_limits.maxBytes + 1);
    if (body.size() > m_limits.maxBytes) {
        fail({FeedFailure::Kind::TooLarge, 0, {}});
    } else if (file.error() != QFileDevice::NoError) {
        fail({FeedFailure::Kind::FileUnreadable, 0, file.fileName() + QStringLiteral(": ") + file.errorString()});
    } else {
        m_fileStamp = stamp;
        succeed(body);
    }
}

void FeedFetcher::answered(const FetchOutcome& outcome) {
    if (outcome.failure != FetchFailure::None) {
        fail({kindOf(outcome.failure), 0, outcome.detail});
    } else if (outcome.status == 304 && !(m_etag.isEmpty() && m_lastModified.isEmpty())) {
        reportUnchanged();
    } else if (outcome.status >= 300) {
        fail({FeedFailure::Kind::HttpStatus, outcome.status, outcome.statusText});
    } else {
        m_etag = outcome.header("ETag");
        m_lastModified = outcome.header("Last-Modified");
        succeed(outcome.body, charsetOf(outcome.header("Content-Type")));
    }
}

void FeedFetcher::succeed(const QByteArray& body, const QByteArray& charset) {
    m_busy = false;
    Q_EMIT fetched(body, charset);
}

void FeedFetcher::reportUnchanged() {
    m_busy = false;
    Q_EMIT unchanged();
}

void FeedFetcher::fail(FeedFailure failure) {
    m_busy = false;
    Q_EMIT failed(failure);
}
