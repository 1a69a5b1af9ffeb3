// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

// What a test feed must give the bar, as written in its NAME.xml.expected beside it: lines
// starting with "#" say why; then the captions without their padding ("12:30 - Titolo"),
// newest first; a blank line; the texts the first headlines open, in the same order.
struct FeedExpectation {
    QStringList captions;
    QStringList texts;
};

inline FeedExpectation readFeedExpectation(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("missing expectation %s", qPrintable(path));
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeIf([](const QString& line) { return line.startsWith(u'#'); });
    const qsizetype blank = lines.indexOf(QString());
    if (blank < 0)
        qFatal("no blank line after the captions in %s", qPrintable(path));
    QStringList texts = lines.mid(blank + 1);
    texts.removeAll(QString()); // the file's last line end
    return {lines.first(blank), texts};
}
