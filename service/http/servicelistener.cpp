#include "service/http/servicelistener.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {
constexpr const char* Http10Property = "zefirinaHttp10";

// Notes from the first request line on the socket whether the client speaks HTTP/1.0.
void noteVersion(QTcpSocket* socket) {
    if (socket->property(Http10Property).isValid())
        return;
    const QByteArray head = socket->peek(8192);
    const qsizetype lineEnd = head.indexOf("\r\n");
    if (lineEnd >= 0)
        socket->setProperty(Http10Property, head.left(lineEnd).endsWith(" HTTP/1.0"));
}
} // namespace

ServiceListener::ServiceListener(Limits limits, QObject* parent) : QTcpServer(parent), m_limits(limits) {}

bool ServiceListener::speaksHttp10(const QTcpSocket& socket) { return socket.property(Http10Property).toBool(); }

void ServiceListener::incomingConnection(qintptr handle) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (m_connections.size() >= m_limits.maxConnections)
        dropLongestIdle();
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->setInterval(m_limits.idleTimeout);
    connect(idle, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    m_connections.insert(socket, {idle, 0});
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
    // Connected before the server reads the request, so the request is still there to see.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        noteActivity(socket);
        noteVersion(socket);
    });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { noteActivity(socket); });
    noteActivity(socket);
    addPendingConnection(socket);
}

void ServiceListener::noteActivity(QTcpSocket* socket) {
    const auto connection = m_connections.find(socket);
    if (connection == m_connections.end())
        return;
    connection->idleTimer->start();
    connection->lastActivity = ++m_activities;
}

void ServiceListener::dropLongestIdle() {
    const auto longest =
        std::min_element(m_connections.begin(), m_connections.end(),
                         [](const Connection& a, const Connection& b) { return a.lastActivity < b.lastActivity; });
    if (longest == m_connections.end())
        return;
    QTcpSocket* socket = longest.key();
    m_connections.erase(longest);
    socket->abort();
    socket->deleteLater();
}
