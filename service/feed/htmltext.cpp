// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/htmltext.h"

#include "common/windows1252.h"

#include <QHash>

#include <array>
#include <utility>

namespace {

// HTML 4 names the 96 characters from U+00A0 to U+00FF in code order.
constexpr std::array<const char*, 96> Latin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

// The rest of HTML 4 that turns up in news: markup, typography, Latin Extended-A. Greek
// letters and mathematical symbols are left out: headlines do not spell them.
constexpr std::pair<const char*, char32_t> OtherNames[] = {
    {"quot", 0x22},     {"amp", 0x26},      {"apos", 0x27},     {"lt", 0x3C},       {"gt", 0x3E},
    {"OElig", 0x152},   {"oelig", 0x153},   {"Scaron", 0x160},  {"scaron", 0x161},  {"Yuml", 0x178},
    {"fnof", 0x192},    {"circ", 0x2C6},    {"tilde", 0x2DC},   {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},    {"rlm", 0x200F},
    {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"sbquo", 0x201A},
    {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"bdquo", 0x201E},  {"dagger", 0x2020}, {"Dagger", 0x2021},
    {"bull", 0x2022},   {"hellip", 0x2026}, {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033},
    {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"oline", 0x203E},  {"frasl", 0x2044},  {"euro", 0x20AC},
    {"trade", 0x2122},  {"larr", 0x2190},   {"rarr", 0x2192},   {"minus", 0x2212},
};

const QHash<QString, char32_t>& entityTable() {
    static const QHash<QString, char32_t> table = [] {
        QHash<QString, char32_t> names;
        for (std::size_t i = 0; i < Latin1Names.size(); ++i)
            names.insert(QString::fromLatin1(Latin1Names[i]), static_cast<char32_t>(0xA0 + i));
        for (const auto& [name, code] : OtherNames)
            names.insert(QString::fromLatin1(name), code);
        return names;
    }();
    return table;
}

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::optional<char32_t> numericEntity(QStringView digits) {
    bool ok = false;
    const bool hex = digits.startsWith(u'x') || digits.startsWith(u'X');
    if (hex)
        digits = digits.mid(1);
    if (digits.isEmpty() || digits.size() > 7)
        return std::nullopt;
    for (const QChar c : digits)
        if (!(c.isDigit() || (hex && isAsciiLetter(c))))
            return std::nullopt;
    const uint code = digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    if (code >= 0x80 && code <= 0x9F) {
        const char byte = static_cast<char>(code);
        return decodeWindows1252(QByteArrayView(&byte, 1)).at(0).unicode();
    }
    return code;
}

const QStringList& inlineElements() {
    static const QStringList names = {
        QStringLiteral("a"),     QStringLiteral("abbr"), QStringLiteral("b"),      QStringLiteral("bdi"),
        QStringLiteral("bdo"),   QStringLiteral("big"),  QStringLiteral("cite"),   QStringLiteral("code"),
        QStringLiteral("data"),  QStringLiteral("del"),  QStringLiteral("dfn"),    QStringLiteral("em"),
        QStringLiteral("font"),  QStringLiteral("i"),    QStringLiteral("ins"),    QStringLiteral("kbd"),
        QStringLiteral("mark"),  QStringLiteral("q"),    QStringLiteral("s"),      QStringLiteral("samp"),
        QStringLiteral("small"), QStringLiteral("span"), QStringLiteral("strike"), QStringLiteral("strong"),
        QStringLiteral("sub"),   QStringLiteral("sup"),  QStringLiteral("time"),   QStringLiteral("tt"),
        QStringLiteral("u"),     QStringLiteral("var"),  QStringLiteral("wbr")};
    return names;
}

const QStringList& otherElements() {
    static const QStringList names = {
        QStringLiteral("address"),    QStringLiteral("area"),     QStringLiteral("article"),
        QStringLiteral("aside"),      QStringLiteral("audio"),    QStringLiteral("base"),
        QStringLiteral("blockquote"), QStringLiteral("body"),     QStringLiteral("br"),
        QStringLiteral("button"),     QStringLiteral("canvas"),   QStringLiteral("caption"),
        QStringLiteral("center"),     QStringLiteral("col"),      QStringLiteral("colgroup"),
        QStringLiteral("dd"),         QStringLiteral("details"),  QStringLiteral("dialog"),
        QStringLiteral("div"),        QStringLiteral("dl"),       QStringLiteral("dt"),
        QStringLiteral("embed"),      QStringLiteral("fieldset"), QStringLiteral("figcaption"),
        QStringLiteral("figure"),     QStringLiteral("footer"),   QStringLiteral("form"),
        QStringLiteral("h1"),         QStringLiteral("h2"),       QStringLiteral("h3"),
        QStringLiteral("h4"),         QStringLiteral("h5"),       QStringLiteral("h6"),
        QStringLiteral("head"),       QStringLiteral("header"),   QStringLiteral("hgroup"),
        QStringLiteral("hr"),         QStringLiteral("html"),     QStringLiteral("iframe"),
        QStringLiteral("img"),        QStringLiteral("input"),    QStringLiteral("label"),
        QStringLiteral("legend"),     QStringLiteral("li"),       QStringLiteral("link"),
        QStringLiteral("main"),       QStringLiteral("map"),      QStringLiteral("menu"),
        QStringLiteral("meta"),       QStringLiteral("nav"),      QStringLiteral("noscript"),
        QStringLiteral("object"),     QStringLiteral("ol"),       QStringLiteral("option"),
        QStringLiteral("p"),          QStringLiteral("param"),    QStringLiteral("picture"),
        QStringLiteral("pre"),        QStringLiteral("script"),   QStringLiteral("section"),
        QStringLiteral("select"),     QStringLiteral("source"),   QStringLiteral("style"),
        QStringLiteral("summary"),    QStringLiteral("svg"),      QStringLiteral("table"),
        QStringLiteral("tbody"),      QStringLiteral("td"),       QStringLiteral("template"),
        QStringLiteral("textarea"),   QStringLiteral("tfoot"),    QStringLiteral("th"),
        QStringLiteral("thead"),      QStringLiteral("title"),    QStringLiteral("tr"),
        QStringLiteral("track"),      QStringLiteral("ul"),       QStringLiteral("video")};
    return names;
}

// Only what is spelt like markup is taken for a tag: a known element, or a name with a
// prefix or a hyphen ("o:p" from word processors, custom elements). Anything else ("a
// <<quote>>" in a title) is text that happens to hold '<'.
bool isElementName(const QString& name) {
    return inlineElements().contains(name) || otherElements().contains(name) || name.contains(u':') ||
           name.contains(u'-');
}

// Index just past the '>' that closes the tag opened at `open`; a '>' inside a quoted
// attribute value does not close it. A quote opens a value only after '=', as in HTML:
// the apostrophe of <a title=l'uomo> is part of the value. -1 when the tag never closes.
qsizetype tagEnd(QStringView html, qsizetype open) {
    QChar quote;
    QChar lastMark; // the last character other than a blank
    for (qsizetype i = open + 1; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if ((c == u'"' || c == u'\'') && lastMark == u'=') {
            quote = c;
        } else if (c == u'>') {
            return i + 1;
        }
        if (!c.isSpace())
            lastMark = c;
    }
    return -1;
}

} // namespace

