// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "model/chartpage.h"
#include "model/chartpagefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPanels : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The symbol comes from the network and goes into an HTML attribute.
    void writesChartPage_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("futures") << u"NQZ26"_s << QByteArray("NQZ26");
        QTest::newRow("empty, before the symbol file is read") << QString() << QByteArray();
        QTest::newRow("line end and beyond ASCII") << u"NQZ26\u00E8\r\n"_s << QByteArray("NQZ26&#232;&#13;&#10;");
        QTest::newRow("quotes, angle brackets, ampersand")
            << u"NQ'Z\"26<b>&"_s << QByteArray("NQ&#39;Z&quot;26&lt;b&gt;&amp;");
    }
    void writesChartPage() {
        QFETCH(QString, symbol);
        QFETCH(QByteArray, value);
        QFile file(QStringLiteral(DATA_DIR "/chartpage_nqz26.htm"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray expected = file.readAll().replace("'NQZ26'", "'" + value + "'");
        const ServiceHosts hosts{u"news.example"_s,   u"quote.example:8080"_s, u"maker.example"_s,
                                 u"charts.example"_s, u"help.example"_s,       u"feed.example"_s};
        QCOMPARE(chartPageText(hosts, symbol), expected);
    }

    // The chart page is shown on the applet's host, and asks nothing of any other.
    void chartPageReachesOnlyItsHosts_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("the page's own address") << u"http://charts.example/livecharts/sito.htm"_s << true;
        QTest::newRow("applet over https") << u"https://charts.example/livecharts/x.js"_s << true;
        QTest::newRow("applet host, port 80 named") << u"http://charts.example:80/x.js"_s << true;
        QTest::newRow("applet host, another port") << u"http://charts.example:8080/x.js"_s << false;
        QTest::newRow("data on the local service") << u"http://127.0.0.1:8089/qc/day?s=NQZ26"_s << true;
        QTest::newRow("another loopback port") << u"http://127.0.0.1:631/"_s << false;
        QTest::newRow("the loopback, no port") << u"http://127.0.0.1/"_s << false;
        QTest::newRow("the service by another name") << u"http://localhost:8089/"_s << false;
        QTest::newRow("help host, only a link") << u"http://help.example/LycosHelp/"_s << false;
        QTest::newRow("host ending like the applet's") << u"http://evilcharts.example/"_s << false;
        QTest::newRow("user's file") << u"file:///etc/hostname"_s << false;
        QTest::newRow("web socket to the applet host") << u"ws://charts.example/"_s << false;
        QTest::newRow("page-made data") << u"data:text/plain,1"_s << true;
        QTest::newRow("page-made blob") << u"blob:http://charts.example/8f1e"_s << true;
    }
    void chartPageReachesOnlyItsHosts() {
        QFETCH(QString, url);
        QFETCH(bool, allowed);
        const ServiceHosts hosts{u"news.example"_s,   u"quote.example:8080"_s, u"maker.example"_s,
                                 u"charts.example"_s, u"help.example"_s,       u"127.0.0.1:8089"_s};
        QCOMPARE(chartPageMayRequest(hosts, QUrl(url)), allowed);
        QCOMPARE(chartPageAddress(hosts), QUrl(u"http://charts.example/livecharts/sito.htm"_s));
    }

    // Beside the program only in a build folder: an installed program run as root could
    // write into /usr/bin, and must not.
    void chartPageBesideTheProgramOnlyInTheBuildTree_data() {
        QTest::addColumn<QString>("marker"); // what the program's folder holds
        QTest::addColumn<bool>("beside");
        QTest::newRow("build folder") << u"CMakeFiles/"_s << true;
        QTest::newRow("installed, writable") << u""_s << false;
        QTest::newRow("a file named like the build's folder") << u"CMakeFiles"_s << false;
    }
    void chartPageBesideTheProgramOnlyInTheBuildTree() {
        QFETCH(QString, marker);
        QFETCH(bool, beside);
        QTemporaryDir program;
        if (marker.endsWith(u'/'))
            QVERIFY(QDir(program.path()).mkdir(marker));
        else if (!marker.isEmpty())
            QVERIFY(QFile(program.filePath(marker)).open(QIODevice::WriteOnly));
        QCOMPARE(ChartPageFile::buildTreeFolder(program.path()), beside ? program.path() : QString());
    }

    // An installed program usually cannot write beside itself: the page then goes to the
    // per-user folder, and the path written is the one deleted.
    void writesChartPageWhereItCan_data() {
        QTest::addColumn<bool>("programFolderWritable");
        QTest::addColumn<bool>("userFolderWritable");
        QTest::newRow("beside the program") << true << true;
        QTest::newRow("per-user folder") << false << true;
        QTest::newRow("nowhere") << false << false;
    }
    void writesChartPageWhereItCan() {
        QFETCH(bool, programFolderWritable);
        QFETCH(bool, userFolderWritable);
        QTemporaryDir root;
        QFile blocker(root.filePath(u"not-a-folder"_s)); // a folder cannot be made inside a file
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        const QString unwritable = blocker.fileName() + u"/sub"_s;
        const QString program = programFolderWritable ? root.filePath(u"program"_s) : unwritable;
        const QString user = userFolderWritable ? root.filePath(u"user"_s) : unwritable;
        ChartPageFile file(program, user);
        const auto path = file.write("  </applet>\r\n");
        QCOMPARE(path.has_value(), userFolderWritable);
        if (path) {
            QCOMPARE(QFileInfo(*path).absolutePath(), programFolderWritable ? program : user);
            QVERIFY(QFile::exists(*path));
        }
        QVERIFY(file.removalPending()); // a second later, written or not
        file.remove();                  // with nothing written, deletes nothing
        QVERIFY(!path || !QFile::exists(*path));
        QVERIFY(!file.removalPending());
    }
};

QTEST_GUILESS_MAIN(TestPanels)
#include "tst_panels.moc"
