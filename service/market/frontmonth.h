// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QDate>
#include <QString>

// The Nasdaq-100 futures contract that trades most, named as the exchange names it: "NQ",
// the month letter (H March, M June, U September, Z December) and the year's last two
// digits, "NQZ26". A contract expires on the third Friday of its month; trading moves to
// the next one on the Thursday of the week before, eight days earlier, and so does the
// code from that day on. `day` is the date on the exchange's clock (New York).
QString frontMonthContract(QDate day);
// The contract that trading moves to after frontMonthContract(`day`).
QString nextContract(QDate day);
