#include "panels/form2.h"
#include "samehost.h"
#include "ticker/controlbox.h"
#include "ticker/form1.h"
#include "ticker/tickerstrip.h"
#include "widgets/clicklabel.h"

#include <QCheckBox>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

// The bar as a real window on a 1024x768 screen without a window manager.
class TestBarWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        // Nothing answers on port 1: the bar starts without data, which changes nothing here.
        m_bar = std::make_unique<Form1>(sameHost(QStringLiteral("127.0.0.1:1")));
        m_bar->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
    }
    void cleanup() { m_bar.reset(); }

    void sitsAtTheTopCentreOfTheScreen() {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768));
        QCOMPARE(m_bar->widthTwips(), 10752.f);
        QCOMPARE(m_bar->leftTwips(), 2304.f);
        QCOMPARE(m_bar->stripWidthTwips(), 9477.f);
        QCOMPARE(m_bar->geometry(), QRect(154, 0, 717, 17));
        QCOMPARE(m_bar->Frame2->x(), 632);
        QVERIFY(m_bar->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!m_bar->panel->isVisible());
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

    // Only a press on the free parts of the control box drags the bar; a press on one of its
    // controls never does, even when the mouse then leaves the control. Back under the bar,
    // the panel hides when its body is clicked.
    void dragsByTheControlBoxAndReturnsWithTheCaret_data() {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<QPoint>("at"); // from the right end, for the band
        QTest::addColumn<QPoint>("barMovesTo");
        QTest::newRow("purple band") << QString() << QPoint(-2, 5) << QPoint(114, 300);
        QTest::newRow("check box, middle") << u"Check2"_s << QPoint(6, 6) << QPoint(154, 0);
        QTest::newRow("check box, corner") << u"Check2"_s << QPoint(0, 12) << QPoint(154, 0);
        QTest::newRow("X") << u"Label3"_s << QPoint(5, 5) << QPoint(154, 0);
    }
    void dragsByTheControlBoxAndReturnsWithTheCaret() {
        QFETCH(QString, pressed);
        QFETCH(QPoint, at);
        QFETCH(QPoint, barMovesTo);
        m_bar->Label1_Click(7);
        QVERIFY(QTest::qWaitForWindowExposed(m_bar->panel));
        const QHash<QString, QWidget*> controls{{u"Check2"_s, m_bar->Check2}, {u"Label3"_s, m_bar->Label3}};
        QWidget* widget = controls.value(pressed, m_bar->Frame2);
        const QPoint from = pressed.isEmpty() ? QPoint(widget->width(), 0) + at : at;
        const QPoint to = from + QPoint(-40, 300);
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        // A button takes the first move off it and hands the later ones to the box.
        const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
        for (const QPoint step : {from + QPoint(-10, 100), from + QPoint(-20, 200), to}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(step), QPointF(origin + step), Qt::NoButton, Qt::LeftButton,
                             {});
            QApplication::sendEvent(widget, &move);
        }
        QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
        QTRY_COMPARE(m_bar->pos(), barMovesTo);
        QTRY_COMPARE(m_bar->panel->pos(), barMovesTo + QPoint(0, 17));
        QVERIFY(!m_bar->Check2->isChecked());

        QTest::mouseClick(m_bar->Label6, Qt::LeftButton);
        QTRY_COMPARE(m_bar->pos(), QPoint(154, 0));
        QCOMPARE(m_bar->panel->pos(), QPoint(154, 17));
        QCOMPARE(m_bar->panel->width(), 717);
        QTest::mouseClick(m_bar->panel->Label7, Qt::LeftButton);
        QTRY_VERIFY(!m_bar->panel->isVisible());
    }

private:
    std::unique_ptr<Form1> m_bar;
};

QTEST_MAIN(TestBarWindow)
#include "tst_barwindow.moc"
