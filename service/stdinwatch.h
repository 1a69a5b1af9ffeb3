// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

// Quits the application (exit code 0) once standard input reaches its end or fails.
//
// The program that starts the service keeps the writing end of a pipe on the service's
// standard input and never writes to it. When that program ends, in whatever way (a normal
// exit, a crash, SIGKILL), the system closes its end and the read below returns: no signal
// and no polling, and the same on Linux and Windows, where a blocking read of a pipe is
// the one thing both offer alike. The read runs in a thread of its own, detached: it is
// blocked in the system for the whole life of the service and ends with the process.
void quitAtEndOfStdin();
