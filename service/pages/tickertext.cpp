// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/tickertext.h"

#include <QHash>

#include <optional>

namespace {

// The vowels the bar repairs; they are written as they are.
bool isRepairedVowel(char32_t c) {
    return c == U'\u00E8' || c == U'\u00F2' || c == U'\u00EC' || c == U'\u00E9' || c == U'\u00F9' || c == U'\u00E0';
}

// Capital vowels with a grave or acute accent: "E'" and the like.
std::optional<QString> capitalWithAccent(char32_t c) {
    switch (c) {
    case U'\u00C0':
    case U'\u00C1':
        return QStringLiteral("A'");
    case U'\u00C8':
    case U'\u00C9':
        return QStringLiteral("E'");
    case U'\u00CC':
    case U'\u00CD':
        return QStringLiteral("I'");
    case U'\u00D2':
    case U'\u00D3':
        return QStringLiteral("O'");
    case U'\u00D9':
    case U'\u00DA':
        return QStringLiteral("U'");
    default:
        return std::nullopt;
    }
}

// Characters whose ASCII form compatibility decomposition does not give.
const QHash<char32_t, QString>& spelledOut() {
    static const QHash<char32_t, QString> table = {
        {U'\u2018', QStringLiteral("'")},    {U'\u2019', QStringLiteral("'")},
        {U'\u201A', QStringLiteral("'")},    {U'\u201B', QStringLiteral("'")},
        {U'\u2032', QStringLiteral("'")},    {U'\u00B4', QStringLiteral("'")},
        {U'\u2039', QStringLiteral("'")},    {U'\u203A', QStringLiteral("'")},
        {U'\u201C', QStringLiteral("\"")},   {U'\u201D', QStringLiteral("\"")},
        {U'\u201E', QStringLiteral("\"")},   {U'\u201F', QStringLiteral("\"")},
        {U'\u2033', QStringLiteral("\"")},   {U'\u00AB', QStringLiteral("\"")},
        {U'\u00BB', QStringLiteral("\"")},   {U'\u2010', QStringLiteral("-")},
        {U'\u2011', QStringLiteral("-")},    {U'\u2012', QStringLiteral("-")},
        {U'\u2013', QStringLiteral("-")},    {U'\u2014', QStringLiteral("-")},
        {U'\u2015', QStringLiteral("-")},    {U'\u2212', QStringLiteral("-")},
        {U'\u2022', QStringLiteral("-")},    {U'\u00B7', QStringLiteral("-")},
        {U'\u00BC', QStringLiteral(" 1/4")}, {U'\u00BD', QStringLiteral(" 1/2")},
        {U'\u00BE', QStringLiteral(" 3/4")}, {U'\u2044', QStringLiteral("/")},
        {U'\u00F7', QStringLiteral("/")},    {U'\u00D7', QStringLiteral("x")},
        {U'\u00B1', QStringLiteral("+/-")},  {U'\u20AC', QStringLiteral("EUR")},
        {U'\u00A3', QStringLiteral("GBP")},  {U'\u00B0', QStringLiteral(" gradi ")},
        {U'\u00A9', QStringLiteral("(c)")},  {U'\u00AE', QStringLiteral("(R)")},
        {U'\u00DF', QStringLiteral("ss")},   {U'\u00E6', QStringLiteral("ae")},
        {U'\u00C6', QStringLiteral("AE")},   {U'\u0153', QStringLiteral("oe")},
        {U'\u0152', QStringLiteral("OE")},   {U'\u00F8', QStringLiteral("o")},
        {U'\u00D8', QStringLiteral("O")},    {U'\u0111', QStringLiteral("d")},
        {U'\u0110', QStringLiteral("D")},    {U'\u0142', QStringLiteral("l")},
        {U'\u0141', QStringLiteral("L")},    {U'\u00F0', QStringLiteral("d")},
        {U'\u00D0', QStringLiteral("D")},    {U'\u00FE', QStringLiteral("th")},
        {U'\u00DE', QStringLiteral("Th")},
    };
    return table;
}

void appendAscii(QString& out, char32_t c) {
    if (c == U'<' || c == U'>')
        out += u'-';
    else if (c < 0x20 || c == 0x7F)
        out += u' ';
    else
        out += QChar(static_cast<char16_t>(c));
}

void appendFolded(QString& out, char32_t c) {
    if (c < 0x80) {
        appendAscii(out, c);
        return;
    }
    if (isRepairedVowel(c)) {
        out += QChar(static_cast<char16_t>(c));
        return;
    }
    if (const auto capital = capitalWithAccent(c)) {
        out += *capital;
        return;
    }
    if (QChar::isSpace(c)) {
        out += u' ';
        return;
    }
    const auto& table = spelledOut();
    if (const auto found = table.constFind(c); found != table.constEnd()) {
        out += *found;
        return;
    }
    // Compatibility decomposition splits off accents ("ñ" is "n" and a combining tilde)
    // and spells out ligatures, fractions and the ellipsis; only its ASCII characters are
    // kept, so what has no ASCII form (other scripts, emoji) leaves nothing.
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    for (const char32_t piece : decomposed.toUcs4()) {
        if (piece < 0x80)
            appendAscii(out, piece);
        else if (const auto found = table.constFind(piece); found != table.constEnd())
            out += *found;
    }
}

QString replacedAmpersands(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'&') {
            out += text.at(i);
            continue;
        }
        const bool blankBefore = i == 0 || text.at(i - 1) == u' ';
        const bool blankAfter = i + 1 == text.size() || text.at(i + 1) == u' ';
        out += blankBefore && blankAfter ? u'e' : u'+';
    }
    return out;
}

} // namespace

QString tickerText(QStringView text) {
    QString guillemets = text.toString();
    guillemets.replace(QStringLiteral("<<"), QStringLiteral("\"")).replace(QStringLiteral(">>"), QStringLiteral("\""));
    QString folded;
    folded.reserve(guillemets.size());
    for (const char32_t c : guillemets.toUcs4())
        appendFolded(folded, c);
    folded = replacedAmpersands(folded.simplified());
    folded.replace(QStringLiteral("StrilloTelevideo"), QStringLiteral("Strillo Televideo"));
    folded.replace(QStringLiteral("popup05"), QStringLiteral("popup 05"));
    return folded;
}
