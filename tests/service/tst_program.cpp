// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/quotesource.h"
#include "service/servicecommandline.h"
#include "service/servicelog.h"
#include "service/servicereports.h"

#include "datafile.h"
#include "testhttpserver.h"

#include <QSignalSpy>

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// A service log writing into two texts.
struct CapturedLog {
    QString out, err;
    QTextStream outStream{&out}, errStream{&err};
    ServiceLog log{outStream, errStream};
};
} // namespace

// The service as a program: its command line and its messages.
class TestProgram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandLine_data() {
        QTest::addColumn<QString>("arguments"); // DIR: the data folder
        QTest::addColumn<QString>("outcome");   // "invalid", "help" or "ADDRESS PORT FEED REFRESH SWITCHES"

        const auto run = [](const QString& listen, QStringView feed = u"-", int refresh = 180,
                            QStringView switches = u"-") {
            return u"%1 %2 %3 %4"_s.arg(listen, feed).arg(refresh).arg(switches);
        };
        const QString local = u"127.0.0.1 %1"_s.arg(ServiceCommandLine::DefaultPort);
        const QString fileUrl = QUrl::fromLocalFile(QStringLiteral(DATA_DIR "/rss2.xml")).toString();
        const QString invalid = u"invalid"_s;
        QTest::newRow("defaults") << QString() << run(local);
        QTest::newRow("IPv6") << u"--listen ::1"_s << run(u"::1 %1"_s.arg(ServiceCommandLine::DefaultPort));
        QTest::newRow("help") << u"--help"_s << u"help"_s;
        QTest::newRow("help-all") << u"--help-all"_s << u"help"_s;
        QTest::newRow("feed URL") << u"--feed https://x.org/rss"_s << run(local, u"https://x.org/rss");
        QTest::newRow("file, shortest refresh") << u"--feed DIR/rss2.xml --refresh 30"_s << run(local, fileUrl, 30);
        QTest::newRow("file URL, longest refresh")
            << u"--feed file://DIR/rss2.xml --refresh 86400"_s << run(local, fileUrl, 86400);
        QTest::newRow("port too high") << u"--port 65536"_s << invalid;
        QTest::newRow("port with sign") << u"--port +80"_s << invalid;
        QTest::newRow("host name") << u"--listen localhost"_s << invalid;
        QTest::newRow("stray argument") << u"8089"_s << invalid;
        QTest::newRow("missing file") << u"--feed DIR/rss2.xml.old"_s << invalid;
        QTest::newRow("folder") << u"--feed DIR"_s << invalid;
        QTest::newRow("other scheme") << u"--feed ftp://x.org/rss"_s << invalid;
        QTest::newRow("no host") << u"--feed http:///rss"_s << invalid;
        QTest::newRow("refresh too short") << u"--feed DIR/rss2.xml --refresh 29"_s << invalid;
        QTest::newRow("refresh too long") << u"--feed DIR/rss2.xml --refresh 86401"_s << invalid;
        QTest::newRow("refresh with unit") << u"--feed DIR/rss2.xml --refresh 5m"_s << invalid;
        QTest::newRow("refresh of the default feeds") << u"--refresh 60"_s << run(local, u"-", 60);
        QTest::newRow("sample") << u"--sample"_s << run(local, u"-", 180, u"sample");
        QTest::newRow("sample with a feed") << u"--sample --feed DIR/rss2.xml"_s << invalid;
        QTest::newRow("sample with refresh") << u"--sample --refresh 60"_s << invalid;
        QTest::newRow("started by the bar")
            << u"--port 0 --exit-with-stdin"_s << run(u"127.0.0.1 0"_s, u"-", 180, u"stdin");
    }

    void commandLine() {
        QFETCH(QString, arguments);
        QFETCH(QString, outcome);

        using Outcome = ServiceCommandLine::Outcome;
        ServiceCommandLine line;
        arguments.prepend(u"zefirina-service "_s).replace(u"DIR"_s, QStringLiteral(DATA_DIR));
        const Outcome parsed = line.parse(arguments.split(u' ', Qt::SkipEmptyParts));
        QCOMPARE(line.errorText().isEmpty(), parsed != Outcome::Invalid); // the user is told why
        if (parsed != Outcome::Run)
            QCOMPARE(parsed == Outcome::Invalid ? u"invalid"_s : u"help"_s, outcome);
        else
            QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(line.address().toString())
                         .arg(line.port())
                         .arg(line.feed() ? line.feed()->toString() : u"-"_s)
                         .arg(line.refreshInterval().count())
                         .arg(line.sample()          ? u"sample"_s
                              : line.exitWithStdin() ? u"stdin"_s
                                                     : u"-"_s),
                     outcome);
    }

    // A lasting condition is told when it begins and when it changes, not at every
    // request: each step is "topic|state|line|f" (f: a failure), separated by ";".
    void logTellsEachChangeOnce_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        const QString fails = u"quote NQZ26|HTTP 404|no quote: HTTP 404|f"_s;
        const QString works = u"quote NQZ26||quotes again|"_s;
        QTest::newRow("first success is not news") << works << QString() << QString();
        QTest::newRow("a failure repeated")
            << QStringList{fails, fails, fails}.join(u';') << QString() << u"zefirina-service: no quote: HTTP 404\n"_s;
        QTest::newRow("failure, recovery, failure")
            << QStringList{fails, works, works, fails}.join(u';') << u"zefirina-service: quotes again\n"_s
            << u"zefirina-service: no quote: HTTP 404\nzefirina-service: no quote: HTTP 404\n"_s;
        QTest::newRow("another kind of failure")
            << QStringList{fails, u"quote NQZ26|no JSON|no quote: no JSON|f"_s}.join(u';') << QString()
            << u"zefirina-service: no quote: HTTP 404\nzefirina-service: no quote: no JSON\n"_s;
        QTest::newRow("topics apart")
            << QStringList{fails, u"quote INDEX:INDU|HTTP 404|no Dow: HTTP 404|f"_s}.join(u';') << QString()
            << u"zefirina-service: no quote: HTTP 404\nzefirina-service: no Dow: HTTP 404\n"_s;
    }
    void logTellsEachChangeOnce() {
        QFETCH(QString, steps);
        QFETCH(QString, out);
        QFETCH(QString, err);
        CapturedLog captured;
        for (const QString& step : steps.split(u';')) {
            const QStringList part = step.split(u'|');
            captured.log.state(part[0], part[1], part[2], part[3] == u"f");
        }
        QCOMPARE(captured.out, out);
        QCOMPARE(captured.err, err);
    }

    // An answer whose format the service no longer understands stops the quotes: the
    // log says which symbol and why, in one line.
    void logsWhyTheProviderGaveNoQuote_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("err");
        QTest::newRow("answer changed")
            << 200 << dataFile("provider-missing.json")
            << u"zefirina-service: no quote of INDEX:COMPX from the provider: the answer has "
               "no last price\n"_s;
        QTest::newRow("status") << 404 << dataFile("provider-error.json")
                                << u"zefirina-service: no quote of INDEX:COMPX from the provider: HTTP 404\n"_s;
        QTest::newRow("good answer") << 200 << dataFile("provider-rising.json") << QString();
    }
    void logsWhyTheProviderGaveNoQuote() {
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        QFETCH(QString, err);
        TestHttpServer provider;
        provider.setDefaultReply({status, answer});
        QuoteSource source(QUrl(u"http://"_s + provider.host()));
        CapturedLog captured;
        reportQuotes(source, captured.log);
        QSignalSpy answered(&source, &QuoteSource::answered);
        static_cast<void>(source.quote(u"INDEX:COMPX"_s));
        QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, 15000);
        QCOMPARE(captured.err, err);
        QCOMPARE(captured.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
