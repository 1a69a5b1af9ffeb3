// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "market/quotereader.h"

#include "common/pagetext.h"

#include <optional>

namespace {

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isClockChar(QChar c) { return isAsciiDigit(c) || c == u':' || c == u'p' || c == u'a' || c == u'm'; }
bool isPriceChar(QChar c) { return isAsciiDigit(c) || c == u'.'; }

// The characters among the `length` characters from `from` that pass `keep`. A window
// that starts before the page is empty; one that runs past its end is shorter.
QString readWindow(QStringView page, qsizetype from, qsizetype length, bool (*keep)(QChar)) {
    QString kept;
    if (from < 1)
        return kept;
    for (const QChar c : page.mid(from - 1).left(length))
        if (keep(c))
            kept += c;
    return kept;
}

// A price window: the thousands separators go, the decimal point becomes a comma.
QString readPrice(QStringView page, qsizetype from, qsizetype length) {
    return readWindow(page, from, length, isPriceChar).replace(QChar(u'.'), QChar(u','));
}

qsizetype markerAt(QStringView page, QStringView marker) { return *PageText::find(page, 1, marker); }

std::optional<int> hourOf(QStringView digits) {
    bool ok = false;
    const int hour = digits.toInt(&ok);
    return ok ? std::optional<int>(hour) : std::nullopt;
}

// "4:00pm" -> "16:00", "9:30am" -> "9:30"; the page prints the hour after midnight as
// "12:05am", which is "0:05" on the 24-hour clock, shaped like the other morning hours.
// Any other text is cut as it stands ("12:5am" -> "12:5"). Nothing when the hour of an
// afternoon time is not a number.
std::optional<QString> toTwentyFourHours(const QString& clock) {
    const bool oneDigitHour = clock.size() == 6;
    const QStringView hour = QStringView(clock).left(oneDigitHour ? 1 : 2);
    const QStringView rest = QStringView(clock).mid(oneDigitHour ? 1 : 2, 3);
    if (clock.endsWith(u"pm") && !clock.startsWith(u"12")) {
        const auto value = hourOf(hour);
        if (!value)
            return std::nullopt;
        return QString::number(*value + 12) + rest.toString();
    }
    const bool afterMidnight = clock.size() == 7 && clock.startsWith(u"12:") && clock.endsWith(u"am") &&
                               isAsciiDigit(clock[3]) && isAsciiDigit(clock[4]);
    if (afterMidnight)
        return QStringLiteral("0") + rest.toString();
    return clock.left(oneDigitHour ? 4 : 5);
}

// A price with a decimal comma; an empty text is 0, and anything after a second comma
// is ignored.
double priceValue(QStringView price) {
    const qsizetype comma = price.indexOf(u',');
    const QStringView whole = comma < 0 ? price : price.left(comma);
    QStringView fraction = comma < 0 ? QStringView() : price.mid(comma + 1);
    fraction = fraction.left(fraction.indexOf(u','));
    return whole.toDouble() + (fraction.isEmpty() ? 0.0 : (QStringLiteral("0.") + fraction.toString()).toDouble());
}

} // namespace

QString trendWord(bool rising) { return rising ? QStringLiteral("positivo") : QStringLiteral("negativo"); }

FuturesQuote readQuote(QStringView page, const FuturesQuote& previous) {
    FuturesQuote quote = previous;
    auto& fields = quote.fields;
    const QString clock = readWindow(page, markerAt(page, u"ET</abbr><br /></span>") - 36, 8, isClockChar);
    PageText::keepUnlessFailed(fields[FuturesQuote::Time], toTwentyFourHours(clock));
    fields[FuturesQuote::Last] = readPrice(page, markerAt(page, u"Last price:") + 18, 8);
    const QString change = readPrice(page, markerAt(page, u"Shows primary price") - 46, 9);
    fields[FuturesQuote::Change] = (change.isEmpty() ? QStringLiteral("0,0") : change) + QStringLiteral(" %");
    fields[FuturesQuote::Open] = readPrice(page, markerAt(page, u"Open:") + 30, 18);
    quote.rising = !(priceValue(fields[FuturesQuote::Open]) > priceValue(fields[FuturesQuote::Last]));
    fields[FuturesQuote::Change].prepend(quote.rising ? QStringLiteral("+ ") : QStringLiteral("- "));
    return quote;
}

QString quoteCaption(const FuturesQuote& quote, const QString& symbol) {
    return QStringLiteral("  ") + quote.fields[FuturesQuote::Time] + QStringLiteral(" - ") + symbol +
           QStringLiteral(", ") + quote.fields[FuturesQuote::Change] + QStringLiteral("  ");
}

QString futuresHeading(const FuturesQuote& quote) {
    return quote.fields[FuturesQuote::Time] + QStringLiteral(" Indice futures Nasdaq 100");
}

QString futuresDescription(const FuturesQuote& quote, const QString& trend) {
    const auto& fields = quote.fields;
    return QStringLiteral("I futures USA Nasdaq-100 viaggiano in terreno ") + trend +
           QStringLiteral(u". Il valore di apertura \u00e8 stato di ") + fields[FuturesQuote::Open] +
           QStringLiteral(u" ed il valore attuale \u00e8 ") + fields[FuturesQuote::Last] +
           QStringLiteral(" con una variazione percentuale pari a ") + fields[FuturesQuote::Change] +
           QStringLiteral(".");
}
