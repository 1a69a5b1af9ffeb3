// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include <QFile>
#include <QJSEngine>
#include <QTest>

using namespace Qt::StringLiterals;

// The chart script's arithmetic, run by a JavaScript engine without a browser: each row
// is an expression over LiveChartsMath and the text it must give.
class TestChartScript : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QFile file(QStringLiteral(CHART_SCRIPT));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJSValue loaded = m_engine.evaluate(QString::fromUtf8(file.readAll()), file.fileName());
        QVERIFY2(!loaded.isError(), qPrintable(loaded.toString()));
    }

    void computes_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("result");

        // Ticks: round steps across the day's prices; equal prices are spread by one either side.
        QTest::newRow("price ticks of a day") << u"priceTicks(20950, 21034.25)"_s << u"20960,20980,21000,21020"_s;
        QTest::newRow("price ticks of one price") << u"priceTicks(99, 101)"_s << u"99,99.5,100,100.5,101"_s;
        QTest::newRow("equal prices spread")
            << u"(function(b){return [b.low,b.high].join(',')})(bounds({points:[[1,5],[2,5]],previousClose:5,last:5,"
               "time:2}))"_s
            << u"4,6"_s;
        // Numbers no chart should see: the ticks end, few or none, whatever they are.
        QTest::newRow("ticks of the largest prices")
            << u"priceTicks(0, 1e308)"_s << u"0,2e+307,4e+307,6e+307,8e+307,1e+308"_s;
        QTest::newRow("ticks across all numbers") << u"priceTicks(-1e308, 1e308)"_s << QString();
        QTest::newRow("ticks below rounding") << u"priceTicks(1e20, 1e20 + 1e5).length <= 12"_s << u"true"_s;
        QTest::newRow("ticks of 1e20 and 1e-20") << u"priceTicks(1e-20, 1e20).length <= 12"_s << u"true"_s;
        QTest::newRow("ticks of nothing") << u"priceTicks(NaN, NaN)"_s << QString();
        // The trading day in New York (UTC-5): 9:30 to 16:00 gives a mark every hour.
        QTest::newRow("time ticks of a day")
            << u"timeTicks(1796653800, 1796677200, -18000).map(function(t){return clock(t, -18000)})"_s
            << u"10:00,11:00,12:00,13:00,14:00,15:00,16:00"_s;
        QTest::newRow("time ticks of a century") << u"timeTicks(0, 3e9, 0)"_s << QString();
        QTest::newRow("time ticks backwards") << u"timeTicks(1796677200, 1796653800, 0)"_s << QString();
        QTest::newRow("clock") << u"clock(1796653800, -18000)"_s << u"09:30"_s;
        QTest::newRow("clock of no time") << u"clock(NaN, 0)"_s << u"--:--"_s;
        QTest::newRow("price") << u"decimal(21034.25)"_s << u"21034,25"_s;
        QTest::newRow("no price") << u"decimal(Infinity)"_s << u"-"_s;
        QTest::newRow("rise") << u"changeText(21034.25, 20950)"_s << u"+84,25 (+0,40%)"_s;
        QTest::newRow("fall") << u"changeText(20900, 20950)"_s << u"-50,00 (-0,24%)"_s;
        // The data are asked over the scheme the script came over, never another one.
        QTest::newRow("data over https")
            << u"dataUrl({ASCIISERVER:'charts.example', ASCIIPORT:'8080', SYMBOL:'INDEX:COMPX'}, 'https:')"_s
            << u"https://charts.example:8080/livecharts/series.json?symbol=INDEX%3ACOMPX"_s;
        QTest::newRow("data of a local page over http")
            << u"dataUrl({ASCIISERVER:'a.example:9', ASCIIPORT:'80', SYMBOL:'NQZ26&x=1'}, 'file:')"_s
            << u"http://a.example:9/livecharts/series.json?symbol=NQZ26%26x%3D1"_s;
        QTest::newRow("usable data")
            << u"usable({symbol:'NQZ26', last:2, previousClose:1, time:5, utcOffset:0, points:[[1,2]]})"_s << u"true"_s;
        QTest::newRow("no previous close")
            << u"usable({symbol:'NQZ26', last:2, previousClose:0, time:5, utcOffset:0, points:[]})"_s << u"false"_s;
        QTest::newRow("a point of text")
            << u"usable({symbol:'NQZ26', last:2, previousClose:1, time:5, utcOffset:0, points:[[1,'2']]})"_s
            << u"false"_s;
        QTest::newRow("no symbol") << u"usable({last:2, previousClose:1, time:5, utcOffset:0, points:[]})"_s
                                   << u"false"_s;
    }
    void computes() {
        QFETCH(QString, expression);
        QFETCH(QString, result);
        const QJSValue value = m_engine.evaluate(u"with (LiveChartsMath) { String(%1) }"_s.arg(expression));
        QVERIFY2(!value.isError(), qPrintable(value.toString()));
        QCOMPARE(value.toString(), result);
    }

private:
    QJSEngine m_engine;
};

QTEST_GUILESS_MAIN(TestChartScript)
#include "tst_chartscript.moc"
