#include "market/quotereader.h"
#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "service/localservice.h"
#include "ticker/servicehosts.h"
#include "ticker/windows1252.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>

#include <memory>

// Starts the service in-process on a free port and reads its pages with the ticker's own
// URL builders and readers.
class TestLocalService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void headlines_data();
    void headlines();
    void details_data();
    void details();
    void routes_data();
    void routes();
    void rawRequests_data();
    void rawRequests();
    void quotes_data();
    void quotes();
    void survivesOversizedRequest();

private:
    struct Fetched {
        int status = 0;
        QByteArray contentType;
        QByteArray body;
    };
    // Status 0 when no answer came.
    Fetched fetch(const QUrl& url);
    // The status code of the answer to `requestLine` sent as it is; 0 when none came.
    int rawStatus(const QByteArray& requestLine);
    static void addNewsColumns();

    LocalService m_service;
    ServiceHosts m_hosts;
    QNetworkAccessManager m_network;
};

void TestLocalService::initTestCase() {
    QVERIFY2(m_service.start(QHostAddress::LocalHost, 0), qPrintable(m_service.errorString()));
    QVERIFY(m_service.port() != 0);
    const QString host = QStringLiteral("127.0.0.1:") + QString::number(m_service.port());
    m_hosts = ServiceHosts{host, host, host, host, host, host};
}

TestLocalService::Fetched TestLocalService::fetch(const QUrl& url) {
    std::unique_ptr<QNetworkReply> reply(m_network.get(QNetworkRequest(url)));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 10000))
        return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->readAll()};
}

int TestLocalService::rawStatus(const QByteArray& requestLine) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_service.port());
    if (!socket.waitForConnected(5000))
        return 0;
    socket.write(requestLine + "\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\n\r\n");
    if (!QTest::qWaitFor([&] { return socket.canReadLine(); }, 10000))
        return 0;
    const QList<QByteArray> statusLine = socket.readLine().split(' ');
    return statusLine.value(1).toInt();
}

// The first five records of the headline page, newest first. The ticker reads the page as
// Windows-1252 and repairs the accents; U+00E0 (a grave) keeps the no-break space that is
// the second byte of its UTF-8 form. The third title ends in a tab, which the ticker drops.
void TestLocalService::addNewsColumns() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("text");

    QTest::newRow("economy") << 0
        << QStringLiteral("  18:40 - Borse europee in rialzo, pi\u00F9 forti i titoli dell'energia  ")
        << QStringLiteral("/notizie/2026/12/06/mercati.html")
        << QStringLiteral("Le principali borse europee chiudono la settimana in rialzo, con Milano che guadagna "
                          "l'1,8% e Francoforte l'1,2%. Pi\u00F9 forti della media i titoli dell'energia, mentre "
                          "il settore bancario \u00E8 stabile. Gli analisti per\u00F2 invitano alla prudenza in "
                          "vista delle decisioni sui tassi attese per gioved\u00EC.");
    QTest::newRow("weather") << 1
        << QStringLiteral("  17:15 - Neve sulle Alpi e piogge al Sud, ma luned\u00EC le scuole restano aperte  ")
        << QStringLiteral("/notizie/2026/12/06/meteo.html")
        << QStringLiteral("Una perturbazione atlantica porter\u00E0\u00A0 da stasera neve sulle Alpi oltre i 1.200 "
                          "metri e piogge intense su Calabria e Sicilia. Luned\u00EC le scuole resteranno aperte "
                          "ovunque, salvo diverse decisioni dei sindaci.");
    QTest::newRow("sport") << 2
        << QStringLiteral("  16:02 - Calcio, il derby finisce in parit\u00E0\u00A0: si torna in campo mercoled\u00EC  ")
        << QStringLiteral("/notizie/2026/12/06/calcio.html")
        << QStringLiteral("Il derby della Mole finisce 1-1: al vantaggio dei granata, arrivato dopo appena sei "
                          "minuti, ha risposto nella ripresa un colpo di testa su calcio d'angolo. Si torna in campo "
                          "gi\u00E0\u00A0 mercoled\u00EC per il turno infrasettimanale.");
    QTest::newRow("transport") << 3
        << QStringLiteral("  14:05 - Treni, perch\u00E9 l'orario invernale porta pi\u00F9 corse sulla costa ligure  ")
        << QStringLiteral("/notizie/2026/12/06/treni.html")
        << QStringLiteral("Entra in vigore oggi l'orario invernale: tra Genova e La Spezia ci saranno 14 corse "
                          "regionali in pi\u00F9 al giorno, perch\u00E9 la linea costiera \u00E8 tornata a doppio "
                          "binario. La novit\u00E0\u00A0 pi\u00F9 attesa riguarda i pendolari, con un treno ogni "
                          "mezz'ora nelle ore di punta e un viaggio pi\u00F9 breve di circa 2,5 minuti.");
    QTest::newRow("culture") << 4
        << QStringLiteral("  12:30 - Riapre il museo archeologico: si pu\u00F2 gi\u00E0\u00A0 visitare la sala dei mosaici  ")
        << QStringLiteral("/notizie/2026/12/06/museo.html")
        << QStringLiteral("Dopo tre anni di lavori riapre il museo archeologico della citt\u00E0\u00A0, con un "
                          "percorso dedicato ai pi\u00F9 piccoli. La sala dei mosaici, restaurata pezzo per pezzo, "
                          "si pu\u00F2 visitare gi\u00E0\u00A0 da oggi con una guida.");
}

