// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/http/requesthead.h"

#include <algorithm>

namespace {

RequestHead refused(int status) { return {RequestHead::Verdict::Refused, status, 0, false}; }

// A line without its CR LF or LF.
QByteArrayView withoutLineEnd(QByteArrayView line) { return line.endsWith('\r') ? line.chopped(1) : line; }

// Whether a header field announces a body: any Transfer-Encoding, a Content-Length other
// than zero (or one that is not a number).
bool announcesBody(QByteArrayView field) {
    const qsizetype colon = field.indexOf(':');
    if (colon < 0)
        return false;
    const QByteArrayView name = field.first(colon).trimmed();
    if (name.compare("transfer-encoding", Qt::CaseInsensitive) == 0)
        return true;
    if (name.compare("content-length", Qt::CaseInsensitive) != 0)
        return false;
    const QByteArrayView value = field.sliced(colon + 1).trimmed();
    return value.isEmpty() || !std::all_of(value.begin(), value.end(), [](char c) { return c == '0'; });
}

// The header section from `from` on: complete, incomplete or refused.
RequestHead readFields(QByteArrayView bytes, qsizetype from) {
    int fields = 0;
    for (qsizetype start = from;;) {
        const qsizetype end = bytes.indexOf('\n', start);
        const qsizetype lineLength = (end < 0 ? bytes.size() : end) - start;
        if (lineLength > RequestHead::MaxHeaderLine ||
            (end < 0 ? bytes.size() : end) - from > RequestHead::MaxHeaderSection)
            return refused(431);
        if (end < 0)
            return {RequestHead::Verdict::Incomplete, 0, 0, false};
        const QByteArrayView line = withoutLineEnd(bytes.sliced(start, end - start));
        if (line.isEmpty())
            return {RequestHead::Verdict::Complete, 0, end + 1, false};
        if (++fields > RequestHead::MaxHeaderFields)
            return refused(431);
        if (announcesBody(line))
            return refused(413);
        start = end + 1;
    }
}

} // namespace

RequestHead RequestHead::read(QByteArrayView bytes) {
    qsizetype begin = 0;
    while (begin < bytes.size() && QByteArrayView(" \t\r\n\v").contains(bytes[begin]))
        ++begin;
    if (begin == bytes.size())
        return {};
    const qsizetype lineEnd = bytes.indexOf('\n', begin);
    if ((lineEnd < 0 ? bytes.size() : lineEnd) - begin > MaxRequestLine)
        return refused(414);
    if (lineEnd < 0)
        return {Verdict::Incomplete, 0, 0, false};
    RequestHead head = readFields(bytes, lineEnd + 1);
    head.http10 = withoutLineEnd(bytes.sliced(begin, lineEnd - begin)).endsWith(" HTTP/1.0");
    return head;
}
