// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "model/chartpagefile.h"

#include "model/chartpage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ChartPageFile::ChartPageFile(QString programFolder, QString userFolder)
    : m_programFolder(std::move(programFolder)), m_userFolder(std::move(userFolder)) {
    m_removal.setSingleShot(true);
    m_removal.setInterval(Lifetime);
    QObject::connect(&m_removal, &QTimer::timeout, [this] { remove(); });
}

QString ChartPageFile::buildTreeFolder(const QString& programFolder) {
    return QFileInfo(QDir(programFolder).filePath(QStringLiteral("CMakeFiles"))).isDir() ? programFolder : QString();
}

std::optional<QString> ChartPageFile::write(const QByteArray& text) {
    m_removal.start();
    for (const QString& folder : {m_programFolder, m_userFolder}) {
        if (folder.isEmpty() || !QDir().mkpath(folder))
            continue;
        const QString path = QDir(folder).filePath(ChartPageFileName.toString());
        if (writeTo(path, text)) {
            m_writtenPath = path;
            return path;
        }
    }
    return std::nullopt;
}

void ChartPageFile::remove() {
    m_removal.stop();
    if (!m_writtenPath.isEmpty())
        QFile::remove(m_writtenPath);
}

bool ChartPageFile::writeTo(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(text) == text.size();
    file.close();
    if (!written)
        file.remove();
    return written && file.error() == QFile::NoError;
}
