#include "panels/form2.h"
#include "widgets/clicklabel.h"
#include "ticker/controlbox.h"
#include "ticker/form1.h"

#include <QScreen>
#include <QTest>

// The bar as a real window on a 1024x768 screen without a window manager.
class TestBarWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        // Nothing answers on port 1: the bar starts without data, which changes nothing here.
        const QString nowhere = QStringLiteral("127.0.0.1:1");
        m_bar = std::make_unique<Form1>(ServiceHosts{nowhere, nowhere, nowhere, nowhere, nowhere, nowhere});
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

    void panelHidesWhenItsBodyIsClicked() {
        m_bar->Label1_Click(7);
        QVERIFY(QTest::qWaitForWindowExposed(m_bar->panel));
        QCOMPARE(m_bar->panel->pos(), QPoint(154, 17));
        QCOMPARE(m_bar->panel->width(), 717);
        QTest::mouseClick(m_bar->panel->Label7, Qt::LeftButton);
        QTRY_VERIFY(!m_bar->panel->isVisible());
    }

    void dragsByTheControlBoxAndReturnsWithTheCaret() {
        m_bar->Label1_Click(7);
        QVERIFY(QTest::qWaitForWindowExposed(m_bar->panel));
        const QPoint band(m_bar->Frame2->width() - 2, 5); // the purple band
        QTest::mousePress(m_bar->Frame2, Qt::LeftButton, {}, band);
        QMouseEvent move(QEvent::MouseMove, QPointF(band + QPoint(-40, 300)),
                         QPointF(m_bar->Frame2->mapToGlobal(band + QPoint(-40, 300))), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(m_bar->Frame2, &move);
        QTest::mouseRelease(m_bar->Frame2, Qt::LeftButton, {}, band + QPoint(-40, 300));
        QTRY_COMPARE(m_bar->pos(), QPoint(114, 300));
        QTRY_COMPARE(m_bar->panel->pos(), QPoint(114, 317));

        QTest::mouseClick(m_bar->Label6, Qt::LeftButton);
        QTRY_COMPARE(m_bar->pos(), QPoint(154, 0));
        QCOMPARE(m_bar->panel->pos(), QPoint(154, 17));
    }

private:
    std::unique_ptr<Form1> m_bar;
};

QTEST_MAIN(TestBarWindow)
#include "tst_barwindow.moc"
