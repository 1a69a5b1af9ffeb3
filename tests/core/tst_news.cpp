#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "news/textrepair.h"
#include "samplepage.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const HeadlineLinks PreviousLinks = {u"/a"_s, u"/b"_s, u"/c"_s, u"/d"_s, u"/e"_s};

QString caption(const char* time, const QString& title) {
    return u"  "_s + QLatin1String(time) + u" - "_s + title + u"  "_s;
}

QString link(const char* name) {
    return u"/notizie/2025/12/"_s + QLatin1String(name) + u".html"_s;
}

// A detail page whose news text is `text`.
QString detailPage(const QString& text) {
    return u"<body><div class=\"popup05\"><h1>Titolo</h1></div>\n<p>"_s + text +
           u"  </div></body>"_s;
}
} // namespace

class TestNews : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void repairsAccentedVowels_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("repaired");
        QTest::newRow("no lead character") << u"Roma, 12 gradi"_s << u"Roma, 12 gradi"_s;
        QTest::newRow("e grave, o grave, i grave")
            << u"\u00C3\u00A8 \u00C3\u00B2 \u00C3\u00AC"_s << u"\u00E8 \u00F2 \u00EC"_s;
        QTest::newRow("e acute, u grave") << u"\u00C3\u00A9 \u00C3\u00B9"_s << u"\u00E9 \u00F9"_s;
        QTest::newRow("a grave keeps its no-break space")
            << u"citt\u00C3\u00A0 e"_s << u"citt\u00E0\u00A0 e"_s;
        QTest::newRow("capital E grave becomes a grave")
            << u"\u00C3\u02C6 vero"_s << u"\u00E0\u02C6 vero"_s;
        QTest::newRow("pairs before the lone lead")
            << u"\u00C3\u00A8\u00C3\u00B9\u00C3"_s << u"\u00E8\u00F9\u00E0"_s;
    }
    void repairsAccentedVowels() {
        QFETCH(QString, text);
        QFETCH(QString, repaired);
        QCOMPARE(repairAccents(text), repaired);
        QCOMPARE(repairAccents(repaired), repaired);
    }

    void readsHeadlinePage_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("links");
        const QString none = caption("08:41", u"Dati non disponibili"_s);
        const QString maltempo = caption("10:42", u"Maltempo:allerta gialla in Liguria"_s);
        const QString governo = caption("10:15", u"Perch\u00E9 il governo \u00E8 pronto al voto"_s);
        const QString treni = caption("09:58", u"Citt\u00E0\u00A0, pi\u00F9 treni per le feste"_s);
        const QString borsa = caption("09:30", u"Borsa: Milano apre in rialzo"_s);
        const QString calcio =
            caption("09:05", u"Calcio, la Nazionale &quot;torna&quot; a Coverciano"_s);
        QTest::newRow("first five of six")
            << u"headlines_six.html"_s << QStringList{maltempo, governo, treni, borsa, calcio}
            << QStringList{link("maltempo-liguria"), link("governo-voto"), link("treni-feste"),
                           link("borsa-apertura"), link("nazionale")};
        QTest::newRow("one record repeated")
            << u"headlines_one.html"_s << QStringList{borsa, borsa, borsa, borsa, borsa}
            << QStringList(5, link("borsa-apertura"));
        QTest::newRow("three records, then the third again and the first")
            << u"headlines_three.html"_s << QStringList{maltempo, governo, treni, treni, maltempo}
            << QStringList{link("maltempo-liguria"), link("governo-voto"), link("treni-feste"),
                           link("treni-feste"), link("maltempo-liguria")};
        QTest::newRow("no record keeps the links")
            << u"headlines_none.html"_s << QStringList(5, none)
            << QStringList(PreviousLinks.begin(), PreviousLinks.end());
        QTest::newRow("record without no-break space has no time")
            << u"headlines_without_nbsp.html"_s << QStringList{borsa, none, none, borsa, none}
            << QStringList{link("borsa-apertura"), link("sciopero"), link("sciopero"),
                           link("borsa-apertura"), link("sciopero")};
    }
    void readsHeadlinePage() {
        QFETCH(QString, fileName);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, links);
        const HeadlineBatch batch = readHeadlines(samplePage(fileName), PreviousLinks, u"08:41"_s);
        QCOMPARE(QStringList(batch.captions.begin(), batch.captions.end()), captions);
        QCOMPARE(QStringList(batch.links.begin(), batch.links.end()), links);
    }

    void readsDetailText_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma before a word and inside a number")
            << detailPage(u"Roma, oggi 12,5 gradi"_s) << u"Roma, oggi 12,5 gradi"_s;
        QTest::newRow("comma gets a blank") << detailPage(u"a,b"_s) << u"a, b"_s;
        QTest::newRow("three blanks become two") << detailPage(u"a,  b"_s) << u"a,  b"_s;
        QTest::newRow("blank between comma and digit goes")
            << detailPage(u"Costo, 5 euro"_s) << u"Costo,5 euro"_s;
        QTest::newRow("saved page")
            << samplePage(u"detail_maltempo.html"_s)
            << u"Genova, piogge intense fino a domani: caduti 120,5 millimetri in sei ore,  "
               u"e la citt\u00E0\u00A0 \u00E8 in allerta. Scuole chiuse a Savona."_s;
        QTest::newRow("no marker: from the tenth character up to the first closing div")
            << u"<html><body><p>Pagina non trovata</p>\n</div>"_s
            << u"dy><p>Pagina non trovata</p"_s;
        QTest::newRow("no marker, first closing div too early")
            << u"<p>x</div><p>Testo</p>"_s << QString();
        QTest::newRow("no second closing div")
            << u"<div class=\"popup05\">Titolo</div>\n<p>Testo senza fine"_s << QString();
        QTest::newRow("no closing div at all") << u"<p class=\"popup05\">Testo</p>"_s << QString();
    }
    void readsDetailText() {
        QFETCH(QString, body);
        QFETCH(QString, text);
        QCOMPARE(readDetail(body), text);
    }
};

QTEST_APPLESS_MAIN(TestNews)
#include "tst_news.moc"
