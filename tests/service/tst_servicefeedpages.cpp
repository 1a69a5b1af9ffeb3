#include "news/detailreader.h"
#include "news/headlinereader.h"
#include "service/feeddate.h"
#include "service/feededition.h"
#include "service/feedreader.h"
#include "ticker/windows1252.h"

#include <QFile>
#include <QTest>
#include <QTimeZone>

// Feeds read by the service, its pages read back by the bar's own readers: what the bar
// shows for each feed.
class TestFeedPages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheNewestFive_data();
    void showsTheNewestFive();
    void rejectsDocument_data();
    void rejectsDocument();
    void linksOutlastARefresh();
    void dates_data();
    void dates();
};

namespace {

QByteArray feedFile(const char* name) {
    QFile file(QStringLiteral(DATA_DIR "/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test feed %s", name);
    return file.readAll();
}

// A feed of `count` items a minute apart, oldest first, the newest with a long text.
QByteArray hugeFeed(int count) {
    QByteArray feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                      "<title>Tante notizie</title>\n";
    const QDateTime first(QDate(2026, 12, 1), QTime(0, 0), QTimeZone(3600));
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray text = i == count - 1 ? QByteArray("parola ").repeated(200) : "Testo della notizia " + n;
        feed += "<item><title>Notizia " + n + "</title><guid>notizia-" + n + "</guid><pubDate>" +
                first.addSecs(60LL * i).toString(Qt::RFC2822Date).toLatin1() + "</pubDate><description>" + text +
                "</description></item>\n";
    }
    return feed + "</channel></rss>\n";
}

// "  18:40 - Titolo  " as the bar writes a caption; `title` in UTF-8.
QString caption(const char* time, const char* title) {
    return QStringLiteral("  ") + QString::fromLatin1(time) + QStringLiteral(" - ") + QString::fromUtf8(title) +
           QStringLiteral("  ");
}

QStringList texts(std::initializer_list<const char*> list) {
    QStringList result;
    for (const char* text : list)
        result.append(QString::fromUtf8(text));
    return result;
}

} // namespace

