// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/servicehosts.h"
#include "common/windows1252.h"
#include "market/quotereader.h"
#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "service/feed/feedrelay.h"
#include "service/http/localservice.h"
#include "service/market/quotesource.h"
#include "service/pages/sitecontent.h"
#include "service/servicereports.h"

#include "datafile.h"
#include "samehost.h"
#include "testhttpserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <array>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

ServiceHosts hostsOf(const LocalService& service) { return sameHost(u"127.0.0.1:%1"_s.arg(service.port())); }

// A service relaying the feed that a loopback server answers at /rss.xml, read at once
// and afterwards only when a test asks.
struct RelayedService {
    explicit RelayedService(const TestHttpServer::Reply& feed) {
        feedServer->setReply("/rss.xml", feed);
        relay.setLimits({std::chrono::milliseconds(500), 8 * 1024 * 1024, 5});
        holdAnswersForFirstReading(service, relay, relay.limits().timeout);
        relay.start();
    }
    std::unique_ptr<TestHttpServer> feedServer = std::make_unique<TestHttpServer>();
    LocalService service;
    bool listening = service.start(QHostAddress::LocalHost, 0);
    ServiceHosts hosts = hostsOf(service);
    FeedRelay relay{QUrl(u"http://"_s + feedServer->host() + u"/rss.xml"_s), std::chrono::hours(1),
                    service.newsPublisher()};
};

// A service whose quotes come from a loopback stand-in for the quote provider, which gives
// the same answer for every symbol.
struct ProvidedService {
    explicit ProvidedService(const TestHttpServer::Reply& answer) {
        provider.setDefaultReply(answer);
        service.useQuoteProvider(QUrl(u"http://"_s + provider.host()));
        answered = std::make_unique<QSignalSpy>(service.quoteSource(), &QuoteSource::answered);
    }
    TestHttpServer provider;
    LocalService service;
    bool listening = service.start(QHostAddress::LocalHost, 0);
    ServiceHosts hosts = hostsOf(service);
    std::unique_ptr<QSignalSpy> answered;
};

} // namespace

