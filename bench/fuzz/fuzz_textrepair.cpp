// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
// repairAccents on any fetched text.
#include "bench/fuzz/fuzzcheck.h"
#include "news/textrepair.h"

namespace {
constexpr QChar Lead(0x00C3);

// The same repair in one pass from the left: a lead followed by the second byte of one of
// the five vowels becomes that vowel, any other lead stands for "à" on its own.
QString repairedInOnePass(QStringView text) {
    struct Pair {
        char16_t second, vowel;
    };
    static constexpr Pair pairs[] = {
        {0x00A8, 0x00E8}, {0x00B2, 0x00F2}, {0x00AC, 0x00EC}, {0x00A9, 0x00E9}, {0x00B9, 0x00F9}};
    QString repaired;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != Lead) {
            repaired += text[i];
            continue;
        }
        QChar vowel(0x00E0);
        if (i + 1 < text.size()) {
            for (const Pair& pair : pairs) {
                if (text[i + 1] == QChar(pair.second)) {
                    vowel = QChar(pair.vowel);
                    ++i;
                    break;
                }
            }
        }
        repaired += vowel;
    }
    return repaired;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fetchedText(data, size);
    const QString repaired = repairAccents(text);
    FUZZ_CHECK(!repaired.contains(Lead));
    FUZZ_CHECK(repairAccents(repaired) == repaired);
    FUZZ_CHECK(repaired == repairedInOnePass(text));
    return 0;
}
