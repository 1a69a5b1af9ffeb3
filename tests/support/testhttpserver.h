// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <memory>

// A loopback HTTP server whose answer per path is set by the test: a status and a body,
// delivered whole or in one of the ways a misbehaving server delivers it.
class TestHttpServer : public QObject {
public:
    enum class Delivery {
        Whole,
        Silent,     // the connection is accepted and never answered
        Trickle,    // one byte of a 64 KiB body per TrickleIntervalMs
        CutMidBody, // half the body, then the connection is closed
        Redirect,   // a redirect to the reply's body, taken as a URL
        Endless,    // a body of EndlessBytes, made up as it is sent
    };
    struct Reply {
        int status = 200;
        QByteArray body;
        Delivery delivery = Delivery::Whole;
        QByteArray etag = {};   // sent with a whole answer; a request that names it gets 304
        QByteArray fields = {}; // more header lines of a whole answer, each ending in CR LF
    };
    static constexpr int TrickleIntervalMs = 100;
    static constexpr qint64 EndlessBytes = 100 * 1024 * 1024;

    TestHttpServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::accept);
    }

    void setReply(const QByteArray& path, const Reply& reply) { m_replies[path] = reply; }
    // The answer for every path without a reply of its own (404 unless set).
    void setDefaultReply(const Reply& reply) { m_defaultReply = reply; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    const QList<QByteArray>& requestLines() const { return m_requestLines; }
    // Whole requests: request line and header lines.
    const QList<QByteArray>& requests() const { return m_requests; }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void answer(QTcpSocket* socket) {
        QByteArray& pending = m_pending[socket];
        const qsizetype searchFrom = std::max<qsizetype>(0, pending.size() - 3);
        pending += socket->readAll();
        if (pending.indexOf("\r\n\r\n", searchFrom) < 0) // long request lines come in many pieces
            return;
        const QByteArray requestLine = pending.left(pending.indexOf("\r\n"));
        const QByteArray request = m_pending.take(socket); // a later socket may get the same address
        m_requestLines.append(requestLine);
        m_requests.append(request);
        const QByteArray path = requestLine.split(' ').value(1);
        const Reply reply = m_replies.value(path, m_defaultReply);
        const bool unchanged =
            !reply.etag.isEmpty() && request.toLower().contains("\r\nif-none-match: " + reply.etag.toLower() + "\r\n");
        switch (reply.delivery) {
        case Delivery::Whole:
            if (unchanged)
                socket->write("HTTP/1.1 304 Not Modified\r\nETag: " + reply.etag + "\r\nConnection: close\r\n\r\n");
            else
                socket->write(head(reply.status, reply.body.size(), reply.etag, reply.fields) + reply.body);
            socket->disconnectFromHost();
            break;
        case Delivery::Silent:
            break;
        case Delivery::Trickle:
            socket->write(head(reply.status, 64 * 1024));
            trickle(socket);
            break;
        case Delivery::CutMidBody:
            socket->write(head(reply.status, reply.body.size()) + reply.body.left(reply.body.size() / 2));
            socket->disconnectFromHost();
            break;
        case Delivery::Redirect:
            socket->write("HTTP/1.1 302 Found\r\nLocation: " + reply.body +
                          "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            break;
        case Delivery::Endless:
            socket->write(head(reply.status, EndlessBytes));
            sendEndlessBody(socket);
            break;
        }
    }

    static QByteArray head(int status, qint64 length, const QByteArray& etag = {}, const QByteArray& fields = {}) {
        return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n" + fields +
               "Content-Length: " + QByteArray::number(length) + (etag.isEmpty() ? QByteArray() : "\r\nETag: " + etag) +
               "\r\nConnection: close\r\n\r\n";
    }

    void trickle(QTcpSocket* socket) {
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        timer->start(TrickleIntervalMs);
    }

    // Keeps a megabyte in flight, topping it up as the client reads.
    void sendEndlessBody(QTcpSocket* socket) {
        const QByteArray chunk(1024 * 1024, 'x');
        auto sent = std::make_shared<qint64>(0);
        auto topUp = [socket, chunk, sent] {
            while (socket->bytesToWrite() < chunk.size() && *sent < EndlessBytes) {
                socket->write(chunk);
                *sent += chunk.size();
            }
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
        topUp();
    }

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    Reply m_defaultReply{404, "not here"};
    QHash<QTcpSocket*, QByteArray> m_pending;
    QList<QByteArray> m_requestLines;
    QList<QByteArray> m_requests;
};
