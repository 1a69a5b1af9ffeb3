#include "service/feed/feedreader.h"

#include "common/htmlescape.h"
#include "common/windows1252.h"
#include "service/feed/feeddate.h"
#include "service/feed/htmltext.h"

#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

const QString AtomNs = QStringLiteral("http://www.w3.org/2005/Atom");
const QString Rss1Ns = QStringLiteral("http://purl.org/rss/1.0/");
const QString RdfNs = QStringLiteral("http://www.w3.org/1999/02/22-rdf-syntax-ns#");
const QString ContentNs = QStringLiteral("http://purl.org/rss/1.0/modules/content/");
const QString DublinCoreNs = QStringLiteral("http://purl.org/dc/elements/1.1/");

// How an element's content is written.
enum class Markup { Text, Html, Xhtml, Unusable };

// Atom's type attribute: "text", "html", "xhtml" or a media type.
Markup atomMarkup(const QXmlStreamReader& xml) {
    const QString type = xml.attributes().value(QStringLiteral("type")).toString().trimmed().toLower();
    if (type.isEmpty() || type == u"text" || type == u"text/plain")
        return Markup::Text;
    if (type == u"html" || type == u"text/html")
        return Markup::Html;
    if (type == u"xhtml" || type == u"application/xhtml+xml")
        return Markup::Xhtml;
    return Markup::Unusable; // base64 images and other media
}

// Text as HTML: only '&' and '<' would be read as markup.
bool plainInText(char32_t c) { return c != U'&' && c != U'<'; }

// The plain text of the current element, read up to its end tag. The content is turned
// into HTML first, so that one reduction serves every kind: escaped HTML is HTML already;
// elements inside (Atom's xhtml, and the unescaped HTML some RSS feeds put in descriptions)
// become tags, without their attributes; plain text is escaped.
QString readText(QXmlStreamReader& xml, Markup markup) {
    QString html;
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            html += u'<' + xml.name().toString() + u'>';
            break;
        case QXmlStreamReader::EndElement:
            if (depth-- == 0)
                return htmlToPlainText(html);
            html += QStringLiteral("</") + xml.name().toString() + u'>';
            break;
        case QXmlStreamReader::Characters:
            html += markup == Markup::Html ? xml.text().toString()
                                           : escapedHtml(xml.text(), plainInText, HtmlReferences::Named);
            break;
        case QXmlStreamReader::EntityReference:
            // Only feeds that name a DTD (RSS 0.91) get here, with the HTML names it declares.
            html += u'&' + xml.name().toString() + u';';
            break;
        default:
            break;
        }
    }
    return {};
}

QString readWord(QXmlStreamReader& xml) { return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed(); }

FeedItem finished(FeedItem item, const QString& summary, const QString& content) {
    item.text = summary.isEmpty() ? content : summary;
    if (item.title.isEmpty())
        item.title = item.text;
    return item;
}

FeedItem readRssItem(QXmlStreamReader& xml) {
    FeedItem item;
    item.id = xml.attributes().value(RdfNs, QStringLiteral("about")).toString().trimmed();
    QString description, content;
    QDateTime dublinCoreDate;
    while (xml.readNextStartElement()) {
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        const bool rss = ns.isEmpty() || ns == Rss1Ns;
        if (rss && name == u"title")
            item.title = readText(xml, Markup::Html);
        else if (rss && name == u"description")
            description = readText(xml, Markup::Html);
        else if (rss && name == u"link")
            item.link = readWord(xml);
        else if (rss && name == u"guid")
            item.id = readWord(xml);
        else if (rss && name == u"pubDate")
            item.published = parseFeedDate(readWord(xml));
        else if (ns == ContentNs && name == u"encoded")
            content = readText(xml, Markup::Html);
        else if (ns == DublinCoreNs && name == u"date")
            dublinCoreDate = parseFeedDate(readWord(xml));
        else
            xml.skipCurrentElement();
    }
    if (!item.published.isValid())
        item.published = dublinCoreDate;
    return finished(std::move(item), description, content);
}

FeedItem readAtomEntry(QXmlStreamReader& xml) {
    FeedItem item;
    QString summary, content;
    QDateTime updated;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const Markup markup = atomMarkup(xml);
        if (xml.namespaceUri() != AtomNs) {
            xml.skipCurrentElement();
        } else if (name == u"title" || name == u"summary" || name == u"content") {
            // Content given by reference ("src") has nothing to read here.
            const bool readable = markup != Markup::Unusable && !xml.attributes().hasAttribute(QStringLiteral("src"));
            QString& target = name == u"title" ? item.title : name == u"summary" ? summary : content;
            if (readable)
                target = readText(xml, markup);
            else
                xml.skipCurrentElement();
        } else if (name == u"link") {
            const QStringView rel = xml.attributes().value(QStringLiteral("rel"));
            if (item.link.isEmpty() && (rel.isEmpty() || rel == u"alternate"))
                item.link = xml.attributes().value(QStringLiteral("href")).toString().trimmed();
            xml.skipCurrentElement();
        } else if (name == u"id") {
            item.id = readWord(xml);
        } else if (name == u"published") {
            item.published = parseFeedDate(readWord(xml));
        } else if (name == u"updated") {
            updated = parseFeedDate(readWord(xml));
        } else {
            xml.skipCurrentElement();
        }
    }
    if (!item.published.isValid())
        item.published = updated;
    return finished(std::move(item), summary, content);
}