// The service over loopback HTTP, asked with the bar's own URLs and read with its readers
// or by the bar itself.
class TestLocalService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_service.start(QHostAddress::LocalHost, 0), qPrintable(m_service.errorString()));
        m_hosts = hostsOf(m_service);
    }

    // Sent byte for byte: a client library would tidy some of these paths before sending them.
    void routes_data() {
        QTest::addColumn<QByteArray>("request"); // method and target
        QTest::addColumn<int>("status");         // the status; for XML, the line of the fault
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body"); // a part of it
        QTest::addColumn<QByteArray>("cacheControl");

        const QByteArray html = "text/html; charset=utf-8";
        const QByteArray text = "text/plain; charset=utf-8";
        const auto get = [](const QUrl& url) {
            return "GET " + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        };
        // Pages that are the same for every client may be kept a while by a shared cache.
        const QByteArray noStore = "no-store";
        const QByteArray news = "public, max-age=180";
        const auto notFound = [&](const char* name, const QByteArray& request) {
            QTest::newRow(name) << request << 404 << text << QByteArray("Pagina non trovata\n") << noStore;
        };
        QTest::newRow("futures symbol") << get(futuresSymbolUrl(m_hosts)) << 200 << text
                                        << QByteArray("NQ") /* the contract of the day */
                                        << news;
        QTest::newRow("headlines") << get(headlinePageUrl(m_hosts)) << 200 << html << QByteArray("StrilloTelevideo")
                                   << news;
        QTest::newRow("news item") << get(detailPageUrl(m_hosts, SiteContent().detailLinks().constFirst())) << 200
                                   << html << QByteArray("\n[Esempio] ") << news;
        QTest::newRow("news home") << get(newsHomeUrl(m_hosts)) << 200 << html
                                   << QByteArray("href=\"/notizietelevideo/\"") << noStore;
        QTest::newRow("maker page") << get(makerPageUrl(m_hosts)) << 200 << html << QByteArray("Zefirina \xC3\xA8")
                                    << noStore;
        notFound("unknown path", "GET /borsa/");
        // An item no longer served says so in the panel, and is not kept: the link may come back.
        const QByteArray gone = "\r\n\r\nNotizia non pi\xC3\xB9 disponibile.\r\n</div>";
        QTest::newRow("unknown item") << get(detailPageUrl(m_hosts, u"/notizie/2026/12/06/lotto.html"_s)) << 200 << html
                                      << gone << noStore;
        QTest::newRow("feed item gone") << get(detailPageUrl(m_hosts, u"/notizie/feed/0123456789abcdef.html"_s)) << 200
                                        << html << gone << noStore;
        notFound("not an item's link", get(detailPageUrl(m_hosts, u"/notizie/feed/0123.html"_s)));
        // Detail pages are looked up by link, never as files.
        notFound("resource", "GET /accessibile/:/zefirina-service/home.html");
        notFound("dot segments", "GET /accessibile/notizie/../../../../etc/passwd");
        notFound("encoded dots", "GET /accessibile/%2e%2e/%2e%2e/etc/passwd");
        const QByteArray refused = "Metodo non consentito\n";
        QTest::newRow("post") << QByteArray("POST /notizietelevideo/") << 405 << text << refused << noStore;
        // The quote page shows the symbol the request names, cut short and escaped.
        QTest::newRow("quote") << get(quotePageUrl(m_hosts, u"<b>Open:</b>"_s.repeated(200))) << 200 << html
                               << QByteArray("&#60;&#47;b&#62;&#60;b&#62;Open&#58; - Futures quote</title>")
                               << QByteArray("public, max-age=5");
        QTest::newRow("chart script") << QByteArray("GET /livecharts/livecharts.LiveChartsV3.js") << 200
                                      << QByteArray("text/javascript; charset=utf-8") << QByteArray("window.runApplet")
                                      << noStore;
        QTest::newRow("sample chart data")
            << QByteArray("GET /livecharts/series.json?symbol=INDEX%3AINDU") << 200 << QByteArray("application/json")
            << QByteArray("\"sample\":true") << noStore;
        QTest::newRow("chart data, unknown symbol")
            << QByteArray("GET /livecharts/series.json?symbol=IBM") << 404 << text << QByteArray() << noStore;
    }

    void routes() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, cacheControl);

        const QByteArray answer = rawAnswer(request + " HTTP/1.1");
        QVERIFY2(answer.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '), answer.constData());
        QVERIFY2(answer.contains("\r\nContent-Type: " + contentType + "\r\n"), answer.constData());
        QVERIFY2(answer.mid(answer.indexOf("\r\n\r\n")).contains(body), answer.constData());
        QVERIFY2(answer.contains("\r\nCache-Control: " + cacheControl + "\r\n"), answer.constData());
        // The validator: asked again with it, the service answers that nothing changed.
        static const QRegularExpression etagHeader(u"\r\nETag: (\"[0-9a-f]+\")\r\n"_s);
        const QRegularExpressionMatch etag = etagHeader.match(QString::fromLatin1(answer));
        QCOMPARE(etag.hasMatch(), cacheControl != "no-store");
        if (etag.hasMatch() && status == 200 && !request.contains("quotes"))
            QVERIFY(rawAnswer(request + " HTTP/1.1\r\nIf-None-Match: " + etag.captured(1).toLatin1())
                        .startsWith("HTTP/1.1 304 "));
    }

    // Silent connections neither pile up nor stay for ever: past the bound, a new connection
    // takes the place of one idle for long, or is refused when none is, and any idle
    // connection is dropped after the idle time.
    void boundsAndDropsIdleConnections_data() {
        QTest::addColumn<int>("idleMs");
        QTest::addColumn<int>("giveUpMs");          // idle this long, a connection may make room
        QTest::addColumn<QList<bool>>("connected"); // each socket, after the last one's answer or refusal
        QTest::newRow("bound of two, none idle for long") << 60000 << 60000 << QList<bool>{true, true, false};
        QTest::newRow("bound of two, all idle for long") << 60000 << 0 << QList<bool>{false, true, true};
        QTest::newRow("idle time") << 1000 << 0 << QList<bool>{false, false, false};
    }
    void boundsAndDropsIdleConnections() {
        QFETCH(int, idleMs);
        QFETCH(int, giveUpMs);
        QFETCH(QList<bool>, connected);
        LocalService service;
        service.setConnectionLimits({.maxConnections = 2,
                                     .idleTimeout = std::chrono::milliseconds(idleMs),
                                     .giveUpIdleAfter = std::chrono::milliseconds(giveUpMs)});
        QVERIFY(service.start(QHostAddress::LocalHost, 0));
        std::array<QTcpSocket, 3> sockets;
        for (QTcpSocket& socket : sockets) {
            socket.connectToHost(QHostAddress::LocalHost, service.port());
            QVERIFY(socket.waitForConnected());
            if (&socket != &sockets.back())
                QTRY_COMPARE(service.openConnections(), &socket - sockets.data() + 1);
        }
        sockets[2].write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray answer;
        QTRY_VERIFY((answer += sockets[2].readAll()).startsWith(connected[2] ? "HTTP/1.1 200 OK" : "HTTP/1.1 503 ") ||
                    (!connected[2] && sockets[2].state() == QAbstractSocket::UnconnectedState));
        for (int i = 0; i < 3; ++i)
            QTRY_COMPARE(sockets[i].state() == QAbstractSocket::ConnectedState, connected[i]);
        QCOMPARE(service.openConnections(), connected.count(true));
    }

    // The quote page and the chart data from the provider's answer, read back by the bar's
    // own quote reader. Without a quote neither carries a number: the quote page is empty, so
    // the bar keeps what it shows. The provider hears nothing before the first quote page,
    // which waits for its answer; however often asked, the provider is asked once per 30 s.
    // Only the symbols the program shows are relayed, matched as whole texts; any other is
    // 404 without a request to the provider.
    void quoteFromTheProvider_data() {
        QTest::addColumn<QByteArray>("symbol"); // the query's value as sent; CONTRACT: the contract of the day
        QTest::addColumn<TestHttpServer::Reply>("answer");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("fields"); // time|last|change|open as the bar reads them
        QTest::addColumn<QByteArray>("providerPath");

        using Reply = TestHttpServer::Reply;
        const Reply rising{200, dataFile("provider-rising.json")};
        const QString risingFields = u"9:55|21034,25|+ 0,16 %|21000,00"_s;
        const QByteArray contractPath = "/v8/finance/chart/CONTRACT.CME?interval=5m&range=1d";
        QTest::newRow("rising day") << QByteArray("CONTRACT") << rising << 200 << risingFields << contractPath;
        QTest::newRow("error object") << QByteArray("CONTRACT") << Reply{404, dataFile("provider-error.json")} << 503
                                      << QString() << contractPath;
        QTest::newRow("huge body") << QByteArray("CONTRACT") << Reply{200, {}, TestHttpServer::Delivery::Endless} << 503
                                   << QString() << contractPath;
        QTest::newRow("Nasdaq Composite") << QByteArray("INDEX%3ACOMPX") << rising << 200 << risingFields
                                          << QByteArray("/v8/finance/chart/%5EIXIC?interval=5m&range=1d");
        QTest::newRow("far contract") << QByteArray("NQH40") << rising << 404 << QString() << QByteArray();
        QTest::newRow("line end after") << QByteArray("NQH27%0A") << rising << 404 << QString() << QByteArray();
        QTest::newRow("index in lower case") << QByteArray("index:compx") << rising << 404 << QString() << QByteArray();
        QTest::newRow("provider's own name") << QByteArray("%5EIXIC") << rising << 404 << QString() << QByteArray();
    }
    void quoteFromTheProvider() {
        QFETCH(QByteArray, symbol);
        QFETCH(TestHttpServer::Reply, answer);
        QFETCH(int, status);
        QFETCH(QString, fields);
        QFETCH(QByteArray, providerPath);

        ProvidedService s(answer);
        QVERIFY(s.listening);
        const QByteArray contract = fetch(futuresSymbolUrl(s.hosts));
        QCOMPARE(s.provider.requestLines(), QList<QByteArray>());
        symbol.replace("CONTRACT", contract);
        const auto ask = [&](const QByteArray& target) {
            return rawAnswer("GET " + target + symbol + " HTTP/1.1", s.service.port());
        };
        const QByteArray page = ask("/qc/stocks/quotes.aspx?symbols=");
        QVERIFY2(page.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '), page.constData());
        if (status == 404) {
            QCOMPARE(s.provider.requestLines(), QList<QByteArray>());
            return;
        }
        QCOMPARE(s.answered->size(), 1);
        const QByteArray chart = ask("/livecharts/series.json?symbol=");
        QCOMPARE(s.provider.requestLines(),
                 QList<QByteArray>{"GET " + providerPath.replace("CONTRACT", contract) + " HTTP/1.1"});
        const QByteArray body = page.mid(page.indexOf("\r\n\r\n") + 4);
        QCOMPARE(body.isEmpty(), fields.isEmpty());
        QCOMPARE(chart.startsWith("HTTP/1.1 200 "), !fields.isEmpty());
        if (fields.isEmpty())
            return;
        const FuturesQuote quote = readQuote(decodeWindows1252(body), {});
        QCOMPARE(QStringList(quote.fields.begin(), quote.fields.end()).join(u'|'), fields);
        QVERIFY(quote.rising);
        QVERIFY2(chart.contains("\"sample\":false") && chart.contains("\"points\":[["), chart.constData());
    }

    void keepsTheLastGoodNews_data() {
        QTest::addColumn<TestHttpServer::Reply>("failure"); // status 0: the feed's server is gone
        QTest::addColumn<FeedFailure::Kind>("kind");
        QTest::addColumn<int>("status");

        using Kind = FeedFailure::Kind;
        using Reply = TestHttpServer::Reply;
        const QByteArray rss = dataFile("rss2.xml");
        QTest::newRow("server error") << Reply{500, "Errore"} << Kind::HttpStatus << 500;
        // The items before the break are not served either.
        QTest::newRow("cut off") << Reply{200, rss.left(rss.indexOf("<title>Ieri"))} << Kind::NotWellFormed << 45;
        QTest::newRow("only Atom entries in RSS")
            << Reply{200, "<rss version=\"2.0\"><channel><entry><title>No</title></entry></channel></rss>"}
            << Kind::NoItems << 0;
        // Titles in a script the bar cannot show.
        QTest::newRow("nothing to show")
            << Reply{200, "<rss version=\"2.0\"><channel><item><title>\xE5\xA4\xA9\xE6\xB0\x94</title></item>"
                          "</channel></rss>"}
            << Kind::NothingToShow << 0;
        QTest::newRow("too large") << Reply{200, rss.leftJustified(9 * 1024 * 1024, ' ')} << Kind::TooLarge << 0;
        QTest::newRow("no answer") << Reply{200, {}, TestHttpServer::Delivery::Silent} << Kind::TimedOut << 0;
        QTest::newRow("server gone") << Reply{0, {}} << Kind::Unreachable << 0;
    }

    void keepsTheLastGoodNews() {
        QFETCH(TestHttpServer::Reply, failure);
        QFETCH(FeedFailure::Kind, kind);
        QFETCH(int, status);

        RelayedService s({200, dataFile("rss2.xml")});
        QVERIFY(s.listening);
        QSignalSpy updated(&s.relay, &FeedRelay::updated);
        QSignalSpy failed(&s.relay, &FeedRelay::failed);
        QTRY_COMPARE(updated.size(), 1);
        QCOMPARE(updated.at(0).at(0).toInt(), 7);
        const QByteArray headlines = fetch(headlinePageUrl(s.hosts));
        const QUrl detailUrl = detailPageUrl(s.hosts, readHeadlines(decodeWindows1252(headlines), {}, {}).links[0]);
        const QByteArray detail = fetch(detailUrl);
        QVERIFY(detail.contains("Apertura positiva"));

        if (failure.status == 0)
            s.feedServer.reset();
        else
            s.feedServer->setReply("/rss.xml", failure);
        s.relay.readNow();
        QTRY_COMPARE(failed.size(), 1);
        const auto reported = failed.at(0).at(0).value<FeedFailure>();
        QCOMPARE(reported.kind, kind);
        if (kind == FeedFailure::Kind::NotWellFormed)
            QVERIFY2(reported.detail.startsWith(u"line %1, column "_s.arg(status)), qPrintable(reported.detail));
        else
            QCOMPARE(reported.status, status);
        QCOMPARE(updated.size(), 1);
        QCOMPARE(fetch(headlinePageUrl(s.hosts)), headlines);
        QCOMPARE(fetch(detailUrl), detail);
    }

    // The first feed, asked again only "if changed"; the second when the first fails; the
    // marked sample news while neither has been read, and still open once a feed is; back to
    // the first when it recovers.
    void fallsBackAndRecovers() {
        using Reply = TestHttpServer::Reply;
        TestHttpServer first, second;
        LocalService service;
        QVERIFY(service.start(QHostAddress::LocalHost, 0));
        const ServiceHosts hosts = hostsOf(service);
        const QUrl firstUrl(u"http://"_s + first.host() + u"/rss101.xml"_s);
        FeedRelay relay({firstUrl, QUrl(u"http://"_s + second.host() + u"/tutti"_s)}, std::chrono::hours(1),
                        service.newsPublisher());
        relay.setLimits({std::chrono::milliseconds(500), 8 * 1024 * 1024, 5});
        holdAnswersForFirstReading(service, relay, relay.limits().timeout);
        QSignalSpy finished(&relay, &FeedRelay::readingFinished);
        QSignalSpy unchanged(&relay, &FeedRelay::unchanged);
        const auto reading = [&](const Reply& one, const Reply& two) {
            first.setReply("/rss101.xml", one);
            second.setReply("/tutti", two);
            const auto before = finished.size();
            relay.readNow();
            return QTest::qWaitFor([&] { return finished.size() == before + 1; }, 10000);
        };
        const Reply rss{200, dataFile("rss2.xml"), TestHttpServer::Delivery::Whole, "\"v1\""};
        const Reply atom{200, dataFile("atom.xml")};
        const Reply broken{500, "Errore"};

        // A bar started with the service asks for headlines before the feed is read: the
        // request waits for the first reading, and gets the sample news when it fails.
        first.setReply("/rss101.xml", {200, {}, TestHttpServer::Delivery::Silent});
        second.setReply("/tutti", {200, {}, TestHttpServer::Delivery::Silent});
        relay.start();
        std::unique_ptr<QNetworkReply> early(m_network.get(QNetworkRequest(headlinePageUrl(hosts))));
        QTest::qWait(200);
        QVERIFY(!early->isFinished());
        QTRY_VERIFY(early->isFinished());
        QCOMPARE(early->readAll(), SiteContent().headlinePage());
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(fetch(headlinePageUrl(hosts)).contains("18.40&nbsp;[Esempio] Borse europee"));
        // Every sample headline and every text it opens is marked as an example.
        const HeadlineBatch sample = readHeadlines(decodeWindows1252(fetch(headlinePageUrl(hosts))), {}, {});
        for (int slot = 0; slot < HeadlineCount; ++slot) {
            QVERIFY2(sample.captions[slot].contains(u" - [Esempio] "), qPrintable(sample.captions[slot]));
            const QString text = readDetail(decodeWindows1252(fetch(detailPageUrl(hosts, sample.links[slot]))));
            QVERIFY2(text.startsWith(u"[Esempio] "), qPrintable(text));
        }
        const QByteArray home =
            "GET " + newsHomeUrl(hosts).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + " HTTP/1.1";
        QVERIFY(rawAnswer(home, service.port()).startsWith("HTTP/1.1 200 "));

        QVERIFY(reading(rss, broken));
        const QByteArray firstPage = fetch(headlinePageUrl(hosts));
        QVERIFY(firstPage.contains("Wall Street apre in rialzo"));
        QCOMPARE(relay.servedFeed(), firstUrl);
        QVERIFY(!fetch(detailPageUrl(hosts, sample.links[0])).isEmpty()); // read by the bar before
        // The home page leads to the feed's own site.
        const QByteArray redirect = rawAnswer(home, service.port());
        QVERIFY2(redirect.startsWith("HTTP/1.1 302 ") &&
                     redirect.contains("\r\nLocation: https://notizie.example.org/\r\n"),
                 redirect.constData());

        // Unchanged: a conditional request, answered 304, and nothing read or replaced.
        for (int i = 0; i < 3; ++i)
            QVERIFY(reading(rss, broken));
        QCOMPARE(unchanged.size(), 3);
        QVERIFY(first.requests().constLast().contains("\r\nIf-None-Match: \"v1\"\r\n"));
        QCOMPARE(fetch(headlinePageUrl(hosts)), firstPage);

        QVERIFY(reading(broken, atom));
        QVERIFY(fetch(headlinePageUrl(hosts)).contains("Biblioteca civica, nuovi orari"));
        QVERIFY(reading(broken, broken)); // the last good reading stays
        QVERIFY(fetch(headlinePageUrl(hosts)).contains("Biblioteca civica, nuovi orari"));

        // Back to the first feed: asked whole, as its last copy is no longer served.
        QVERIFY(reading(rss, atom));
        QVERIFY(!first.requests().constLast().contains("If-None-Match"));
        QCOMPARE(fetch(headlinePageUrl(hosts)), firstPage);
        QCOMPARE(unchanged.size(), 3);
    }

private:
    // The body of a page; empty unless it came with status 200.
    QByteArray fetch(const QUrl& url) {
        std::unique_ptr<QNetworkReply> reply(m_network.get(QNetworkRequest(url)));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 10000) || reply->error() != QNetworkReply::NoError)
            return {};
        return reply->readAll();
    }

    // The answer to `requestLine` sent as it is: head and body, or what came before the
    // service closed the connection.
    QByteArray rawAnswer(const QByteArray& requestLine, quint16 port = 0) {
        static const QRegularExpression length(u"\\r\\ncontent-length: *(\\d+)"_s,
                                               QRegularExpression::CaseInsensitiveOption);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port ? port : m_service.port());
        socket.write(requestLine + "\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray answer;
        static_cast<void>(QTest::qWaitFor(
            [&] {
                answer += socket.readAll();
                const qsizetype headEnd = answer.indexOf("\r\n\r\n");
                const QRegularExpressionMatch match = length.match(QString::fromLatin1(answer.left(headEnd)));
                return (headEnd > 0 && match.hasMatch() && answer.size() >= headEnd + 4 + match.captured(1).toInt()) ||
                       socket.state() == QAbstractSocket::UnconnectedState;
            },
            5000));
        return answer;
    }

    LocalService m_service; // with its sample news
    ServiceHosts m_hosts;
    QNetworkAccessManager m_network;
};

QTEST_MAIN(TestLocalService)
#include "tst_localservice.moc"
