// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "net/httpfetch.h"
#include "service/feed/feedfailure.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

#include <chrono>

// Fetches a feed document, one fetch at a time, from an http or https URL or a local file
// (a file: URL). Every fetch ends with exactly one signal, later than the call that
// started it: fetched() with the whole body of a 2xx answer or of the file and the
// charset its Content-Type names (empty for a file, or when it names none), or failed()
// with why. A fetch fails when the host cannot be reached, the server answers with
// another status, the whole transfer takes longer than the time-out, the body grows past
// the size cap, or the redirects exceed their limit or go from https to http.
//
// Fetches after a good one are conditional: the server is asked for the document only if
// it changed since (If-None-Match with its ETag, If-Modified-Since with its Last-Modified),
// and a file is read again only if its size or modification time changed. An unchanged
// document ends the fetch with unchanged() instead of fetched().
class FeedFetcher : public QObject {
    Q_OBJECT
public:
    struct Limits {
        std::chrono::milliseconds timeout{15'000};
        qint64 maxBytes = 8 * 1024 * 1024;
        int maxRedirects = 5;
    };

    explicit FeedFetcher(const QUrl& location, QObject* parent = nullptr);

    void setLimits(const Limits& limits);
    const Limits& limits() const { return m_limits; }
    QUrl location() const { return m_location; }

    // Starts a fetch; false, and the running one goes on, while one is running.
    bool fetch();
    bool busy() const { return m_busy; }
    // The next fetch asks for the whole document, as the first did: for a caller that
    // could not use the last one.
    void forgetValidators();

Q_SIGNALS:
    void fetched(const QByteArray& body, const QByteArray& charset);
    void failed(const FeedFailure& failure);
    void unchanged();

private:
    void readFile();
    void answered(const FetchOutcome& outcome);
    void succeed(const QByteArray& body, const QByteArray& charset = {});
    void reportUnchanged();
    void fail(FeedFailure failure);

    QUrl m_location;
    Limits m_limits;
    QNetworkAccessManager m_network;
    HttpFetch m_fetch{&m_network};
    bool m_busy = false;
    // What the last good fetch was: the server's validators, or the file's size and time.
    QByteArray m_etag;
    QByteArray m_lastModified;
    QString m_fileStamp;
};
