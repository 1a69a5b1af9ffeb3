#include "service/feedfetcher.h"

#include "ticker/abandonreply.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

FeedFetcher::FeedFetcher(const QUrl& location, QObject* parent)
    : QObject(parent), m_location(location) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("no complete answer within %1 s")
                 .arg(std::chrono::duration<double>(m_limits.timeout).count()));
    });
}

FeedFetcher::~FeedFetcher() { releaseReply(); }

bool FeedFetcher::fetch() {
    if (m_busy)
        return false;
    m_busy = true;
    m_body.clear();
    if (m_location.isLocalFile()) {
        // Queued, so that the outcome comes after the call like a transfer's does.
        QMetaObject::invokeMethod(this, &FeedFetcher::readFile, Qt::QueuedConnection);
        return true;
    }
    QNetworkRequest request(m_location);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("zefirina-service/%1").arg(QCoreApplication::applicationVersion()));
    if (!m_etag.isEmpty())
        request.setRawHeader(QByteArrayLiteral("If-None-Match"), m_etag);
    if (!m_lastModified.isEmpty())
        request.setRawHeader(QByteArrayLiteral("If-Modified-Since"), m_lastModified);
    request.setRawHeader(QByteArrayLiteral("Accept"),
                         QByteArrayLiteral("application/rss+xml, application/atom+xml, application/xml;q=0.9, "
                                           "text/xml;q=0.9, */*;q=0.5"));
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &FeedFetcher::readArrived);
    connect(m_reply, &QNetworkReply::finished, this, &FeedFetcher::replyFinished);
    m_deadline.start(m_limits.timeout);
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
    const QString stamp = QStringLiteral("%1 %2").arg(info.size()).arg(
        info.lastModified().toUTC().toString(Qt::ISODateWithMs));
    if (info.isFile() && stamp == m_fileStamp) {
        reportUnchanged();
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot open %1: %2").arg(file.fileName(), file.errorString()));
        return;
    }
    // Read with the cap rather than trust the size: a device or a pipe has none.
    m_body = file.read(m_limits.maxBytes + 1);
    if (m_body.size() > m_limits.maxBytes)
        fail(tooLargeText());
    else if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
    else {
        m_fileStamp = stamp;
        succeed();
    }
}

void FeedFetcher::readArrived() {
    const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > m_limits.maxBytes || m_body.size() + m_reply->bytesAvailable() > m_limits.maxBytes) {
        fail(tooLargeText());
        return;
    }
    m_body += m_reply->readAll();
}

void FeedFetcher::replyFinished() {
    readArrived();
    if (!m_reply)
        return; // the last bytes broke the cap, which has been reported
    const QNetworkReply::NetworkError error = m_reply->error();
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 304 && !(m_etag.isEmpty() && m_lastModified.isEmpty())) {
        reportUnchanged();
    } else if (error == QNetworkReply::TooManyRedirectsError || error == QNetworkReply::InsecureRedirectError) {
        fail(m_reply->errorString());
    } else if (status >= 300) {
        const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        fail(QStringLiteral("HTTP %1 %2").arg(status).arg(reason).trimmed());
    } else if (error != QNetworkReply::NoError) {
        fail(m_reply->errorString());
    } else {
        keepValidators();
        succeed();
    }
}

void FeedFetcher::keepValidators() {
    m_etag = m_reply->rawHeader(QByteArrayLiteral("ETag"));
    m_lastModified = m_reply->rawHeader(QByteArrayLiteral("Last-Modified"));
}

void FeedFetcher::reportUnchanged() {
    releaseReply();
    m_body.clear();
    m_busy = false;
    Q_EMIT unchanged();
}

void FeedFetcher::succeed() {
    releaseReply();
    m_busy = false;
    Q_EMIT fetched(std::exchange(m_body, {}));
}

void FeedFetcher::fail(const QString& reason) {
    releaseReply();
    m_body.clear();
    m_busy = false;
    Q_EMIT failed(reason);
}

void FeedFetcher::releaseReply() {
    m_deadline.stop();
    abandonReply(m_reply, this); // this fetch has ended already
}

QString FeedFetcher::tooLargeText() const {
    constexpr qint64 MiB = 1024 * 1024;
    const qint64 cap = m_limits.maxBytes;
    return cap % MiB == 0 ? QStringLiteral("larger than %1 MiB").arg(cap / MiB)
                          : QStringLiteral("larger than %1 bytes").arg(cap);
}
