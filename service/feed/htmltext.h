// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Plain text out of the HTML that feeds carry in titles, descriptions and contents. Tags
// are dropped; block-level ones and line breaks leave a blank so that the last word of one
// paragraph does not run into the first of the next, while inline ones (<b>, <a>, <span>
// ...) leave nothing, so "<b>Roma</b>," stays "Roma,". Comments and the content of <script>
// and <style> are dropped. Only known HTML elements, and names with a prefix or a hyphen
// ("o:p", custom elements), count as tags: in "<<Basta>>" or "a < b" the '<' is text.
// Character references are decoded after the tags are gone, so "&lt;b&gt;" is the text "<b>".
// Whitespace runs become single blanks, none at either end.
QString htmlToPlainText(QStringView html);

// Decodes numeric references ("&#8217;", "&#x2019;"; 128 to 159 read as Windows-1252, as
// browsers do) and the named references of HTML 4, which are the ones feeds use. A
// reference without its ';', with an unknown name or out of range stays as written.
QString decodeHtmlEntities(QStringView text);

// The character of a named HTML 4 reference ("eacute" gives U+00E9); nothing for others.
std::optional<char32_t> namedEntity(QStringView name);
