// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>

// The help that the "?" button shows in the panel: how to move the bar, what each button
// and each slot of the ticker does.
namespace HelpText {

// The panel's heading, with its leading blank.
QString heading();
// One paragraph: the sentences of the help, in order, one blank between them.
QString body();

} // namespace HelpText
