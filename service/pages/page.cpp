// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/pages/page.h"

Page Page::html(const QByteArray& body, int maxAgeSeconds) {
    return {Status::Ok, QByteArrayLiteral("text/html; charset=utf-8"), body, maxAgeSeconds};
}

Page Page::text(Status status, const QByteArray& body, int maxAgeSeconds) {
    return {status, QByteArrayLiteral("text/plain; charset=utf-8"), body, maxAgeSeconds};
}

Page Page::notFound() { return text(Status::NotFound, QByteArrayLiteral("Pagina non trovata\n")); }
