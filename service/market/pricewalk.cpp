// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/pricewalk.h"

#include <cmath>

PriceWalk::PriceWalk(double open, quint32 seed) : m_open(open), m_last(open), m_random(seed) {}

PriceWalk::PriceWalk(double open) : PriceWalk(open, QRandomGenerator::global()->generate()) {}

double PriceWalk::step() {
    const double move = m_last * MaxStep * (2.0 * m_random.generateDouble() - 1.0);
    // Rounding toward zero keeps the move within its limit.
    const double ticks = std::trunc(move / Tick);
    double next = m_last + ticks * Tick;
    if (std::abs(next - m_open) > m_open * Band)
        next = m_last - ticks * Tick;
    m_last = next;
    return m_last;
}
