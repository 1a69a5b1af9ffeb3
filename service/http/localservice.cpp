// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/http/localservice.h"

#include "common/serviceaccess.h"
#include "common/servicehosts.h"
#include "service/http/connectionguard.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QLocale>
#include <QTcpSocket>
#include <QUrlQuery>

namespace {

// The symbol a market route is asked about, from the query item `name`.
QString symbolFrom(const QUrl& url, const QString& name) {
    return QUrlQuery(url).queryItemValue(name, QUrl::FullyDecoded).left(LocalService::MaxSymbolLength);
}

// Only pages that are the same for every client carry a tag and may be kept.
QByteArray etagOf(const Page& page) {
    if (page.maxAgeSeconds <= 0 || page.status != Page::Status::Ok)
        return {};
    return '"' + QCryptographicHash::hash(page.body, QCryptographicHash::Sha1).toHex().left(20) + '"';
}

// Whether the Connection field names `option` among its comma-separated tokens.
bool connectionSays(const QByteArray& connection, QByteArrayView option) {
    for (const QByteArray& token : connection.split(','))
        if (token.trimmed().compare(option, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool closesAfterAnswer(const QHttpServerRequest& request, const ConnectionGuard* guard) {
    const QByteArray connection = request.value(QByteArrayLiteral("connection"));
    return connectionSays(connection, "close") ||
           (guard && guard->speaksHttp10() && !connectionSays(connection, "keep-alive"));
}

// "Sun, 06 Dec 2026 08:49:37 GMT"; the same text for a whole second.
QByteArray httpDate() {
    static qint64 second = -1;
    static QByteArray text;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (now.toSecsSinceEpoch() != second) {
        second = now.toSecsSinceEpoch();
        text = QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")).toLatin1();
    }
    return text;
}

void writeCacheHeaders(QHttpServerResponder& responder, const Page& page, const QByteArray& etag) {
    if (etag.isEmpty()) {
        responder.writeHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
        return;
    }
    responder.writeHeader(QByteArrayLiteral("Cache-Control"),
                          "public, max-age=" + QByteArray::number(page.maxAgeSeconds));
    responder.writeHeader(QByteArrayLiteral("ETag"), etag);
}

// A challenge is some random bytes; anything longer is not one.
constexpr qsizetype MaxChallengeBytes = 128;

} // namespace

LocalService::LocalService(QObject* parent) : QAbstractHttpServer(parent) { addRoutes(); }

void LocalService::addRoutes() {
    m_routes.add(ServicePaths::Headlines, [this](const QUrl&) { return m_news.headlines(); });
    m_routes.addPrefix(ServicePaths::DetailPrefix,
                       [this](const QUrl&, QStringView link) { return m_news.detail(link); });
    m_routes.add(ServicePaths::NewsHome, [this](const QUrl&) { return m_news.home(); });
    m_routes.add(ServicePaths::MakerPage, [this](const QUrl&) { return m_news.makerPage(); });
    m_routes.add(ServicePaths::FuturesSymbol, [this](const QUrl&) { return m_market.futuresSymbol(); });
    m_routes.add(ServicePaths::Quote,
                 [this](const QUrl& url) { return m_market.quotePage(symbolFrom(url, QStringLiteral("symbols"))); });
    m_routes.add(ChartScriptPath, [](const QUrl&) { return MarketPages::chartScript(); });
    m_routes.add(ChartDataPath,
                 [this](const QUrl& url) { return m_market.chartData(symbolFrom(url, QStringLiteral("symbol"))); });
}

bool LocalService::start(const QHostAddress& address, quint16 port) {
    auto* tcpServer = new ServiceListener(m_limits, this);
    if (!tcpServer->listen(address, port)) {
        m_error = tcpServer->errorString();
        m_addressInUse = tcpServer->serverError() == QAbstractSocket::AddressInUseError;
        delete tcpServer;
        return false;
    }
    bind(tcpServer);
    m_tcpServer = tcpServer;
    return true;
}

quint16 LocalService::port() const { return m_tcpServer ? m_tcpServer->serverPort() : 0; }

QUrl LocalService::baseUrl() const {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    if (m_tcpServer)
        url.setHost(m_tcpServer->serverAddress().toString());
    url.setPort(port());
    url.setPath(QStringLiteral("/"));
    return url;
}

void LocalService::setAnswering(bool answering) {
    if (m_tcpServer)
        m_tcpServer->setAnswering(answering);
}

void LocalService::requireKey(const QByteArray& key, bool newsArePublic) {
    m_key = key;
    m_newsArePublic = newsArePublic;
}

bool LocalService::mayAnswer(const QHttpServerRequest& request) const {
    if (m_key.isEmpty() || sameKey(request.value(QByteArrayLiteral("x-zefirina-key")), m_key))
        return true;
    const QString path = request.url().path();
    if (path == ServicePaths::MakerPage)
        return true;
    return m_newsArePublic && (path == ServicePaths::NewsHome || path.startsWith(ServicePaths::DetailPrefix));
}

bool LocalService::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const bool answered = answer(request, socket);
    // The next request of the connection is read only now, and only when it is acceptable.
    if (ConnectionGuard* guard = m_tcpServer ? m_tcpServer->guardOf(socket) : nullptr)
        guard->requestHandled(answered);
    return true;
}

bool LocalService::answer(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (!mayAnswer(request)) {
        send(request, socket, Page::text(Page::Status::Forbidden, QByteArrayLiteral("Pagina riservata\n")));
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Get && request.method() != QHttpServerRequest::Method::Head) {
        send(request, socket, Page::text(Page::Status::MethodNotAllowed, QByteArrayLiteral("Metodo non consentito\n")),
             {{QByteArrayLiteral("Allow"), QByteArrayLiteral("GET, HEAD")}});
        return true;
    }
    const Page page = m_routes.answer(request.url());
    if (waitForQuote(request, socket, page))
        return false;
    send(request, socket, page);
    return true;
}

void LocalService::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    // handleRequest() answers every request; this only keeps the contract of the base.
    send(request, socket, Page::notFound());
}

LocalService::Reply LocalService::replyTo(const QHttpServerRequest& request, QTcpSocket* socket) {
    Reply reply{makeResponder(request, socket),
                socket,
                m_tcpServer ? m_tcpServer->guardOf(socket) : nullptr,
                false,
                false,
                {},
                {}};
    reply.close = closesAfterAnswer(request, reply.guard);
    reply.head = request.method() == QHttpServerRequest::Method::Head;
    reply.ifNoneMatch = request.value(QByteArrayLiteral("if-none-match"));
    if (const QByteArray challenge = request.value(QByteArrayLiteral("x-zefirina-challenge"));
        !m_key.isEmpty() && !challenge.isEmpty() && challenge.size() <= MaxChallengeBytes)
        reply.proof = serviceProof(m_key, challenge);
    return reply;
}

void LocalService::send(const QHttpServerRequest& request, QTcpSocket* socket, const Page& page,
                        const QList<std::pair<QByteArray, QByteArray>>& headers) {
    Reply reply = replyTo(request, socket);
    send(reply, page, headers);
}

// Writes the answer, with its cache headers, and closes the connection after it when the
// client asked for that or speaks HTTP/1.0. A HEAD request gets the head of the answer
// that a GET would get.
void LocalService::send(Reply& reply, const Page& page, const QList<std::pair<QByteArray, QByteArray>>& headers) {
    if (!reply.socket)
        return;
    const QByteArray etag = etagOf(page);
    const bool unchanged = page.status == Page::Status::Ok && (reply.ifNoneMatch.trimmed() == "*" ||
                                                               (!etag.isEmpty() && reply.ifNoneMatch.contains(etag)));
    QHttpServerResponder& responder = reply.responder;
    responder.writeStatusLine(unchanged ? QHttpServerResponder::StatusCode::NotModified
                                        : static_cast<QHttpServerResponder::StatusCode>(page.status));
    responder.writeHeader(QByteArrayLiteral("Date"), httpDate());
    responder.writeHeader(QByteArrayLiteral("Content-Type"), page.contentType);
    for (const auto& [name, value] : headers)
        responder.writeHeader(name, value);
    if (!page.location.isEmpty())
        responder.writeHeader(QByteArrayLiteral("Location"), page.location);
    if (page.anyOrigin)
        responder.writeHeader(QByteArrayLiteral("Access-Control-Allow-Origin"), QByteArrayLiteral("*"));
    writeCacheHeaders(responder, page, etag);
    if (!reply.proof.isEmpty())
        responder.writeHeader(ServiceProofHeader, reply.proof);
    if (reply.close)
        responder.writeHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
    if (!unchanged)
        responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(page.body.size()));
    responder.writeBody(unchanged || reply.head ? QByteArray() : page.body);
    if (reply.close)
        reply.socket->disconnectFromHost();
    else if (reply.guard)
        reply.guard->answered();
}

