// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/serviceaccess.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <optional>

// Finds or starts the user's own local service when the bar's news host is the service's
// loopback address. A service of the user's names its port and key in the user's service
// file (common/serviceaccess.h); it is used when it proves, on that port, that it knows
// the key, and is never stopped from here. Otherwise the bar's own is started on a free
// port (or, once the bar has one, on the same port again), with --private, a pipe on its
// standard input and --exit-with-stdin: when the bar ends in any way, even killed, the
// system closes the pipe and the service ends too. Whatever else answers on the service's
// usual port, another user's service or any program, is never read. The key of the
// service in use goes with every fetch of its port (HttpFetch::setServiceKey()).
//
// Two bars that start at once may both start a service; the one named in the file last
// is shared, the other ends. When the bar whose service is shared ends, the other bar's
// starter (see keepRunning()) starts one again on the same port.
class ServiceStarter {
public:
    enum class Outcome {
        NotLocal,       // the news host is not the local service: nothing to do
        AlreadyRunning, // the user's service answered with the proof of its key; left alone
        Started,        // our service listens now; it ends with this object or the program
        OtherStarted,   // another bar's service, started at the same time, is shared
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
    // The service in use, once found or started.
    std::optional<ServiceAccess> access() const { return m_access; }

    // The port of "127.0.0.1:8089", "localhost:8089", "[::1]:8089": a host on the loopback
    // interface with an explicit port; nothing for any other host.
    static std::optional<quint16> loopbackPort(const QString& host);
    static QStringList defaultFolders();

    // Whether the service named by `access` answers on its port with the proof of its key.
    static bool answers(const ServiceAccess& access);

private:
    Outcome start(quint16 port, std::chrono::milliseconds patience);
    void launch(const QString& program, quint16 port);
    // The port the service just launched says it listens on; nothing when it does not say
    // so within `patience`.
    std::optional<int> listeningPort(std::chrono::milliseconds patience);
    void use(const ServiceAccess& access);
    // Closes the pipe; the service ends on its own, or is ended if it lingers.
    void stop();

    QStringList m_folders;
    QProcess m_process;
    QTimer m_check;
    std::optional<ServiceAccess> m_access;
    bool m_waiting = false; // for the line that says the service listens
};
