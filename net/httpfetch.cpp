// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "net/httpfetch.h"

#include "common/serviceaccess.h"

#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <utility>

namespace {
constexpr qint64 ReadBufferBytes = 64 * 1024;

// The keys of the local services in use, by port; set by the bar's starter, read by any fetch.
struct ServiceKeys {
    QMutex mutex;
    QHash<quint16, QByteArray> byPort;
};
ServiceKeys& serviceKeys() {
    static ServiceKeys keys;
    return keys;
}

} // namespace

QByteArray HttpFetch::serviceKey(const QUrl& url) {
    if (url.scheme() != u"http" || url.port() <= 0 || QHostAddress(url.host()) != QHostAddress::LocalHost)
        return {};
    ServiceKeys& keys = serviceKeys();
    const QMutexLocker lock(&keys.mutex);
    return keys.byPort.value(static_cast<quint16>(url.port()));
}

namespace {

FetchFailure failureOf(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return FetchFailure::ConnectionFailed;
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return FetchFailure::Redirect;
    default:
        return FetchFailure::Interrupted;
    }
}

// Whether the reply ended with an error that only names the status the server answered
// with (400, 404, 418, 599, ...), which Qt files under several classes. The errors of the
// network layer and a broken protocol mean that the answer did not arrive whole.
bool onlyNamesTheStatus(const QNetworkReply& reply) {
    const QNetworkReply::NetworkError error = reply.error();
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid() &&
           error >= QNetworkReply::ProxyConnectionRefusedError && error != QNetworkReply::ProtocolFailure;
}
// Whether `host` is this machine or its local network: a loopback, private, link-local or
// unique-local address, or a name that means this machine. Other names are not resolved.
bool isLocal(const QString& host) {
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0 || host.endsWith(u".localhost", Qt::CaseInsensitive))
        return true;
    QHostAddress address(host);
    if (address.isNull())
        return false;
    bool mapped = false;
    if (const quint32 v4 = address.toIPv4Address(&mapped); mapped)
        address = QHostAddress(v4);
    static const QList<QPair<QHostAddress, int>> localNets{QHostAddress::parseSubnet(QStringLiteral("0.0.0.0/8")),
                                                           QHostAddress::parseSubnet(QStringLiteral("10.0.0.0/8")),
                                                           QHostAddress::parseSubnet(QStringLiteral("100.64.0.0/10")),
                                                           QHostAddress::parseSubnet(QStringLiteral("127.0.0.0/8")),
                                                           QHostAddress::parseSubnet(QStringLiteral("169.254.0.0/16")),
                                                           QHostAddress::parseSubnet(QStringLiteral("172.16.0.0/12")),
                                                           QHostAddress::parseSubnet(QStringLiteral("192.168.0.0/16")),
                                                           QHostAddress::parseSubnet(QStringLiteral("::/127")),
                                                           QHostAddress::parseSubnet(QStringLiteral("fc00::/7")),
                                                           QHostAddress::parseSubnet(QStringLiteral("fe80::/10"))};
    for (const auto& net : localNets)
        if (address.isInSubnet(net))
            return true;
    return false;
}

} // namespace

bool HttpFetch::mayFollow(const QUrl& from, const QUrl& to) {
    if ((to.scheme() != u"http" && to.scheme() != u"https") || (from.scheme() == u"https" && to.scheme() != u"https"))
        return false;
    if (!isLocal(to.host()))
        return true;
    if (!isLocal(from.host()))
        return false;
    return QHostAddress(from.host()).isLoopback() == QHostAddress(to.host()).isLoopback() &&
           (!QHostAddress(to.host()).isLoopback() || from.port(80) == to.port(80));
}

QByteArray FetchOutcome::header(QByteArrayView name) const {
    for (const auto& [field, value] : headers)
        if (field.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

HttpFetch::HttpFetch(QNetworkAccessManager* network, QObject* parent) : QObject(parent), m_network(network) {
    for (QTimer* timer : {&m_stallTimer, &m_transferTimer}) {
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this] { fail(FetchFailure::TimedOut); });
    }
    setLimits(m_limits);
}