// The bar repairs à but keeps the second byte of its UTF-8 form, a no-break space; and its
// detail reader glues a comma to a following digit. Both show in the expected texts.
void TestFeedPages::showsTheNewestFive_data() {
    QTest::addColumn<QByteArray>("feed");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("texts");

    // Newest by the instant, each shown at the time of day its own offset gives; the item
    // without a date and the oldest fall off the five.
    QTest::newRow("RSS 2.0") << feedFile("rss2.xml")
        << QStringList{caption("12:30", "Wall Street apre in rialzo"),
                       caption("16:45", "Neve in Trentino, strade chiuse in Val di Sole"),
                       caption("17:05", "Concerto di Natale in piazza Duomo"),
                       caption("11:00", "Elezioni comunali, affluenza al 40% a mezzogiorno"),
                       caption("09:15", "Porto di Genova, arriva la nave più grande")}
        << texts({"Apertura positiva per i listini americani, trainati dai titoli tecnologici.",
                  "Nevica da stanotte sopra i 900 metri: chiuse due strade provinciali.",
                  "Il coro delle scuole canta stasera alle 21, ingresso libero.",
                  "L'affluenza è più alta di quella di cinque anni fa.",
                  "La nave portacontainer più grande mai entrata nel porto è attraccata stamattina al molo Ronco."});
    // published before updated; html, xhtml and text content; content by reference skipped.
    QTest::newRow("Atom") << feedFile("atom.xml")
        << QStringList{caption("15:20", "Biblioteca civica, nuovi orari"),
                       caption("12:40", "Ospedale, inaugurato il nuovo reparto"),
                       caption("10:00", "Mercato di Natale: aperto fino alle 22"),
                       caption("08:05", "Traffico e lavori sulla tangenziale"),
                       caption("20:00", "Scuola, al via le iscrizioni")}
        << texts({"Da lunedì la biblioteca apre alle 8.30. Chiude alle 19 e il sabato alle 13.",
                  "Il reparto conta quaranta letti.",
                  "Le casette di legno restano aperte. Ingresso libero.",
                  "Limite di 60 km/h tra le uscite -4- e -5-.",
                  "Le iscrizioni si chiudono il 31 gennaio."});
    // Bytes 0x80 to 0x9F (apostrophe, dash, euro, ellipsis) read as Windows-1252.
    QTest::newRow("ISO-8859-1") << feedFile("latin1.xml")
        << QStringList{caption("18:20", "Perché il treno è in ritardo"),
                       caption("17:10", "E' arrivato l'inverno"),
                       caption("16:00", "Più turisti a Venezia"),
                       caption("15:30", "Caffè al bar, prezzi in aumento"),
                       caption("14:45", "Giù le temperature, \"freddo polare\"")}
        << texts({"Un guasto alla linea rallenta i treni per la città\u00A0 fino a sera.",
                  "Temperature sotto lo zero in tutta la regione - dice il meteo - fino a giovedì.",
                  "\"Numeri da record\", spiega l'assessore.",
                  "Una tazzina costa ora 1,30 EUR in media.",
                  "Tornano le gelate: attenzione alle strade..."});
    QTest::newRow("entities and CDATA in titles") << feedFile("entities.xml")
        << QStringList{caption("13:00", "Borsa e mercati: l'indice sale"),
                       caption("12:00", "Pioggia e vento: allerta in Liguria"),
                       caption("11:00", "Ricerca e sviluppo: fondi per l'università\u00A0"),
                       caption("10:00", "AT+T e Telecom, accordo sul 5G"),
                       caption("09:00", "\"Basta ritardi\" dicono i pendolari - il Comune risponde...")}
        << texts({"Chiusura in rialzo.", "Allerta arancione fino a domani e scuole chiuse.", "Stanziati 5 milioni.",
                  "Firmato a Milano.", "Incontro fissato per lunedì."});
    // Markup, scripts and comments gone; characters the bar cannot show spelt in ASCII or
    // dropped; the readers' own marker words and "</div>" cannot pass as markup.
    QTest::newRow("HTML in descriptions") << feedFile("html.xml")
        << QStringList{caption("13:00", "Paragrafi e collegamenti"),
                       caption("12:00", "Foto, script e commenti"),
                       caption("11:00", "\"Virgolette\" - trattini... E' l'ora di Ca va"),
                       caption("10:00", "Come leggere Strillo Televideo e popup 05"),
                       caption("09:00", "Senza testo")}
        << texts({"Primo paragrafo -- freccia. Secondo paragrafo, con un grassetto.",
                  "Testo con spazi e a capo uno due",
                  "Un elemento diretto nella descrizione: 20 gradi C a Zurich, naive,2 1/2 ore e .",
                  "Solo il contenuto completo, con -/div- scritto nel testo.",
                  "Senza testo"});
    // With fewer than five records the bar repeats the last one, then starts over.
    QTest::newRow("fewer than five") << feedFile("three.xml")
        << QStringList{caption("08:00", "La prima notizia"), caption("07:30", "La seconda notizia"),
                       caption("--:--", "Senza data, resta in fondo"), caption("--:--", "Senza data, resta in fondo"),
                       caption("08:00", "La prima notizia")}
        << texts({"Testo della prima.", "Testo della seconda.", "Questa notizia non ha data.",
                  "Questa notizia non ha data.", "Testo della prima."});
    // 40000 items, newest last; the long text is cut for the panel.
    QTest::newRow("huge feed") << hugeFeed(40000)
        << QStringList{caption("18:39", "Notizia 39999"), caption("18:38", "Notizia 39998"),
                       caption("18:37", "Notizia 39997"), caption("18:36", "Notizia 39996"),
                       caption("18:35", "Notizia 39995")}
        << QStringList{QStringList(114, QStringLiteral("parola")).join(u' ') + QStringLiteral("..."),
                       QStringLiteral("Testo della notizia 39998"), QStringLiteral("Testo della notizia 39997"),
                       QStringLiteral("Testo della notizia 39996"), QStringLiteral("Testo della notizia 39995")};
}

void TestFeedPages::showsTheNewestFive() {
    QFETCH(QByteArray, feed);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, texts);

    const FeedReading reading = readFeed(feed);
    QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
    const NewsEdition edition = renderFeedEdition(reading.items);
    const HeadlineBatch batch = readHeadlines(decodeWindows1252(edition.headlinePage), {}, QStringLiteral("00:00"));
    for (int slot = 0; slot < HeadlineCount; ++slot) {
        QCOMPARE(batch.captions[slot], captions.at(slot));
        const QByteArray page = edition.detailPages.value(batch.links[slot]);
        QVERIFY2(!page.isEmpty(), qPrintable(batch.links[slot]));
        QCOMPARE(readDetail(decodeWindows1252(page)), texts.at(slot));
    }
}

