// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "model/promocaptions.h"

#include <array>

namespace PromoCaptions {
namespace {
const std::array<QString, 4>& captions() {
    static const std::array<QString, 4> all = {
        QStringLiteral("   www.ventoria.it   "),
        QStringLiteral("  Zefirina: le notizie sempre in vista  "),
        QStringLiteral(u"   Programmi gratuiti su www.ventoria.it   "),
        QStringLiteral("   Clicca qui per visitare il sito   "),
    };
    return all;
}
} // namespace

QString first() { return captions().front(); }

std::optional<QString> next(const QString& current) {
    const auto& all = captions();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (current == all[i])
            return all[(i + 1) % all.size()];
    return std::nullopt;
}

} // namespace PromoCaptions
