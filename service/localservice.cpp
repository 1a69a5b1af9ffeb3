#include "service/localservice.h"

#include "ticker/servicehosts.h"

#include <QHttpServerRequest>
#include <QTcpServer>
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
    auto* tcpServer = new QTcpServer(this);
    if (!tcpServer->listen(address, port)) {
        m_error = tcpServer->errorString();
        delete tcpServer;
        return false;
    }
    bind(tcpServer);
    m_tcpServer = tcpServer;
    return true;
}

quint16 LocalService::port() const {
    return m_tcpServer ? m_tcpServer->serverPort() : 0;
}

QUrl LocalService::baseUrl() const {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    if (m_tcpServer)
        url.setHost(m_tcpServer->serverAddress().toString());
    url.setPort(port());
    url.setPath(QStringLiteral("/"));
    return url;
}

void LocalService::setNews(NewsEdition news) {
    m_previousNews = std::exchange(m_news, std::move(news));
}

void LocalService::setAnswering(bool answering) {
    if (!m_tcpServer)
        return;
    if (answering)
        m_tcpServer->resumeAccepting();
    else
        m_tcpServer->pauseAccepting();
}

bool LocalService::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    QHttpServerResponder responder = makeResponder(request, socket);
    if (request.method() != QHttpServerRequest::Method::Get) {
        responder.write(QByteArrayLiteral("Metodo non consentito\n"),
                        {{QByteArrayLiteral("Content-Type"), TextType}, {QByteArrayLiteral("Allow"), QByteArrayLiteral("GET")}},
                        QHttpServerResponder::StatusCode::MethodNotAllowed);
        return true;
    }
    const Reply reply = answer(request.url());
    // The quote changes with every request and the pages are samples: nothing is worth
    // keeping in a cache.
    const std::pair<QByteArray, QByteArray> type{QByteArrayLiteral("Content-Type"), reply.contentType};
    const std::pair<QByteArray, QByteArray> noStore{QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")};
    if (reply.anyOrigin)
        responder.write(reply.body, {type, noStore, {QByteArrayLiteral("Access-Control-Allow-Origin"), "*"}},
                        reply.status);
    else
        responder.write(reply.body, {type, noStore}, reply.status);
    return true;
}

void LocalService::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    // handleRequest() answers every request; this only keeps the contract of the base.
    const Reply reply = notFound();
    makeResponder(request, socket).write(reply.body, reply.contentType, reply.status);
}

LocalService::Reply LocalService::answer(const QUrl& url) {
    const QString path = url.path();
    if (path == ServicePaths::Headlines)
        return html(m_news.headlinePage);
    if (path.startsWith(ServicePaths::DetailPrefix)) {
        const QString link = path.mid(ServicePaths::DetailPrefix.size());
        for (const NewsEdition* news : {&m_news, &m_previousNews})
            if (const auto page = news->detailPages.constFind(link); page != news->detailPages.constEnd())
                return html(*page);
        return notFound();
    }
    if (path == ServicePaths::Quote)
        return quotePage(url);
    if (path == ServicePaths::FuturesSymbol)
        return {QHttpServerResponder::StatusCode::Ok, TextType, m_market.futuresSymbol()};
    if (path == ServicePaths::NewsHome)
        return html(m_content.newsHomePage());
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
    return fromMarket(m_market.quotePage(symbol));
}

LocalService::Reply LocalService::chartData(const QUrl& url) {
    const QString symbol =
        QUrlQuery(url).queryItemValue(QStringLiteral("symbol"), QUrl::FullyDecoded).left(MaxSymbolLength);
    return fromMarket(m_market.chartData(symbol));
}

LocalService::Reply LocalService::fromMarket(const MarketData::Answer& answer) {
    return {answer.status, answer.contentType, answer.body, answer.anyOrigin};
}

LocalService::Reply LocalService::html(const QByteArray& page) {
    return {QHttpServerResponder::StatusCode::Ok, HtmlType, page};
}

LocalService::Reply LocalService::notFound() {
    return {QHttpServerResponder::StatusCode::NotFound, TextType, QByteArrayLiteral("Pagina non trovata\n")};
}
