// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>

// The news service writes accented vowels in UTF-8, which arrive here as pairs of
// Windows-1252 characters led by U+00C3. Turns each pair back into its vowel. The lone
// lead character stands for "à": its second byte (a no-break space) stays in the text.
QString repairAccents(QString text);
