#include "market/quotereader.h"
#include "service/easternclock.h"
#include "service/pricewalk.h"
#include "service/quotepage.h"
#include "service/servicecommandline.h"
#include "ticker/windows1252.h"

#include <QTest>

#include <algorithm>
#include <cmath>

class TestServicePages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void quoteReadsBack_data();
    void quoteReadsBack();
    void quoteTitleEscapesSymbol_data();
    void quoteTitleEscapesSymbol();
    void easternClock_data();
    void easternClock();
    void priceWalkStaysInBounds_data();
    void priceWalkStaysInBounds();
    void commandLine_data();
    void commandLine();
    void feedCommandLine_data();
    void feedCommandLine();
};

void TestServicePages::quoteReadsBack_data() {
    QTest::addColumn<QString>("clock");
    QTest::addColumn<double>("last");
    QTest::addColumn<double>("open");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QStringList>("fields"); // time, last, change, open as the ticker shows them
    QTest::addColumn<bool>("rising");

    const QString nq = QStringLiteral("NQZ26");
    const auto fields = [](const char* time, const char* last, const char* change, const char* open) {
        return QStringList{QString::fromLatin1(time), QString::fromLatin1(last), QString::fromLatin1(change),
                           QString::fromLatin1(open)};
    };
    QTest::newRow("close, rising") << QStringLiteral("4:00pm") << 21034.25 << 21000.0 << nq
                                   << fields("16:00", "21034,25", "+ 0,16 %", "21000,00") << true;
    QTest::newRow("morning, falling") << QStringLiteral("9:30am") << 20958.50 << 21000.0 << nq
                                      << fields("9:30", "20958,50", "- 0,20 %", "21000,00") << false;
    QTest::newRow("after midnight, unchanged") << QStringLiteral("12:05am") << 21000.0 << 21000.0 << nq
                                               << fields("00:05", "21000,00", "+ 0,00 %", "21000,00") << true;
    QTest::newRow("late evening, four-digit price") << QStringLiteral("11:59pm") << 9999.75 << 10000.0 << nq
                                                    << fields("23:59", "9999,75", "- 0,00 %", "10000,00") << false;
    QTest::newRow("symbol spelling the markers")
        << QStringLiteral("12:30pm") << 21042.0 << 21000.0
        << QStringLiteral("Open: Last price: Shows primary price ET</abbr><br /></span>")
        << fields("12:30", "21042,00", "+ 0,20 %", "21000,00") << true;
}

void TestServicePages::quoteReadsBack() {
    QFETCH(QString, clock);
    QFETCH(double, last);
    QFETCH(double, open);
    QFETCH(QString, symbol);
    QFETCH(QStringList, fields);
    QFETCH(bool, rising);

    const QByteArray page = renderQuotePage(clock, last, open, symbol);
    const FuturesQuote quote = readQuote(decodeWindows1252(page), FuturesQuote{});
    QCOMPARE(quote.fields[FuturesQuote::Time], fields.at(0));
    QCOMPARE(quote.fields[FuturesQuote::Last], fields.at(1));
    QCOMPARE(quote.fields[FuturesQuote::Change], fields.at(2));
    QCOMPARE(quote.fields[FuturesQuote::Open], fields.at(3));
    QCOMPARE(quote.rising, rising);
}

void TestServicePages::quoteTitleEscapesSymbol_data() {
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QByteArray>("title");

    QTest::newRow("markup") << QStringLiteral("<script>") << QByteArray("<title>&#60;script&#62; - ");
    QTest::newRow("quote and ampersand") << QStringLiteral("a&b\"c") << QByteArray("<title>a&#38;b&#34;c - ");
    QTest::newRow("outside ASCII") << QStringLiteral("\u20AC\U0001F600") << QByteArray("<title>&#8364;&#128512; - ");
}

