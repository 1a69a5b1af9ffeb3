// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <array>

// The seven ticker slots as an endless ring 0, 1, ..., 6, 0, ... moving right to left
// through the strip, and the schedule of the periodic refresh that the ring paces.
// Positions and widths are twips (single precision) from the strip's left edge; a left
// may be negative or beyond the strip.
class TickerRing {
public:
    static constexpr int SlotCount = 7;
    static constexpr float StepTwips = 10.f; // motion per tick
    static constexpr int RefreshPeriodSeconds = 180;

    struct Box {
        float left;
        float width;
    };

    // Boxes stand 270 apart and are 285 wide, so neighbours overlap by 15 until the
    // first reading lays them out.
    TickerRing();

    const Box& box(int slot) const { return m_boxes[slot]; }
    void setLeft(int slot, float left) { m_boxes[slot].left = left; }
    void setWidth(int slot, float width) { m_boxes[slot].width = width; }

    // One motion tick: when a refresh is pending and the ring stands at its sync point
    // (slot 1 at the strip's left edge, slot 2 glued behind it), lowers the flag and calls
    // `runRefresh`, which may rewrite the boxes; then glues each box behind its
    // predecessor wherever that one has entered the strip, and moves every box one step.
    template <typename RunRefresh> void tick(float stripWidth, RunRefresh&& runRefresh) {
        if (m_refreshPending && atSyncPoint()) {
            m_refreshPending = false;
            runRefresh();
        }
        chain(stripWidth);
        move();
    }

    // How many ticks from now up to the next that is shown: the first that runs a pending
    // refresh, else the first from the third on that changes what the strip shows (a box
    // edge landing on another whole pixel). The ticks before it need no drawing and no
    // waking up.
    int ticksUntilNextFrame(float stripWidth) const;

    // Asks for a refresh at the next sync point; asking again changes nothing.
    void requestRefresh() { m_refreshPending = true; }
    bool refreshPending() const { return m_refreshPending; }

    // Counts one second; every RefreshPeriodSeconds it asks for a refresh.
    void secondElapsed();

    // After a reading: boxes 1 to 6 follow box 0 edge to edge, in index order.
    void layOutBehindFirst();

    // The box under a strip position, the highest slot first where boxes overlap; -1 when
    // the position lies in no box.
    int slotAt(float x) const;

private:
    bool atSyncPoint() const { return m_boxes[2].left > 0.f && m_boxes[1].left < 100.f; }
    void chain(float stripWidth);
    void move();

    std::array<Box, SlotCount> m_boxes;
    bool m_refreshPending = false;
    int m_seconds = 0;
};