void TestLocalService::headlines_data() { addNewsColumns(); }

void TestLocalService::headlines() {
    QFETCH(int, slot);
    QFETCH(QString, caption);
    QFETCH(QString, link);

    const Fetched page = fetch(headlinePageUrl(m_hosts));
    QCOMPARE(page.status, 200);
    QCOMPARE(page.contentType, QByteArray("text/html; charset=utf-8"));
    const HeadlineBatch batch = readHeadlines(decodeWindows1252(page.body), HeadlineLinks{}, QStringLiteral("12:00"));
    QCOMPARE(batch.captions.at(slot), caption);
    QCOMPARE(batch.links.at(slot), link);
}

void TestLocalService::details_data() { addNewsColumns(); }

void TestLocalService::details() {
    QFETCH(QString, link);
    QFETCH(QString, text);

    const Fetched page = fetch(detailPageUrl(m_hosts, link));
    QCOMPARE(page.status, 200);
    QCOMPARE(page.contentType, QByteArray("text/html; charset=utf-8"));
    QCOMPARE(readDetail(decodeWindows1252(page.body)), text);
}

void TestLocalService::routes_data() {
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("bodyPart"); // the whole body when the content type is plain text

    const QByteArray html = "text/html; charset=utf-8";
    const QByteArray text = "text/plain; charset=utf-8";
    const auto path = [this](const char* p) { return QUrl(QStringLiteral("http://") + m_hosts.news + QString::fromUtf8(p)); };
    QTest::newRow("futures symbol") << futuresSymbolUrl(m_hosts) << 200 << text << QByteArray("NQZ26");
    QTest::newRow("news home") << newsHomeUrl(m_hosts) << 200 << html << QByteArray("href=\"/notizietelevideo/\"");
    QTest::newRow("maker page") << makerPageUrl(m_hosts) << 200 << html << QByteArray("Zefirina \xC3\xA8");
    QTest::newRow("unknown path") << path("/borsa/") << 404 << text << QByteArray("Pagina non trovata\n");
    QTest::newRow("unknown item") << detailPageUrl(m_hosts, QStringLiteral("/notizie/2026/12/06/lotteria.html"))
                                  << 404 << text << QByteArray("Pagina non trovata\n");
    QTest::newRow("item source file") << path("/accessibile/notizie/2026/12/06/mercati.txt")
                                      << 404 << text << QByteArray("Pagina non trovata\n");
    QTest::newRow("resource path") << path("/accessibile/:/zefirina-service/home.html")
                                   << 404 << text << QByteArray("Pagina non trovata\n");
}