// Whether the XML declaration names ISO-8859-1, Windows-1252 or ASCII, all read here as
// Windows-1252: the one superset of the three, and what such feeds are written in.
bool declaresWestern(QByteArrayView document) {
    if (!document.startsWith("<?xml"))
        return false;
    const qsizetype end = document.indexOf("?>");
    if (end < 0)
        return false;
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._-]+)[\"']"));
    const QString declaration = QString::fromLatin1(document.first(end));
    const QString name = encoding.match(declaration).captured(1).toLower();
    static const QStringList western = {
        QStringLiteral("iso-8859-1"),   QStringLiteral("iso8859-1"), QStringLiteral("iso_8859-1"),
        QStringLiteral("latin1"),       QStringLiteral("latin-1"),   QStringLiteral("l1"),
        QStringLiteral("windows-1252"), QStringLiteral("cp1252"),    QStringLiteral("x-cp1252"),
        QStringLiteral("us-ascii"),     QStringLiteral("ascii")};
    return western.contains(name);
}

enum class FeedKind { Rss, Atom, Other };

FeedKind kindOf(const QXmlStreamReader& root) {
    if (root.name() == u"rss" && root.namespaceUri().isEmpty())
        return FeedKind::Rss;
    if (root.name() == u"RDF" && root.namespaceUri() == RdfNs)
        return FeedKind::Rss;
    if (root.name() == u"feed" && root.namespaceUri() == AtomNs)
        return FeedKind::Atom;
    return FeedKind::Other;
}

FeedReading failedReading(FeedFailure::Kind kind, const QString& detail = {}) {
    return {{}, FeedFailure{kind, 0, detail}};
}

FeedReading xmlError(const QXmlStreamReader& xml) {
    return failedReading(FeedFailure::Kind::NotWellFormed,
                         QStringLiteral("line %1, column %2: %3")
                             .arg(xml.lineNumber())
                             .arg(xml.columnNumber())
                             .arg(xml.errorString().chopped(xml.errorString().endsWith(u'.') ? 1 : 0)));
}

// The web address of a <link> outside the items: the feed's own site, when it is one.
QString siteLinkOf(QXmlStreamReader& xml, FeedKind kind) {
    QString link;
    if (kind == FeedKind::Atom && xml.namespaceUri() == AtomNs) {
        const QStringView rel = xml.attributes().value(QStringLiteral("rel"));
        if (rel.isEmpty() || rel == u"alternate")
            link = xml.attributes().value(QStringLiteral("href")).toString().trimmed();
    } else if (kind == FeedKind::Rss && (xml.namespaceUri().isEmpty() || xml.namespaceUri() == Rss1Ns)) {
        link = readWord(xml);
    }
    return webAddress(link);
}

} // namespace

FeedReading readFeed(QByteArrayView document) {
    QXmlStreamReader xml;
    if (declaresWestern(document))
        xml.addData(decodeWindows1252(document));
    else
        xml.addData(document.toByteArray());

    if (!xml.readNextStartElement())
        return xml.hasError() ? xmlError(xml) : failedReading(FeedFailure::Kind::Empty);
    const FeedKind kind = kindOf(xml);
    if (kind == FeedKind::Other)
        return failedReading(FeedFailure::Kind::NotAFeed, xml.qualifiedName().toString());

    // RSS 2.0 has its items inside <channel>, RSS 1.0 next to it: items are taken wherever
    // they are, and everything else is walked through.
    const QString itemName = kind == FeedKind::Rss ? QStringLiteral("item") : QStringLiteral("entry");
    FeedReading reading;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"link" && reading.siteLink.isEmpty()) {
            reading.siteLink = siteLinkOf(xml, kind);
            continue;
        }
        if (xml.name() != itemName)
            continue;
        const QStringView ns = xml.namespaceUri();
        const bool isItem = kind == FeedKind::Atom ? ns == AtomNs : (ns.isEmpty() || ns == Rss1Ns);
        if (!isItem)
            continue;
        FeedItem item = kind == FeedKind::Rss ? readRssItem(xml) : readAtomEntry(xml);
        if (!item.title.isEmpty())
            reading.items.append(std::move(item));
    }
    if (xml.hasError())
        return xmlError(xml);
    if (reading.items.isEmpty())
        reading.failure = FeedFailure{FeedFailure::Kind::NoItems, 0, {}};
    return reading;
}
