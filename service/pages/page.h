// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>

// One answer of the service, before it is put on the wire: what the HTTP side sends for a
// route. Statuses are the few the pages need, numbered as HTTP numbers them.
struct Page {
    enum class Status {
        Ok = 200,
        Found = 302,
        Forbidden = 403,
        NotFound = 404,
        MethodNotAllowed = 405,
        BadGateway = 502,
        Unavailable = 503,
    };

    Status status = Status::Ok;
    QByteArray contentType;
    QByteArray body;
    int maxAgeSeconds = 0;    // 0: not to be stored; otherwise the same for every client
    QByteArray location = {}; // where a redirect sends the client
    bool anyOrigin = false;   // readable by pages of any origin, the local chart page too

    static Page html(const QByteArray& body, int maxAgeSeconds = 0);
    static Page text(Status status, const QByteArray& body, int maxAgeSeconds = 0);
    static Page notFound();
};