HttpFetch::~HttpFetch() { release(); }

void HttpFetch::setLimits(const Limits& limits) {
    m_limits = limits;
    m_stallTimer.setInterval(limits.stallTimeout);
    m_transferTimer.setInterval(limits.transferTimeout);
}

void HttpFetch::setServiceKey(quint16 port, const QByteArray& key) {
    ServiceKeys& keys = serviceKeys();
    const QMutexLocker lock(&keys.mutex);
    if (key.isEmpty())
        keys.byPort.remove(port);
    else
        keys.byPort.insert(port, key);
}

bool HttpFetch::start(QNetworkRequest request) {
    if (m_reply)
        return false;
    if (const QByteArray key = serviceKey(request.url()); !key.isEmpty())
        request.setRawHeader(ServiceKeyHeader, key);
    m_body.clear();
    m_received = 0;
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    m_reply = m_network->get(request);
    m_redirects = 0;
    // Redirects that the fetch verifies itself are not counted by the network library.
    connect(m_reply, &QNetworkReply::redirected, this, [this, from = request.url()](const QUrl& to) {
        if (++m_redirects > m_limits.maxRedirects)
            fail(FetchFailure::Redirect, QStringLiteral("too many redirects"));
        else if (mayFollow(from, to))
            Q_EMIT m_reply->redirectAllowed();
        else
            fail(FetchFailure::Redirect,
                 QStringLiteral("redirect to ") + to.toDisplayString() + QStringLiteral(" refused"));
    });
    m_reply->setReadBufferSize(ReadBufferBytes);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpFetch::readArrived);
    connect(m_reply, &QNetworkReply::finished, this, &HttpFetch::replyFinished);
    if (m_limits.stallTimeout.count() > 0)
        m_stallTimer.start();
    m_transferTimer.start();
    return true;
}

void HttpFetch::cancel() {
    release();
    m_body.clear();
}

void HttpFetch::readArrived() {
    if (m_stallTimer.isActive())
        m_stallTimer.start();
    // A body announced larger than the cap is refused before it is read.
    const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > m_limits.maxBytes || m_received + m_reply->bytesAvailable() > m_limits.maxBytes) {
        fail(FetchFailure::BodyTooLarge);
        return;
    }
    const QByteArray piece = m_reply->readAll();
    m_received += piece.size();
    if (m_sink)
        m_sink(piece, announced);
    else
        m_body += piece;
}

void HttpFetch::replyFinished() {
    readArrived();
    if (!m_reply)
        return; // the last bytes broke the size cap, which has reported already
    // A chain of redirects verified here may end, in the network library, without a final
    // status (a loop of redirects on closed connections ends with none).
    if (m_redirects > 0 && m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() < 200) {
        fail(FetchFailure::Redirect, QStringLiteral("redirects without an answer"));
        return;
    }
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error != QNetworkReply::NoError && !onlyNamesTheStatus(*m_reply)) {
        fail(failureOf(error), m_reply->errorString());
        return;
    }
    FetchOutcome outcome;
    outcome.status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    outcome.statusText = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    for (const auto& [field, value] : m_reply->rawHeaderPairs())
        outcome.headers.append({field, value});
    outcome.body = std::exchange(m_body, {});
    release();
    Q_EMIT finished(outcome);
}

void HttpFetch::fail(FetchFailure failure, const QString& detail) {
    release();
    m_body.clear();
    FetchOutcome outcome;
    outcome.failure = failure;
    outcome.detail = detail;
    Q_EMIT finished(outcome);
}

void HttpFetch::release() {
    m_stallTimer.stop();
    m_transferTimer.stop();
    if (!m_reply)
        return;
    // abort() reports finished() from inside the call: this fetch has ended already.
    QNetworkReply* reply = m_reply;
    m_reply.clear();
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