void TestServicePages::quoteTitleEscapesSymbol() {
    QFETCH(QString, symbol);
    QFETCH(QByteArray, title);

    const QByteArray page = renderQuotePage(u"4:00pm", 21000.0, 21000.0, symbol);
    QVERIFY2(page.contains(title), page.constData());
    QVERIFY(std::all_of(page.cbegin(), page.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

void TestServicePages::easternClock_data() {
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<QString>("clock");

    const auto utc = [](int month, int day, int hour, int minute) {
        return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC);
    };
    QTest::newRow("winter close") << utc(12, 4, 21, 0) << QStringLiteral("4:00pm");
    QTest::newRow("summer close") << utc(7, 1, 20, 0) << QStringLiteral("4:00pm");
    QTest::newRow("opening bell") << utc(12, 4, 14, 30) << QStringLiteral("9:30am");
    QTest::newRow("after midnight") << utc(12, 5, 5, 5) << QStringLiteral("12:05am");
    QTest::newRow("after noon") << utc(12, 4, 17, 30) << QStringLiteral("12:30pm");
    QTest::newRow("late evening") << utc(12, 5, 4, 59) << QStringLiteral("11:59pm");
}

void TestServicePages::easternClock() {
    QFETCH(QDateTime, instant);
    QFETCH(QString, clock);
    QCOMPARE(easternClockText(instant), clock);
}

void TestServicePages::priceWalkStaysInBounds_data() {
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 1") << 1u;
    QTest::newRow("seed 2026") << 2026u;
    QTest::newRow("seed 0xdeadbeef") << 0xdeadbeefu;
}

void TestServicePages::priceWalkStaysInBounds() {
    QFETCH(quint32, seed);
    PriceWalk walk(21000.0, seed);
    int rises = 0, falls = 0;
    for (int i = 0; i < 20000; ++i) {
        const double before = walk.last();
        const double after = walk.step();
        QVERIFY2(std::abs(after - before) <= before * PriceWalk::MaxStep, qPrintable(QString::number(i)));
        QVERIFY(std::abs(after - walk.open()) <= walk.open() * PriceWalk::Band);
        QCOMPARE(std::fmod(after, PriceWalk::Tick), 0.0);
        rises += after > before;
        falls += after < before;
    }
    QVERIFY(rises > 1000);
    QVERIFY(falls > 1000);
}

void TestServicePages::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<ServiceCommandLine::Outcome>("outcome");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("address");

    using Outcome = ServiceCommandLine::Outcome;
    const int defaultPort = ServiceCommandLine::DefaultPort;
    const QString loopback = QStringLiteral("127.0.0.1");
    const auto args = [](std::initializer_list<const char*> list) {
        QStringList result{QStringLiteral("zefirina-service")};
        for (const char* arg : list)
            result.append(QString::fromUtf8(arg));
        return result;
    };
    QTest::newRow("defaults") << args({}) << Outcome::Run << defaultPort << loopback;
    QTest::newRow("free port") << args({"--port", "0"}) << Outcome::Run << 0 << loopback;
    QTest::newRow("IPv6") << args({"--listen", "::1"}) << Outcome::Run << defaultPort << QStringLiteral("::1");
    QTest::newRow("help") << args({"--help"}) << Outcome::ShowHelp << defaultPort << loopback;
    QTest::newRow("port too high") << args({"--port", "65536"}) << Outcome::Invalid << defaultPort << loopback;
    QTest::newRow("negative port") << args({"--port=-1"}) << Outcome::Invalid << defaultPort << loopback;
    QTest::newRow("port with sign") << args({"--port", "+80"}) << Outcome::Invalid << defaultPort << loopback;
    QTest::newRow("port missing") << args({"--port"}) << Outcome::Invalid << defaultPort << loopback;
    QTest::newRow("host name") << args({"--listen", "localhost"}) << Outcome::Invalid << defaultPort << loopback;
    QTest::newRow("unknown option") << args({"--verbose"}) << Outcome::Invalid << defaultPort << loopback;
    QTest::newRow("stray argument") << args({"8089"}) << Outcome::Invalid << defaultPort << loopback;
}

void TestServicePages::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(ServiceCommandLine::Outcome, outcome);
    QFETCH(int, port);
    QFETCH(QString, address);

    ServiceCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments), outcome);
    QCOMPARE(commandLine.errorText().isEmpty(), outcome != ServiceCommandLine::Outcome::Invalid);
    if (outcome == ServiceCommandLine::Outcome::Run) {
        QCOMPARE(commandLine.port(), port);
        QCOMPARE(commandLine.address(), QHostAddress(address));
    }
}

