// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/CoreDumps.h"

#include <sys/prctl.h>
#include <sys/resource.h>

bool disableCoreDumps()
{
    const rlimit none { 0, 0 };
    const bool noCore = ::setrlimit(RLIMIT_CORE, &none) == 0;
    const bool notDumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return noCore && notDumpable;
}
