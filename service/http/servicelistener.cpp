// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/http/servicelistener.h"

#include "service/http/connectionguard.h"

#include <QFile>
#include <QTcpSocket>

#include <algorithm>
#include <limits>

namespace {

// The soft limit of open files from /proc/self/limits ("Max open files  1024  4096
// files"); 0 where there is no such file (Windows) or no such line.
int openFileLimit() {
    QFile limits(QStringLiteral("/proc/self/limits"));
    if (!limits.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    while (!limits.atEnd()) {
        const QByteArray line = limits.readLine();
        if (line.startsWith("Max open files"))
            return line.mid(14).simplified().split(' ').value(0).toInt();
    }
    return 0;
}

// Room for the files the program itself keeps open (the listening socket, its output,
// the fetches to the feed and the quote provider, libraries) below the limit.
constexpr int FilesKeptByTheProgram = 64;

int connectionCap(int wanted) {
    const int files = openFileLimit();
    return files > 0 ? std::clamp(files - FilesKeptByTheProgram, 1, wanted) : wanted;
}

} // namespace

ServiceListener::ServiceListener(Limits limits, QObject* parent) : QTcpServer(parent), m_limits(limits) {
    m_limits.maxConnections = connectionCap(limits.maxConnections);
    setListenBacklogSize(ListenBacklog);
    m_acceptPause.setSingleShot(true);
    m_acceptPause.setInterval(limits.acceptPause);
    connect(&m_acceptPause, &QTimer::timeout, this, [this] {
        if (m_answering)
            resumeAccepting();
    });
    connect(this, &QTcpServer::acceptError, this, &ServiceListener::pauseAfterAcceptError);
}

qint64 ServiceListener::waitingAnswerBytes() const {
    qint64 bytes = 0;
    for (auto guard = m_guards.cbegin(); guard != m_guards.cend(); ++guard)
        bytes += guard.key()->bytesToWrite();
    return bytes;
}

void ServiceListener::setAnswering(bool answering) {
    m_answering = answering;
    if (!answering)
        pauseAccepting();
    else if (!m_acceptPause.isActive())
        resumeAccepting();
}

void ServiceListener::pauseAfterAcceptError() {
    pauseAccepting();
    m_acceptPause.start();
}

void ServiceListener::incomingConnection(qintptr handle) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (m_guards.size() >= m_limits.maxConnections && !makeRoom()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->write(ConnectionGuard::closingAnswer(503));
        socket->disconnectFromHost();
        return;
    }
    // Made before the server connects to the socket, so that the guard sees every byte first.
    m_guards.insert(socket, new ConnectionGuard(socket, m_limits));
    connect(socket, &QObject::destroyed, this, [this, socket] { m_guards.remove(socket); });
    addPendingConnection(socket);
}

// Gives up the connection that has had nothing to do for longest, if any has for long.
bool ServiceListener::makeRoom() {
    QTcpSocket* idlest = nullptr;
    quint64 earliest = std::numeric_limits<quint64>::max();
    for (auto guard = m_guards.cbegin(); guard != m_guards.cend(); ++guard)
        if ((*guard)->idleForLong() && (*guard)->lastActivity() < earliest) {
            idlest = guard.key();
            earliest = (*guard)->lastActivity();
        }
    if (!idlest)
        return false;
    m_guards.remove(idlest);
    idlest->abort();
    idlest->deleteLater();
    return true;
}
