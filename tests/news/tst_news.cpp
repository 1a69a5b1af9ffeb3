// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/windows1252.h"
#include "datafile.h"
#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "news/textrepair.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const HeadlineLinks PreviousLinks = {u"/a"_s, u"/b"_s, u"/c"_s, u"/d"_s, u"/e"_s};

QString caption(const char* time, const QString& title) {
    return u"  "_s + QLatin1String(time) + u" - "_s + title + u"  "_s;
}

QString link(const char* name) { return u"/notizie/2025/12/"_s + QLatin1String(name) + u".html"_s; }

// The marker of a detail page, and the paragraph that follows it.
const QString Detail = u"<div class=\"popup05\"></div>\n<p>"_s;
} // namespace

class TestNews : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void repairsAccentedVowels() {
        const QString pairs = u"\u00C3\u00A8 \u00C3\u00B2 \u00C3\u00AC \u00C3\u00A9 \u00C3\u00B9"_s;
        QCOMPARE(repairAccents(pairs), u"\u00E8 \u00F2 \u00EC \u00E9 \u00F9"_s);
        // Any other lead character is "a grave", and what follows it stays.
        QCOMPARE(repairAccents(u"citt\u00C3\u00A0 \u00C3\u02C6"_s), u"citt\u00E0\u00A0 \u00E0\u02C6"_s);
        QCOMPARE(repairAccents(u"\u00C3\u00A8\u00C3"_s), u"\u00E8\u00E0"_s);
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
        const QString calcio = caption("09:05", u"Calcio, la Nazionale &quot;torna&quot; a Coverciano"_s);
        QTest::newRow("first five of six")
            << u"headlines_six.html"_s << QStringList{maltempo, governo, treni, borsa, calcio}
            << QStringList{link("maltempo-liguria"), link("governo-voto"), link("treni-feste"), link("borsa-apertura"),
                           link("nazionale")};
        QTest::newRow("three records, then the third again and the first")
            << u"headlines_three.html"_s << QStringList{maltempo, governo, treni, treni, maltempo}
            << QStringList{link("maltempo-liguria"), link("governo-voto"), link("treni-feste"), link("treni-feste"),
                           link("maltempo-liguria")};
        QTest::newRow("no record keeps the links") << u"headlines_none.html"_s << QStringList(5, none)
                                                   << QStringList(PreviousLinks.begin(), PreviousLinks.end());
        QTest::newRow("record without no-break space has no time")
            << u"headlines_without_nbsp.html"_s << QStringList{borsa, none, none, borsa, none}
            << QStringList{link("borsa-apertura"), link("sciopero"), link("sciopero"), link("borsa-apertura"),
                           link("sciopero")};
    }
    void readsHeadlinePage() {
        QFETCH(QString, fileName);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, links);
        const HeadlineBatch batch =
            readHeadlines(decodeWindows1252(dataFile(qPrintable(fileName))), PreviousLinks, u"08:41"_s);
        QCOMPARE(QStringList(batch.captions.begin(), batch.captions.end()), captions);
        QCOMPARE(QStringList(batch.links.begin(), batch.links.end()), links);
    }

    void readsDetailText_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("text");
        // The blank after a comma goes before a digit, unless halving a run left two.
        QTest::newRow("comma before a digit")
            << Detail + u"Costo, 5 euro,   12,5  </div>"_s << u"Costo,5 euro,  12,5"_s;
        QTest::newRow("saved page: commas, runs of blanks, accents")
            << decodeWindows1252(dataFile("detail_maltempo.html"))
            << u"Genova, piogge intense fino a domani: caduti 120,5 millimetri in sei ore,  "
               u"e la citt\u00E0\u00A0 \u00E8 in allerta. Scuole chiuse a Savona."_s;
        QTest::newRow("no marker: from the tenth character up to the first closing div")
            << u"<html><body><p>Pagina non trovata</p>\n</div>"_s << u"dy><p>Pagina non trovata</p"_s;
        QTest::newRow("no second closing div")
            << u"<div class=\"popup05\">Titolo</div>\n<p>Testo senza fine"_s << QString();
        // The panel shows no more than it can lay out without stopping the ticker, counted
        // on the text as shown, after the commas have gained their blanks.
        QTest::newRow("commas only") << Detail + QString(MaxDetailChars, u',') + u"  </div>"_s
                                     << u", "_s.repeated(MaxDetailChars / 2) + QChar(u'\u2026');
        // Twice the shown length is read: the repair makes one letter of two characters.
        QTest::newRow("accented letters past the cut")
            << Detail + u"\u00C3\u00A8"_s.repeated(MaxDetailChars) + u"x  </div>"_s
            << u"\u00E8"_s.repeated(MaxDetailChars) + QChar(u'\u2026');
        QTest::newRow("comma at the cut") << Detail + QString(MaxDetailChars - 1, u'a') + u",b, c, d  </div>"_s
                                          << QString(MaxDetailChars - 1, u'a') + u",\u2026"_s;
    }
    void readsDetailText() {
        QFETCH(QString, body);
        QFETCH(QString, text);
        QCOMPARE(readDetail(body), text);
    }
};

QTEST_APPLESS_MAIN(TestNews)
#include "tst_news.moc"