void TestLocalService::routes() {
    QFETCH(QUrl, url);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, bodyPart);

    const Fetched page = fetch(url);
    QCOMPARE(page.status, status);
    QCOMPARE(page.contentType, contentType);
    if (contentType.startsWith("text/plain"))
        QCOMPARE(page.body, bodyPart);
    else
        QVERIFY2(page.body.contains(bodyPart), page.body.constData());
}

// Sent byte for byte: a client library would tidy these paths before sending them.
void TestLocalService::rawRequests_data() {
    QTest::addColumn<QByteArray>("requestLine");
    QTest::addColumn<int>("status");

    QTest::newRow("dot segments") << QByteArray("GET /accessibile/../../etc/passwd HTTP/1.1") << 404;
    QTest::newRow("dot segments inside") << QByteArray("GET /accessibile/notizie/../../../../etc/passwd HTTP/1.1") << 404;
    QTest::newRow("encoded dots") << QByteArray("GET /accessibile/%2e%2e/%2e%2e/etc/passwd HTTP/1.1") << 404;
    QTest::newRow("absolute path") << QByteArray("GET /accessibile//etc/passwd HTTP/1.1") << 404;
    QTest::newRow("post") << QByteArray("POST /notizietelevideo/ HTTP/1.1") << 405;
    QTest::newRow("delete") << QByteArray("DELETE /browser/fut.txt HTTP/1.1") << 405;
    QTest::newRow("head") << QByteArray("HEAD / HTTP/1.1") << 405;
}

void TestLocalService::rawRequests() {
    QFETCH(QByteArray, requestLine);
    QFETCH(int, status);
    QCOMPARE(rawStatus(requestLine), status);
}

void TestLocalService::quotes_data() {
    QTest::addColumn<QString>("symbol");
    QTest::newRow("futures symbol") << QStringLiteral("NQZ26");
    QTest::newRow("markup") << QStringLiteral("<b>Open:</b>");
    QTest::newRow("oversized") << QString(20000, u'9');
}

// The served quote moves; what must hold is that the ticker reads a consistent quote.
void TestLocalService::quotes() {
    QFETCH(QString, symbol);

    const Fetched page = fetch(quotePageUrl(m_hosts, symbol));
    QCOMPARE(page.status, 200);
    QVERIFY(page.body.size() < 2000);
    const FuturesQuote quote = readQuote(decodeWindows1252(page.body), FuturesQuote{});
    const auto& fields = quote.fields;
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{1,2}:\\d\\d$")).match(fields[FuturesQuote::Time]).hasMatch(),
             qPrintable(fields[FuturesQuote::Time]));
    QCOMPARE(fields[FuturesQuote::Open], QStringLiteral("21000,00"));
    const double last = QString(fields[FuturesQuote::Last]).replace(u',', u'.').toDouble();
    QVERIFY2(last >= 19950.0 && last <= 22050.0, qPrintable(fields[FuturesQuote::Last]));
    QCOMPARE(quote.rising, last >= 21000.0);
    QVERIFY2(QRegularExpression(QStringLiteral("^[+-] \\d\\,\\d\\d %$")).match(fields[FuturesQuote::Change]).hasMatch(),
             qPrintable(fields[FuturesQuote::Change]));
}

void TestLocalService::survivesOversizedRequest() {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_service.port());
    QVERIFY(socket.waitForConnected(5000));
    socket.write("GET /qc/stocks/quotes.aspx?symbols=" + QByteArray(300000, 'A') + " HTTP/1.1\r\nHost: x\r\n\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(socket.bytesToWrite() == 0 || socket.state() != QAbstractSocket::ConnectedState, 10000);
    socket.abort();
    QCOMPARE(fetch(futuresSymbolUrl(m_hosts)).body, QByteArray("NQZ26"));
}

QTEST_GUILESS_MAIN(TestLocalService)
#include "tst_localservice.moc"
