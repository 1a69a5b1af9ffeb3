#include "browserstandin.h"
#include "datafile.h"
#include "panels/form2.h"
#include "testhttpserver.h"
#include "widgets/clicklabel.h"
#include "ticker/form1.h"
#include "ticker/inettransfer.h"
#include "model/helptext.h"
#include "model/promocaptions.h"
#include "ticker/tickerstrip.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDesktopServices>
#include <QTest>

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
        const QStringList expected = {
            QStringLiteral(u"  14:05 - Citt\u00e0\u00a0 in festa per il Natale  "),
            QStringLiteral(u"  13:40 - Pi\u00f9 trenisulla linea costiera  "),
            QStringLiteral(u"  12:15 - Perch\u00e9 il lago \u00e8 cos\u00ec alto  "),
            QStringLiteral("  11:02 - Il museo riapre  "),
            QStringLiteral("  10:30 - Neve sulle Alpi  ")};
        for (int slot = 0; slot < 5; ++slot) {
            QCOMPARE(m_bar->Frame1->caption(slot), expected[slot]);
            QCOMPARE(m_bar->ring().box(slot).width, m_bar->Frame1->captionWidth(slot));
            QCOMPARE(m_bar->LinkNotizie()[slot], QStringLiteral("/n/%1.html").arg(slot + 1));
        }
        QCOMPARE(m_bar->Frame1->caption(5), QStringLiteral(".   "));
        QCOMPARE(m_bar->Frame1->caption(6), PromoCaptions::first());
        for (int slot = 1; slot < 7; ++slot)
            QCOMPARE(m_bar->ring().box(slot).left,
                     m_bar->ring().box(slot - 1).left + m_bar->ring().box(slot - 1).width);
    }

    void showsTheDetailOfAClickedHeadline() {
        startBar();
        m_bar->Label1_Click(2);
        QCOMPARE(m_bar->panel->heading(), m_bar->Frame1->caption(2));
        QCOMPARE(m_bar->panel->body(), Waiting);
        QVERIFY(m_bar->panel->isVisible());
        QTRY_COMPARE(m_bar->panel->body(),
                     QStringLiteral(u"Il livello \u00e8 salito,  oggi 12,5 centimetri, in pi\u00f9."));
        QCOMPARE(m_bar->panel->topTwips(), m_bar->topTwips() + 250.f);
        QCOMPARE(m_bar->panel->leftTwips(), m_bar->leftTwips());
    }

    void theNewestClickedHeadlineWins() {
        m_server->setReply("/accessibile/n/1.html", {200, {}, TestHttpServer::Delivery::Silent});
        startBar();
        m_bar->Label1_Click(0);
        m_bar->Label1_Click(2);
        QTRY_VERIFY(m_bar->panel->body().startsWith(u"Il livello"));
        QCOMPARE(m_bar->panel->heading(), m_bar->Frame1->caption(2));
    }

    void reportsAFailedConnectionWithoutRefittingThePanel() {
        startBar(QStringLiteral("127.0.0.1:1"));
        m_bar->Label1_Click(0);
        const float waitingHeight = m_bar->panel->heightTwips();
        QTRY_COMPARE(m_bar->panel->body(), QStringLiteral("\r\nConnessione non riuscita, riprovare!\r\n"));
        QCOMPARE(m_bar->panel->heightTwips(), waitingHeight);
    }

    void showsTheQuoteInTheFuturesSlot_data() {
        QTest::addColumn<QByteArray>("symbolFile");
        QTest::addColumn<QByteArray>("requestedPath");
        QTest::newRow("plain") << QByteArray("NQZ26") << QByteArray("/qc/stocks/quotes.aspx?symbols=NQZ26");
        QTest::newRow("line end") << QByteArray("NQZ26\r\n")
                                  << QByteArray("/qc/stocks/quotes.aspx?symbols=NQZ26%0D%0A");
        QTest::newRow("quotes and ampersand")
            << QByteArray("NQ\"Z'6&x=1") << QByteArray("/qc/stocks/quotes.aspx?symbols=NQ%22Z%276%26x%3D1");
    }
    void showsTheQuoteInTheFuturesSlot() {
        QFETCH(QByteArray, symbolFile);
        QFETCH(QByteArray, requestedPath);
        m_server->setReply("/browser/fut.txt", {200, symbolFile});
        m_server->setReply(requestedPath, {200, dataFile("quote.html")});
        startBar();
        QTRY_COMPARE(m_bar->state().CodiceFutures, QString::fromLatin1(symbolFile));
        m_bar->Check2->setChecked(true);
        m_bar->Label5_Click();
        QTRY_COMPARE(m_bar->state().TendenzaFutures, QStringLiteral("negativo"));
        QVERIFY(m_server->requestLines().contains("GET " + requestedPath + " HTTP/1.1"));
        QCOMPARE(m_bar->Frame1->caption(5), QStringLiteral("  16:00 - ") + QString::fromLatin1(symbolFile) +
                                                QStringLiteral(", - 0,31 %  "));
        QCOMPARE(m_bar->Frame1->captionColor(5), QColor(255, 0, 0));

        m_bar->Label1_Click(5);
        // The texts themselves are the market's, tested there.
        QCOMPARE(m_bar->panel->heading(), futuresHeading(m_bar->state().DatiFutures));
        QCOMPARE(m_bar->panel->body(), futuresDescription(m_bar->state().DatiFutures, u"negativo"_s));
        QCOMPARE(m_bar->state().DatiFutures.fields,
                 (std::array<QString, 4>{u"16:00"_s, u"21034,25"_s, u"- 0,31 %"_s, u"21100,00"_s}));
        QCOMPARE(m_bar->state().AzioneTitolo, HeadingAction::Chart);

        m_bar->Check2->setChecked(false);
        m_bar->Label5_Click();
        QCOMPARE(m_bar->Frame1->caption(5), QStringLiteral(".   "));
    }

    void helpAndPromotionalSlot() {
        startBar();
        m_bar->Label1_Click(7);
        QCOMPARE(m_bar->panel->heading(), QStringLiteral(" Aiuto per l'uso del ticker"));
        QCOMPARE(m_bar->panel->body(), HelpText::body()); // its sentences are tested with the model
        QCOMPARE(m_bar->state().AzioneTitolo, HeadingAction::NewsSite);
        m_bar->panel->Label8_Click();
        QCOMPARE(m_browser.opened, QList<QUrl>({QUrl(QStringLiteral("http://") + m_server->host() + QStringLiteral("/"))}));

        const QString heading = m_bar->panel->heading();
        m_bar->Label1_Click(6);
        QCOMPARE(m_browser.opened.last().path(), QStringLiteral("/zefirina/"));
        QCOMPARE(m_bar->panel->heading(), heading);
        QCOMPARE(m_bar->state().AzioneTitolo, HeadingAction::NewsSite);
    }

    void promotionalCaptionsRotateInAFixedBox() {
        startBar();
        const float width = m_bar->ring().box(6).width;
        QTRY_COMPARE(m_bar->Frame1->caption(6), *PromoCaptions::next(PromoCaptions::first()));
        QCOMPARE(m_bar->ring().box(6).width, width);
    }

    // A screen reader names each control as its tooltip does, and reads the panel's texts.
    void everyControlCanBeReadAloud() {
        startBar();
        m_bar->Label1_Click(2);
        QTRY_VERIFY(m_bar->panel->body().startsWith(u"Il livello"));
        const auto name = [](QWidget* widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        const std::pair<QWidget*, QString> controls[] = {
            {m_bar->Label6, u"Finestra al top"_s},
            {m_bar->Label5, u"Aggiorna i dati"_s},
            {m_bar->HelpButton, u"Aiuto per l'uso del ticker."_s},
            {m_bar->Label3, u"Chiude"_s},
            {m_bar->Check2, u"Futures Americani"_s},
        };
        for (const auto& [control, text] : controls) {
            QCOMPARE(name(control), text);
            QCOMPARE(control->toolTip(), text);
        }
        QCOMPARE(name(m_bar->Frame1), u"Ultime notizie"_s);
        QCOMPARE(name(m_bar->panel->Label8), u"  12:15 - Perch\u00e9 il lago \u00e8 cos\u00ec alto  "_s);
        QCOMPARE(name(m_bar->panel->Label7), u"Il livello \u00e8 salito,  oggi 12,5 centimetri, in pi\u00f9."_s);
    }

    void exitsOnlyOnYes_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void exitsOnlyOnYes() {
        QFETCH(bool, yes);
        startBar();
        bool quit = false;
        m_bar->setExitHandlers({[yes](QWidget*) { return yes; }, [&quit] { quit = true; }});
        m_bar->Label3_Click();
        QCOMPARE(quit, yes);
    }

private:
    void startBar(QString newsHost = {}) {
        const QString local = m_server->host();
        if (newsHost.isEmpty())
            newsHost = local;
        m_bar = std::make_unique<Form1>(ServiceHosts{newsHost, local, local, local, local, local});
        if (newsHost == local)
            QTRY_COMPARE(m_bar->Frame1->caption(6), PromoCaptions::first());
    }

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<Form1> m_bar;
    BrowserStandIn m_browser;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