void TestFeedPages::rejectsDocument_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("error"); // how the reason starts; Qt words the rest

    const QByteArray rss = feedFile("rss2.xml");
    QTest::newRow("broken XML") << feedFile("broken.xml")
                                << QStringLiteral("not well-formed XML at line 9, column 7: ");
    // The items before the break are not served either.
    QTest::newRow("cut off") << rss.left(rss.indexOf("<title>Ieri"))
                             << QStringLiteral("not well-formed XML at line 45");
    QTest::newRow("empty feed") << feedFile("empty.xml") << QStringLiteral("the feed has no items");
    QTest::newRow("web page") << QByteArray("<!DOCTYPE html><html><body><p>Notizie</p></body></html>")
                              << QStringLiteral("not an RSS or Atom feed: the document is <html>");
    QTest::newRow("Atom items in RSS") << QByteArray("<rss version=\"2.0\"><channel><entry><title>No</title></entry>"
                                                     "</channel></rss>")
                                       << QStringLiteral("the feed has no items");
}

void TestFeedPages::rejectsDocument() {
    QFETCH(QByteArray, document);
    QFETCH(QString, error);
    const FeedReading reading = readFeed(document);
    QVERIFY2(reading.error.startsWith(error), qPrintable(reading.error));
    QVERIFY(reading.items.isEmpty());
}

// The bar holds the links of its last reading while the service may have read the feed
// again: a link names the same item, with the same page, in the next reading.
void TestFeedPages::linksOutlastARefresh() {
    QList<FeedItem> items = readFeed(feedFile("rss2.xml")).items;
    const NewsEdition before = renderFeedEdition(items);
    items.prepend({QStringLiteral("nuova"), {}, QStringLiteral("Ultima ora"), QStringLiteral("Testo."),
                   QDateTime(QDate(2026, 12, 6), QTime(19, 0), QTimeZone(3600))});
    const NewsEdition after = renderFeedEdition(items);
    QCOMPARE(after.detailPages.size(), before.detailPages.size() + 1);
    for (auto page = before.detailPages.cbegin(); page != before.detailPages.cend(); ++page)
        QCOMPARE(after.detailPages.value(page.key()), page.value());
}

void TestFeedPages::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("date"); // invalid when the text is no date

    const auto at = [](int day, int hour, int minute, int second, int offsetHours) {
        return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second), QTimeZone(offsetHours * 3600));
    };
    QTest::newRow("RFC 822") << QStringLiteral("Sun, 06 Dec 2026 18:40:05 +0100") << at(6, 18, 40, 5, 1);
    QTest::newRow("wrong day name, no seconds") << QStringLiteral("Mon, 6 Dec 2026 18:40 GMT") << at(6, 18, 40, 0, 0);
    QTest::newRow("two-digit year, US zone") << QStringLiteral("06 Dec 26 18:40:00 EST") << at(6, 18, 40, 0, -5);
    QTest::newRow("month spelt out, offset with colon")
        << QStringLiteral("Sunday, 06 December 2026 18:40:00 +01:00") << at(6, 18, 40, 0, 1);
    QTest::newRow("CEST") << QStringLiteral(" Sun, 06 Dec 2026 18:40:00 CEST ") << at(6, 18, 40, 0, 2);
    QTest::newRow("ISO 8601") << QStringLiteral("2026-12-06T18:40:05-03:00") << at(6, 18, 40, 5, -3);
    QTest::newRow("ISO 8601, UTC, fraction") << QStringLiteral("2026-12-06T18:40:05.5Z")
                                             << at(6, 18, 40, 5, 0).addMSecs(500);
    QTest::newRow("ISO 8601, blank, no seconds") << QStringLiteral("2026-12-06 18:40+0100") << at(6, 18, 40, 0, 1);
    QTest::newRow("ISO date alone") << QStringLiteral("2026-12-07") << at(7, 0, 0, 0, 0);
    QTest::newRow("words") << QStringLiteral("ieri sera") << QDateTime();
    QTest::newRow("month 13") << QStringLiteral("2026-13-06T18:40:00Z") << QDateTime();
    QTest::newRow("hour 25") << QStringLiteral("Sun, 06 Dec 2026 25:00:00 +0100") << QDateTime();
    QTest::newRow("offset beyond 14 hours") << QStringLiteral("Sun, 06 Dec 2026 18:40:00 +1500") << QDateTime();
    QTest::newRow("unknown zone") << QStringLiteral("Sun, 06 Dec 2026 18:40:00 XYZ") << QDateTime();
}

void TestFeedPages::dates() {
    QFETCH(QString, text);
    QFETCH(QDateTime, date);
    const QDateTime parsed = parseFeedDate(text);
    QCOMPARE(parsed.isValid(), date.isValid());
    if (date.isValid()) {
        QCOMPARE(parsed, date);
        QCOMPARE(parsed.offsetFromUtc(), date.offsetFromUtc());
        QCOMPARE(parsed.time(), date.time());
    }
}

QTEST_GUILESS_MAIN(TestFeedPages)
#include "tst_servicefeedpages.moc"
