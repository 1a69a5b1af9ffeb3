// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>

// The user's entry that starts the bar at login: a desktop entry in the autostart folder
// of the user's configuration ($XDG_CONFIG_HOME/autostart/, ~/.config/autostart/), as
// every freedesktop session reads it; on Windows an Internet shortcut to the program in
// the user's Startup folder, which the shell opens at login like any shortcut.
class AutostartEntry {
public:
    // `program` is the program's absolute path, which the entry starts.
    explicit AutostartEntry(QString program);

    // Where the entry is, written or not.
    QString path() const;
    // Writes the entry (again); false when it cannot be written.
    bool enable() const;
    // Removes the entry; true also when there was none.
    bool disable() const;

private:
    QByteArray text() const;

    QString m_program;
};
