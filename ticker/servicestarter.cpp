// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "ticker/servicestarter.h"

#include "common/servicehosts.h"
#include "net/httpfetch.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QUrl>

namespace {
// More than the head of any answer of the service.
constexpr qsizetype MaxHeadBytes = 16 * 1024;
const QByteArray ListeningLine = QByteArrayLiteral("zefirina-service: listening on ");
} // namespace

ServiceStarter::ServiceStarter(QStringList folders) : m_folders(std::move(folders)) {
    // Later lines are of no use here; reading them keeps the service from ever blocking on a full
    // pipe.
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &m_process, [this] {
        if (!m_waiting)
            m_process.readAllStandardOutput();
    });
}

void ServiceStarter::keepRunning(const QString& newsHost, std::chrono::milliseconds interval) {
    QObject::disconnect(&m_check, nullptr, nullptr, nullptr);
    QObject::connect(&m_check, &QTimer::timeout, &m_check, [this, newsHost] {
        if (m_process.state() == QProcess::NotRunning)
            ensureRunning(newsHost);
    });
    m_check.start(interval);
}

ServiceStarter::~ServiceStarter() { stop(); }

QStringList ServiceStarter::defaultFolders() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    return {QDir::cleanPath(programFolder.filePath(QStringLiteral("../lib/zefirina"))), programFolder.path(),
            QDir::cleanPath(programFolder.filePath(QStringLiteral("../service")))};
}

std::optional<quint16> ServiceStarter::loopbackPort(const QString& host) {
    const QUrl url(QStringLiteral("http://") + host + u'/', QUrl::StrictMode);
    if (!url.isValid() || url.port() <= 0)
        return std::nullopt;
    const QString name = url.host();
    const QHostAddress address(name);
    if (name.compare(u"localhost", Qt::CaseInsensitive) != 0 && !address.isLoopback())
        return std::nullopt;
    return static_cast<quint16>(url.port());
}

bool ServiceStarter::answers(const ServiceAccess& access) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), access.port);
    if (!socket.waitForConnected(1000))
        return false;
    // The key itself is not sent: a program that took the port of a service gone would
    // learn it, and could serve anything.
    const QByteArray challenge = newServiceKey();
    socket.write("GET " + ServicePaths::MakerPage.toLatin1() +
                 " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(access.port) + "\r\n" + ServiceChallengeHeader +
                 ": " + challenge + "\r\nConnection: close\r\n\r\n");
    const QByteArray proof =
        QByteArray(ServiceProofHeader).toLower() + ": " + serviceProof(access.key, challenge) + "\r\n";
    // A service still busy with its first reading of the feed leaves the request waiting;
    // another bar then starts a service of its own rather than wait.
    QDeadlineTimer deadline(2000);
    QByteArray head;
    while (!head.contains("\r\n\r\n") && head.size() < MaxHeadBytes &&
           socket.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1))))
        head += socket.readAll();
    return head.toLower().contains(proof);
}

ServiceStarter::Outcome ServiceStarter::ensureRunning(const QString& newsHost, std::chrono::milliseconds patience) {
    if (!loopbackPort(newsHost))
        return Outcome::NotLocal;
    const auto found = readServiceFile();
    // Once the bar reads a port, it keeps reading that port: a service started again goes there.
    if (m_access) {
        if (answers(*m_access))
            return Outcome::AlreadyRunning;
        if (found && found->port == m_access->port && answers(*found)) {
            use(*found);
            return Outcome::AlreadyRunning;
        }
        return start(m_access->port, patience);
    }
    if (found && answers(*found)) {
        use(*found);
        return Outcome::AlreadyRunning;
    }
    return start(0, patience);
}

void ServiceStarter::launch(const QString& program, quint16 port) {
    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("--port"), QString::number(port), QStringLiteral("--exit-with-stdin"),
                            QStringLiteral("--private")});
    // What the service tells on its standard error goes where the bar's own messages go.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifdef Q_OS_WIN
    // The bar has no console: without this flag the service would open one of its own.
    constexpr unsigned long CreateNoWindow = 0x08000000;
    m_process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* arguments) { arguments->flags |= CreateNoWindow; });
#endif
    m_waiting = true;
    m_process.start(QIODevice::ReadWrite);
}

std::optional<int> ServiceStarter::listeningPort(std::chrono::milliseconds patience) {
    QDeadlineTimer deadline(patience);
    QByteArray told;
    while (!told.contains('\n') && m_process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        m_process.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 200)));
        told += m_process.readAllStandardOutput();
    }
    m_waiting = false;
    const qsizetype said = told.indexOf(ListeningLine);
    if (said < 0)
        return std::nullopt;
    // "zefirina-service: listening on http://127.0.0.1:43127/"
    return QUrl(QString::fromLatin1(told.mid(said + ListeningLine.size()).split('\n').constFirst())).port();
}

ServiceStarter::Outcome ServiceStarter::start(quint16 port, std::chrono::milliseconds patience) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("zefirina-service"), m_folders);
    if (program.isEmpty())
        return Outcome::NotFound;
    launch(program, port);
    const std::optional<int> listening = listeningPort(patience);
    if (!listening) {
        stop();
        return Outcome::Failed;
    }
    // The service named itself in the file before it said it listens.
    const auto named = readServiceFile();
    if (named && named->port == *listening) {
        use(*named);
        return Outcome::Started;
    }
    // Another bar's service, started at the same moment, named itself after this one.
    stop();
    if (named && answers(*named)) {
        use(*named);
        return Outcome::OtherStarted;
    }
    return Outcome::Failed;
}

void ServiceStarter::use(const ServiceAccess& access) {
    if (m_access)
        HttpFetch::setServiceKey(m_access->port, {});
    m_access = access;
    HttpFetch::setServiceKey(access.port, access.key);
}

void ServiceStarter::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(1000);
}
