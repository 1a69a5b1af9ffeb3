// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "service/stdinwatch.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdio>
#include <thread>

void quitAtEndOfStdin() {
    QCoreApplication* app = QCoreApplication::instance();
    std::thread([app] {
        char buffer[256];
        // Whatever arrives is read and dropped: only the end matters.
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
        QMetaObject::invokeMethod(
            app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }).detach();
}
