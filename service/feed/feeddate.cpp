// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feeddate.h"

#include <QHash>
#include <QRegularExpression>
#include <QTimeZone>
#include <QVarLengthArray>

#include <optional>

namespace {

constexpr int MaxOffsetSeconds = 14 * 3600;

// Month names and abbreviations in the languages of the feeds the bar meets. Names are
// matched whole, then by their first three letters, which tell every month apart in
// each language but French "juin" and "juillet".
std::optional<int> monthNumber(const QString& lower) {
    static const QHash<QString, int> whole = {{QStringLiteral("juin"), 6},     {QStringLiteral("juil"), 7},
                                              {QStringLiteral("juillet"), 7},  {QStringLiteral("maerz"), 3},
                                              {QStringLiteral("mrz"), 3},      {QStringLiteral("sept"), 9},
                                              {QStringLiteral("setiembre"), 9}};
    static const QHash<QString, int> prefixes = {
        {QStringLiteral("jan"), 1},  {QStringLiteral("gen"), 1},  {QStringLiteral("ene"), 1},
        {QStringLiteral("jän"), 1},  {QStringLiteral("feb"), 2},  {QStringLiteral("fév"), 2},
        {QStringLiteral("fev"), 2},  {QStringLiteral("mar"), 3},  {QStringLiteral("mär"), 3},
        {QStringLiteral("apr"), 4},  {QStringLiteral("avr"), 4},  {QStringLiteral("abr"), 4},
        {QStringLiteral("may"), 5},  {QStringLiteral("mag"), 5},  {QStringLiteral("mai"), 5},
        {QStringLiteral("jun"), 6},  {QStringLiteral("giu"), 6},  {QStringLiteral("jul"), 7},
        {QStringLiteral("lug"), 7},  {QStringLiteral("aug"), 8},  {QStringLiteral("ago"), 8},
        {QStringLiteral("aoû"), 8},  {QStringLiteral("aou"), 8},  {QStringLiteral("sep"), 9},
        {QStringLiteral("set"), 9},  {QStringLiteral("oct"), 10}, {QStringLiteral("ott"), 10},
        {QStringLiteral("okt"), 10}, {QStringLiteral("nov"), 11}, {QStringLiteral("dec"), 12},
        {QStringLiteral("dic"), 12}, {QStringLiteral("déc"), 12}, {QStringLiteral("dez"), 12}};
    if (const auto found = whole.constFind(lower); found != whole.constEnd())
        return *found;
    if (lower.size() < 3)
        return std::nullopt;
    if (const auto found = prefixes.constFind(lower.left(3)); found != prefixes.constEnd())
        return *found;
    return std::nullopt;
}

// "+0100", "-05:00", "+01", "+1": seconds east of UTC.
std::optional<int> numericOffset(QStringView zone) {
    static const QRegularExpression pattern(QStringLiteral("^([+-])(\\d\\d?)(?::?(\\d\\d))?$"));
    const QRegularExpressionMatch match = pattern.match(zone);
    if (!match.hasMatch())
        return std::nullopt;
    const int seconds = match.capturedView(2).toInt() * 3600 + match.capturedView(3).toInt() * 60;
    if (seconds > MaxOffsetSeconds)
        return std::nullopt;
    return match.capturedView(1) == u"-" ? -seconds : seconds;
}

std::optional<int> zoneOffset(const QString& zone) {
    if (zone.startsWith(u'+') || zone.startsWith(u'-'))
        return numericOffset(zone);
    const QString upper = zone.toUpper();
    // "GMT+1", "UTC-05:00"
    for (const QStringView prefix : {u"GMT", u"UTC"})
        if (upper.size() > prefix.size() && upper.startsWith(prefix))
            return numericOffset(QStringView(upper).mid(prefix.size()));
    static const QHash<QString, int> minutes = {
        {QStringLiteral("UT"), 0},     {QStringLiteral("GMT"), 0},    {QStringLiteral("UTC"), 0},
        {QStringLiteral("Z"), 0},      {QStringLiteral("EST"), -300}, {QStringLiteral("EDT"), -240},
        {QStringLiteral("CST"), -360}, {QStringLiteral("CDT"), -300}, {QStringLiteral("MST"), -420},
        {QStringLiteral("MDT"), -360}, {QStringLiteral("PST"), -480}, {QStringLiteral("PDT"), -420},
        {QStringLiteral("WET"), 0},    {QStringLiteral("WEST"), 60},  {QStringLiteral("BST"), 60},
        {QStringLiteral("CET"), 60},   {QStringLiteral("CEST"), 120}, {QStringLiteral("MEZ"), 60},
        {QStringLiteral("MESZ"), 120}, {QStringLiteral("EET"), 120},  {QStringLiteral("EEST"), 180}};
    if (const auto found = minutes.constFind(upper); found != minutes.constEnd())
        return *found * 60;
    // RFC 2822 gives the military letters no reliable meaning.
    if (upper.size() == 1 && upper.at(0).isLetter())
        return 0;
    return std::nullopt;
}

bool isNumber(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

FeedDate dated(QDate date, QTime time, int offsetSeconds, bool timeGiven) {
    if (!date.isValid() || !time.isValid())
        return {};
    return {QDateTime(date, time, QTimeZone(offsetSeconds)), timeGiven};
}

FeedDate parseIsoDate(QStringView text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d\\d)-(\\d\\d)"
                       "(?:[Tt ](\\d\\d):(\\d\\d)(?::(\\d\\d)(?:[.,](\\d+))?)?\\s*([Zz]|[+-]\\d\\d(?::?\\d\\d)?)?)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    const QDate date(match.capturedView(1).toInt(), match.capturedView(2).toInt(), match.capturedView(3).toInt());
    if (!match.hasCaptured(4))
        return dated(date, QTime(0, 0), 0, false);
    const QStringView zone = match.capturedView(8);
    const auto offset =
        zone.isEmpty() || zone.compare(u"Z", Qt::CaseInsensitive) == 0 ? std::optional<int>(0) : numericOffset(zone);
    if (!offset)
        return {};
    const int milliseconds = match.capturedView(7).left(3).toString().leftJustified(3, u'0').toInt();
    return dated(date,
                 QTime(match.capturedView(4).toInt(), match.capturedView(5).toInt(), match.capturedView(6).toInt(),
                       milliseconds),
                 *offset, true);
}

// "18:40" or "18:40:05".
std::optional<QTime> clockTime(QStringView text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 1 || colon > 2)
        return std::nullopt;
    const QStringView hours = text.first(colon);
    const QStringView rest = text.sliced(colon + 1);
    const QStringView minutes = rest.first(std::min<qsizetype>(rest.size(), 2));
    const QStringView seconds = rest.size() > 2 && rest.at(2) == u':' ? rest.sliced(3) : QStringView();
    if (!isNumber(hours) || minutes.size() != 2 || !isNumber(minutes) ||
        rest.size() != (seconds.isNull() ? 2 : 3 + seconds.size()) ||
        (!seconds.isNull() && (seconds.size() != 2 || !isNumber(seconds))))
        return std::nullopt;
    return QTime(hours.toInt(), minutes.toInt(), seconds.isNull() ? 0 : seconds.toInt());
}

