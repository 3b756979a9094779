// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzSupport.h"

TestFolders &fuzzFolders()
{
    static TestFolders folders;
    if (!folders.isValid()) {
        std::fprintf(stderr, "could not create the fuzzing folders under TMPDIR\n");
        std::abort();
    }
    return folders;
}