// The quote page waits for the provider's answer that is on its way, so that the first
// refresh after the futures are switched on shows the quote. The provider answers, or
// fails, within its time-out; past MaxWaitingQuotes the page is answered at once.
bool LocalService::waitForQuote(const QHttpServerRequest& request, QTcpSocket* socket, const Page& page) {
    if (page.status != Page::Status::Unavailable || request.url().path() != ServicePaths::Quote ||
        m_waitingQuotes.size() >= MaxWaitingQuotes)
        return false;
    const QString symbol = symbolFrom(request.url(), QStringLiteral("symbols"));
    if (!m_market.quoteOnItsWay(symbol))
        return false;
    if (m_waitingQuotes.empty())
        connect(m_market.source(), &QuoteSource::answered, this, &LocalService::answerWaitingQuotes,
                Qt::UniqueConnection);
    m_waitingQuotes.push_back({replyTo(request, socket), symbol});
    return true;
}

void LocalService::answerWaitingQuotes() {
    std::list<WaitingQuote> waiting;
    waiting.splice(waiting.end(), m_waitingQuotes);
    for (WaitingQuote& quote : waiting) {
        if (m_market.quoteOnItsWay(quote.symbol))
            m_waitingQuotes.push_back(std::move(quote));
        else
            send(quote.reply, m_market.quotePage(quote.symbol));
    }
}
