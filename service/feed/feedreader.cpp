// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feedreader.h"

#include "common/htmlescape.h"
#include "service/feed/feeddate.h"
#include "service/feed/feedencoding.h"
#include "service/feed/htmltext.h"

#include <QUrl>
#include <QXmlStreamReader>

#include <utility>

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

// The base of relative links inside the current element: `base` changed by its xml:base.
QUrl baseOf(const QXmlStreamReader& xml, const QUrl& base) {
    const QStringView given = xml.attributes().value(QStringLiteral("xml:base"));
    return given.isEmpty() ? base : base.resolved(QUrl(given.trimmed().toString()));
}

// A link as written, resolved against `base` as far as that goes: the result may still be
// relative, until the feed's own address or site resolves it.
QString resolvedLink(const QUrl& base, const QString& link) {
    if (base.isEmpty() || link.isEmpty())
        return link;
    return base.resolved(QUrl(link)).toString();
}

void setDate(FeedItem& item, const FeedDate& date) {
    item.published = date.instant;
    item.dayOnly = !date.timeGiven;
}

FeedItem readRssItem(QXmlStreamReader& xml, QUrl base) {
    FeedItem item;
    base = baseOf(xml, base);
    item.id = xml.attributes().value(RdfNs, QStringLiteral("about")).toString().trimmed();
    QString description, content;
    FeedDate published, dublinCoreDate;
    while (xml.readNextStartElement()) {
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        const bool rss = ns.isEmpty() || ns == Rss1Ns;
        if (rss && name == u"title") {
            item.title = readText(xml, Markup::Html);
        } else if (rss && name == u"description") {
            description = readText(xml, Markup::Html);
        } else if (rss && name == u"link") {
            const QUrl linkBase = baseOf(xml, base);
            item.link = resolvedLink(linkBase, readWord(xml));
        } else if (rss && name == u"guid") {
            item.id = readWord(xml);
        } else if (rss && name == u"pubDate") {
            published = parseFeedDate(readWord(xml));
        } else if (ns == ContentNs && name == u"encoded") {
            content = readText(xml, Markup::Html);
        } else if (ns == DublinCoreNs && name == u"date") {
            dublinCoreDate = parseFeedDate(readWord(xml));
        } else {
            xml.skipCurrentElement();
        }
    }
    setDate(item, published.instant.isValid() ? published : dublinCoreDate);
    return finished(std::move(item), description, content);
}

FeedItem readAtomEntry(QXmlStreamReader& xml, QUrl base) {
    FeedItem item;
    base = baseOf(xml, base);
    QString summary, content;
    FeedDate published, updated;
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
                item.link = resolvedLink(baseOf(xml, base),
                                         xml.attributes().value(QStringLiteral("href")).toString().trimmed());
            xml.skipCurrentElement();
        } else if (name == u"id") {
            item.id = readWord(xml);
        } else if (name == u"published") {
            published = parseFeedDate(readWord(xml));
        } else if (name == u"updated") {
            updated = parseFeedDate(readWord(xml));
        } else {
            xml.skipCurrentElement();
        }
    }
    setDate(item, published.instant.isValid() ? published : updated);
    return finished(std::move(item), summary, content);
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

// The address of a <link> outside the items, the feed's own site when it is one, resolved
// against `base` as far as that goes. The element is read to its end.
QString siteLinkOf(QXmlStreamReader& xml, FeedKind kind, const QUrl& base) {
    QString link;
    if (kind == FeedKind::Atom && xml.namespaceUri() == AtomNs) {
        const QStringView rel = xml.attributes().value(QStringLiteral("rel"));
        if (rel.isEmpty() || rel == u"alternate")
            link = xml.attributes().value(QStringLiteral("href")).toString().trimmed();
        link = resolvedLink(baseOf(xml, base), link);
        xml.skipCurrentElement();
    } else if (kind == FeedKind::Rss && (xml.namespaceUri().isEmpty() || xml.namespaceUri() == Rss1Ns)) {
        const QUrl linkBase = baseOf(xml, base);
        link = resolvedLink(linkBase, readWord(xml));
    } else {
        xml.skipCurrentElement();
    }
    return link;
}

bool isWeb(const QUrl& url) { return url.scheme() == u"http" || url.scheme() == u"https"; }

