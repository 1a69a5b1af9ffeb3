// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/http/routetable.h"
#include "service/http/servicelistener.h"
#include "service/pages/marketpages.h"
#include "service/pages/newspages.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <QUrl>

#include <list>

class ConnectionGuard;
class QuoteSource;

// Answers, on one port, what the ticker asks of the news service, the quote provider and
// the maker's web server, from the routes of its table. Only GET and HEAD are served (other methods
// get 405); any path it does not know gets 404. A connection closes after the answer when
// the client asks for it or speaks HTTP/1.0; ServiceListener guards the connections. Nothing may be kept by a cache,
// except the pages that are the same for every client (headlines, news items, the futures symbol, the quote of a
// symbol): they carry an ETag and a short max-age, so that many bars can share one service behind an HTTP cache.
class LocalService : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit LocalService(QObject* parent = nullptr);

    // Listens on `address`; port 0 picks a free port. On failure errorString() says why.
    bool start(const QHostAddress& address, quint16 port);
    // Limits of the connections accepted from the next start() on.
    void setConnectionLimits(ServiceListener::Limits limits) { m_limits = limits; }
    qsizetype openConnections() const { return m_tcpServer ? m_tcpServer->openConnections() : 0; }
    qint64 waitingAnswerBytes() const { return m_tcpServer ? m_tcpServer->waitingAnswerBytes() : 0; }

    // The port actually listened on, 0 before a successful start().
    quint16 port() const;
    QString errorString() const { return m_error; }
    // Whether the last start() failed because something else listens there already.
    bool addressInUse() const { return m_addressInUse; }
    // "http://127.0.0.1:8089/"
    QUrl baseUrl() const;

    // Where a feed relay publishes the news served from then on.
    NewsPublisher& newsPublisher() { return m_news; }

    // While not answering, the service still listens but leaves new connections waiting
    // in the system's queue; they are answered once it answers again. Lets the bar's
    // first request wait for news that is on its way. Answering after start().
    void setAnswering(bool answering);

    // From now on a request is answered only when it carries `key` (403 otherwise), but for
    // the pages a browser opens, which it cannot give a key: the maker's page always, and the
    // news home and news items when `newsArePublic` (the default feeds or the sample news,
    // the same for everyone), so that they tell nothing of a feed the user chose.
    void requireKey(const QByteArray& key, bool newsArePublic);

    // Quotes and charts from the quote provider at `base` from now on, instead of the
    // made-up sample ones.
    void useQuoteProvider(const QUrl& base) { m_market.useProvider(base); }
    // Null while the quotes are samples.
    QuoteSource* quoteSource() const { return m_market.source(); }

    static constexpr QStringView ChartScriptPath = u"/livecharts/livecharts.LiveChartsV3.js";
    static constexpr QStringView ChartDataPath = u"/livecharts/series.json";
    // Longest symbol the quote page repeats; the rest of an oversized query is ignored.
    static constexpr qsizetype MaxSymbolLength = 32;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    // An answer begun: what it depends on besides the page.
    struct Reply {
        QHttpServerResponder responder;
        QPointer<QTcpSocket> socket;
        QPointer<ConnectionGuard> guard; // null for a socket of no listener of the service
        bool close = false;
        bool head = false;
        QByteArray ifNoneMatch;
        QByteArray proof; // for a challenge, when the service has a key
    };
    struct WaitingQuote {
        Reply reply;
        QString symbol;
    };
    static constexpr std::size_t MaxWaitingQuotes = 256;

    void addRoutes();
    bool mayAnswer(const QHttpServerRequest& request) const;
    // Whether the request is answered now; false while it waits for a quote.
    bool answer(const QHttpServerRequest& request, QTcpSocket* socket);
    Reply replyTo(const QHttpServerRequest& request, QTcpSocket* socket);
    void send(const QHttpServerRequest& request, QTcpSocket* socket, const Page& page,
              const QList<std::pair<QByteArray, QByteArray>>& headers = {});
    void send(Reply& reply, const Page& page, const QList<std::pair<QByteArray, QByteArray>>& headers = {});
    bool waitForQuote(const QHttpServerRequest& request, QTcpSocket* socket, const Page& page);
    void answerWaitingQuotes();

    NewsPages m_news;
    MarketPages m_market;
    RouteTable m_routes;
    ServiceListener::Limits m_limits;
    ServiceListener* m_tcpServer = nullptr;
    std::list<WaitingQuote> m_waitingQuotes;
    QString m_error;
    QByteArray m_key; // empty: every request is answered
    bool m_newsArePublic = true;
    bool m_addressInUse = false;
};