std::optional<char32_t> namedEntity(QStringView name) {
    const auto& table = entityTable();
    const auto found = table.constFind(name.toString());
    if (found == table.constEnd())
        return std::nullopt;
    return *found;
}

QString decodeHtmlEntities(QStringView text) {
    QString decoded;
    decoded.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype amp = text.indexOf(u'&', i);
        if (amp < 0)
            break;
        decoded += text.mid(i, amp - i);
        // The longest reference HTML 4 knows is "&#x10FFFF;" or "&thetasym;".
        const qsizetype semicolon = text.mid(amp, 12).indexOf(u';');
        std::optional<char32_t> code;
        if (semicolon > 1) {
            const QStringView body = text.mid(amp + 1, semicolon - 1);
            code = body.startsWith(u'#') ? numericEntity(body.mid(1)) : namedEntity(body);
        }
        if (code) {
            const char32_t c = *code;
            decoded += QString::fromUcs4(&c, 1);
            i = amp + semicolon + 1;
        } else {
            decoded += u'&';
            i = amp + 1;
        }
    }
    decoded += text.mid(i);
    return decoded;
}

namespace {

// The tag that the '<' at `at` opens: its lower-case name, and whether it closes an element
// or is a declaration ("<!DOCTYPE ...>", "<?xml ...?>").
struct TagStart {
    QString name;
    bool closing = false;
    bool declaration = false;

    // Only known elements, and names with a prefix or a hyphen, are tags.
    bool isTag() const { return declaration || (!name.isEmpty() && isAsciiLetter(name.at(0)) && isElementName(name)); }
};

TagStart tagStart(QStringView html, qsizetype at) {
    const QChar next = at + 1 < html.size() ? html.at(at + 1) : QChar();
    TagStart tag;
    tag.declaration = next == u'!' || next == u'?';
    tag.closing = next == u'/';
    const qsizetype nameStart = tag.closing ? at + 2 : at + 1;
    qsizetype nameEnd = nameStart;
    while (nameEnd < html.size() && (isAsciiLetter(html.at(nameEnd)) || html.at(nameEnd).isDigit() ||
                                     html.at(nameEnd) == u':' || html.at(nameEnd) == u'-'))
        ++nameEnd;
    tag.name = html.mid(nameStart, nameEnd - nameStart).toString().toLower();
    return tag;
}

// Where the text goes on after the element of `tag` that ends at `end`: past the content
// of a script or style element, which is no text.
qsizetype afterElement(QStringView html, const TagStart& tag, qsizetype end) {
    if (tag.closing || (tag.name != u"script" && tag.name != u"style"))
        return end;
    const qsizetype close = html.indexOf(QStringLiteral("</") + tag.name, end, Qt::CaseInsensitive);
    const qsizetype closeEnd = close < 0 ? -1 : tagEnd(html, close);
    return closeEnd < 0 ? html.size() : closeEnd;
}

} // namespace

QString htmlToPlainText(QStringView html) {
    QString text;
    text.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        if (html.at(i) != u'<') {
            text += html.at(i++);
            continue;
        }
        if (html.mid(i, 4) == u"<!--") {
            const qsizetype close = html.indexOf(u"-->", i + 4);
            i = close < 0 ? html.size() : close + 3;
            continue;
        }
        const TagStart tag = tagStart(html, i);
        if (!tag.isTag()) {
            text += html.at(i++);
            continue;
        }
        const qsizetype end = tagEnd(html, i);
        if (end < 0)
            break; // a tag cut off at the end of the text
        i = afterElement(html, tag, end);
        if (!inlineElements().contains(tag.name))
            text += u' ';
    }
    return decodeHtmlEntities(text).simplified();
}
