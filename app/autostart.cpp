// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

AutostartEntry::AutostartEntry(QString program) : m_program(std::move(program)) {}

QString AutostartEntry::path() const {
#ifdef Q_OS_WIN
    // The user's Start menu programs; the shell starts what lies in its Startup folder.
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) +
           QStringLiteral("/Startup/Zefirina.url");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/" ZEFIRINA_APP_ID ".desktop");
#endif
}

QByteArray AutostartEntry::text() const {
#ifdef Q_OS_WIN
    return "[InternetShortcut]\r\nURL=" + QUrl::fromLocalFile(m_program).toEncoded() + "\r\n";
#else
    // The Exec path in double quotes: the four characters reserved there take a backslash,
    // then every backslash is doubled by the value's own escaping, and "%" is doubled as
    // field codes require. A line end cannot be written in a value; no real path has one.
    QString quoted = m_program;
    for (const QChar reserved : {u'\\', u'"', u'`', u'$'})
        quoted.replace(reserved, QStringLiteral("\\") + reserved);
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
    quoted.replace(u'\n', u' ').replace(u'\r', u' ');
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Zefirina\n"
                          "Comment=Le ultime notizie che scorrono in una barra in alto sullo schermo\n"
                          "Exec=\"%1\"\n"
                          "Icon=" ZEFIRINA_APP_ID "\n"
                          "Terminal=false\n")
        .arg(quoted)
        .toUtf8();
#endif
}

bool AutostartEntry::enable() const {
    const QString entry = path();
    if (!QDir().mkpath(QFileInfo(entry).absolutePath()))
        return false;
    QSaveFile file(entry);
    return file.open(QIODevice::WriteOnly) && file.write(text()) >= 0 && file.commit();
}

bool AutostartEntry::disable() const {
    const QString entry = path();
    return !QFileInfo::exists(entry) || QFile::remove(entry);
}
