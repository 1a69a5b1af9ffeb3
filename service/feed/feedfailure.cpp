// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/feed/feedfailure.h"

QString feedFailureText(const FeedFailure& failure, std::chrono::milliseconds timeout, qint64 maxBytes) {
    using Kind = FeedFailure::Kind;
    switch (failure.kind) {
    case Kind::TimedOut:
        return QStringLiteral("no complete answer within %1 s").arg(std::chrono::duration<double>(timeout).count());
    case Kind::TooLarge: {
        constexpr qint64 MiB = 1024 * 1024;
        return maxBytes % MiB == 0 ? QStringLiteral("larger than %1 MiB").arg(maxBytes / MiB)
                                   : QStringLiteral("larger than %1 bytes").arg(maxBytes);
    }
    case Kind::HttpStatus:
        return QStringLiteral("HTTP %1 %2").arg(failure.status).arg(failure.detail).trimmed();
    case Kind::Unreachable:
    case Kind::Redirect:
    case Kind::Interrupted:
        return failure.detail;
    case Kind::FileUnreadable:
        return QStringLiteral("cannot read ") + failure.detail;
    case Kind::Empty:
        return QStringLiteral("the document is empty");
    case Kind::NotXml:
        return QStringLiteral("not XML: the document begins with \"%1\"").arg(failure.detail);
    case Kind::NotWellFormed:
        return QStringLiteral("not well-formed XML at ") + failure.detail;
    case Kind::NotAFeed:
        return QStringLiteral("not an RSS or Atom feed: the document is <%1>").arg(failure.detail);
    case Kind::NoItems:
        return QStringLiteral("the feed has no items");
    case Kind::NothingToShow:
        break;
    }
    return QStringLiteral("no item has a title the bar can show");
}

QString feedWarningText(const FeedWarning& warning) {
    if (warning.kind == FeedWarning::Kind::UnknownEncoding)
        return QStringLiteral("unknown encoding \"%1\": read as Windows-1252").arg(warning.encoding);
    return QStringLiteral("bytes not valid in %1 (the first at line %2, column %3) read as Windows-1252")
        .arg(warning.encoding)
        .arg(warning.line)
        .arg(warning.column);
}
