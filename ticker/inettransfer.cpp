// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "ticker/inettransfer.h"

#include "common/windows1252.h"

#include <algorithm>
#include <chrono>

namespace {
InetTransfer::Failure codeOf(FetchFailure failure) {
    switch (failure) {
    case FetchFailure::None:
        return InetTransfer::Failure::None;
    case FetchFailure::ConnectionFailed:
        return InetTransfer::Failure::ConnectionFailed;
    case FetchFailure::TimedOut:
        return InetTransfer::Failure::TimedOut;
    case FetchFailure::BodyTooLarge:
        return InetTransfer::Failure::BodyTooLarge;
    case FetchFailure::Redirect:
    case FetchFailure::Interrupted:
        break;
    }
    return InetTransfer::Failure::Other;
}

// What the bar shows for a failed transfer; `detail` completes the texts that need it.
QString failureText(FetchFailure failure, const QString& detail) {
    switch (failure) {
    case FetchFailure::None:
        return {};
    case FetchFailure::TimedOut:
        return QStringLiteral("Tempo scaduto: il server non risponde");
    case FetchFailure::BodyTooLarge:
        return QStringLiteral("Risposta troppo grande");
    case FetchFailure::ConnectionFailed:
        return QStringLiteral("Connessione non riuscita: ") + detail;
    case FetchFailure::Redirect:
    case FetchFailure::Interrupted:
        break;
    }
    return QStringLiteral("Trasferimento interrotto: ") + detail;
}
} // namespace

InetTransfer::InetTransfer(QNetworkAccessManager* network, QObject* parent) : QObject(parent), m_fetch(network) {
    setTimeouts(StallTimeoutMs, TransferTimeoutMs);
    m_fetch.setBodySink([this](QByteArrayView piece, qint64 announced) {
        // Growing a text of megabytes piece by piece leaves it scattered over fresh memory
        // that the readers then pay for; a body whose length is announced gets its room once.
        if (m_text.isEmpty() && announced > 0)
            m_text.reserve(std::min<qint64>(announced, MaxBodyBytes));
        m_text += decodeWindows1252(piece);
    });
    connect(&m_fetch, &HttpFetch::finished, this, &InetTransfer::finish);
}

void InetTransfer::setTimeouts(int stallMs, int transferMs) {
    HttpFetch::Limits limits;
    limits.stallTimeout = std::chrono::milliseconds(stallMs);
    limits.transferTimeout = std::chrono::milliseconds(transferMs);
    limits.maxBytes = MaxBodyBytes;
    m_fetch.setLimits(limits);
}

bool InetTransfer::Execute(const QUrl& url) {
    if (m_fetch.running() || !url.isValid() || url.scheme() != u"http")
        return false;
    m_text.clear();
    m_failure = Failure::None;
    m_failureText.clear();
    return m_fetch.start(QNetworkRequest(url));
}

void InetTransfer::Cancel() {
    m_fetch.cancel();
    m_text.clear();
}

void InetTransfer::finish(const FetchOutcome& outcome) {
    if (outcome.failure != FetchFailure::None) {
        m_text.clear();
        m_failure = codeOf(outcome.failure);
        m_failureText = failureText(outcome.failure, outcome.detail);
    }
    Q_EMIT StateChanged(outcome.failure == FetchFailure::None ? ResponseCompleted : Error);
}
