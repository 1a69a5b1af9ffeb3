// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QFile>

// A saved page from the test's data/ folder, as a server sends it.
inline QByteArray dataFile(const char* name) {
    QFile file(QStringLiteral(DATA_DIR "/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
