#include "service/localservice.h"

#include "service/easternclock.h"
#include "service/quotepage.h"
#include "common/servicehosts.h"

#include <QDateTime>
#include <QHttpServerRequest>
#include <QTcpServer>
#include <QUrlQuery>

#include <utility>

namespace {
// The futures open here every day; the walk keeps the last price near it.
constexpr double OpeningPrice = 21000.00;

const QByteArray HtmlType = QByteArrayLiteral("text/html; charset=utf-8");
const QByteArray TextType = QByteArrayLiteral("text/plain; charset=utf-8");
} // namespace

LocalService::LocalService(QObject* parent) : QAbstractHttpServer(parent), m_price(OpeningPrice) {
    m_news.headlinePage = m_content.headlinePage();
    for (const QString& link : m_content.detailLinks())
        m_news.detailPages.insert(link, m_content.detailPage(link).value_or(QByteArray()));
}

bool LocalService::start(const QHostAddress& address, quint16 port) {
    auto* tcpServer = new QTcpServer(this);
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
    if (!reply.location.isEmpty()) {
        responder.write(reply.body,
                        {{QByteArrayLiteral("Content-Type"), reply.contentType},
                         {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")},
                         {QByteArrayLiteral("Location"), reply.location}},
                        reply.status);
        return true;
    }
    responder.write(reply.body,
                    {{QByteArrayLiteral("Content-Type"), reply.contentType},
                     {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
                    reply.status);
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
        return {QHttpServerResponder::StatusCode::Ok, TextType, SiteContent::futuresSymbol()};
    if (path == ServicePaths::NewsHome)
        return newsHome();
    if (path == ServicePaths::MakerPage)
        return html(m_content.makerPage());
    return notFound();
}

LocalService::Reply LocalService::quotePage(const QUrl& url) {
    const QString symbol =
        QUrlQuery(url).queryItemValue(QStringLiteral("symbols"), QUrl::FullyDecoded).left(MaxSymbolLength);
    const double last = m_price.step();
    const QString clock = easternClockText(QDateTime::currentDateTimeUtc());
    return html(renderQuotePage(clock, last, m_price.open(), symbol));
}

// While a feed is served, its own site is the home page of the news it gives.
LocalService::Reply LocalService::newsHome() const {
    if (m_news.siteLink.isEmpty())
        return html(m_content.newsHomePage());
    const QByteArray target = m_news.siteLink.toLatin1();
    return {QHttpServerResponder::StatusCode::Found, HtmlType,
            "<!DOCTYPE html>\n<p><a href=\"" + target + "\">" + target + "</a></p>\n", target};
}

LocalService::Reply LocalService::html(const QByteArray& page) {
    return {QHttpServerResponder::StatusCode::Ok, HtmlType, page};
}

LocalService::Reply LocalService::notFound() {
    return {QHttpServerResponder::StatusCode::NotFound, TextType, QByteArrayLiteral("Pagina non trovata\n")};
}
