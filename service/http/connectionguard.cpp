// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/http/connectionguard.h"

#include "service/http/requesthead.h"

#include <QTcpSocket>

#include <algorithm>

namespace {

// The socket keeps no more unread input than this: beyond it, the client waits.
constexpr qint64 ReadBufferBytes = 64 * 1024;
static_assert(ReadBufferBytes > RequestHead::MaxBytes);

} // namespace

QByteArray ConnectionGuard::closingAnswer(int status) {
    static const QHash<int, QByteArray> reasons{{408, "Request Timeout"},
                                                {413, "Content Too Large"},
                                                {414, "URI Too Long"},
                                                {431, "Request Header Fields Too Large"},
                                                {503, "Service Unavailable"}};
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasons.value(status) +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

ConnectionGuard::ConnectionGuard(QTcpSocket* socket, const ConnectionLimits& limits)
    : QObject(socket), m_socket(socket), m_limits(limits) {
    socket->setReadBufferSize(ReadBufferBytes);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(limits.idleTimeout);
    connect(&m_idleTimer, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    m_headTimer.setSingleShot(true);
    m_headTimer.setInterval(limits.headTimeout);
    connect(&m_headTimer, &QTimer::timeout, this, [this] { refuse(408); });
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        noteActivity();
        inspect();
    });
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        noteActivity();
        if (m_holding && !m_answerOutstanding && m_socket->bytesToWrite() <= m_limits.maxBufferedAnswers / 2)
            resumeLater();
    });
    noteActivity();
}

bool ConnectionGuard::idleForLong() const {
    return !m_released && !m_answerOutstanding && !m_headTimer.isActive() && m_socket->bytesToWrite() == 0 &&
           m_sinceActivity.elapsed() >= m_limits.giveUpIdleAfter.count();
}

void ConnectionGuard::requestHandled(bool answered) {
    m_released = false;
    m_answerOutstanding = !answered;
    inspect();
}

void ConnectionGuard::answered() {
    m_answerOutstanding = false;
    if (m_holding)
        resumeLater();
}

// Lets the parser read the next request head when it is whole and acceptable, and holds
// everything back otherwise.
void ConnectionGuard::inspect() {
    if (m_holding) {
        m_socket->rollbackTransaction();
        m_holding = false;
    }
    // Nothing more is read once the connection closes, after an error or after an answer.
    if (m_closing || m_socket->state() != QAbstractSocket::ConnectedState) {
        if (m_socket->isOpen())
            m_socket->skip(m_socket->bytesAvailable());
        return;
    }
    if (m_released)
        return;
    if (m_answerOutstanding || m_socket->bytesToWrite() > m_limits.maxBufferedAnswers) {
        holdBack();
        return;
    }
    const qint64 unread = m_socket->bytesAvailable();
    if (unread == 0)
        return;
    const RequestHead head = RequestHead::read(m_socket->peek(std::min(unread, qint64(RequestHead::MaxBytes))));
    switch (head.verdict) {
    case RequestHead::Verdict::Nothing:
        return;
    case RequestHead::Verdict::Incomplete:
        if (!m_headTimer.isActive())
            m_headTimer.start();
        holdBack();
        return;
    case RequestHead::Verdict::Complete:
        m_headTimer.stop();
        m_http10 = head.http10;
        m_released = true;
        return;
    case RequestHead::Verdict::Refused:
        refuse(head.status);
        return;
    }
}

// Moves the read position past the unread input inside a transaction, so that the parser
// finds nothing to read; inspect() rolls it back.
void ConnectionGuard::holdBack() {
    if (m_socket->bytesAvailable() == 0)
        return;
    m_socket->startTransaction();
    m_socket->skip(m_socket->bytesAvailable());
    m_holding = true;
}

void ConnectionGuard::refuse(int status) {
    m_headTimer.stop();
    m_closing = true;
    if (m_holding) {
        m_socket->rollbackTransaction();
        m_holding = false;
    }
    m_socket->skip(m_socket->bytesAvailable());
    m_socket->write(closingAnswer(status));
    // Closed at once, a connection whose client still sends is reset, and the reset may
    // reach the client before it reads the answer: what it sends meanwhile is read and dropped.
    QTimer::singleShot(m_limits.lingerTime, m_socket, [socket = m_socket] { socket->disconnectFromHost(); });
}

void ConnectionGuard::noteActivity() {
    static quint64 activities = 0; // the service's connections all live on one thread
    m_idleTimer.start();
    m_sinceActivity.start();
    m_lastActivity = ++activities;
}

// Held-back input is looked at again from the event loop, as newly arrived input is.
void ConnectionGuard::resumeLater() {
    if (m_resumeQueued)
        return;
    m_resumeQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_resumeQueued = false;
            Q_EMIT m_socket->readyRead();
        },
        Qt::QueuedConnection);
}
