// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;

// Why a fetch ended without an answer.
enum class FetchFailure {
    None,
    ConnectionFailed, // refused, host not found, unreachable
    TimedOut,         // nothing received for a while, or too slow as a whole
    BodyTooLarge,     // the body grew past the size cap
    Redirect,         // too many redirects, one from https to http, or one to this machine
    Interrupted,      // the connection broke, or the transfer failed in another way
};

// How a fetch ended: with an answer of any HTTP status, or with a failure.
struct FetchOutcome {
    FetchFailure failure = FetchFailure::None;
    int status = 0;                                   // the answer's HTTP status; 0 after a failure
    QString statusText;                               // the answer's reason phrase ("Not Found")
    QByteArray body;                                  // the whole body, unless a body sink took it piece by piece
    QString detail;                                   // after a failure: the network library's own words, for logs
    QList<std::pair<QByteArray, QByteArray>> headers; // the answer's header fields

    // The value of the answer's header field `name` (any case); empty when it has none.
    QByteArray header(QByteArrayView name) const;
};

// One HTTP GET at a time, in the background. A fetch that is not cancelled ends with
// exactly one finished(), never inside the call that started it, on the thread that owns
// the object. It fails when it receives nothing for the stall time-out, is still running
// after the whole-transfer time-out, its body is announced or grows past the size cap, or
// its redirects exceed their limit, go from https to http, or go to a loopback, private
// or link-local address (or another port of the loopback) from an address that is not
// one (mayFollow()); an answer with a status such
// as 404 or 500 is an answer, with its body. Every reply is released on every path, and a
// cancelled fetch reports nothing.
class HttpFetch : public QObject {
    Q_OBJECT
public:
    struct Limits {
        std::chrono::milliseconds stallTimeout{0}; // 0: no stall time-out
        std::chrono::milliseconds transferTimeout{60'000};
        qint64 maxBytes = 16 * 1024 * 1024;
        int maxRedirects = 10;
    };
    // Takes each piece of the body as it arrives, with the length the server announced
    // (0 when none); the outcome's body then stays empty.
    using BodySink = std::function<void(QByteArrayView piece, qint64 announcedBytes)>;

    explicit HttpFetch(QNetworkAccessManager* network, QObject* parent = nullptr);
    ~HttpFetch() override;

    // A running fetch's timers start again with their new intervals.
    void setLimits(const Limits& limits);
    void setBodySink(BodySink sink) { m_sink = std::move(sink); }

    // Starts a GET of `request` and returns at once; false, and the running fetch goes on,
    // while one is running.
    bool start(QNetworkRequest request);
    // Ends the running fetch, if any, without a report.
    void cancel();
    bool running() const { return !m_reply.isNull(); }

    // Every fetch of 127.0.0.1:`port` from now on carries `key`: the bar's own local service
    // answers only requests with its key. An empty key forgets the port.
    static void setServiceKey(quint16 port, const QByteArray& key);
    // Whether a fetch of `from` follows a redirect to `to`: when it keeps to http(s), never
    // from https to http, and reaches this machine or its network (loopback, private,
    // link-local, unique-local addresses, "localhost") only when `from` was there already,
    // and then not another port of the loopback. Host names are not resolved.
    static bool mayFollow(const QUrl& from, const QUrl& to);
    // The key that a fetch of `url` carries; empty for any other host than a local service.
    static QByteArray serviceKey(const QUrl& url);

Q_SIGNALS:
    void finished(const FetchOutcome& outcome);

private:
    void readArrived();
    void replyFinished();
    void fail(FetchFailure failure, const QString& detail = {});
    void release();

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply; // the network manager may delete it first at shutdown
    Limits m_limits;
    BodySink m_sink;
    QTimer m_stallTimer;
    QTimer m_transferTimer;
    QByteArray m_body;
    qint64 m_received = 0;
    int m_redirects = 0;
};
