#include "ticker/servicestarter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QUrl>

namespace {
// The service's exit code when another service holds the port.
constexpr int PortTaken = 3;
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

ServiceStarter::~ServiceStarter() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

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

bool ServiceStarter::answers(quint16 port) {
    // A refused connection on loopback comes back at once; a service still busy with its
    // first reading of the feed accepts the connection in the system's queue.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    return socket.waitForConnected(1000);
}

ServiceStarter::Outcome ServiceStarter::ensureRunning(const QString& newsHost, std::chrono::milliseconds patience) {
    const auto port = loopbackPort(newsHost);
    if (!port)
        return Outcome::NotLocal;
    if (answers(*port))
        return Outcome::AlreadyRunning;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("zefirina-service"), m_folders);
    if (program.isEmpty())
        return Outcome::NotFound;

    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("--port"), QString::number(*port), QStringLiteral("--exit-with-stdin")});
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

    QDeadlineTimer deadline(patience);
    QByteArray told;
    while (!told.contains(ListeningLine) && m_process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        m_process.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 200)));
        told += m_process.readAllStandardOutput();
    }
    m_waiting = false;
    if (told.contains(ListeningLine))
        return Outcome::Started;
    if (m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::NormalExit &&
        m_process.exitCode() == PortTaken && answers(*port))
        return Outcome::OtherStarted;
    return Outcome::Failed;
}
