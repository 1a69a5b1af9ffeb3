#pragma once

#include <QHash>
#include <QTcpServer>
#include <chrono>

class QTcpSocket;
class QTimer;

// The service's listening socket and its open connections. A connection is dropped when it
// has neither sent nor received a byte for `idleTimeout`, and at most `maxConnections` are
// open at once: a new one beyond that takes the place of the one idle for longest.
class ServiceListener : public QTcpServer {
public:
    struct Limits {
        int maxConnections = 512; // well below the usual limit of 1,024 open files
        std::chrono::milliseconds idleTimeout{30'000};
    };

    explicit ServiceListener(Limits limits, QObject* parent = nullptr);

    qsizetype openConnections() const { return m_connections.size(); }
    // Whether the client spoke HTTP/1.0 in its first request on `socket`.
    static bool speaksHttp10(const QTcpSocket& socket);

protected:
    void incomingConnection(qintptr handle) override;

private:
    struct Connection {
        QTimer* idleTimer;
        quint64 lastActivity; // the larger, the later
    };
    void noteActivity(QTcpSocket* socket);
    void dropLongestIdle();

    Limits m_limits;
    QHash<QTcpSocket*, Connection> m_connections;
    quint64 m_activities = 0;
};
