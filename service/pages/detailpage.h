// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QString>

// The detail page of one news item, in UTF-8. The ticker cuts the text from fixed offsets
// around the "popup05" heading, so the layout is exact: the heading's "</div>" is followed
// by "\r\n\r\n", the text, then "\r\n</div>".
// Title and text are plain text: no '<', '>' or '&' (the reader shows the page's characters
// as they are), and the text is one paragraph without line breaks.
// `source`, the item's page on the publisher's site as webAddress() gives it, is linked
// below the text, out of the ticker's reach, for whoever opens the page in a browser.
QByteArray renderDetailPage(const QString& title, const QString& text, const QString& source = {});
