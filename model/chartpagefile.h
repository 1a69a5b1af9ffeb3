#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The chart page on disk, for the second it exists. It goes beside the program when that
// folder can be written, and otherwise (an installed program usually cannot write there)
// into the per-user folder; the path that was written is the one deleted afterwards.
class ChartPageFile {
public:
    ChartPageFile(QString programFolder, QString userFolder);

    // Creates or empties the page and writes `text`; the path written, or nothing when
    // neither folder can be written.
    std::optional<QString> write(const QByteArray& text);
    // Deletes the page last written, if it is still there.
    void remove();

private:
    static bool writeTo(const QString& path, const QByteArray& text);

    QString m_programFolder;
    QString m_userFolder;
    QString m_writtenPath;
};
