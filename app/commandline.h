// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringList>

// What the program's command line asks for. The bar takes no settings: besides the
// toolkit's own window options (-platform, -display, -style, -session, ...), only the
// options that print or change something and end at once. Parsed before any window, so
// that they work without a display.
struct CommandLine {
    enum class Action {
        RunBar,       // no option of ours: start the bar
        Help,         // print the usage
        Version,      // print the version
        AutostartOn,  // write the user's login entry
        AutostartOff, // remove it
        Refused,      // an unknown option, an argument, a bad value: `error` says which
    };

    Action action = Action::RunBar;
    QString error; // one Italian line, for Refused

    // `arguments` as the program received them, the program's name first.
    static CommandLine parse(const QStringList& arguments);
    // The usage text, in Italian, ending with a line end.
    static QString helpText();
};
