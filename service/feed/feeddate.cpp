#include "service/feed/feeddate.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QTimeZone>

#include <optional>

namespace {

constexpr int MaxOffsetSeconds = 14 * 3600;

std::optional<int> monthNumber(QStringView name) {
    static const QStringList months = {QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
                                       QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"),
                                       QStringLiteral("jul"), QStringLiteral("aug"), QStringLiteral("sep"),
                                       QStringLiteral("oct"), QStringLiteral("nov"), QStringLiteral("dec")};
    if (name.size() < 3)
        return std::nullopt;
    const qsizetype index = months.indexOf(name.left(3).toString().toLower());
    if (index < 0)
        return std::nullopt;
    return static_cast<int>(index) + 1;
}

// "+0100", "-05:00", "+01": seconds east of UTC.
std::optional<int> numericOffset(QStringView zone) {
    static const QRegularExpression pattern(QStringLiteral("^([+-])(\\d\\d):?(\\d\\d)?$"));
    const QRegularExpressionMatch match = pattern.match(zone.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const int seconds = match.capturedView(2).toInt() * 3600 + match.capturedView(3).toInt() * 60;
    if (seconds > MaxOffsetSeconds)
        return std::nullopt;
    return match.capturedView(1) == u"-" ? -seconds : seconds;
}

std::optional<int> zoneOffset(QStringView zone) {
    if (zone.startsWith(u'+') || zone.startsWith(u'-'))
        return numericOffset(zone);
    static const QHash<QString, int> hours = {
        {QStringLiteral("UT"), 0},   {QStringLiteral("GMT"), 0},  {QStringLiteral("UTC"), 0},
        {QStringLiteral("Z"), 0},    {QStringLiteral("EST"), -5}, {QStringLiteral("EDT"), -4},
        {QStringLiteral("CST"), -6}, {QStringLiteral("CDT"), -5}, {QStringLiteral("MST"), -7},
        {QStringLiteral("MDT"), -6}, {QStringLiteral("PST"), -8}, {QStringLiteral("PDT"), -7},
        {QStringLiteral("CET"), 1},  {QStringLiteral("CEST"), 2}};
    const QString upper = zone.toString().toUpper();
    if (const auto found = hours.constFind(upper); found != hours.constEnd())
        return *found * 3600;
    // RFC 2822 gives the military letters no reliable meaning.
    if (upper.size() == 1 && upper.at(0).isLetter())
        return 0;
    return std::nullopt;
}

QDateTime withOffset(QDate date, QTime time, int offsetSeconds) {
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, QTimeZone(offsetSeconds));
}

bool isNumber(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

QDateTime parseRfc822Date(QStringView text) {
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    QStringList fields = text.toString().split(separators, Qt::SkipEmptyParts);
    // The day name carries nothing the date does not say, and feeds get it wrong.
    if (!fields.isEmpty() && !isNumber(fields.constFirst()))
        fields.removeFirst();
    if (fields.size() < 4 || fields.size() > 5)
        return {};
    const auto month = monthNumber(fields.at(1));
    if (!isNumber(fields.at(0)) || fields.at(0).size() > 2 || !month || !isNumber(fields.at(2)))
        return {};
    int year = fields.at(2).toInt();
    if (fields.at(2).size() == 2)
        year += year < 50 ? 2000 : 1900;
    else if (fields.at(2).size() != 4)
        return {};

    static const QRegularExpression clock(QStringLiteral("^(\\d\\d?):(\\d\\d)(?::(\\d\\d))?$"));
    const QRegularExpressionMatch time = clock.match(fields.at(3));
    if (!time.hasMatch())
        return {};
    const auto offset = fields.size() == 5 ? zoneOffset(fields.at(4)) : std::optional<int>(0);
    if (!offset)
        return {};
    return withOffset(QDate(year, *month, fields.at(0).toInt()),
                      QTime(time.capturedView(1).toInt(), time.capturedView(2).toInt(), time.capturedView(3).toInt()),
                      *offset);
}

QDateTime parseIsoDate(QStringView text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d\\d)-(\\d\\d)"
                       "(?:[Tt ](\\d\\d):(\\d\\d)(?::(\\d\\d)(?:[.,](\\d+))?)?\\s*([Zz]|[+-]\\d\\d(?::?\\d\\d)?)?)?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed().toString());
    if (!match.hasMatch())
        return {};
    const QStringView zone = match.capturedView(8);
    const auto offset =
        zone.isEmpty() || zone.compare(u"Z", Qt::CaseInsensitive) == 0 ? std::optional<int>(0) : numericOffset(zone);
    if (!offset)
        return {};
    const int milliseconds = match.capturedView(7).left(3).toString().leftJustified(3, u'0').toInt();
    return withOffset(
        QDate(match.capturedView(1).toInt(), match.capturedView(2).toInt(), match.capturedView(3).toInt()),
        QTime(match.capturedView(4).toInt(), match.capturedView(5).toInt(), match.capturedView(6).toInt(),
              milliseconds),
        *offset);
}

QDateTime parseFeedDate(QStringView text) {
    const QDateTime iso = parseIsoDate(text);
    return iso.isValid() ? iso : parseRfc822Date(text);
}
