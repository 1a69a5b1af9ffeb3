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
#include <QTimer>

#include <array>
#include <memory>

#ifdef Q_OS_LINUX
#include <QDir>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

ServiceHosts hostsOf(const LocalService& service) { return sameHost(u"127.0.0.1:%1"_s.arg(service.port())); }

// A service relaying the feeds that loopback servers answer at /rss.xml, the second only
// when the first fails: read at the relay's start, and afterwards only when a test asks.
struct RelayedService {
    explicit RelayedService(qsizetype feeds)
        : relay(QList<QUrl>{feedUrl(*servers[0]), feedUrl(*servers[1])}.first(feeds), std::chrono::hours(1),
                service.newsPublisher()) {
        relay.setLimits({500ms, 8 * 1024 * 1024, 5});
        holdAnswersForFirstReading(service, relay, relay.limits().timeout);
    }
    static QUrl feedUrl(const TestHttpServer& server) { return QUrl(u"http://"_s + server.host() + u"/rss.xml"_s); }
    std::array<std::unique_ptr<TestHttpServer>, 2> servers{std::make_unique<TestHttpServer>(),
                                                           std::make_unique<TestHttpServer>()};
    LocalService service;
    bool listening = service.start(QHostAddress::LocalHost, 0);
    ServiceHosts hosts = hostsOf(service);
    FeedRelay relay;
};

// The statuses of the answers in `received`, in order.
QList<int> statusesIn(const QByteArray& received) {
    QList<int> statuses;
    for (qsizetype at = received.indexOf("HTTP/1.1 "); at >= 0; at = received.indexOf("HTTP/1.1 ", at + 1))
        statuses.append(received.mid(at + 9, 3).toInt());
    return statuses;
}

} // namespace

