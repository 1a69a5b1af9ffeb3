#include "news/textrepair.h"

#include <array>
#include <utility>

QString repairAccents(QString text) {
    // The order matters: the lone lead character must go last, or it would eat the lead of
    // every other pair.
    static const std::array<std::pair<QString, QString>, 6> rules = {{
        {QStringLiteral(u"\u00C3\u00A8"), QStringLiteral(u"\u00E8")},
        {QStringLiteral(u"\u00C3\u00B2"), QStringLiteral(u"\u00F2")},
        {QStringLiteral(u"\u00C3\u00AC"), QStringLiteral(u"\u00EC")},
        {QStringLiteral(u"\u00C3\u00A9"), QStringLiteral(u"\u00E9")},
        {QStringLiteral(u"\u00C3\u00B9"), QStringLiteral(u"\u00F9")},
        {QStringLiteral(u"\u00C3"), QStringLiteral(u"\u00E0")},
    }};
    if (!text.contains(QChar(0x00C3)))
        return text;
    for (const auto& [pair, vowel] : rules)
        text.replace(pair, vowel);
    return text;
}
