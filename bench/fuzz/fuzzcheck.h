// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/windows1252.h"

#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// A rule every result must keep. A broken one is printed and stops the run, and libFuzzer
// saves the input that broke it.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                              \
            __builtin_trap();                                                                                          \
        }                                                                                                              \
    } while (false)

// The input as the bar reads a fetched body: the bytes as Windows-1252, one character each.
inline QString fetchedText(const std::uint8_t* data, std::size_t size) {
    const QString text =
        decodeWindows1252(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    FUZZ_CHECK(text.size() == static_cast<qsizetype>(size));
    return text;
}

// True when every character of `text` is one of `allowed`.
inline bool onlyOf(QStringView text, QStringView allowed) {
    for (const QChar c : text)
        if (!allowed.contains(c))
            return false;
    return true;
}
