// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "datafile.h"
#include "panels/form2.h"
#include "samehost.h"
#include "testhttpserver.h"
#include "ticker/controlbox.h"
#include "ticker/form1.h"
#include "ticker/tickerstrip.h"
#include "widgets/clicklabel.h"

#include <QCheckBox>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// A generous bound for what a busy machine may take to pass on a pointer event.
constexpr int Slow = 15000;

// Runs xdotool while the bar goes on handling its events; true when it succeeded.
bool xdotool(const QString& commands) {
    QProcess process;
    process.start(u"xdotool"_s, commands.split(u' '));
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, Slow) &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString at(QPoint point) { return u"mousemove %1 %2"_s.arg(point.x()).arg(point.y()); }
} // namespace

// The bar as a real window on a 1024x768 screen under openbox, driven by a real pointer.
class TestBarWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_server = std::make_unique<TestHttpServer>();
        m_server->setReply("/notizietelevideo/", {200, dataFile("headlines.html")});
        m_server->setReply("/accessibile/n/1.html", {200, dataFile("detail.html")});
        m_bar = std::make_unique<Form1>(sameHost(m_server->host()));
        m_bar->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
        QVERIFY(xdotool(u"mousemove 500 700"_s)); // away from the bar
    }
    void cleanup() {
        xdotool(u"mouseup 1"_s);
        m_bar.reset();
        m_server.reset();
    }

    // Where no caption stands, the strip shows the classic caption-text colour, white.
    void sitsAtTheTopCentreOfTheScreen() {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768));
        QCOMPARE(m_bar->geometry(), QRect(154, 0, 717, 17));
        QCOMPARE(m_bar->Frame2->x(), 632);
        QVERIFY(!m_bar->panel->isVisible());
        // The first caption enters at the strip's right end and needs seconds to cross it.
        const QImage onScreen = m_bar->screen()->grabWindow(m_bar->winId()).toImage();
        for (int y = 0; y < 17; ++y)
            QCOMPARE(onScreen.pixel(20, y) & 0xffffff, 0xffffffu);
    }

    // While the boxes only move, the strip slides what it showed and draws the column that
    // enters: what is on screen must be what drawing the strip whole gives.
    void slidingShowsWhatAWholeDrawingShows() {
        const auto rgb = [](const QImage& image, int x, int y) { return image.pixel(x, y) & 0xffffff; };
        for (int look = 0; look < 5; ++look) {
            QTest::qWait(400);
            QCoreApplication::sendPostedEvents(); // a picture still to be finished
            const QImage onScreen = m_bar->screen()->grabWindow(m_bar->winId()).toImage();
            const QImage whole = m_bar->Frame1->grab().toImage();
            // The purple strip covers the first seven columns.
            for (int y = 0; y < 17; ++y)
                for (int x = 7; x < m_bar->Frame1->width(); ++x)
                    if (rgb(onScreen, x, y) != rgb(whole, x, y))
                        QFAIL(qPrintable(QStringLiteral("look %1 differs at %2, %3").arg(look).arg(x).arg(y)));
        }
    }

    // A click on a moving headline opens its item; a press on it released elsewhere does not.
    void headlineClickNeedsPressAndReleaseOnIt_data() {
        QTest::addColumn<QString>("released");
        QTest::addColumn<bool>("opens");
        QTest::newRow("released on the headline") << u"on"_s << true;
        QTest::newRow("released below the bar") << u"below"_s << false;
        QTest::newRow("released beside it on the strip") << u"beside"_s << false;
    }
    void headlineClickNeedsPressAndReleaseOnIt() {
        QFETCH(QString, released);
        QFETCH(bool, opens);
        // The first headline, wholly in the strip: its middle stays under the pointer for
        // seconds.
        QTRY_VERIFY_WITH_TIMEOUT(m_bar->ring().box(0).left + m_bar->ring().box(0).width < 9000.f, Slow);
        const int x = static_cast<int>((m_bar->ring().box(0).left + m_bar->ring().box(0).width / 2) / 15);
        const QPoint middle = m_bar->Frame1->mapToGlobal(QPoint(x, 8));
        // Beside it: near the strip's far end from it, wherever a busy machine finds it.
        const int width = m_bar->Frame1->width();
        const QPoint beside = m_bar->Frame1->mapToGlobal(QPoint(x < width / 2 ? width - 10 : 10, 8));
        const QPoint release = released == u"on" ? middle : released == u"below" ? middle + QPoint(0, 240) : beside;
        QVERIFY(xdotool(at(middle) + u" mousedown 1 "_s + at(release) + u" mouseup 1"_s));
        if (opens) {
            QTRY_VERIFY_WITH_TIMEOUT(m_bar->panel->isVisible(), Slow);
            QTRY_COMPARE_WITH_TIMEOUT(m_server->requestLines().count("GET /accessibile/n/1.html HTTP/1.1"), 1, Slow);
        } else {
            QTest::qWait(1000); // a click would have shown the panel by now
            QVERIFY(!m_bar->panel->isVisible());
            QVERIFY(!m_server->requestLines().contains("GET /accessibile/n/1.html HTTP/1.1"));
        }
    }

    // Dragged by the purple band with the panel open, the bar takes the panel along when the
    // window manager's move ends, at every drag, and only then; a press on a control never
    // drags.
    void dragsByTheControlBoxAndReturnsWithTheCaret_data() {
        QTest::addColumn<QPoint>("pressed"); // on the screen
        QTest::addColumn<bool>("drags");
        QTest::newRow("purple band") << QPoint(869, 5) << true;
        QTest::newRow("check box") << QPoint(840, 8) << false;
        QTest::newRow("X") << QPoint(859, 7) << false;
    }
    void dragsByTheControlBoxAndReturnsWithTheCaret() {
        QFETCH(QPoint, pressed);
        QFETCH(bool, drags);
        m_bar->setExitHandlers({[](QWidget*) { return false; }, {}});
        m_bar->Label1_Click(7);
        QVERIFY(QTest::qWaitForWindowExposed(m_bar->panel));
        QTRY_COMPARE(m_bar->panel->pos(), QPoint(154, 17));
        QPoint grab = pressed;
        for (const QPoint by : {QPoint(-90, 180), QPoint(140, 220)}) {
            const QPoint from = m_bar->pos();
            // The window manager takes over at the first move and moves the bar from there.
            QVERIFY(xdotool(at(grab) + u" mousedown 1 "_s + at(grab + QPoint(0, 1))));
            QTest::qWait(200); // room for the window manager to take the pointer
            QVERIFY(xdotool(at(grab + by / 2)));
            QVERIFY(xdotool(at(grab + QPoint(0, 1) + by) + u" mouseup 1"_s));
            if (!drags) {
                QTest::qWait(500); // a move would have come by now
                QCOMPARE(m_bar->pos(), QPoint(154, 0));
                break;
            }
            // Most of the way at least, should the window manager have taken over late.
            QTRY_VERIFY_WITH_TIMEOUT((m_bar->pos() - from - by).manhattanLength() < 100, Slow);
            QTRY_COMPARE_WITH_TIMEOUT(m_bar->panel->pos(), m_bar->pos() + QPoint(0, 17), Slow);
            grab = m_bar->pos() + QPoint(715, 5);
        }
        QVERIFY(!m_bar->Check2->isChecked());
        if (drags) {
            // The drag ends at a plain move over the band (made again until the bar sees one:
            // the first after the window manager's move may only tell it the pointer is back);
            // the bar moved by other means then leaves the panel where it is.
            QSignalSpy moved(m_bar->Frame2, &ControlBox::mouseMoved);
            const auto plainMove = [&] {
                return xdotool(at(grab + QPoint(-3, 2)) + u" "_s + at(grab)) &&
                       QTest::qWaitFor([&] { return !moved.isEmpty(); }, 1000);
            };
            QTRY_VERIFY_WITH_TIMEOUT(plainMove(), Slow);
            const QPoint panelAt = m_bar->panel->pos();
            QVERIFY(xdotool(u"windowmove %1 300 400"_s.arg(m_bar->winId())));
            QTRY_COMPARE_WITH_TIMEOUT(m_bar->pos(), QPoint(300, 400), Slow);
            QCOMPARE(m_bar->panel->pos(), panelAt);
        }

        m_bar->Label6_Click();
        QTRY_COMPARE(m_bar->pos(), QPoint(154, 0));
        QCOMPARE(m_bar->panel->pos(), QPoint(154, 17));
        // Clicked again until it hides: a busy window manager may not have moved it back yet.
        const QWidget* body = m_bar->panel->Label7;
        const auto clickHides = [&] {
            return xdotool(at(body->mapToGlobal(body->rect().center())) + u" click 1"_s) &&
                   QTest::qWaitFor([&] { return !m_bar->panel->isVisible(); }, 1000);
        };
        QTRY_VERIFY_WITH_TIMEOUT(clickHides(), Slow);
    }

private:
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<Form1> m_bar;
};

QTEST_MAIN(TestBarWindow)
#include "tst_barwindow.moc"
