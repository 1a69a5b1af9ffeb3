// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QRandomGenerator>

// The futures price between two quote requests: each step moves the last price by at most
// 0.2% of itself, in whole ticks of 0.25, in either direction. The price stays within 5% of
// the opening price (a step that would leave that band goes the other way), which keeps it
// in the width the quote page gives it.
class PriceWalk {
public:
    PriceWalk(double open, quint32 seed);
    explicit PriceWalk(double open);

    double open() const { return m_open; }
    double last() const { return m_last; }

    // Moves the last price and returns it.
    double step();

    static constexpr double Tick = 0.25;
    static constexpr double MaxStep = 0.002;
    static constexpr double Band = 0.05;

private:
    double m_open;
    double m_last;
    QRandomGenerator m_random;
};
