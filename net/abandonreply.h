#pragma once

#include <QNetworkReply>
#include <QPointer>

// Ends a transfer that nobody waits for any more, and forgets it. The reply is
// disconnected from `receiver` first: abort() reports finished() from inside the call.
inline void abandonReply(QPointer<QNetworkReply>& reply, const QObject* receiver) {
    if (!reply)
        return;
    QNetworkReply* abandoned = reply;
    reply.clear();
    abandoned->disconnect(receiver);
    abandoned->abort();
    abandoned->deleteLater();
}
