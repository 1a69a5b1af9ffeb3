// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/htmlescape.h"

#include <optional>

namespace {
std::optional<QStringView> nameOf(char32_t c) {
    switch (c) {
    case U'&':
        return u"&amp;";
    case U'<':
        return u"&lt;";
    case U'>':
        return u"&gt;";
    case U'"':
        return u"&quot;";
    case U'\'':
        return u"&#39;"; // HTML 4 has no name for it
    default:
        return std::nullopt;
    }
}
} // namespace

QString escapedHtml(QStringView text, bool (*plain)(char32_t c), HtmlReferences references) {
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        if (plain(c))
            escaped += text.mid(i, pair ? 2 : 1);
        else if (const auto name = nameOf(c); name && references == HtmlReferences::Named)
            escaped += *name;
        else
            escaped += QStringLiteral("&#%1;").arg(static_cast<uint>(c));
        i += pair ? 1 : 0;
    }
    return escaped;
}