// Relative links resolved against the feed's own address, or else its site's.
void resolveLinks(FeedReading& reading, const QUrl& address) {
    QUrl base = isWeb(address) ? address : QUrl();
    reading.siteLink = webAddress(resolvedLink(base, reading.siteLink));
    if (base.isEmpty() && !reading.siteLink.isEmpty())
        base = QUrl(reading.siteLink);
    for (FeedItem& item : reading.items)
        if (!item.link.isEmpty() && QUrl(item.link).isRelative())
            item.link = resolvedLink(base, item.link);
}

// A feed that dates every item at midnight gives days, not times.
void markDaysOnly(QList<FeedItem>& items) {
    qsizetype dated = 0;
    for (const FeedItem& item : items) {
        if (!item.published.isValid())
            continue;
        if (item.published.time() != QTime(0, 0))
            return;
        ++dated;
    }
    if (dated < 2)
        return;
    for (FeedItem& item : items)
        item.dayOnly = item.dayOnly || item.published.isValid();
}

// Whether the document begins with markup, after its byte order mark and blanks: any
// encoding a feed can be in writes '<' and blanks as ASCII, or as ASCII and zeros.
bool beginsWithMarkup(QByteArrayView document) {
    for (const QByteArrayView mark :
         {QByteArrayView("\xEF\xBB\xBF"), QByteArrayView("\xFF\xFE"), QByteArrayView("\xFE\xFF")})
        if (document.startsWith(mark)) {
            document = document.sliced(mark.size());
            break;
        }
    for (const char c : document) {
        if (c == '<')
            return true;
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0')
            return false;
    }
    return true; // empty: told as such by the XML reader
}

// The first characters of a document that is not XML, for the log.
QString beginningOf(QStringView text) {
    QString shown = text.trimmed().left(24).toString();
    for (QChar& c : shown)
        if (!c.isPrint())
            c = u' ';
    return shown;
}

// Walks the document's elements into `reading`. RSS 2.0 has its items inside <channel>,
// RSS 1.0 next to it: items are taken wherever they are, and everything else is walked
// through, keeping the xml:base of each element the walk is in.
void readElements(QXmlStreamReader& xml, FeedKind kind, FeedReading& reading) {
    const QString itemName = kind == FeedKind::Rss ? QStringLiteral("item") : QStringLiteral("entry");
    QList<QUrl> bases{baseOf(xml, QUrl())};
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (bases.size() > 1)
                bases.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView ns = xml.namespaceUri();
        const bool isItem =
            xml.name() == itemName && (kind == FeedKind::Atom ? ns == AtomNs : (ns.isEmpty() || ns == Rss1Ns));
        if (xml.name() == u"link" && reading.siteLink.isEmpty()) {
            reading.siteLink = siteLinkOf(xml, kind, bases.constLast());
        } else if (isItem) {
            FeedItem item =
                kind == FeedKind::Rss ? readRssItem(xml, bases.constLast()) : readAtomEntry(xml, bases.constLast());
            if (!item.title.isEmpty())
                reading.items.append(std::move(item));
        } else {
            bases.append(baseOf(xml, bases.constLast()));
        }
    }
}

} // namespace

FeedReading readFeed(QByteArrayView document, const FeedSource& source) {
    FeedText decoded = decodeFeedDocument(document, source.charset);
    if (!beginsWithMarkup(document))
        return failedReading(FeedFailure::Kind::NotXml,
                             beginningOf(decoded.text.isNull() ? QString::fromUtf8(document.first(
                                                                     std::min<qsizetype>(document.size(), 64)))
                                                               : decoded.text));
    QXmlStreamReader xml;
    if (decoded.text.isNull())
        xml.addData(document.toByteArray());
    else
        xml.addData(std::exchange(decoded.text, {}));

    if (!xml.readNextStartElement())
        return xml.hasError() ? xmlError(xml) : failedReading(FeedFailure::Kind::Empty);
    const FeedKind kind = kindOf(xml);
    if (kind == FeedKind::Other)
        return failedReading(FeedFailure::Kind::NotAFeed, xml.qualifiedName().toString());

    FeedReading reading;
    reading.warning = decoded.warning;
    readElements(xml, kind, reading);
    if (xml.hasError())
        return xmlError(xml);
    if (reading.items.isEmpty())
        reading.failure = FeedFailure{FeedFailure::Kind::NoItems, 0, {}};
    resolveLinks(reading, source.address);
    markDaysOnly(reading.items);
    return reading;
}