void TestServicePages::feedCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<ServiceCommandLine::Outcome>("outcome");
    QTest::addColumn<QUrl>("feed"); // empty for none
    QTest::addColumn<int>("refresh");

    using Outcome = ServiceCommandLine::Outcome;
    const auto args = [](std::initializer_list<QString> list) {
        return QStringList{QStringLiteral("zefirina-service")} + QStringList(list);
    };
    const QString file = QStringLiteral(DATA_DIR "/rss2.xml");
    const QUrl fileUrl = QUrl::fromLocalFile(file);
    const QString feedOption = QStringLiteral("--feed");
    const QString refreshOption = QStringLiteral("--refresh");
    const QUrl none;
    QTest::newRow("sample news") << args({}) << Outcome::Run << none << 300;
    QTest::newRow("URL") << args({feedOption, QStringLiteral("https://example.org/rss.xml")}) << Outcome::Run
                         << QUrl(QStringLiteral("https://example.org/rss.xml")) << 300;
    QTest::newRow("file, refresh") << args({feedOption, file, refreshOption, QStringLiteral("60")}) << Outcome::Run
                                   << fileUrl << 60;
    QTest::newRow("file URL") << args({feedOption, fileUrl.toString()}) << Outcome::Run << fileUrl << 300;
    QTest::newRow("missing file") << args({feedOption, file + QStringLiteral(".old")}) << Outcome::Invalid << none << 0;
    QTest::newRow("folder") << args({feedOption, QStringLiteral(DATA_DIR)}) << Outcome::Invalid << none << 0;
    QTest::newRow("empty") << args({feedOption, QString()}) << Outcome::Invalid << none << 0;
    QTest::newRow("value missing") << args({feedOption}) << Outcome::Invalid << none << 0;
    QTest::newRow("other scheme") << args({feedOption, QStringLiteral("ftp://example.org/rss.xml")})
                                  << Outcome::Invalid << none << 0;
    QTest::newRow("no host") << args({feedOption, QStringLiteral("http:///rss.xml")}) << Outcome::Invalid << none << 0;
    QTest::newRow("refresh too short") << args({feedOption, file, refreshOption, QStringLiteral("29")})
                                       << Outcome::Invalid << none << 0;
    QTest::newRow("refresh too long") << args({feedOption, file, refreshOption, QStringLiteral("86401")})
                                      << Outcome::Invalid << none << 0;
    QTest::newRow("refresh with unit") << args({feedOption, file, refreshOption, QStringLiteral("5m")})
                                       << Outcome::Invalid << none << 0;
    QTest::newRow("refresh without feed") << args({refreshOption, QStringLiteral("60")}) << Outcome::Invalid << none << 0;
}

void TestServicePages::feedCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(ServiceCommandLine::Outcome, outcome);
    QFETCH(QUrl, feed);
    QFETCH(int, refresh);

    ServiceCommandLine commandLine;
    QCOMPARE(commandLine.parse(arguments), outcome);
    QCOMPARE(commandLine.errorText().isEmpty(), outcome == ServiceCommandLine::Outcome::Run);
    if (outcome == ServiceCommandLine::Outcome::Run) {
        QCOMPARE(commandLine.feed().value_or(QUrl()), feed);
        QCOMPARE(commandLine.refreshInterval().count(), refresh);
    }
}

QTEST_GUILESS_MAIN(TestServicePages)
#include "tst_servicepages.moc"
