// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "model/tickerring.h"

#include "model/barlayout.h"

namespace {
// Where the strip draws the boxes: left and width of each, in whole pixels.
std::array<int, 2 * TickerRing::SlotCount> pixelBoxes(const TickerRing& ring) {
    std::array<int, 2 * TickerRing::SlotCount> pixels{};
    for (int i = 0; i < TickerRing::SlotCount; ++i) {
        pixels[2 * i] = BarLayout::toPixels(ring.box(i).left);
        pixels[2 * i + 1] = BarLayout::toPixels(ring.box(i).width);
    }
    return pixels;
}
} // namespace

TickerRing::TickerRing() {
    for (int i = 0; i < SlotCount; ++i)
        m_boxes[i] = {270.f * static_cast<float>(i), 285.f};
}

void TickerRing::secondElapsed() {
    if (++m_seconds == RefreshPeriodSeconds) {
        m_seconds = 0;
        requestRefresh();
    }
}

void TickerRing::layOutBehindFirst() {
    for (int i = 1; i < SlotCount; ++i)
        m_boxes[i].left = m_boxes[i - 1].left + m_boxes[i - 1].width;
}

int TickerRing::slotAt(float x) const {
    for (int i = SlotCount - 1; i >= 0; --i)
        if (x >= m_boxes[i].left && x < m_boxes[i].left + m_boxes[i].width)
            return i;
    return -1;
}

void TickerRing::chain(float stripWidth) {
    // Pair (6, 0) goes first, so a wrap of box 0 is carried along the whole chain in the
    // same tick.
    for (int successor : {0, 1, 2, 3, 4, 5, 6}) {
        const Box& predecessor = m_boxes[(successor + SlotCount - 1) % SlotCount];
        if (predecessor.left < stripWidth)
            m_boxes[successor].left = predecessor.left + predecessor.width;
    }
}

void TickerRing::move() {
    for (Box& b : m_boxes)
        b.left -= StepTwips;
}

int TickerRing::ticksUntilNextFrame(float stripWidth) const {
    // A box moves two thirds of a pixel a tick: one pixel after one tick, the next after
    // two more. Every third tick it has moved exactly two: shown then, the motion is even
    // and takes half the frames. The bound only guards a ring that does not move.
    constexpr int TicksPerFrame = 3;
    constexpr int Horizon = TicksPerFrame + 1;
    TickerRing ahead = *this;
    const auto shown = pixelBoxes(ahead);
    for (int ticks = 1; ticks < Horizon; ++ticks) {
        bool refreshes = false;
        ahead.tick(stripWidth, [&refreshes] { refreshes = true; });
        if (refreshes || (ticks >= TicksPerFrame && pixelBoxes(ahead) != shown))
            return ticks;
    }
    return Horizon;
}
