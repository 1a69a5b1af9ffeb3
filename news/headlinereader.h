// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>
#include <array>

inline constexpr int HeadlineCount = 5;
using HeadlineLinks = std::array<QString, HeadlineCount>;

// What one reading of the headline page gives the ticker: the captions of slots 0 to 4
// ("  hh:mm - Titolo  ") and the detail link of each slot.
struct HeadlineBatch {
    std::array<QString, HeadlineCount> captions;
    HeadlineLinks links;
};

// Reads the five first "StrilloTelevideo" records of a non-empty headline page.
// `previousLinks` are the links the ticker holds now: a record whose link cannot be cut
// keeps the previous one. `clock` ("hh:mm") stamps the "Dati non disponibili" caption of
// a record without a time. With fewer than five records, a pass that finds no record
// repeats the one before it, and the pass after that starts again from the first record.
HeadlineBatch readHeadlines(QStringView page, const HeadlineLinks& previousLinks, const QString& clock);

// Caption shown for a record that has no time.
QString unavailableCaption(const QString& clock);
