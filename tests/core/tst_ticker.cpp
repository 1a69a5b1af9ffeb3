#include "ticker/barlayout.h"
#include "ticker/promocaptions.h"
#include "ticker/tickerring.h"
#include "ticker/windows1252.h"

#include <QTest>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr float Strip = 9477.f; // the strip of a bar on a 1024-pixel-wide screen
using Widths = std::array<float, TickerRing::SlotCount>;
constexpr Widths Wide = {3000, 2500, 2800, 2600, 2700, 1500, 1800};

void noRefresh() {}

// Slots laid end to end from `left`.
TickerRing ringOf(const Widths& widths, float left) {
    TickerRing ring;
    for (int i = 0; i < TickerRing::SlotCount; ++i)
        ring.setWidth(i, widths[i]);
    ring.setLeft(0, left);
    ring.layOutBehindFirst();
    return ring;
}

// Every slot far right of the strip, so that no slot pulls another.
TickerRing ringOutside() {
    TickerRing ring;
    for (int i = 0; i < TickerRing::SlotCount; ++i)
        ring.setLeft(i, 30000.f + 1000.f * static_cast<float>(i));
    return ring;
}
} // namespace

class TestTicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ringScrollsInOrderWithoutGaps() {
        TickerRing ring = ringOf(Wide, 0);
        for (int tick = 0; tick < 5000; ++tick) { // about three turns
            ring.tick(Strip, noRefresh);
            std::vector<int> shown; // slots with a part inside the strip, from left to right
            for (int i = 0; i < TickerRing::SlotCount; ++i)
                if (ring.box(i).left < Strip && ring.box(i).left + ring.box(i).width > 0)
                    shown.push_back(i);
            std::sort(shown.begin(), shown.end(),
                      [&](int a, int b) { return ring.box(a).left < ring.box(b).left; });
            QVERIFY(!shown.empty() && ring.box(shown.front()).left <= 0);
            QVERIFY(ring.box(shown.back()).left + ring.box(shown.back()).width >= Strip);
            for (std::size_t k = 1; k < shown.size(); ++k) {
                const TickerRing::Box& before = ring.box(shown[k - 1]);
                QCOMPARE(shown[k], (shown[k - 1] + 1) % TickerRing::SlotCount);
                QCOMPARE(ring.box(shown[k]).left, before.left + before.width);
            }
        }
    }

    void firstSlotJumpsBehindLastWhileStillShown() {
        TickerRing ring = ringOf({3000, 1000, 1000, 1000, 1000, 1000, 2000}, 2000);
        while (ring.box(6).left >= Strip)
            ring.tick(Strip, noRefresh);
        QVERIFY(ring.box(0).left + ring.box(0).width > 0);
        const TickerRing::Box last = ring.box(6), second = ring.box(1);
        ring.tick(Strip, noRefresh);
        QCOMPARE(ring.box(0).left, last.left + last.width - 10);
        QCOMPARE(ring.box(1).left, second.left - 10);
    }

    void startUpPushesRingRightUntilLastSlotLeavesStrip() {
        TickerRing ring;
        ring.setLeft(0, Strip);
        for (float first = 1620 + 285 - 10; first < 9000; first += 7 * 285 - 10) {
            ring.tick(Strip, noRefresh);
            for (int i = 0; i < TickerRing::SlotCount; ++i)
                QCOMPARE(ring.box(i).left, first + 285 * static_cast<float>(i));
        }
        QCOMPARE(ring.box(6).left, 9560.f);
        ring.tick(Strip, noRefresh);
        QCOMPARE(ring.box(0).left, 7840.f);
    }

    void slotPullsSuccessorOnlyOnceInsideStrip_data() {
        QTest::addColumn<float>("left");
        QTest::addColumn<bool>("pulls");
        QTest::newRow("at the right edge") << Strip << false;
        QTest::newRow("one twip inside") << Strip - 1 << true;
        QTest::newRow("left of the strip") << -5000.f << true;
    }
    void slotPullsSuccessorOnlyOnceInsideStrip() {
        QFETCH(float, left);
        QFETCH(bool, pulls);
        TickerRing ring = ringOutside();
        ring.setLeft(5, left);
        const float before = ring.box(6).left;
        ring.tick(Strip, noRefresh);
        QCOMPARE(ring.box(6).left, (pulls ? left + ring.box(5).width : before) - 10);
    }

    void refreshRunsAtSyncPoint_data() {
        QTest::addColumn<bool>("pending");
        QTest::addColumn<float>("second");
        QTest::addColumn<float>("third");
        QTest::addColumn<bool>("runs");
        QTest::newRow("inside both bounds") << true << 99.f << 1.f << true;
        QTest::newRow("second slot at 100") << true << 100.f << 1.f << false;
        QTest::newRow("third slot at 0") << true << 99.f << 0.f << false;
        QTest::newRow("nothing pending") << false << 99.f << 1.f << false;
    }
    void refreshRunsAtSyncPoint() {
        QFETCH(bool, pending);
        QFETCH(float, second);
        QFETCH(float, third);
        QFETCH(bool, runs);
        TickerRing ring = ringOutside();
        ring.setLeft(1, second);
        ring.setLeft(2, third);
        if (pending)
            ring.requestRefresh();
        int refreshes = 0;
        ring.tick(Strip, [&] { ++refreshes; });
        QCOMPARE(refreshes, runs ? 1 : 0);
        QCOMPARE(ring.refreshPending(), pending && !runs);
    }

    void refreshRunsBeforeSlotsMove() {
        TickerRing ring = ringOf(Wide, -2901);
        ring.requestRefresh();
        float leftSeenByRefresh = 0;
        ring.tick(Strip, [&] {
            leftSeenByRefresh = ring.box(1).left;
            ring.setWidth(1, 600);
        });
        QCOMPARE(leftSeenByRefresh, 99.f);
        QCOMPARE(ring.box(1).left, 89.f);
        QCOMPARE(ring.box(2).left, 689.f); // placed behind the new width
    }

    void relaidSlotsMoveOnFromNewPlaces() {
        TickerRing ring = ringOf(Wide, 0);
        for (int tick = 0; tick < 37; ++tick)
            ring.tick(Strip, noRefresh);
        for (int i = 1; i < TickerRing::SlotCount; ++i)
            ring.setWidth(i, 2000);
        ring.layOutBehindFirst();
        ring.tick(Strip, noRefresh);
        for (int i = 0; i < TickerRing::SlotCount; ++i)
            QCOMPARE(ring.box(i).left, i == 0 ? -380.f : 2620.f + 2000 * static_cast<float>(i - 1));
    }

    void asksForRefreshEvery180Seconds() {
        TickerRing ring = ringOutside();
        const auto serve = [&ring] {
            ring.setLeft(1, 50);
            ring.setLeft(2, 50);
            ring.tick(Strip, noRefresh);
        };
        for (int second = 1; second <= 360; ++second) {
            ring.secondElapsed();
            QCOMPARE(ring.refreshPending(), second == 180 || second == 360);
            if (second == 180)
                serve();
            if (second == 185) { // the futures box ticked meanwhile
                ring.requestRefresh();
                serve();
            }
        }
    }

    void placesPanelUnderOrAboveBar_data() {
        QTest::addColumn<float>("barTop");
        QTest::addColumn<float>("panelTop");
        QTest::newRow("under the bar at the top") << 0.f << 250.f;
        QTest::newRow("above the bar near the bottom") << 11000.f << 9605.f;
        QTest::newRow("ending exactly at the bottom goes above") << 9875.f << 8480.f;
        QTest::newRow("ending one twip higher stays under") << 9874.f << 10124.f;
    }
    void placesPanelUnderOrAboveBar() {
        QFETCH(float, barTop);
        QFETCH(float, panelTop);
        QCOMPARE(BarLayout::panelTop(barTop, BarLayout::BarHeight, 1395, 11520), panelTop);
    }

    void sizesBarAndPanel() {
        const float width = BarLayout::barWidth(15360);
        QCOMPARE(width, 10752.f);
        QCOMPARE(BarLayout::barLeft(15360, width), 2304.f);
        QCOMPARE(BarLayout::stripWidth(width), Strip);
        const BarLayout::PanelFit fit = BarLayout::fitPanel(10752, 1200);
        QCOMPARE(fit.bodyLeft, 150.f);
        QCOMPARE(fit.bodyWidth, 10502.f);
        QCOMPARE(fit.panelHeight, 2100.f);
        QCOMPARE(fit.cardHeight, 2000.f);
    }

    void promoCaptionsCycleThroughFour() {
        QString caption = PromoCaptions::first();
        QStringList seen;
        for (const qsizetype blanks : {3, 2, 3, 3}) {
            QVERIFY(!seen.contains(caption));
            QCOMPARE(caption.size() - caption.trimmed().size(), 2 * blanks);
            QVERIFY(caption.startsWith(QString(blanks, u' ')));
            seen << caption;
            caption = PromoCaptions::next(caption).value_or(QString());
        }
        QCOMPARE(caption, PromoCaptions::first());
        QVERIFY(!PromoCaptions::next(u"."_s));
        QVERIFY(!PromoCaptions::next(PromoCaptions::first().trimmed()));
    }

    void decodesWindows1252_data() {
        QTest::addColumn<char>("byte");
        QTest::addColumn<char16_t>("codePoint");
        QTest::newRow("euro") << '\x80' << u'\u20AC';
        QTest::newRow("undefined 81") << '\x81' << u'\u0081';
        QTest::newRow("undefined 9D") << '\x9D' << u'\u009D';
        QTest::newRow("Y diaeresis") << '\x9F' << u'\u0178';
        QTest::newRow("no-break space") << '\xA0' << u'\u00A0';
        QTest::newRow("y diaeresis") << '\xFF' << u'\u00FF';
    }
    void decodesWindows1252() {
        QFETCH(char, byte);
        QFETCH(char16_t, codePoint);
        const QString text = decodeWindows1252(QByteArray("a") + byte + byte + 'z');
        QCOMPARE(text, u"a"_s + QChar(codePoint) + QChar(codePoint) + u'z');
    }
};

QTEST_APPLESS_MAIN(TestTicker)
#include "tst_ticker.moc"
