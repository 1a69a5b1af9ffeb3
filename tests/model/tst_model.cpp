// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/windows1252.h"
#include "datafile.h"
#include "model/barlayout.h"
#include "model/chartpage.h"
#include "model/chartpagefile.h"
#include "model/promocaptions.h"
#include "model/tickerring.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr float Strip = 9477.f; // the strip of a bar on a 1024-pixel-wide screen
const ServiceHosts Hosts{u"news.example"_s,   u"quote.example:8080"_s, u"maker.example"_s,
                         u"charts.example"_s, u"help.example"_s,       u"127.0.0.1:8089"_s};

// Every slot far right of the strip, so that no slot pulls another.
TickerRing ringOutside() {
    TickerRing ring;
    for (int i = 0; i < TickerRing::SlotCount; ++i)
        ring.setLeft(i, 30000.f + 1000.f * static_cast<float>(i));
    return ring;
}
} // namespace

class TestModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ringScrollsInOrderWithoutGaps() {
        TickerRing ring; // slot 0 at the strip's left edge, the others end to end behind it
        const float widths[] = {3000, 2500, 2800, 2600, 2700, 1500, 1800};
        for (int i = 0; i < TickerRing::SlotCount; ++i)
            ring.setWidth(i, widths[i]);
        ring.layOutBehindFirst();
        for (int tick = 0; tick < 5000; ++tick) { // about three turns
            ring.tick(Strip, [] {});
            std::vector<int> shown; // slots with a part inside the strip, from left to right
            for (int i = 0; i < TickerRing::SlotCount; ++i)
                if (ring.box(i).left < Strip && ring.box(i).left + ring.box(i).width > 0)
                    shown.push_back(i);
            std::sort(shown.begin(), shown.end(), [&](int a, int b) { return ring.box(a).left < ring.box(b).left; });
            QVERIFY(!shown.empty() && ring.box(shown.front()).left <= 0);
            QVERIFY(ring.box(shown.back()).left + ring.box(shown.back()).width >= Strip);
            for (std::size_t k = 1; k < shown.size(); ++k) {
                const TickerRing::Box& before = ring.box(shown[k - 1]);
                QCOMPARE(shown[k], (shown[k - 1] + 1) % TickerRing::SlotCount);
                QCOMPARE(ring.box(shown[k]).left, before.left + before.width);
            }
        }
    }

    // Until the first reading, slot 0 waits at the right edge and the others where they were
    // made: the ring chains behind slot 6 and races right until slot 6 leaves the strip.
    void startUpPushesRingRightUntilLastSlotLeavesStrip() {
        TickerRing ring;
        ring.setLeft(0, Strip);
        for (float first = 1620 + 285 - 10; first < 9000; first += 7 * 285 - 10) {
            ring.tick(Strip, [] {});
            for (int i = 0; i < TickerRing::SlotCount; ++i)
                QCOMPARE(ring.box(i).left, first + 285 * static_cast<float>(i));
        }
        QCOMPARE(ring.box(6).left, 9560.f);
        ring.tick(Strip, [] {});
        QCOMPARE(ring.box(0).left, 7840.f);
    }

    void slotPullsSuccessorOnlyOnceInsideStrip() {
        TickerRing ring = ringOutside();
        ring.setLeft(3, Strip - 1);
        ring.setLeft(5, Strip);
        ring.tick(Strip, [] {});
        QCOMPARE(ring.box(4).left, Strip - 1 + 285 - 10);
        QCOMPARE(ring.box(6).left, 36000.f - 10);
    }

    // The refresh runs before the ring moves, so the chain uses the widths it sets; one that
    // cannot run yet waits. The strip is shown every third tick, two whole pixels further on
    // each time, and at the very tick that runs a refresh.
    void refreshRunsAtSyncPointAndIsShown_data() {
        QTest::addColumn<float>("second"); // slot 1; the sync point is under 100
        QTest::addColumn<float>("third");  // slot 2; the sync point is over 0
        QTest::addColumn<bool>("refreshAsked");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<int>("ticks"); // until the strip is shown
        QTest::newRow("plain motion") << 99.f << 1.f << false << false << 3;
        QTest::newRow("inside both bounds") << 99.f << 1.f << true << true << 1;
        QTest::newRow("second slot at 100, due at the second tick") << 100.f << 1.f << true << false << 2;
        QTest::newRow("third slot at 0, due at the second tick") << 99.f << 0.f << true << false << 2;
        QTest::newRow("refresh waiting for the sync point") << 500.f << 1.f << true << false << 3;
    }
    void refreshRunsAtSyncPointAndIsShown() {
        QFETCH(float, second);
        QFETCH(float, third);
        QFETCH(bool, refreshAsked);
        QFETCH(bool, runs);
        QFETCH(int, ticks);
        TickerRing ring = ringOutside();
        ring.setLeft(1, second);
        ring.setLeft(2, third);
        if (refreshAsked)
            ring.requestRefresh();
        QCOMPARE(ring.ticksUntilNextFrame(Strip), ticks);
        QList<float> seen; // where slot 1 stood when the refresh ran
        ring.tick(Strip, [&] {
            seen << ring.box(1).left;
            ring.setWidth(1, 600);
        });
        QCOMPARE(seen, runs ? QList<float>{second} : QList<float>{});
        QCOMPARE(ring.box(2).left, second + (runs ? 600 : 285) - 10);
        QCOMPARE(ring.refreshPending(), refreshAsked && !runs);
    }

    // A refresh asked for in between (by the futures box) neither resets nor shifts the
    // period, and each request is served once.
    void refreshesEvery180Seconds() {
        TickerRing ring = ringOutside();
        QList<int> refreshed;
        for (int second = 1; second <= 360; ++second) {
            if (second == 185)
                ring.requestRefresh();
            ring.secondElapsed();
            ring.setLeft(1, 50); // at the sync point
            ring.setLeft(2, 50);
            ring.tick(Strip, [&] { refreshed << second; });
        }
        QCOMPARE(refreshed, (QList<int>{180, 185, 360}));
    }

    // The bar's own width, place and strip are checked on a real screen, in the bar window test.
    void layOutAt1024x768() {
        const BarLayout::PanelFit fit = BarLayout::fitPanel(10752, 1200);
        QCOMPARE(fit.bodyWidth, 10502.f);
        QCOMPARE(fit.panelHeight, 2100.f);
        QCOMPARE(fit.cardHeight, 2000.f);
        // The panel hangs under the bar only if it then ends strictly above the bottom edge.
        QCOMPARE(BarLayout::panelTop(9874, BarLayout::BarHeight, 1395, 11520), 10124.f);
        QCOMPARE(BarLayout::panelTop(9875, BarLayout::BarHeight, 1395, 11520), 8480.f);
    }

    void promoCaptionsCycleThroughFour() {
        const QStringList cycle = {u"   www.ventoria.it   "_s, u"  Zefirina: le notizie sempre in vista  "_s,
                                   u"   Programmi gratuiti su www.ventoria.it   "_s,
                                   u"   Clicca qui per visitare il sito   "_s};
        QCOMPARE(PromoCaptions::first(), cycle[0]);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(PromoCaptions::next(cycle[i]), cycle[(i + 1) % 4]);
        QVERIFY(!PromoCaptions::next(u"."_s));
        QVERIFY(!PromoCaptions::next(cycle[0].trimmed()));
    }

    // One character per byte: the bytes the code page leaves undefined keep their value.
    void decodesWindows1252() {
        QCOMPARE(decodeWindows1252("a\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xA0z"),
                 u"a\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00A0\u00A0z"_s);
    }

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
        QCOMPARE(chartPageText(Hosts, symbol), dataFile("chartpage_nqz26.htm").replace("'NQZ26'", "'" + value + "'"));
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
        QCOMPARE(chartPageMayRequest(Hosts, QUrl(url)), allowed);
        QCOMPARE(chartPageAddress(Hosts), QUrl(u"http://charts.example/livecharts/sito.htm"_s));
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

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
