// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/**
 * Keeps the process's memory, which holds the owner password and the
 * records, out of core dumps and away from other processes of the user:
 * no core file (RLIMIT_CORE 0) and not dumpable. Call first thing in
 * main(). False when the system refused either.
 */
bool disableCoreDumps();
