// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// Each of the bar's four transfers against the ways a server can misbehave that the bar
// tells apart (the fetch core's own test tells every kind of failure apart): the bar must
// not crash or hang, the ticker must keep moving, the transfer must be free again, and
// the bar and the panel must show what a failed or an odd page gives.
#include "common/windows1252.h"
#include "datafile.h"
#include "generatedpages.h"
#include "panels/form2.h"
#include "samehost.h"
#include "testhttpserver.h"
#include "ticker/form1.h"
#include "ticker/inettransfer.h"
#include "ticker/tickerstrip.h"

#include <QCheckBox>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

using Delivery = TestHttpServer::Delivery;

namespace {
enum Transfer { Headlines, Detail, Quote, Symbol };
// How the transfer's visible result must compare with what it showed before the fault.
enum class Match { Unchanged, Exactly, StartsWith, Contains };
struct Outcome {
    Match match;
    QString text;
};
Outcome unchanged() { return {Match::Unchanged, {}}; }
Outcome exactly(const QString& text) { return {Match::Exactly, text}; }
Outcome startsWith(const QString& text) { return {Match::StartsWith, text}; }
Outcome contains(const QString& text) { return {Match::Contains, text}; }

QByteArray randomBytes(qsizetype size) {
    QRandomGenerator generator(20261206);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}
} // namespace
Q_DECLARE_METATYPE(Match)

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_server = std::make_unique<TestHttpServer>();
        m_server->setReply(path(Headlines), {200, dataFile("headlines.html")});
        m_server->setReply(path(Detail), {200, dataFile("detail.html")});
        m_server->setReply(path(Quote), {200, dataFile("quote.html")});
        m_server->setReply(path(Symbol), {200, "NQZ26"});
    }
    void cleanup() { m_bar.reset(); }

    void survivesAMisbehavingServer_data() {
        QTest::addColumn<TestHttpServer::Reply>("reply");
        QTest::addColumn<int>("transfer");
        QTest::addColumn<Match>("match");
        QTest::addColumn<QString>("expected");
        // What each transfer shows: slot 0's caption, the panel's body, slot 5's caption, the
        // futures symbol. A failure changes nothing but the panel, which tells it; a page
        // that arrives is read whatever it holds, as the readers' rules say.
        const auto failed = [](const QString& text) {
            return std::array{unchanged(), exactly(QStringLiteral("\r\n") + text + QStringLiteral("\r\n")), unchanged(),
                              exactly({})};
        };
        const auto interrupted = std::array{unchanged(), startsWith(QStringLiteral("\r\nTrasferimento interrotto: ")),
                                            unchanged(), exactly({})};
        const QString unavailable = QStringLiteral("Dati non disponibili");
        const QString nul = QString(QChar(0));
        static const char nulBytes[] =
            "<div class=\"StrilloTelevideo\"><a href=\"/n/1.html\">12.00&nbsp;Tito"
            "\0lo</a></div>\n<div class=\"popup05\"><h2>T</h2></div>\r\n\r\nTe\0sto\r\n</div>";
        const QByteArray nulPage(nulBytes, sizeof nulBytes - 1);
        const QByteArray errorPage = "<html><body><h1>Errore interno del server</h1></body></html>";
        const QByteArray longLine(5 * 1024 * 1024, 'x');
        const QByteArray binary = randomBytes(64 * 1024);
        const QByteArray markers = headlinePage(10'000);

        add("empty body", {200, {}},
            {unchanged(), exactly(QStringLiteral("\r\nConnessione in corso...\r\n")), unchanged(), exactly({})});
        add("never answers", {200, {}, Delivery::Silent},
            failed(QStringLiteral("Tempo scaduto: il server non risponde")));
        add("closed mid-body", {200, dataFile("headlines.html"), Delivery::CutMidBody}, interrupted);
        add("100 MiB body", {200, {}, Delivery::Endless}, failed(QStringLiteral("Risposta troppo grande")));
        // An error status is no failure of the transfer: its page is read like any other.
        add("status 500 with a body", {500, errorPage},
            {contains(unavailable), exactly({}), exactly(QStringLiteral("   - NQZ26, - 0,0 %  ")),
             exactly(QString::fromLatin1(errorPage))});
        add("random bytes", {200, binary},
            {contains(unavailable), exactly({}), contains(QStringLiteral(" - NQZ26, ")),
             exactly(decodeWindows1252(binary))});
        add("10,000 markers", {200, markers},
            {exactly(QStringLiteral("  12:00 - Titolo numero 0  ")), contains(QStringLiteral("Titolo numero 0</")),
             contains(QStringLiteral(" - NQZ26, ")), exactly(QString::fromLatin1(markers))});
        add("5 MiB line without a marker", {200, longLine},
            {contains(unavailable), exactly({}), exactly(QStringLiteral("   - NQZ26, + 0,0 %  ")),
             exactly(QString::fromLatin1(longLine))});
        add("NUL bytes", {200, nulPage},
            {exactly(QStringLiteral("  12:00 - Tito") + nul + QStringLiteral("lo  ")),
             exactly(QStringLiteral("Te") + nul + QStringLiteral("sto")), contains(QStringLiteral(" - NQZ26, ")),
             exactly(decodeWindows1252(nulPage))});
    }
    void survivesAMisbehavingServer() {
        QFETCH(TestHttpServer::Reply, reply);
        QFETCH(int, transfer);
        QFETCH(Match, match);
        QFETCH(QString, expected);
        // The symbol is read once, at start-up: its fault is there from the start.
        if (transfer == Symbol)
            m_server->setReply(path(Symbol), reply);
        startBar();
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
        switch (match) {
        case Match::Unchanged:
            QCOMPARE(now, before);
            QCOMPARE(readings(), stateBefore);
            break;
        case Match::Exactly:
            QCOMPARE(now, expected.left(TickerStrip::MaxCaptionChars));
            break;
        case Match::StartsWith:
            QVERIFY2(now.startsWith(expected), qPrintable(now));
            break;
        case Match::Contains:
            QVERIFY2(now.contains(expected), qPrintable(now.left(200)));
            break;
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
    static void add(const char* fault, const TestHttpServer::Reply& reply, const std::array<Outcome, 4>& outcomes) {
        static const char* const transfers[] = {"headlines", "detail", "quote", "symbol"};
        for (int transfer = Headlines; transfer <= Symbol; ++transfer)
            QTest::addRow("%s / %s", fault, transfers[transfer])
                << reply << transfer << outcomes[transfer].match << outcomes[transfer].text;
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
    void startBar() {
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
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
