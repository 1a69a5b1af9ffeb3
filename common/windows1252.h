// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArrayView>
#include <QString>

// Turns a fetched body into text with exactly one character per byte, the bytes read as
// Windows-1252. The five bytes that code page leaves undefined keep their own value, as
// Windows itself decodes them, so no byte is ever lost or merged.
QString decodeWindows1252(QByteArrayView bytes);

// One byte read as Windows-1252, as decodeWindows1252() reads it.
QChar windows1252Char(char byte);
