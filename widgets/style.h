// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QColor>
#include <QFont>

// The look that the bar, its panel and the chart window share.
namespace Style {

// The purple of the bar's drag band and of the chart window's icon.
inline constexpr QColor Purple(192, 0, 192);

// Bold "MS Sans Serif" at `points`, or the system's sans-serif substitute: the font of
// every caption, button and text of the bar and its panel.
QFont boldFont(qreal points);

} // namespace Style
