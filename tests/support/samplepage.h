// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/windows1252.h"

#include <QFile>

// A saved page from data/, read the way the bar reads a fetched body.
inline QString samplePage(const QString& fileName) {
    QFile file(QStringLiteral(DATA_DIR "/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample page");
    return decodeWindows1252(file.readAll());
}
