#include "ticker/inettransfer.h"

#include "ticker/abandonreply.h"
#include "ticker/windows1252.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
constexpr qint64 ReadBufferBytes = 64 * 1024;

InetTransfer::Failure failureOf(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return InetTransfer::Failure::ConnectionFailed;
    default:
        return InetTransfer::Failure::Other;
    }
}
// Whether the reply ended with an error that only names the status the server answered
// with (400, 404, 418, 599, ...), which Qt files under several classes. The errors of the
// network layer and a broken protocol mean that the answer did not arrive whole.
bool onlyNamesTheStatus(const QNetworkReply& reply) {
    const QNetworkReply::NetworkError error = reply.error();
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid() &&
           error >= QNetworkReply::ProxyConnectionRefusedError && error != QNetworkReply::ProtocolFailure;
}
} // namespace

QString failureText(InetTransfer::Failure failure, const QString& detail) {
    switch (failure) {
    case InetTransfer::Failure::None:
        return {};
    case InetTransfer::Failure::TimedOut:
        return QStringLiteral("Tempo scaduto: il server non risponde");
    case InetTransfer::Failure::BodyTooLarge:
        return QStringLiteral("Risposta troppo grande");
    case InetTransfer::Failure::ConnectionFailed:
        return QStringLiteral("Connessione non riuscita: ") + detail;
    case InetTransfer::Failure::Other:
        break;
    }
    return QStringLiteral("Trasferimento interrotto: ") + detail;
}

InetTransfer::InetTransfer(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), m_network(network) {
    for (QTimer* timer : {&m_stallTimer, &m_transferTimer}) {
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this,
                [this] { fail(Failure::TimedOut, failureText(Failure::TimedOut)); });
    }
    m_stallTimer.setInterval(StallTimeoutMs);
    m_transferTimer.setInterval(TransferTimeoutMs);
}

InetTransfer::~InetTransfer() { releaseReply(); }

bool InetTransfer::Execute(const QUrl& url) {
    if (m_reply || !url.isValid() || url.scheme() != u"http")
        return false;
    m_text.clear();
    m_failure = Failure::None;
    m_failureText.clear();
    QNetworkRequest request(url);
    request.setMaximumRedirectsAllowed(10);
    m_reply = m_network->get(request);
    m_reply->setReadBufferSize(ReadBufferBytes);
    connect(m_reply, &QNetworkReply::readyRead, this, &InetTransfer::readArrivedBytes);
    connect(m_reply, &QNetworkReply::finished, this, &InetTransfer::finishFromReply);
    m_stallTimer.start();
    m_transferTimer.start();
    return true;
}

void InetTransfer::Cancel() {
    releaseReply();
    m_text.clear();
}

void InetTransfer::readArrivedBytes() {
    m_stallTimer.start();
    if (m_text.size() + m_reply->bytesAvailable() > MaxBodyBytes) {
        fail(Failure::BodyTooLarge, failureText(Failure::BodyTooLarge));
        return;
    }
    // Growing a text of megabytes piece by piece leaves it scattered over fresh memory
    // that the readers then pay for; a body whose length is announced gets its room once.
    const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (m_text.isEmpty() && announced > 0)
        m_text.reserve(std::min<qint64>(announced, MaxBodyBytes));
    m_text += decodeWindows1252(m_reply->readAll());
}

void InetTransfer::finishFromReply() {
    readArrivedBytes();
    if (!m_reply)
        return; // the last bytes broke the size cap, which has reported already
    // A server that answered with a status line completed the transfer, whatever the status:
    // its body is handed over like any other.
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error != QNetworkReply::NoError && !onlyNamesTheStatus(*m_reply)) {
        const Failure failure = failureOf(error);
        fail(failure, failureText(failure, m_reply->errorString()));
        return;
    }
    releaseReply();
    Q_EMIT StateChanged(ResponseCompleted);
}

void InetTransfer::fail(Failure failure, const QString& text) {
    releaseReply();
    m_text.clear();
    m_failure = failure;
    m_failureText = text;
    Q_EMIT StateChanged(Error);
}

void InetTransfer::releaseReply() {
    m_stallTimer.stop();
    m_transferTimer.stop();
    abandonReply(m_reply, this); // an abandoned transfer reports nothing
}
