// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/servicelog.h"

void ServiceLog::info(const QString& line) { m_out << "zefirina-service: " << line << Qt::endl; }

void ServiceLog::problem(const QString& line) { m_err << "zefirina-service: " << line << Qt::endl; }

void ServiceLog::state(const QString& topic, const QString& state, const QString& line, bool failing) {
    if (m_states.value(topic) == state)
        return;
    m_states.insert(topic, state);
    if (line.isEmpty())
        return;
    if (failing)
        problem(line);
    else
        info(line);
}
