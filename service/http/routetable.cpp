// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/http/routetable.h"

#include <algorithm>

void RouteTable::add(QStringView path, Handler handler) { m_exact.insert(path.toString(), std::move(handler)); }

void RouteTable::addPrefix(QStringView prefix, PrefixHandler handler) {
    m_prefixes.emplaceBack(prefix.toString(), std::move(handler));
    std::stable_sort(m_prefixes.begin(), m_prefixes.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

Page RouteTable::answer(const QUrl& url) const {
    const QString path = url.path();
    if (const auto exact = m_exact.constFind(path); exact != m_exact.constEnd())
        return (*exact)(url);
    for (const auto& [prefix, handler] : m_prefixes)
        if (path.startsWith(prefix))
            return handler(url, QStringView(path).mid(prefix.size()));
    return Page::notFound();
}
