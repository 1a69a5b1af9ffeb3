// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/pagetext.h"

namespace PageText {

std::optional<qsizetype> find(QStringView text, qsizetype from, QStringView what) {
    if (from < 1)
        return std::nullopt;
    if (from > text.size())
        return 0;
    return text.indexOf(what, from - 1) + 1;
}

std::optional<QString> cut(QStringView text, qsizetype from, qsizetype length) {
    if (from < 1 || length < 0)
        return std::nullopt;
    if (from > text.size())
        return QString();
    return text.mid(from - 1, length).toString();
}

QString shortened(QStringView text, qsizetype limit, Cut cut) {
    if (text.size() <= limit)
        return text.toString();
    if (cut == Cut::AfterLimit)
        return text.first(limit).toString() + QChar(u'\u2026');
    const QString ellipsis = QStringLiteral("...");
    const qsizetype room = limit - ellipsis.size();
    qsizetype at = text.lastIndexOf(u' ', room);
    if (at <= 0)
        at = room;
    return text.left(at).trimmed().toString() + ellipsis;
}

} // namespace PageText
