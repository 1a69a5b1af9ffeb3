#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

// A loopback HTTP server whose answer per path is set by the test: a status and a body,
// or silence (the connection is accepted and never answered).
class TestHttpServer : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool silent = false;
    };

    TestHttpServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::accept);
    }

    void setReply(const QByteArray& path, const Reply& reply) { m_replies[path] = reply; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    const QList<QByteArray>& requestLines() const { return m_requestLines; }

private:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void answer(QTcpSocket* socket) {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        const QByteArray requestLine = pending.left(pending.indexOf("\r\n"));
        m_pending.remove(socket); // a later socket may get the same address
        m_requestLines.append(requestLine);
        const QByteArray path = requestLine.split(' ').value(1);
        const Reply reply = m_replies.value(path, Reply{404, "not here"});
        if (reply.silent)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n" +
                      "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n" +
                      "Connection: close\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QList<QByteArray> m_requestLines;
};
