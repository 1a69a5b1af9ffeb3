// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

// The chart page on disk, for the second it exists: long enough for the browser to load
// it. It goes beside the program when that folder is given and can be written, and
// otherwise into the per-user folder; the path that was written is the one deleted
// afterwards. The deletion needs the thread's event loop.
class ChartPageFile {
public:
    static constexpr std::chrono::milliseconds Lifetime{1000};

    ChartPageFile(QString programFolder, QString userFolder);

    // `programFolder` when it is a folder of a build tree (the build keeps its CMakeFiles/
    // in each), which is the developer's own; empty otherwise. An installed program never
    // writes into its install folders, even when it could (run as root).
    static QString buildTreeFolder(const QString& programFolder);

    // Creates or empties the page and writes `text`; the path written, or nothing when
    // neither folder can be written. Each call, written or not, deletes the page
    // `Lifetime` later, and not before: a second page restarts the second.
    std::optional<QString> write(const QByteArray& text);
    // Deletes the page last written now, if it is still there.
    void remove();
    // Whether a deletion is still to come.
    bool removalPending() const { return m_removal.isActive(); }

private:
    static bool writeTo(const QString& path, const QByteArray& text);

    QString m_programFolder;
    QString m_userFolder;
    QString m_writtenPath;
    QTimer m_removal;
};
