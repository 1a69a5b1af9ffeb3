// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

// Geometry of the bar and of the detail panel that hangs under it. Every value is in
// twips (1440 per inch, 15 per logical pixel), in single precision.
namespace BarLayout {

inline constexpr float TwipsPerPixel = 15.f;
inline constexpr float BarHeight = 250.f;
inline constexpr float ControlBoxWidth = 1275.f;

int toPixels(float twips);
float toTwips(int pixels);

// 70 per cent of the screen's width.
float barWidth(float screenWidth);
// The ticker strip fills the bar up to the control box at its right end.
float stripWidth(float barWidth);
// Centred on the screen.
float barLeft(float screenWidth, float barWidth);

// Top of the panel: under the bar when it ends strictly above the screen's bottom edge,
// otherwise above the bar (even if that takes it past the screen's top edge).
float panelTop(float barTop, float barHeight, float panelHeight, float screenHeight);

// The panel fitted to its body text: the body label's left and width, and the heights
// of the panel and of its card, for a panel `panelWidth` wide whose body text takes
// `bodyHeight` at that width.
struct PanelFit {
    float bodyLeft;
    float bodyWidth;
    float panelHeight;
    float cardHeight;
};
inline constexpr float BodyLeft = 150.f;
float bodyWidth(float panelWidth);
PanelFit fitPanel(float panelWidth, float bodyHeight);

} // namespace BarLayout
