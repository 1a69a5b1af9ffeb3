// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>

// Opens a page in the system's web browser. A page of the user's own private service is
// asked for by the program first, with the service's key, which the browser does not
// have: when the service sends the browser on (the news site's home page leads to the
// feed's own site), the browser is opened there at once; otherwise on the page itself.
class BrowserLink : public QObject {
    Q_OBJECT
public:
    explicit BrowserLink(QObject* parent = nullptr);

    void open(const QUrl& url);

    // How long the service may take before the browser is opened on the page itself.
    static constexpr int TimeoutMs = 5000;

Q_SIGNALS:
    // The address the browser was sent to, for tests.
    void opened(const QUrl& url);

private:
    void openInBrowser(const QUrl& url);

    QNetworkAccessManager m_network;
};
