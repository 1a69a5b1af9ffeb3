// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>

// Text as the bar can show it from the service's pages. The bar reads every page byte by
// byte as Windows-1252 and repairs only the UTF-8 forms of the six lower-case accented
// vowels of Italian (è ò ì é ù à); any other character outside ASCII would reach the
// screen as two or three odd symbols. The pages also carry titles and texts as they are,
// where '<', '>' and '&' have no place. So:
// - è ò ì é ù à stay;
// - typographic quotes, dashes, spaces and the ellipsis become their ASCII look-alikes
//   ("«Sì»" gives "\"Sì\"");
// - capital vowels with a grave or acute accent are written the Italian way without
//   accents ("È" gives "E'"), other letters lose their accents ("ñ" gives "n"), a few
//   ligatures and symbols are spelt out ("€" gives "EUR");
// - '&' between blanks becomes "e", inside a word "+"; '<' and '>' become '-' ("<<" and
//   ">>" a double quote);
// - what has no ASCII form (other scripts, emoji, control characters) is dropped;
// - the words the bar looks for in the pages ("StrilloTelevideo", "popup05") get a blank
//   inside, so that no title or text can pass for the pages' own markup;
// - whitespace runs become single blanks, none at either end.
QString tickerText(QStringView text);
