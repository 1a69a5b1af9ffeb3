// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "news/textrepair.h"

namespace {
constexpr char16_t Lead = 0x00C3;

// The vowel that a pair led by U+00C3 stands for, or 0 when the pair is none of them.
char16_t vowelOf(QChar second) {
    switch (second.unicode()) {
    case 0x00A8:
        return u'\u00E8'; // è
    case 0x00B2:
        return u'\u00F2'; // ò
    case 0x00AC:
        return u'\u00EC'; // ì
    case 0x00A9:
        return u'\u00E9'; // é
    case 0x00B9:
        return u'\u00F9'; // ù
    default:
        return 0;
    }
}
} // namespace

QString repairAccents(QString text) {
    if (!text.contains(QChar(Lead)))
        return text;
    // One pass, left to right: a known pair becomes its vowel, any other lead character
    // becomes "à" and what follows it stays. The pairs cannot overlap, since none has the
    // lead character second, so this is the same text as replacing the five pairs and
    // then the lone lead in turn, without moving the rest of a long text for every match.
    QString repaired(text.size(), Qt::Uninitialized);
    QChar* out = repaired.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != Lead) {
            *out++ = text[i];
            continue;
        }
        const char16_t vowel = i + 1 < text.size() ? vowelOf(text[i + 1]) : 0;
        *out++ = QChar(vowel ? vowel : u'\u00E0');
        if (vowel)
            ++i;
    }
    repaired.truncate(out - repaired.constData());
    return repaired;
}
