// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <optional>

// The four captions that the promotional slot shows in turn, one a second. The first is
// the maker's site name; all four differ from each other and from any other caption.
namespace PromoCaptions {

QString first();

// The caption that follows `current` in the cycle 1, 2, 3, 4, 1, ...; nothing when
// `current` is none of the four.
std::optional<QString> next(const QString& current);

} // namespace PromoCaptions
