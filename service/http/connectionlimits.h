// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QtGlobal>

#include <chrono>

// What the service allows each client, and how long it waits for one.
struct ConnectionLimits {
    int maxConnections = 512;                         // lowered further to stay under the process's open-file limit
    std::chrono::milliseconds idleTimeout{30'000};    // a connection with nothing to do is dropped
    std::chrono::milliseconds headTimeout{10'000};    // from a request's first byte to its blank line
    std::chrono::milliseconds giveUpIdleAfter{5'000}; // idle this long, it may make room for a new one
    std::chrono::milliseconds acceptPause{1'000};     // after the system refused to accept a connection
    std::chrono::milliseconds lingerTime{2'000};      // after an error answer, for the client to read it
    qint64 maxBufferedAnswers = 1024 * 1024;          // answers waiting for a client that does not read
};
