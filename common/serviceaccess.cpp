// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "common/serviceaccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qsizetype KeyBytes = 32;

QString folderPath() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/zefirina");
}
} // namespace

QString serviceFilePath() { return folderPath() + QStringLiteral("/service"); }

std::optional<ServiceAccess> readServiceFile() {
    QFile file(serviceFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    ServiceAccess access;
    for (const QByteArray& line : file.read(4096).split('\n')) {
        if (line.startsWith("port="))
            access.port = static_cast<quint16>(line.mid(5).toUShort());
        else if (line.startsWith("key="))
            access.key = line.mid(4).trimmed();
    }
    if (access.port == 0 || access.key.size() != 2 * KeyBytes)
        return std::nullopt;
    return access;
}

bool writeServiceFile(const ServiceAccess& access) {
    if (!QDir().mkpath(folderPath()))
        return false;
    QSaveFile file(serviceFilePath());
    // The permissions are set before the key is written; the file replaces the old one
    // only when it is complete.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(OwnerOnly))
        return false;
    file.write("port=" + QByteArray::number(access.port) + "\nkey=" + access.key + '\n');
    return file.commit();
}

void removeServiceFile(const ServiceAccess& access) {
    if (readServiceFile() == access)
        QFile::remove(serviceFilePath());
}

QByteArray newServiceKey() {
    QByteArray bytes(KeyBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), KeyBytes / sizeof(quint32));
    return bytes.toHex();
}

bool sameKey(QByteArrayView given, QByteArrayView key) {
    if (given.size() != key.size())
        return false;
    char difference = 0;
    for (qsizetype i = 0; i < key.size(); ++i)
        difference = static_cast<char>(difference | (given[i] ^ key[i]));
    return difference == 0;
}

QByteArray serviceProof(QByteArrayView key, QByteArrayView challenge) {
    return QMessageAuthenticationCode::hash(challenge.toByteArray(), key.toByteArray(), QCryptographicHash::Sha256)
        .toHex();
}
