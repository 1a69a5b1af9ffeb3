// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/frontmonth.h"

namespace {
constexpr int DaysBeforeExpiry = 8;
constexpr int QuarterMonths = 3;

QDate thirdFriday(int year, int month) {
    const QDate first(year, month, 1);
    const int toFriday = (Qt::Friday - first.dayOfWeek() + 7) % 7;
    return first.addDays(toFriday + 14);
}

char monthLetter(int month) {
    switch (month) {
    case 3:
        return 'H';
    case 6:
        return 'M';
    case 9:
        return 'U';
    default:
        return 'Z';
    }
}
} // namespace

QString frontMonthContract(QDate day) {
    int year = day.year();
    // The quarter month of the quarter `day` falls in.
    int month = (day.month() + QuarterMonths - 1) / QuarterMonths * QuarterMonths;
    if (day >= thirdFriday(year, month).addDays(-DaysBeforeExpiry)) {
        month += QuarterMonths;
        if (month > 12) {
            month -= 12;
            ++year;
        }
    }
    return QStringLiteral("NQ%1%2").arg(QLatin1Char(monthLetter(month))).arg(year % 100, 2, 10, QLatin1Char('0'));
}

QString nextContract(QDate day) {
    const QString current = frontMonthContract(day);
    QString next = current;
    while (next == current) {
        day = day.addDays(7);
        next = frontMonthContract(day);
    }
    return next;
}
