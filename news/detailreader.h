// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>

// Cuts the text of one news item out of its non-empty detail page: it begins ten
// characters after the first "</div>" that follows the "popup05" marker and ends three
// characters before the next "</div>". A comma is followed by one blank, double blanks
// are halved, a comma before a digit loses its blank, and the accents are repaired.
// Markers that are missing or out of order give the text the same rules yield, often
// an empty one. A news item runs to about a thousand characters: a text that, tidied,
// is longer than `MaxDetailChars` is cut there and ends in an ellipsis.
inline constexpr qsizetype MaxDetailChars = 10'000;
QString readDetail(QStringView page);

// The text shown in the panel when a detail page cannot be fetched: a blank line, the
// message, a line break.
QString detailFailureText(const QString& message);
