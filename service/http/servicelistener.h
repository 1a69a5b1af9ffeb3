// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/http/connectionlimits.h"

#include <QHash>
#include <QTcpServer>
#include <QTimer>

class ConnectionGuard;
class QTcpSocket;

// The service's listening socket and its open connections, each behind a ConnectionGuard.
// The system queues up to 511 connections not yet accepted. At most `maxConnections` are
// open at once (fewer when the process may open few files): a new one beyond that takes
// the place of one that has had nothing to do for `giveUpIdleAfter`, or, when none has,
// is answered 503 and closed, so that live clients are never cut off. When the system
// fails to accept a connection (no file descriptor left, say), accepting pauses for
// `acceptPause` instead of failing again at once.
class ServiceListener : public QTcpServer {
public:
    using Limits = ConnectionLimits;
    static constexpr int ListenBacklog = 511;

    explicit ServiceListener(Limits limits, QObject* parent = nullptr);

    qsizetype openConnections() const { return m_guards.size(); }
    // Bytes of answers written that wait for their clients to read them, in all connections.
    qint64 waitingAnswerBytes() const;
    // The guard of a connection of this listener; null for another socket.
    ConnectionGuard* guardOf(QTcpSocket* socket) const { return m_guards.value(socket); }
    // While not answering, new connections wait in the system's queue.
    void setAnswering(bool answering);

protected:
    void incomingConnection(qintptr handle) override;

private:
    bool makeRoom();
    void pauseAfterAcceptError();

    Limits m_limits;
    QHash<QTcpSocket*, ConnectionGuard*> m_guards;
    QTimer m_acceptPause;
    bool m_answering = true;
};
