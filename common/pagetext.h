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
template <typename T>
void keepUnlessFailed(T& target, std::optional<T> result) {
    if (result)
        target = std::move(*result);
}

// Text from the network as much of it as a window will show: `text` itself, or its first
// `limit` characters followed by an ellipsis. Laying out megabytes of text would stop the
// ticker for seconds, and no screen could show them.
QString shortened(QStringView text, qsizetype limit);

} // namespace PageText
