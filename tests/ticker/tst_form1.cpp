// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "browserstandin.h"
#include "datafile.h"
#include "panels/form2.h"
#include "testhttpserver.h"
#include "ticker/form1.h"
#include "ticker/inettransfer.h"
#include "ticker/tickerstrip.h"
#include "widgets/clicklabel.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString Waiting = QStringLiteral("\r\nConnessione in corso...\r\n");
} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_server = std::make_unique<TestHttpServer>();
        m_server->setReply("/notizietelevideo/", {200, dataFile("headlines.html")});
        m_server->setReply("/browser/fut.txt", {200, "NQZ26"});
        m_server->setReply("/accessibile/n/3.html", {200, dataFile("detail.html")});
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
        m_browser.opened.clear();
    }
    void cleanup() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        m_bar.reset();
    }

    void showsTheFirstFiveHeadlinesWithTheirLinks() {
        startBar();
        const QStringList expected = {QStringLiteral(u"  14:05 - Citt\u00e0\u00a0 in festa per il Natale  "),
                                      QStringLiteral(u"  13:40 - Pi\u00f9 trenisulla linea costiera  "),
                                      QStringLiteral(u"  12:15 - Perch\u00e9 il lago \u00e8 cos\u00ec alto  "),
                                      QStringLiteral("  11:02 - Il museo riapre  "),
                                      QStringLiteral("  10:30 - Neve sulle Alpi  ")};
        for (int slot = 0; slot < 5; ++slot) {
            QCOMPARE(m_bar->Frame1->caption(slot), expected[slot]);
            QCOMPARE(m_bar->LinkNotizie()[slot], QStringLiteral("/n/%1.html").arg(slot + 1));
        }
        QCOMPARE(m_bar->Frame1->caption(5), QStringLiteral(".   "));
        QCOMPARE(m_bar->Frame1->caption(6), u"   www.ventoria.it   "_s);
    }

    // The newest click wins, though the page of the one before it never comes.
    void showsTheDetailOfTheLastClickedHeadline() {
        m_server->setReply("/accessibile/n/1.html", {200, {}, TestHttpServer::Delivery::Silent});
        startBar();
        m_bar->Label1_Click(0);
        m_bar->Label1_Click(2);
        QCOMPARE(m_bar->panel->heading(), m_bar->Frame1->caption(2));
        QCOMPARE(m_bar->panel->body(), Waiting);
        QVERIFY(m_bar->panel->isVisible());
        QTRY_COMPARE(m_bar->panel->body(),
                     QStringLiteral(u"Il livello \u00e8 salito,  oggi 12,5 centimetri, in pi\u00f9."));
        QCOMPARE(m_bar->panel->Label8->toolTip(), QStringLiteral("Vai alla pagina Televideo RAI"));
        m_bar->panel->Label8_Click();
        QCOMPARE(m_browser.opened,
                 QList<QUrl>({QUrl(QStringLiteral("http://") + m_server->host() + QStringLiteral("/"))}));
    }

    // Before any headline has been read the links are empty: a click asks for the bare path.
    void clicksBeforeAnyData() {
        m_server->setReply("/notizietelevideo/", {200, {}});
        startBar(m_server->host(), false);
        QTRY_VERIFY(!m_bar->Inet1->StillExecuting());
        m_bar->Label1_Click(0);
        QTRY_VERIFY(m_server->requestLines().contains("GET /accessibile HTTP/1.1"));
    }

    void reportsAFailedConnectionWithoutRefittingThePanel() {
        startBar(QStringLiteral("127.0.0.1:1"));
        m_bar->Label1_Click(0);
        const float waitingHeight = m_bar->panel->heightTwips();
        QTRY_COMPARE(m_bar->panel->body(), QStringLiteral("\r\nConnessione non riuscita, riprovare!\r\n"));
        QCOMPARE(m_bar->panel->heightTwips(), waitingHeight);
    }

    // Ticking or unticking the box only asks for a refresh at the ring's next sync point.
    void showsTheQuoteInTheFuturesSlot_data() {
        QTest::addColumn<QByteArray>("symbolFile");
        QTest::addColumn<QByteArray>("requestedPath");
        QTest::addColumn<QByteArray>("open");
        QTest::addColumn<bool>("rising");
        QTest::newRow("plain, falling") << QByteArray("NQZ26") << QByteArray("/qc/stocks/quotes.aspx?symbols=NQZ26")
                                        << QByteArray("21100.00") << false;
        QTest::newRow("line end, rising")
            << QByteArray("NQZ26\r\n") << QByteArray("/qc/stocks/quotes.aspx?symbols=NQZ26%0D%0A")
            << QByteArray("21000.00") << true;
    }
    void showsTheQuoteInTheFuturesSlot() {
        QFETCH(QByteArray, symbolFile);
        QFETCH(QByteArray, requestedPath);
        QFETCH(QByteArray, open);
        QFETCH(bool, rising);
        m_server->setReply("/browser/fut.txt", {200, symbolFile});
        m_server->setReply(requestedPath, {200, dataFile("quote.html").replace("21100.00", open)});
        startBar();
        QTRY_COMPARE(m_bar->state().CodiceFutures, QString::fromLatin1(symbolFile));
        m_bar->Check2->setChecked(true);
        QVERIFY(m_bar->ring().refreshPending());
        QVERIFY(!m_bar->Inet3->StillExecuting());
        runToSyncPoint();
        QVERIFY(m_bar->Inet3->StillExecuting());
        const QString trend = QString::fromLatin1(rising ? "positivo" : "negativo");
        QTRY_COMPARE(m_bar->state().TendenzaFutures, trend);
        QCOMPARE(m_server->requestLines().count("GET " + requestedPath + " HTTP/1.1"), 1);
        const QString change = QString::fromLatin1(rising ? "+ 0,31 %" : "- 0,31 %");
        QCOMPARE(m_bar->Frame1->caption(5), QStringLiteral("  16:00 - ") + QString::fromLatin1(symbolFile) +
                                                QStringLiteral(", ") + change + QStringLiteral("  "));
        QCOMPARE(m_bar->Frame1->captionColor(5), rising ? QColor(0, 128, 0) : QColor(255, 0, 0));

        m_bar->Label1_Click(5);
        QCOMPARE(m_bar->panel->heading(), QStringLiteral("16:00 Indice futures Nasdaq 100"));
        QCOMPARE(m_bar->panel->Label8->toolTip(), QStringLiteral("Chart tempo reale"));
        QVERIFY(m_bar->panel->body().startsWith(u"I futures USA Nasdaq-100 viaggiano in terreno "_s + trend));
        QCOMPARE(m_bar->state().AzioneTitolo, HeadingAction::Chart);

        // Unticked while a quote is arriving: at the sync point the quote is abandoned.
        m_server->setReply(requestedPath, {200, {}, TestHttpServer::Delivery::Silent});
        m_bar->Label5_Click();
        m_bar->Check2->setChecked(false);
        QVERIFY(m_bar->Inet3->StillExecuting());
        runToSyncPoint();
        QVERIFY(!m_bar->Inet3->StillExecuting());
        QCOMPARE(m_bar->Frame1->caption(5), QStringLiteral(".   "));
        QCOMPARE(m_bar->ring().box(5).width, m_bar->Frame1->captionWidth(5));
    }

    void helpAndPromotionalSlot() {
        startBar();
        m_bar->Label1_Click(7);
        QCOMPARE(m_bar->panel->heading(), QStringLiteral(" Aiuto per l'uso del ticker"));
        // One paragraph, sentences one blank apart, the words as the program has always had them.
        QCOMPARE(m_bar->panel->body(),
                 u"La barretta si posiziona automaticamente al centro in alto dello schermo. Per spostarla "
                 u"occorre trascinarela con il mouse dalla zona viola a destra, per riposizionarla premere la "
                 u"freccetta in su. La check box serve a visualizzare i Futures sul Nasdaq 100 nel ticker. "
                 u"Cliccando sui titoli del ticker, si visualizzano le notizie, e cliccando al centro della "
                 u"notizia si chiude il riquadro. Cliccando sul titolo successivo si va alla pagina Televideo "
                 u"RAI fonte delle ultime notizie visualizzate. La R in verde, esegue l'aggiornamento rapido "
                 u"delle informazioni. La X chiude il programma. Se si clicca sul titolo dei futures, si apre "
                 u"la Chart Tempo Reale di Lycos e si possono visualizzare gli altri indici Americani con "
                 u"l'aiuto dei Men\u00f9. La barra ticker si posiziona su tutte le finestre aperte in una "
                 u"posizione normalmente libera, il riquadro notizia viene nascosto dalle finestre aperte, per "
                 u"rivisualizzarlo, cliccare sulla barra viola. Fate buon uso del programma e ricordatevi di "
                 u"visitare il sito per altri freeware."_s);
        QCOMPARE(m_bar->state().AzioneTitolo, HeadingAction::NewsSite);

        const QString heading = m_bar->panel->heading();
        const QString body = m_bar->panel->body();
        m_bar->Label1_Click(6);
        QCOMPARE(m_browser.opened.size(), 1);
        QCOMPARE(m_browser.opened.last().path(), QStringLiteral("/zefirina/"));
        QCOMPARE(m_bar->panel->heading(), heading);
        QCOMPARE(m_bar->panel->body(), body);
        QVERIFY(m_bar->panel->isVisible());
        QCOMPARE(m_bar->state().AzioneTitolo, HeadingAction::NewsSite);

        // The promotional captions rotate in a box of a fixed width.
        const float width = m_bar->ring().box(6).width;
        QTRY_COMPARE(m_bar->Frame1->caption(6), u"  Zefirina: le notizie sempre in vista  "_s);
        QCOMPARE(m_bar->ring().box(6).width, width);
    }

    // The exit box itself: Return answers No and the program goes on; "Sì" ends it.
    void exitsOnlyOnYes_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Return") << false;
        QTest::newRow("S\u00ec") << true;
    }
    void exitsOnlyOnYes() {
        QFETCH(bool, yes);
        startBar();
        bool quit = false;
        m_bar->setExitHandlers({{}, [&quit] { quit = true; }});
        // Read while the box is open, checked once it has been answered.
        QStringList seen;
        QTimer::singleShot(0, [yes, &seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen << box->windowTitle() << box->text() << QString::number(box->icon());
            QStringList captions;
            for (QAbstractButton* button : box->buttons())
                captions << button->text();
            captions.sort();
            seen << captions << box->defaultButton()->text();
            if (yes)
                box->button(QMessageBox::Yes)->click();
            else
                QTest::keyClick(box, Qt::Key_Return);
        });
        m_bar->Label3_Click();
        QCOMPARE(quit, yes);
        QCOMPARE(seen, (QStringList{QStringLiteral("Zefirina - Ventoria"),
                                    QStringLiteral("Vuoi veramente uscire da Zefirina ?"),
                                    QString::number(QMessageBox::Critical), QStringLiteral("No"),
                                    QStringLiteral(u"S\u00ec"), QStringLiteral("No")}));
    }

private:
    void startBar(QString newsHost = {}, bool withHeadlines = true) {
        const QString local = m_server->host();
        if (newsHost.isEmpty())
            newsHost = local;
        m_bar = std::make_unique<Form1>(ServiceHosts{newsHost, local, local, local, local, local});
        if (newsHost == local && withHeadlines)
            QTRY_COMPARE(m_bar->Frame1->caption(6), u"   www.ventoria.it   "_s);
    }

    // Moves the ring tick by tick until the pending refresh has run.
    void runToSyncPoint() {
        for (int tick = 0; tick < 100'000 && m_bar->ring().refreshPending(); ++tick)
            m_bar->Timer3_Timer();
        QVERIFY(!m_bar->ring().refreshPending());
    }

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<Form1> m_bar;
    BrowserStandIn m_browser;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