using DateFields = QVarLengthArray<QStringView, 8>;

// Fields between blanks and commas; abbreviations and German day numbers carry a full
// stop ("déc.", "3."). False for more fields than a date has.
bool splitDate(QStringView text, DateFields& fields) {
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool separator = i == text.size() || text.at(i).isSpace() || text.at(i) == u',';
        if (!separator) {
            if (start < 0)
                start = i;
            continue;
        }
        if (start < 0)
            continue;
        QStringView field = text.sliced(start, i - start);
        if (field.size() > 1 && field.endsWith(u'.'))
            field.chop(1);
        if (fields.size() == 7)
            return false;
        fields.append(field);
        start = -1;
    }
    return true;
}

FeedDate parseRfc822Date(QStringView text) {
    DateFields fields;
    if (!splitDate(text, fields))
        return {};
    // A comment after the zone: "+0100 (CET)".
    if (!fields.isEmpty() && fields.back().startsWith(u'(') && fields.back().endsWith(u')'))
        fields.removeLast();
    // The day name carries nothing the date does not say, and feeds get it wrong. It is
    // told from a month written first ("Dec 06 2026") by what follows: a day name may look
    // like a month ("Mar" is Tuesday in Italian), but is followed by a day and a month.
    const auto number = [&fields](qsizetype index) { return index < fields.size() && isNumber(fields[index]); };
    if (!fields.isEmpty() && !number(0) && !(number(1) && number(2)))
        fields.remove(0);
    if (fields.size() < 3 || fields.size() > 5)
        return {};
    // "Dec 06 2026": the month first.
    if (!isNumber(fields[0]) && isNumber(fields[1]))
        std::swap(fields[0], fields[1]);
    const auto month = monthNumber(fields[1].toString().toLower());
    if (!isNumber(fields[0]) || fields[0].size() > 2 || !month || !isNumber(fields[2]))
        return {};
    int year = fields[2].toInt();
    if (fields[2].size() == 2)
        year += year < 50 ? 2000 : 1900;
    else if (fields[2].size() != 4)
        return {};
    const QDate date(year, *month, fields[0].toInt());
    if (fields.size() == 3)
        return dated(date, QTime(0, 0), 0, false);
    const auto time = clockTime(fields[3]);
    if (!time)
        return {};
    const auto offset = fields.size() == 5 ? zoneOffset(fields[4].toString()) : std::optional<int>(0);
    if (!offset)
        return {};
    return dated(date, *time, *offset, true);
}

} // namespace

FeedDate parseFeedDate(QStringView text) {
    const QStringView trimmed = text.trimmed();
    // ISO 8601 begins with the year and a hyphen, RFC 822 never does.
    if (trimmed.size() >= 10 && trimmed.at(4) == u'-')
        return parseIsoDate(trimmed);
    return parseRfc822Date(trimmed);
}
