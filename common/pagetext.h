// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Searches and cuts on fetched page text with 1-based positions, where a search that finds
// nothing yields 0. A search from a position below 1, or a cut from below 1 or of negative
// length, cannot be made: it yields nothing, and the reader keeps the value it had before.
namespace PageText {

// Position of the first occurrence of `what` starting at or after `from`; 0 when none.
std::optional<qsizetype> find(QStringView text, qsizetype from, QStringView what);

// The `length` characters starting at `from`; shorter (or empty) where the text ends.
std::optional<QString> cut(QStringView text, qsizetype from, qsizetype length);

// Stores a result that could be computed; a step that could not be made changes nothing.
template <typename T> void keepUnlessFailed(T& target, std::optional<T> result) {
    if (result)
        target = std::move(*result);
}

// Where shortened() cuts, and how it marks the cut.
enum class Cut {
    // After the first `limit` characters, followed by an ellipsis (U+2026): what a window
    // shows of text from the network. Laying out megabytes of text would stop the ticker
    // for seconds, and no screen could show them.
    AfterLimit,
    // At the last blank that leaves room for "..." within `limit` characters (at that room
    // when there is no such blank), blanks at either end dropped, then "...": titles and
    // texts that the service writes, in ASCII, into its pages.
    AtBlank,
};

// `text` itself when it has at most `limit` characters; otherwise cut as `cut` says.
QString shortened(QStringView text, qsizetype limit, Cut cut = Cut::AfterLimit);

} // namespace PageText
