// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "net/httpfetch.h"

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// One HTTP GET at a time, in the background. Stands in for each of the bar's four
// transfer objects: a request made while one is running is refused, a running one can be
// abandoned, and every request that is not abandoned ends with exactly one StateChanged,
// on the thread that owns the object: ResponseCompleted with the whole body (whatever the
// HTTP status), or Error with a code and a text. A transfer that receives nothing for
// `StallTimeoutMs`, that is still running after `TransferTimeoutMs` (a server that sends a
// byte now and then), or whose body grows past `MaxBodyBytes`, ends in Error. The body is
// decoded as it arrives, so its completion costs the user interface nothing more.
class InetTransfer : public QObject {
    Q_OBJECT
public:
    enum State { Error = 11, ResponseCompleted = 12 };
    enum class Failure {
        None = 0,
        Other = 35750,            // the connection broke, too many redirects, ...
        TimedOut = 35761,         // nothing received for a while, or too slow as a whole
        BodyTooLarge = 35762,     // more than MaxBodyBytes
        ConnectionFailed = 35795, // refused, host not found, unreachable
    };
    static constexpr int StallTimeoutMs = 20'000;
    static constexpr int TransferTimeoutMs = 60'000;
    static constexpr qsizetype MaxBodyBytes = 16 * 1024 * 1024;

    explicit InetTransfer(QNetworkAccessManager* network, QObject* parent = nullptr);

    // Starts a GET and returns at once; false (and the running transfer goes on) while
    // busy, or for a URL that is not http.
    bool Execute(const QUrl& url);
    // Abandons the running transfer, if any: it reports nothing.
    void Cancel();
    bool StillExecuting() const { return m_fetch.running(); }

    // After ResponseCompleted: the body, one character per byte read as Windows-1252.
    QString ResponseText() const { return m_text; }
    // After Error: its code and its text.
    int ResponseCode() const { return static_cast<int>(m_failure); }
    QString ResponseInfo() const { return m_failureText; }

    // Tests shorten the time-outs; a running timer starts again with its new interval.
    void setTimeouts(int stallMs, int transferMs);

Q_SIGNALS:
    void StateChanged(int state);

private:
    void finish(const FetchOutcome& outcome);

    HttpFetch m_fetch;
    QString m_text;
    Failure m_failure = Failure::None;
    QString m_failureText;
};
