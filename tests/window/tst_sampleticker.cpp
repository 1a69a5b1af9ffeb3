#include "news/headlinereader.h"
#include "panels/form2.h"
#include "service/localservice.h"
#include "service/sitecontent.h"
#include "ticker/form1.h"
#include "ticker/promocaptions.h"
#include "ticker/tickerstrip.h"
#include "ticker/windows1252.h"

#include <QCheckBox>
#include <QTest>

// The bar against the bundled local service, as a user starts it.
class TestSampleTicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_service.start(QHostAddress::LocalHost, 0), qPrintable(m_service.errorString()));
        const QString host = QStringLiteral("127.0.0.1:%1").arg(m_service.port());
        m_bar = std::make_unique<Form1>(ServiceHosts{host, host, host, host, host, host});
        QTRY_COMPARE(m_bar->Frame1->caption(6), PromoCaptions::first());
    }
    void cleanupTestCase() { m_bar.reset(); }

    void showsTheSampleHeadlines() {
        const HeadlineBatch expected =
            readHeadlines(decodeWindows1252(SiteContent().headlinePage()), {}, QStringLiteral("00:00"));
        for (int slot = 0; slot < HeadlineCount; ++slot) {
            QCOMPARE(m_bar->Frame1->caption(slot), expected.captions[slot]);
            QVERIFY(!m_bar->Frame1->caption(slot).contains(QChar(0x00C3)));
            // Whoever looks at the bar sees that these are examples, not news.
            QVERIFY2(m_bar->Frame1->caption(slot).contains(QStringLiteral(" - [Esempio] ")),
                     qPrintable(m_bar->Frame1->caption(slot)));
            QCOMPARE(m_bar->LinkNotizie()[slot], expected.links[slot]);
        }
    }

    void opensTheTextOfEveryHeadline() {
        for (int slot = 0; slot < HeadlineCount; ++slot) {
            m_bar->Label1_Click(slot);
            QTRY_VERIFY(!m_bar->panel->body().contains(u"Connessione"));
            QVERIFY2(m_bar->panel->body().size() > 40, qPrintable(m_bar->panel->body()));
            QVERIFY2(m_bar->panel->body().startsWith(QStringLiteral("[Esempio] ")), qPrintable(m_bar->panel->body()));
        }
    }

    void showsTheQuoteGreenOrRed() {
        QTRY_VERIFY(m_bar->state().CodiceFutures.startsWith(u"NQ")); // the contract of the day
        m_bar->Check2->setChecked(true);
        m_bar->Label5_Click();
        QTRY_VERIFY(!m_bar->state().TendenzaFutures.isEmpty());
        QVERIFY(m_bar->Frame1->caption(5).contains(QStringLiteral(" - %1, ").arg(m_bar->state().CodiceFutures)));
        const QColor expected = m_bar->state().DatiFutures.rising ? QColor(0, 128, 0) : QColor(255, 0, 0);
        QCOMPARE(m_bar->Frame1->captionColor(5), expected);
    }

private:
    LocalService m_service;
    std::unique_ptr<Form1> m_bar;
};

QTEST_MAIN(TestSampleTicker)
#include "tst_sampleticker.moc"
