// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "browserstandin.h"
#include "common/windows1252.h"
#include "datafile.h"
#include "generatedpages.h"
#include "panels/form2.h"
#include "samehost.h"
#include "testhttpserver.h"
#include "ticker/form1.h"
#include "ticker/inettransfer.h"
#include "ticker/tickerstrip.h"
#include "widgets/clicklabel.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString Waiting = QStringLiteral("\r\nConnessione in corso...\r\n");
enum Transfer { Headlines, Detail, Quote, Symbol };

QByteArray randomBytes(qsizetype size) {
    QRandomGenerator generator(20261206);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}
} // namespace

// The bar with its four transfers against a loopback server.
class TestForm1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_server = std::make_unique<TestHttpServer>();
        m_server->setReply(path(Headlines), {200, dataFile("headlines.html")});
        m_server->setReply(path(Symbol), {200, "NQZ26"});
        m_server->setReply(path(Detail), {200, dataFile("detail.html")});
        m_server->setReply("/accessibile/n/3.html", {200, dataFile("detail.html")});
        m_server->setReply(path(Quote), {200, dataFile("quote.html")});
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
        m_browser.opened.clear();
    }
    void cleanup() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        m_bar.reset();
    }

    // The newest click wins, though the page of the one before it never comes; the heading
    // is the headline as the strip shows it.
    void showsTheDetailOfTheLastClickedHeadline() {
        m_server->setReply("/accessibile/n/1.html", {200, {}, TestHttpServer::Delivery::Silent});
        startBar();
        m_bar->Label1_Click(0);
        m_bar->Label1_Click(2);
        QCOMPARE(m_bar->panel->heading(), u"  12:15 - Perch\u00e9 il lago \u00e8 cos\u00ec alto  "_s);
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

    // Each of the bar's four transfers against the ways a server can misbehave that the bar
    // tells apart (the fetch core's own test tells every kind of failure apart): the bar must
    // not crash or hang, the ticker must keep moving, the transfer must be free again, and
    // the bar and the panel must show what a failed or an odd page gives.
    void survivesAMisbehavingServer_data() {
        QTest::addColumn<TestHttpServer::Reply>("reply");
        QTest::addColumn<int>("transfer");
        QTest::addColumn<QString>("expected");
        // What each transfer shows: slot 0's caption, the panel's body, slot 5's caption, the
        // futures symbol; "=" that text exactly, "^" a text starting so, "~" one containing
        // it, "" what it showed before. A failure changes nothing but the panel, which tells
        // it; a page that arrives is read whatever it holds, as the readers' rules say.
        const auto failed = [](const QString& text) {
            return std::array{QString(), u"=\r\n"_s + text + u"\r\n"_s, QString(), u"="_s};
        };
        const QString unavailable = u"~Dati non disponibili"_s;
        const QString nul = QString(QChar(0));
        static const char nulBytes[] =
            "<div class=\"StrilloTelevideo\"><a href=\"/n/1.html\">12.00&nbsp;Tito"
            "\0lo</a></div>\n<div class=\"popup05\"><h2>T</h2></div>\r\n\r\nTe\0sto\r\n</div>";
        const QByteArray nulPage(nulBytes, sizeof nulBytes - 1);
        const QByteArray errorPage = "<html><body><h1>Errore interno del server</h1></body></html>";
        const QByteArray longLine(5 * 1024 * 1024, 'x');
        const QByteArray binary = randomBytes(64 * 1024);
        const QByteArray markers = headlinePage(10'000);
        using Delivery = TestHttpServer::Delivery;

        add("empty body", {200, {}}, {QString(), u"="_s + Waiting, QString(), u"="_s});
        add("never answers", {200, {}, Delivery::Silent}, failed(u"Tempo scaduto: il server non risponde"_s));
        add("closed mid-body", {200, dataFile("headlines.html"), Delivery::CutMidBody},
            {QString(), u"^\r\nTrasferimento interrotto: "_s, QString(), u"="_s});
        add("100 MiB body", {200, {}, Delivery::Endless}, failed(u"Risposta troppo grande"_s));
        // An error status is no failure of the transfer: its page is read like any other.
        add("status 500 with a body", {500, errorPage},
            {unavailable, u"="_s, u"=   - NQZ26, - 0,0 %  "_s, u"="_s + QString::fromLatin1(errorPage)});
        add("random bytes", {200, binary}, {unavailable, u"="_s, u"~ - NQZ26, "_s, u"="_s + decodeWindows1252(binary)});
        add("10,000 markers", {200, markers},
            {u"=  12:00 - Titolo numero 0  "_s, u"~Titolo numero 0</"_s, u"~ - NQZ26, "_s,
             u"="_s + QString::fromLatin1(markers)});
        add("5 MiB line without a marker", {200, longLine},
            {unavailable, u"="_s, u"=   - NQZ26, + 0,0 %  "_s, u"="_s + QString::fromLatin1(longLine)});
        add("NUL bytes", {200, nulPage},
            {u"=  12:00 - Tito"_s + nul + u"lo  "_s, u"=Te"_s + nul + u"sto"_s, u"~ - NQZ26, "_s,
             u"="_s + decodeWindows1252(nulPage)});
    }
    void survivesAMisbehavingServer() {
        QFETCH(TestHttpServer::Reply, reply);
        QFETCH(int, transfer);
        QFETCH(QString, expected);
        // The symbol is read once, at start-up: its fault is there from the start.
        if (transfer == Symbol)
            m_server->setReply(path(Symbol), reply);
        startBarShowingEverything();
        if (transfer != Symbol) {
            QTRY_VERIFY(m_bar->panel->body().contains(u"Il livello"));
            QTRY_VERIFY(m_bar->Frame1->caption(5).contains(u"NQZ26"));
        }
        const QString before = shown(transfer);
        const QStringList stateBefore = readings();
        m_server->setReply(path(transfer), reply);
        InetTransfer* inet = this->inet(transfer);
        if (transfer == Detail)
            m_bar->Label1_Click(0);
        else if (transfer != Symbol)
            m_bar->Label5_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!inet->StillExecuting(), 30000);

        const QString now = shown(transfer);
        const QString text = expected.mid(1);
        if (expected.isEmpty()) {
            QCOMPARE(now, before);
            QCOMPARE(readings(), stateBefore);
        } else if (expected.startsWith(u'=')) {
            QCOMPARE(now, text.left(TickerStrip::MaxCaptionChars));
        } else {
            QVERIFY2(expected.startsWith(u'^') ? now.startsWith(text) : now.contains(text), qPrintable(now.left(200)));
        }
        const float left = m_bar->ring().box(0).left;
        QTRY_VERIFY(m_bar->ring().box(0).left != left);
        QVERIFY(inet->Execute(QUrl(QStringLiteral("http://") + m_server->host() + QStringLiteral("/free"))));
        inet->Cancel();
        if (transfer == Symbol) { // the bar asks for a quote with whatever symbol it got
            m_bar->Label5_Click();
            QTRY_VERIFY_WITH_TIMEOUT(!m_bar->Inet3->StillExecuting(), 30000);
            QVERIFY(m_bar->Frame1->caption(5).size() <= TickerStrip::MaxCaptionChars + 1);
        }
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

    static void add(const char* fault, const TestHttpServer::Reply& reply, const std::array<QString, 4>& expected) {
        static const char* const transfers[] = {"headlines", "detail", "quote", "symbol"};
        for (int transfer = Headlines; transfer <= Symbol; ++transfer)
            QTest::addRow("%s / %s", fault, transfers[transfer]) << reply << transfer << expected[transfer];
    }

    static QByteArray path(int transfer) {
        static const QByteArray paths[] = {"/notizietelevideo/", "/accessibile/n/1.html",
                                           "/qc/stocks/quotes.aspx?symbols=NQZ26", "/browser/fut.txt"};
        return paths[transfer];
    }

    InetTransfer* inet(int transfer) const {
        return std::array{m_bar->Inet1, m_bar->Inet2, m_bar->Inet3, m_bar->Inet4}[transfer];
    }

    QString shown(int transfer) const {
        return std::array{m_bar->Frame1->caption(0), m_bar->panel->body(), m_bar->Frame1->caption(5),
                          m_bar->state().CodiceFutures.left(TickerStrip::MaxCaptionChars)}[transfer];
    }

    // What the bar keeps from its readings besides the captions: the links, the box widths,
    // the quote, its direction and the futures slot's colour.
    QStringList readings() const {
        QStringList kept(m_bar->LinkNotizie().begin(), m_bar->LinkNotizie().end());
        for (int slot = 0; slot < TickerRing::SlotCount; ++slot)
            kept << QString::number(m_bar->ring().box(slot).width);
        const auto& quote = m_bar->state().DatiFutures.fields;
        kept << QStringList(quote.begin(), quote.end()) << m_bar->state().TendenzaFutures
             << m_bar->Frame1->captionColor(5).name();
        return kept;
    }

    // A bar with its headlines, a quote in the futures slot and a news item in the panel,
    // whose transfers give up within a second and a half.
    void startBarShowingEverything() {
        m_bar = std::make_unique<Form1>(sameHost(m_server->host()));
        for (InetTransfer* transfer : {m_bar->Inet1, m_bar->Inet2, m_bar->Inet3, m_bar->Inet4})
            transfer->setTimeouts(300, 1500);
        QTRY_COMPARE(m_bar->Frame1->caption(6), u"   www.ventoria.it   "_s);
        QTRY_VERIFY_WITH_TIMEOUT(!m_bar->Inet4->StillExecuting(), 30000);
        m_bar->Check2->setChecked(true);
        m_bar->Label5_Click();
        m_bar->Label1_Click(0);
    }

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<Form1> m_bar;
    BrowserStandIn m_browser;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
