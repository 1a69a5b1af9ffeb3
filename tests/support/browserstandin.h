// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Receives the addresses the program hands to the system web browser, in place of it:
// QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open").
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};
