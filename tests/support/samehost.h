#pragma once

#include "common/servicehosts.h"

// Every service of the bar at one address, as a test's loopback server or the local service.
inline ServiceHosts sameHost(const QString& host) { return {host, host, host, host, host, host}; }