// The service over loopback HTTP, asked with the bar's own URLs and read with its readers
// or by the bar itself, and by the clients a web server meets on an open network.
class TestLocalService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Limits on time shortened, that the hostile clients meet them soon.
        m_service.setConnectionLimits({.headTimeout = 300ms, .lingerTime = 500ms, .maxBufferedAnswers = 64 * 1024});
        QVERIFY2(m_service.start(QHostAddress::LocalHost, 0), qPrintable(m_service.errorString()));
        m_hosts = hostsOf(m_service);
    }

    // Sent byte for byte: a client library would tidy some of these paths before sending them.
    void routes_data() {
        QTest::addColumn<QByteArray>("request"); // method and target
        QTest::addColumn<int>("status");
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

        TestHttpServer provider;
        provider.setDefaultReply(answer);
        LocalService service;
        QVERIFY(service.start(QHostAddress::LocalHost, 0));
        service.useQuoteProvider(QUrl(u"http://"_s + provider.host()));
        QSignalSpy answered(service.quoteSource(), &QuoteSource::answered);
        const QByteArray contract = fetch(futuresSymbolUrl(hostsOf(service)));
        QCOMPARE(provider.requestLines(), QList<QByteArray>());
        symbol.replace("CONTRACT", contract);
        const auto ask = [&](const QByteArray& target) {
            return rawAnswer("GET " + target + symbol + " HTTP/1.1", service.port());
        };
        const QByteArray page = ask("/qc/stocks/quotes.aspx?symbols=");
        QVERIFY2(page.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '), page.constData());
        if (status == 404) {
            QCOMPARE(provider.requestLines(), QList<QByteArray>());
            return;
        }
        QCOMPARE(answered.size(), 1);
        const QByteArray chart = ask("/livecharts/series.json?symbol=");
        QCOMPARE(provider.requestLines(),
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

        RelayedService s(1);
        QVERIFY(s.listening);
        s.servers[0]->setReply("/rss.xml", {200, dataFile("rss2.xml")});
        s.relay.start();
        QSignalSpy updated(&s.relay, &FeedRelay::updated);
        QSignalSpy failed(&s.relay, &FeedRelay::failed);
        QTRY_COMPARE(updated.size(), 1);
        QCOMPARE(updated.at(0).at(0).toInt(), 7);
        const QByteArray headlines = fetch(headlinePageUrl(s.hosts));
        const QUrl detailUrl = detailPageUrl(s.hosts, readHeadlines(decodeWindows1252(headlines), {}, {}).links[0]);
        const QByteArray detail = fetch(detailUrl);
        QVERIFY(detail.contains("Apertura positiva"));

        if (failure.status == 0)
            s.servers[0].reset();
        else
            s.servers[0]->setReply("/rss.xml", failure);
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
        RelayedService s(2);
        QVERIFY(s.listening);
        TestHttpServer &first = *s.servers[0], &second = *s.servers[1];
        QSignalSpy finished(&s.relay, &FeedRelay::readingFinished);
        QSignalSpy unchanged(&s.relay, &FeedRelay::unchanged);
        const auto reading = [&](const Reply& one, const Reply& two) {
            first.setReply("/rss.xml", one);
            second.setReply("/rss.xml", two);
            const auto before = finished.size();
            s.relay.readNow();
            return QTest::qWaitFor([&] { return finished.size() == before + 1; }, 10000);
        };
        const Reply rss{200, dataFile("rss2.xml"), TestHttpServer::Delivery::Whole, "\"v1\""};
        const Reply atom{200, dataFile("atom.xml")};
        const Reply broken{500, "Errore"};

        // A bar started with the service asks for headlines before the feed is read: the
        // request waits for the first reading, and gets the sample news when it fails.
        first.setReply("/rss.xml", {200, {}, TestHttpServer::Delivery::Silent});
        second.setReply("/rss.xml", {200, {}, TestHttpServer::Delivery::Silent});
        s.relay.start();
        std::unique_ptr<QNetworkReply> early(m_network.get(QNetworkRequest(headlinePageUrl(s.hosts))));
        QTest::qWait(200);
        QVERIFY(!early->isFinished());
        QTRY_VERIFY(early->isFinished());
        QCOMPARE(early->readAll(), SiteContent().headlinePage());
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(fetch(headlinePageUrl(s.hosts)).contains("18.40&nbsp;[Esempio] Borse europee"));
        // Every sample headline and every text it opens is marked as an example.
        const HeadlineBatch sample = readHeadlines(decodeWindows1252(fetch(headlinePageUrl(s.hosts))), {}, {});
        for (int slot = 0; slot < HeadlineCount; ++slot) {
            QVERIFY2(sample.captions[slot].contains(u" - [Esempio] "), qPrintable(sample.captions[slot]));
            const QString text = readDetail(decodeWindows1252(fetch(detailPageUrl(s.hosts, sample.links[slot]))));
            QVERIFY2(text.startsWith(u"[Esempio] "), qPrintable(text));
        }
        const QByteArray home =
            "GET " + newsHomeUrl(s.hosts).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + " HTTP/1.1";
        QVERIFY(rawAnswer(home, s.service.port()).startsWith("HTTP/1.1 200 "));

        QVERIFY(reading(rss, broken));
        const QByteArray firstPage = fetch(headlinePageUrl(s.hosts));
        QVERIFY(firstPage.contains("Wall Street apre in rialzo"));
        QCOMPARE(s.relay.servedFeed(), RelayedService::feedUrl(first));
        QVERIFY(!fetch(detailPageUrl(s.hosts, sample.links[0])).isEmpty()); // read by the bar before
        // The home page leads to the feed's own site.
        const QByteArray redirect = rawAnswer(home, s.service.port());
        QVERIFY2(redirect.startsWith("HTTP/1.1 302 ") &&
                     redirect.contains("\r\nLocation: https://notizie.example.org/\r\n"),
                 redirect.constData());

        // Unchanged: a conditional request, answered 304, and nothing read or replaced.
        for (int i = 0; i < 3; ++i)
            QVERIFY(reading(rss, broken));
        QCOMPARE(unchanged.size(), 3);
        QVERIFY(first.requests().constLast().contains("\r\nIf-None-Match: \"v1\"\r\n"));
        QCOMPARE(fetch(headlinePageUrl(s.hosts)), firstPage);

        QVERIFY(reading(broken, atom));
        QVERIFY(fetch(headlinePageUrl(s.hosts)).contains("Biblioteca civica, nuovi orari"));
        QVERIFY(reading(broken, broken)); // the last good reading stays
        QVERIFY(fetch(headlinePageUrl(s.hosts)).contains("Biblioteca civica, nuovi orari"));

        // Back to the first feed: asked whole, as its last copy is no longer served.
        QVERIFY(reading(rss, atom));
        QVERIFY(!first.requests().constLast().contains("If-None-Match"));
        QCOMPARE(fetch(headlinePageUrl(s.hosts)), firstPage);
        QCOMPARE(unchanged.size(), 3);
    }

    void answersEachAsAWebServerWould_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("pause"); // ms between the client's further bytes, -1 when it sends no more
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<bool>("closed");

        const int waits = -1, sendsForEver = 0, trickles = 20;
        const QByteArray get = "GET /notizietelevideo/ HTTP/1.1\r\n";
        const QByteArray next = "GET /altro HTTP/1.1\r\n\r\n"; // 404: the connection still serves
        QByteArray fields100;
        for (int i = 0; i < 100; ++i)
            fields100 += "X-Campo-" + QByteArray::number(i) + ": valore\r\n";

        QTest::newRow("long request line") << "GET /" + QByteArray(8200, 'a') + " HTTP/1.1\r\n\r\n"
                                           << waits << QList<int>{414} << true;
        QTest::newRow("endless request line") << QByteArray("GET /") << sendsForEver << QList<int>{414} << true;
        QTest::newRow("100 header fields") << get + fields100 + "\r\n" + next << waits << QList<int>{200, 404} << false;
        QTest::newRow("101 header fields") << get + fields100 + "X-Uno-Di-Troppo: a\r\n\r\n"
                                           << waits << QList<int>{431} << true;
        QTest::newRow("huge header field") << get + "X-Grande: " + QByteArray(40000, 'a') + "\r\n\r\n"
                                           << waits << QList<int>{431} << true;
        QTest::newRow("endless header field") << get + "X-Grande: " << sendsForEver << QList<int>{431} << true;
        QTest::newRow("endless body on GET") << get + "Content-Length: 100000000000\r\n\r\n"
                                             << sendsForEver << QList<int>{413} << true;
        QTest::newRow("chunked body on HEAD") << QByteArray("HEAD / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n")
                                              << sendsForEver << QList<int>{413} << true;
        QTest::newRow("empty body") << get + "Content-Length: 0\r\n\r\n" + next << waits << QList<int>{200, 404}
                                    << false;
        QTest::newRow("head never ends") << get + "Host: 127.0.0.1\r\n" << waits << QList<int>{408} << true;
        QTest::newRow("head trickles") << get + "X-Lento: " << trickles << QList<int>{408} << true;
        // The head of the page a GET gets, and no body: the next answer follows at once.
        QTest::newRow("HEAD") << QByteArray("HEAD /notizietelevideo/ HTTP/1.1\r\n\r\n") + next << waits
                              << QList<int>{200, 404} << false;
        QTest::newRow("If-None-Match: *")
            << get + "If-None-Match: *\r\n\r\n" + next << waits << QList<int>{304, 404} << false;
        QTest::newRow("HTTP/1.0 on a later request, LF only")
            << QByteArray("GET /notizietelevideo/ HTTP/1.1\nHost: a\n\nGET /notizietelevideo/ HTTP/1.0\nHost: a\n\n")
            << waits << QList<int>{200, 200} << true;
        QTest::newRow("HTTP/1.0, keep-alive") << QByteArray("GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n") + next
                                              << waits << QList<int>{200, 404} << false;
        QTest::newRow("keep-alive, close")
            << get + "Connection: keep-alive, close\r\n\r\n" + next << waits << QList<int>{200} << true;
    }
    void answersEachAsAWebServerWould() {
        QFETCH(QByteArray, sent);
        QFETCH(int, pause);
        QFETCH(QList<int>, statuses);
        QFETCH(bool, closed);

        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_service.port());
        socket.write(sent);
        QTimer sender; // without a pause, as fast as the service takes the bytes
        QObject::connect(&sender, &QTimer::timeout, &socket, [&] {
            if (socket.state() == QAbstractSocket::ConnectedState && socket.bytesToWrite() < 64 * 1024)
                socket.write(pause > 0 ? QByteArray("a") : QByteArray(64 * 1024, 'a'));
        });
        if (pause >= 0)
            sender.start(pause);
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT(
            (received += socket.isOpen() ? socket.readAll() : QByteArray(),
             closed ? socket.state() == QAbstractSocket::UnconnectedState
                    : statusesIn(received).size() == statuses.size() && received.endsWith("Pagina non trovata\n")),
            20000);
        QCOMPARE(statusesIn(received), statuses);
        if (statuses.first() >= 400 && statuses.first() != 404)
            QVERIFY2(received.contains("\r\nConnection: close\r\n"), received.constData());
        if (QTest::currentDataTag() == QByteArrayLiteral("HEAD"))
            QVERIFY2(received.contains("\r\n\r\nHTTP/1.1 404 "), received.constData());
        QCOMPARE(socket.state(), closed ? QAbstractSocket::UnconnectedState : QAbstractSocket::ConnectedState);
    }

    // A client that sends request after request and reads no answer: the service stops
    // reading it once the answers waiting for it pass the bound, and answers every request,
    // in order, as the client reads.
    void holdsBackAClientThatDoesNotRead() {
        constexpr int Requests = 4000;
        const QByteArray request = "GET /livecharts/livecharts.LiveChartsV3.js HTTP/1.1\r\n\r\n";
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_service.port());
        QVERIFY(socket.waitForConnected());
        socket.setReadBufferSize(64 * 1024);
        socket.write(request.repeated(Requests));
        QTRY_VERIFY_WITH_TIMEOUT(m_service.waitingAnswerBytes() > 64 * 1024, 20000);
        QTest::qWait(300);
        // The bound, and at most the one answer that passed it.
        QVERIFY2(m_service.waitingAnswerBytes() < 2 * 64 * 1024, QByteArray::number(m_service.waitingAnswerBytes()));

        socket.setReadBufferSize(0);
        qsizetype answers = 0;
        QByteArray tail;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                tail += socket.readAll();
                answers += tail.count("HTTP/1.1 200 OK");
                tail = tail.right(14); // too short to hold a whole status line again
                return answers == Requests;
            }(),
            60000);
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
    }

    // Clients waiting to be accepted while the process has run out of files: the service
    // stops accepting for a moment instead of trying again at once, and accepts them all
    // once files are free again.
    void acceptsAgainOnceFilesAreFree() {
#ifdef Q_OS_LINUX
        constexpr int Clients = 20;
        std::vector<std::unique_ptr<QTcpSocket>> clients;
        for (int i = 0; i < Clients; ++i) {
            clients.push_back(std::make_unique<QTcpSocket>());
            clients.back()->connectToHost(QHostAddress::LocalHost, m_service.port());
            // Only the client's own socket is waited for: the service has accepted none yet.
            QVERIFY(clients.back()->waitForConnected());
            clients.back()->write("GET /notizietelevideo/ HTTP/1.1\r\n\r\n");
            QVERIFY(clients.back()->waitForBytesWritten());
        }
        rlimit files{};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &files) == 0);
        const rlimit before = files;
        // Room for two more files: most clients find none when the service accepts them.
        files.rlim_cur = QDir(QStringLiteral("/proc/self/fd")).count() + 2;
        QVERIFY(setrlimit(RLIMIT_NOFILE, &files) == 0);
        QTest::qWait(200);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &before) == 0);
        const auto answered = [&] {
            return std::count_if(clients.cbegin(), clients.cend(),
                                 [](const auto& client) { return client->peek(12) == "HTTP/1.1 200"; });
        };
        QVERIFY2(answered() < Clients, "every client was accepted while files were short");
        QTRY_COMPARE_WITH_TIMEOUT(answered(), Clients, 10000);
#else
        QSKIP("The open-file limit is set here on Linux only");
#endif
    }

private:
    // The body of a page; empty unless it came with status 200.
    QByteArray fetch(const QUrl& url) {
        std::unique_ptr<QNetworkReply> reply(m_network.get(QNetworkRequest(url)));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 10000) || reply->error() != QNetworkReply::NoError)
            return {};
        return reply->readAll();
    }

    // The answer to `requestLine` sent as it is, up to the service's closing the connection.
    QByteArray rawAnswer(const QByteArray& requestLine, quint16 port = 0) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port ? port : m_service.port());
        socket.write(requestLine + "\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
        QByteArray answer;
        static_cast<void>(QTest::qWaitFor(
            [&] { return (answer += socket.readAll(), socket.state() == QAbstractSocket::UnconnectedState); }, 5000));
        return answer;
    }

    LocalService m_service; // with its sample news
    ServiceHosts m_hosts;
    QNetworkAccessManager m_network;
};

QTEST_MAIN(TestLocalService)
#include "tst_localservice.moc"
