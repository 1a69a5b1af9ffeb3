#include "model/promocaptions.h"
#include "panels/form2.h"
#include "service/localservice.h"
#include "ticker/form1.h"
#include "ticker/tickerstrip.h"

#include <QCheckBox>
#include <QTest>

using namespace Qt::StringLiterals;

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

    // Marked as examples, not news. The accents arrive repaired; "à" keeps the no-break
    // space of its second byte.
    void showsTheSampleHeadlines() {
        const QStringList captions = {
            u"  18:40 - [Esempio] Borse europee in rialzo, pi\u00f9 forti i titoli dell'energia  "_s,
            u"  17:15 - [Esempio] Neve sulle Alpi e piogge al Sud, ma luned\u00ec le scuole restano aperte  "_s,
            u"  16:02 - [Esempio] Calcio, il derby finisce in parit\u00e0\u00a0: si torna in campo mercoled\u00ec  "_s,
            u"  14:05 - [Esempio] Treni, perch\u00e9 l'orario invernale porta pi\u00f9 corse sulla costa ligure  "_s,
            u"  12:30 - [Esempio] Riapre il museo archeologico: si pu\u00f2 gi\u00e0\u00a0 visitare la sala dei mosaici  "_s};
        const QStringList links = {u"mercati"_s, u"meteo"_s, u"calcio"_s, u"treni"_s, u"museo"_s};
        for (int slot = 0; slot < HeadlineCount; ++slot) {
            QCOMPARE(m_bar->Frame1->caption(slot), captions[slot]);
            QCOMPARE(m_bar->LinkNotizie()[slot], u"/notizie/2026/12/06/%1.html"_s.arg(links[slot]));
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
