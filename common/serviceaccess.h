// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The user's own local service: its loopback port and the key it answers to. A service
// started for one user writes both into a file of that user's runtime folder that only the
// user can read; the user's bars find their service there, and send the key with each
// request. Another user of the machine can neither read the file nor guess the key.
struct ServiceAccess {
    quint16 port = 0;
    QByteArray key; // hexadecimal

    friend bool operator==(const ServiceAccess&, const ServiceAccess&) = default;
};

// The header that carries the key, and the pair that lets a bar check, without sending the
// key, that a program on the port knows it: the bar sends a random challenge and the
// service answers with its proof.
inline constexpr char ServiceKeyHeader[] = "X-Zefirina-Key";
inline constexpr char ServiceChallengeHeader[] = "X-Zefirina-Challenge";
inline constexpr char ServiceProofHeader[] = "X-Zefirina-Proof";

// "zefirina/service" in the per-user runtime folder ($XDG_RUNTIME_DIR on Linux).
QString serviceFilePath();
// Nothing when there is no such file or it does not hold a port and a key.
std::optional<ServiceAccess> readServiceFile();
// Replaces the file at once (never half written), readable and writable by the user only.
bool writeServiceFile(const ServiceAccess& access);
// Removes the file if it still names `access`: another service may have written it since.
void removeServiceFile(const ServiceAccess& access);

// 256 random bits from the system's source, in hexadecimal.
QByteArray newServiceKey();
// The same whatever the position of the first difference, so that timing tells nothing.
bool sameKey(QByteArrayView given, QByteArrayView key);
// The proof of knowing `key` for `challenge`: HMAC-SHA256, in hexadecimal.
QByteArray serviceProof(QByteArrayView key, QByteArrayView challenge);
