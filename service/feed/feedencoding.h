// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "service/feed/feedfailure.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// A feed document's text, decoded as feed readers do: whatever its bytes, a document is
// never refused for its encoding.
struct FeedText {
    // The document's characters; null when the bytes are to go to the XML reader as they
    // are: valid UTF-8, or UTF-16 or UTF-32 with a byte order mark, which it reads itself.
    QString text;
    std::optional<FeedWarning> warning;
};

// The encoding is the byte order mark's, else the XML declaration's, else `httpCharset`
// (the charset of the answer's Content-Type), else UTF-8. ISO-8859-1, Windows-1252 and
// ASCII are all read as Windows-1252, their common superset and what their writers mean.
// In UTF-8, each byte that is not part of a valid sequence is read as Windows-1252 (a
// Latin-1 byte in a UTF-8 document); in any other encoding, one invalid byte makes the
// whole document read as Windows-1252, as does an encoding this system does not know.
// Either is told in `warning`, with where the first invalid byte is.
FeedText decodeFeedDocument(QByteArrayView document, QByteArrayView httpCharset);
