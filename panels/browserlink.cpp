// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "panels/browserlink.h"

#include "common/serviceaccess.h"
#include "net/httpfetch.h"

#include <QDesktopServices>
#include <QNetworkReply>
#include <QNetworkRequest>

BrowserLink::BrowserLink(QObject* parent) : QObject(parent) {}

void BrowserLink::open(const QUrl& url) {
    const QByteArray key = HttpFetch::serviceKey(url);
    if (key.isEmpty()) {
        openInBrowser(url);
        return;
    }
    QNetworkRequest request(url);
    request.setRawHeader(ServiceKeyHeader, key);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(TimeoutMs);
    QNetworkReply* reply = m_network.head(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QUrl target = url.resolved(reply->header(QNetworkRequest::LocationHeader).toUrl());
        const bool web = target.scheme() == u"http" || target.scheme() == u"https";
        openInBrowser(status >= 300 && status < 400 && web ? target : url);
    });
}

void BrowserLink::openInBrowser(const QUrl& url) {
    QDesktopServices::openUrl(url);
    Q_EMIT opened(url);
}
