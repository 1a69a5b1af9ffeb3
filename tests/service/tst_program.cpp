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
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome"); // "invalid", "help" or "ADDRESS PORT FEED REFRESH SWITCHES"

        const auto args = [](std::initializer_list<QStringView> list) {
            QStringList result{u"zefirina-service"_s};
            for (const QStringView arg : list)
                result.append(arg.toString());
            return result;
        };
        const auto run = [](const QString& listen, QStringView feed = u"-", int refresh = 180,
                            QStringView switches = u"-") {
            return u"%1 %2 %3 %4"_s.arg(listen, feed).arg(refresh).arg(switches);
        };
        const QString local = u"127.0.0.1 %1"_s.arg(ServiceCommandLine::DefaultPort);
        const QString file = QStringLiteral(DATA_DIR "/rss2.xml");
        const QString fileUrl = QUrl::fromLocalFile(file).toString();
        const QString invalid = u"invalid"_s;
        QTest::newRow("defaults") << args({}) << run(local);
        QTest::newRow("free port") << args({u"--port", u"0"}) << run(u"127.0.0.1 0"_s);
        QTest::newRow("IPv6") << args({u"--listen", u"::1"}) << run(u"::1 %1"_s.arg(ServiceCommandLine::DefaultPort));
        QTest::newRow("help") << args({u"--help"}) << u"help"_s;
        QTest::newRow("help-all") << args({u"--help-all"}) << u"help"_s;
        QTest::newRow("feed URL") << args({u"--feed", u"https://x.org/rss"}) << run(local, u"https://x.org/rss");
        QTest::newRow("file, shortest refresh")
            << args({u"--feed", file, u"--refresh", u"30"}) << run(local, fileUrl, 30);
        QTest::newRow("file URL, longest refresh")
            << args({u"--feed", fileUrl, u"--refresh", u"86400"}) << run(local, fileUrl, 86400);
        QTest::newRow("port too high") << args({u"--port", u"65536"}) << invalid;
        QTest::newRow("port with sign") << args({u"--port", u"+80"}) << invalid;
        QTest::newRow("host name") << args({u"--listen", u"localhost"}) << invalid;
        QTest::newRow("stray argument") << args({u"8089"}) << invalid;
        QTest::newRow("missing file") << args({u"--feed", file + u".old"_s}) << invalid;
        QTest::newRow("folder") << args({u"--feed", QStringLiteral(DATA_DIR)}) << invalid;
        QTest::newRow("other scheme") << args({u"--feed", u"ftp://x.org/rss"}) << invalid;
        QTest::newRow("no host") << args({u"--feed", u"http:///rss"}) << invalid;
        QTest::newRow("refresh too short") << args({u"--feed", file, u"--refresh", u"29"}) << invalid;
        QTest::newRow("refresh too long") << args({u"--feed", file, u"--refresh", u"86401"}) << invalid;
        QTest::newRow("refresh with unit") << args({u"--feed", file, u"--refresh", u"5m"}) << invalid;
        QTest::newRow("refresh of the default feeds") << args({u"--refresh", u"60"}) << run(local, u"-", 60);
        QTest::newRow("sample") << args({u"--sample"}) << run(local, u"-", 180, u"sample");
        QTest::newRow("sample with a feed") << args({u"--sample", u"--feed", file}) << invalid;
        QTest::newRow("sample with refresh") << args({u"--sample", u"--refresh", u"60"}) << invalid;
        QTest::newRow("started by the bar")
            << args({u"--port", u"0", u"--exit-with-stdin"}) << run(u"127.0.0.1 0"_s, u"-", 180, u"stdin");
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, outcome);

        using Outcome = ServiceCommandLine::Outcome;
        ServiceCommandLine line;
        const Outcome parsed = line.parse(arguments);
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
