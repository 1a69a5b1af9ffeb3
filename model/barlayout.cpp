// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "model/barlayout.h"

#include <cmath>

namespace BarLayout {

int toPixels(float twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); }
float toTwips(int pixels) { return static_cast<float>(pixels) * TwipsPerPixel; }

float barWidth(float screenWidth) { return screenWidth / 100.f * 70.f; }
float stripWidth(float barWidth) { return barWidth - ControlBoxWidth; }
float barLeft(float screenWidth, float barWidth) { return (screenWidth - barWidth) / 2.f; }

float panelTop(float barTop, float barHeight, float panelHeight, float screenHeight) {
    const float bottom = barTop + barHeight + panelHeight;
    return bottom < screenHeight ? barTop + barHeight : barTop - panelHeight;
}

float bodyWidth(float panelWidth) { return panelWidth - 250.f; }

PanelFit fitPanel(float panelWidth, float bodyHeight) {
    return {BodyLeft, bodyWidth(panelWidth), bodyHeight + 900.f, bodyHeight + 800.f};
}

} // namespace BarLayout
