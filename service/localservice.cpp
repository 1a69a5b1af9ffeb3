#include "service/localservice.h"

#include "common/servicehosts.h"

#include <QCryptographicHash>
#include <QHttpServerRequest>
#include <QTcpSocket>
#include <QUrlQuery>

#include <utility>

namespace {
const QByteArray HtmlType = QByteArrayLiteral("text/html; charset=utf-8");
const QByteArray TextType = QByteArrayLiteral("text/plain; charset=utf-8");
} // namespace

LocalService::LocalService(QObject* parent) : QAbstractHttpServer(parent) {
    m_news.headlinePage = m_content.headlinePage();
    for (const QString& link : m_content.detailLinks())
        m_news.detailPages.insert(link, m_content.detailPage(link).value_or(QByteArray()));
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

void LocalService::setNews(NewsEdition news) { m_previousNews = std::exchange(m_news, std::move(news)); }

void LocalService::setAnswering(bool answering) {
    if (!m_tcpServer)
        return;
    if (answering)
        m_tcpServer->resumeAccepting();
    else
        m_tcpServer->pauseAccepting();
}

bool LocalService::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (request.method() != QHttpServerRequest::Method::Get) {
        send(request, socket,
             {QHttpServerResponder::StatusCode::MethodNotAllowed, TextType,
              QByteArrayLiteral("Metodo non consentito\n")},
             {{QByteArrayLiteral("Allow"), QByteArrayLiteral("GET")}});
        return true;
    }
    send(request, socket, answer(request.url()));
    return true;
}

void LocalService::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    // handleRequest() answers every request; this only keeps the contract of the base.
    send(request, socket, notFound());
}

// Writes the answer, with its cache headers, and closes the connection after it when the
// client asked for that or speaks HTTP/1.0.
void LocalService::send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply,
                        const QList<std::pair<QByteArray, QByteArray>>& headers) {
    const QByteArray connection = request.value(QByteArrayLiteral("connection")).toLower();
    const bool close =
        connection.contains("close") || (ServiceListener::speaksHttp10(*socket) && !connection.contains("keep-alive"));
    QByteArray etag;
    if (reply.maxAgeSeconds > 0) {
        etag = '"' + QCryptographicHash::hash(reply.body, QCryptographicHash::Sha1).toHex().left(20) + '"';
    }
    const bool unchanged = !etag.isEmpty() && request.value(QByteArrayLiteral("if-none-match")).contains(etag);
    {
        QHttpServerResponder responder = makeResponder(request, socket);
        responder.writeStatusLine(unchanged ? QHttpServerResponder::StatusCode::NotModified : reply.status);
        responder.writeHeader(QByteArrayLiteral("Content-Type"), reply.contentType);
        for (const auto& [name, value] : headers)
            responder.writeHeader(name, value);
        if (!reply.location.isEmpty())
            responder.writeHeader(QByteArrayLiteral("Location"), reply.location);
        if (reply.anyOrigin)
            responder.writeHeader(QByteArrayLiteral("Access-Control-Allow-Origin"), QByteArrayLiteral("*"));
        if (etag.isEmpty()) {
            responder.writeHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
        } else {
            responder.writeHeader(QByteArrayLiteral("Cache-Control"),
                                  "public, max-age=" + QByteArray::number(reply.maxAgeSeconds));
            responder.writeHeader(QByteArrayLiteral("ETag"), etag);
        }
        if (close)
            responder.writeHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
        if (unchanged) {
            responder.writeBody(QByteArray());
        } else {
            responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(reply.body.size()));
            responder.writeBody(reply.body);
        }
    }
    if (close)
        socket->disconnectFromHost();
}

LocalService::Reply LocalService::answer(const QUrl& url) {
    const QString path = url.path();
    if (path == ServicePaths::Headlines)
        return html(m_news.headlinePage, NewsMaxAgeSeconds);
    if (path.startsWith(ServicePaths::DetailPrefix)) {
        const QString link = path.mid(ServicePaths::DetailPrefix.size());
        for (const NewsEdition* news : {&m_news, &m_previousNews})
            if (const auto page = news->detailPages.constFind(link); page != news->detailPages.constEnd())
                return html(*page, NewsMaxAgeSeconds);
        return notFound();
    }
    if (path == ServicePaths::Quote)
        return quotePage(url);
    if (path == ServicePaths::FuturesSymbol)
        return {QHttpServerResponder::StatusCode::Ok, TextType, m_market.futuresSymbol(), NewsMaxAgeSeconds};
    if (path == ServicePaths::NewsHome)
        return newsHome();
    if (path == ServicePaths::MakerPage)
        return html(m_content.makerPage());
    if (path == MarketData::ChartScriptPath)
        return fromMarket(MarketData::chartScript());
    if (path == MarketData::ChartDataPath)
        return chartData(url);
    return notFound();
}

LocalService::Reply LocalService::quotePage(const QUrl& url) {
    const QString symbol =
        QUrlQuery(url).queryItemValue(QStringLiteral("symbols"), QUrl::FullyDecoded).left(MaxSymbolLength);
    return fromMarket(m_market.quotePage(symbol), QuoteMaxAgeSeconds);
}

LocalService::Reply LocalService::chartData(const QUrl& url) {
    const QString symbol =
        QUrlQuery(url).queryItemValue(QStringLiteral("symbol"), QUrl::FullyDecoded).left(MaxSymbolLength);
    return fromMarket(m_market.chartData(symbol));
}

// Only a page that holds a quote may be kept: any other answer is passing.
LocalService::Reply LocalService::fromMarket(const MarketData::Answer& answer, int maxAgeSeconds) {
    const bool keep = answer.status == QHttpServerResponder::StatusCode::Ok;
    return {answer.status, answer.contentType, answer.body, keep ? maxAgeSeconds : 0, {}, answer.anyOrigin};
}

// While a feed is served, its own site is the home page of the news it gives.
LocalService::Reply LocalService::newsHome() const {
    if (m_news.siteLink.isEmpty())
        return html(m_content.newsHomePage());
    // Encoded, the address holds no quote, angle bracket or line break.
    const QByteArray target = QUrl(m_news.siteLink).toEncoded();
    return {QHttpServerResponder::StatusCode::Found, HtmlType,
            "<!DOCTYPE html>\n<p><a href=\"" + target + "\">" + target + "</a></p>\n", 0, target};
}

LocalService::Reply LocalService::html(const QByteArray& page, int maxAgeSeconds) {
    return {QHttpServerResponder::StatusCode::Ok, HtmlType, page, maxAgeSeconds};
}

LocalService::Reply LocalService::notFound() {
    return {QHttpServerResponder::StatusCode::NotFound, TextType, QByteArrayLiteral("Pagina non trovata\n")};
}
