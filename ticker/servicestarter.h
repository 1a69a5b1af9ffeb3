#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <optional>

// Starts the local service for the bar when the bar's news host is the service's loopback
// address and nothing answers there. The service is started with a pipe on its standard
// input and --exit-with-stdin: when the bar ends in any way, even killed, the system
// closes the pipe and the service ends too. A service that already answers, started by
// hand or by another bar, is used as it is and never stopped from here.
//
// Two bars that start at once may both find the port free and both start a service: one
// of the two gets the port, the other leaves quietly (exit code 3), and its bar then finds
// the first one answering. When that bar ends, its service goes with it, and the other
// bar's starter (see keepRunning()) starts one of its own.
class ServiceStarter {
public:
    enum class Outcome {
        NotLocal,       // the news host is not the local service: nothing to do
        AlreadyRunning, // something answered on the port; left alone
        Started,        // our service listens now; it ends with this object or the program
        OtherStarted,   // another program's service got the port first and answers
        NotFound,       // no zefirina-service where it was looked for
        Failed,         // it did not start, or ended before listening
    };

    // Where to look for zefirina-service, in order; by default in lib/zefirina/ beside the
    // program's bin/ (installed: users never start the service themselves, so it stays out
    // of their PATH), beside the program (Windows), then in the build tree's service folder.
    explicit ServiceStarter(QStringList folders = defaultFolders());
    // Closes the pipe; the service ends on its own, or is ended if it lingers.
    ~ServiceStarter();
    ServiceStarter(const ServiceStarter&) = delete;
    ServiceStarter& operator=(const ServiceStarter&) = delete;

    // Waits at most `patience` for the service to listen: on loopback it takes some tens of
    // milliseconds, and the bar's first refresh must find it.
    Outcome ensureRunning(const QString& newsHost,
                          std::chrono::milliseconds patience = std::chrono::milliseconds(5000));
    // From now on checks every `interval` that the service answers, and starts one again
    // when none does: after the bar that started the one in use has ended, or a crash.
    void keepRunning(const QString& newsHost, std::chrono::milliseconds interval = std::chrono::seconds(10));
    QString program() const { return m_process.program(); }
    qint64 processId() const { return m_process.processId(); }

    // The port of "127.0.0.1:8089", "localhost:8089", "[::1]:8089": a host on the loopback
    // interface with an explicit port; nothing for any other host.
    static std::optional<quint16> loopbackPort(const QString& host);
    static QStringList defaultFolders();

private:
    static bool answers(quint16 port);

    QStringList m_folders;
    QProcess m_process;
    QTimer m_check;
    bool m_waiting = false; // for the line that says the service listens
};
