// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArrayView>

// What the bytes at the start of a connection's unread input say about the request that
// begins there, before the HTTP parser reads them. Only a head the service accepts
// reaches the parser: within MaxRequestLine and MaxHeaderSection bytes, at most
// MaxHeaderFields fields, and no body (the service answers GET and HEAD only). Lines may
// end in CR LF or in LF alone; blank lines before a request are skipped, as the parser
// skips them.
struct RequestHead {
    enum class Verdict {
        Nothing,    // no byte of a request yet
        Incomplete, // begun, within the limits so far
        Complete,   // whole and acceptable: `length` bytes from the start
        Refused,    // to be answered with `status`, and the connection closed
    };
    static constexpr qsizetype MaxRequestLine = 8 * 1024;
    static constexpr qsizetype MaxHeaderSection = 32 * 1024;
    static constexpr qsizetype MaxHeaderLine = 8 * 1024;
    static constexpr int MaxHeaderFields = 100;
    // The most bytes read() needs to see to reach a verdict.
    static constexpr qsizetype MaxBytes = MaxRequestLine + MaxHeaderSection + 8;

    Verdict verdict = Verdict::Nothing;
    int status = 0;
    qsizetype length = 0;
    bool http10 = false;

    static RequestHead read(QByteArrayView bytes);
};
