// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "common/servicehosts.h"

// Every service of the bar at one address, as a test's loopback server or the local service.
inline ServiceHosts sameHost(const QString& host) { return {host, host, host, host, host, host}; }
