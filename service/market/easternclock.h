// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QDateTime>
#include <QString>

// The time of day of `instant` in US Eastern time on the quote provider's 12-hour clock:
// "4:00pm", "9:30am", "12:05am" just after midnight, "12:30pm" just after noon. Daylight
// saving time follows the New York time zone; where the system has no zone data the clock
// falls back to standard time (UTC-5).
QString easternClockText(const QDateTime& instant);

// `instant` on New York's clock, with the same fallback.
QDateTime easternTime(const QDateTime& instant);
