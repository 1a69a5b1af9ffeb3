// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/market/easternclock.h"

#include <QTimeZone>

QDateTime easternTime(const QDateTime& instant) {
    const QTimeZone eastern(QByteArrayLiteral("America/New_York"));
    constexpr int StandardOffsetSeconds = -5 * 3600;
    return eastern.isValid() ? instant.toTimeZone(eastern) : instant.toOffsetFromUtc(StandardOffsetSeconds);
}

QString easternClockText(const QDateTime& instant) {
    const QTime time = easternTime(instant).time();
    const int hour = time.hour();
    const int clockHour = hour % 12 == 0 ? 12 : hour % 12;
    return QString::number(clockHour) + QChar(u':') + QStringLiteral("%1").arg(time.minute(), 2, 10, QChar(u'0')) +
           (hour < 12 ? QStringLiteral("am") : QStringLiteral("pm"));
}
