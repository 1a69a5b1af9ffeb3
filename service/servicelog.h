// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QHash>
#include <QString>
#include <QTextStream>

// The service's messages, one English line each after "zefirina-service: ": what it does
// on standard output, what fails on standard error. A condition that lasts (a feed that
// cannot be read, a provider whose answers are refused) is told when it begins and again
// only when it changes, not at every request or refresh.
class ServiceLog {
public:
    ServiceLog(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    void info(const QString& line);
    void problem(const QString& line);

    // Tells `line` (on standard error when `failing`, else on standard output) when
    // `topic`'s state is not `state` already, and makes it `state`. Every topic starts in
    // the empty state, the usual one. An empty `line` changes the state without telling.
    void state(const QString& topic, const QString& state, const QString& line, bool failing);

private:
    QTextStream& m_out;
    QTextStream& m_err;
    QHash<QString, QString> m_states;
};
