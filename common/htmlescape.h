// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>

// How escapedHtml() writes the five characters that HTML gives a meaning (& < > " ').
enum class HtmlReferences {
    Named,  // &amp; &lt; &gt; &quot; &#39;
    Numeric // &#38; &#60; &#62; &#34; &#39;, like every other character
};

// `text` as it can stand in an HTML page or attribute: each character for which `plain`
// holds as it is, every other one as a character reference, the numeric reference giving
// its code point (a character beyond the first plane is one reference). A caller that
// leaves one of the five characters plain answers for where it goes.
QString escapedHtml(QStringView text, bool (*plain)(char32_t c), HtmlReferences references);
