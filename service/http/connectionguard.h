// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/http/connectionlimits.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QTcpSocket;

// Stands between one client's connection and the HTTP parser, as a web server guards
// itself: the parser reads only whole request heads within the limits of RequestHead,
// one at a time, and none while an answer is outstanding or more than
// `maxBufferedAnswers` bytes of answers wait for a client that does not read. A head too
// long, a body, or a head not whole `headTimeout` after its first byte gets a short error
// answer (414, 431, 413, 408) and the connection closes `lingerTime` later. A connection with nothing to do
// for `idleTimeout` is dropped.
//
// It holds back what the parser must not read yet inside a read transaction of the
// socket, and so must see every byte first: it is made before the parser connects to the
// socket, and the server tells it when a request has been handled and when its answer
// has been written.
class ConnectionGuard : public QObject {
public:
    // An answer of `status` (408, 413, 414, 431, 503) that says only why the connection
    // closes: the parser's own answers are full ones.
    static QByteArray closingAnswer(int status);

    // Becomes a child of `socket`; reads at most RequestHead::MaxBytes ahead of the parser.
    ConnectionGuard(QTcpSocket* socket, const ConnectionLimits& limits);

    // Whether the request the parser reads now spoke HTTP/1.0.
    bool speaksHttp10() const { return m_http10; }
    // Whether the connection has had nothing to do for `giveUpIdleAfter`: no request
    // begun, no answer outstanding or waiting to be written.
    bool idleForLong() const;
    // When the connection last sent or received a byte, as an order among all connections:
    // the smaller, the longer ago (a clock's milliseconds would tie).
    quint64 lastActivity() const { return m_lastActivity; }
    // After the server handled the request that the parser read, answered or to be answered
    // later: the next one may be read once it is answered.
    void requestHandled(bool answered);
    // After the server wrote the answer of a request handled before.
    void answered();

private:
    void inspect();
    void holdBack();
    void refuse(int status);
    void noteActivity();
    void resumeLater();

    QTcpSocket* m_socket;
    const ConnectionLimits m_limits;
    QTimer m_idleTimer;
    QTimer m_headTimer;
    QElapsedTimer m_sinceActivity;
    quint64 m_lastActivity = 0;
    bool m_http10 = false;
    bool m_released = false; // a whole head waits for the parser
    bool m_answerOutstanding = false;
    bool m_holding = false; // bytes are held back in a read transaction
    bool m_closing = false;
    bool m_resumeQueued = false;
};
