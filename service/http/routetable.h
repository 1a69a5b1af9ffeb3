// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/pages/page.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <functional>
#include <utility>

// Which page answers which path: exact paths first, then the longest matching prefix,
// then "not found". A handler gets the whole request URL (query included); a prefix
// handler gets the path after its prefix as well.
class RouteTable {
public:
    using Handler = std::function<Page(const QUrl& url)>;
    using PrefixHandler = std::function<Page(const QUrl& url, QStringView rest)>;

    void add(QStringView path, Handler handler);
    void addPrefix(QStringView prefix, PrefixHandler handler);

    Page answer(const QUrl& url) const;

private:
    QHash<QString, Handler> m_exact;
    QList<std::pair<QString, PrefixHandler>> m_prefixes; // longest first
};
