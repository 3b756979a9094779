// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

/**
 * What a file on disk looks like from outside: which file it is (device and
 * inode), its size and the times of its last change, to the nanosecond.
 * Any write by anyone, and any file put in its place, gives another stamp.
 */
struct FileStamp
{
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    /** The stamp of the file at path now; a missing or unreachable file has exists false. */
    static FileStamp of(const QString &path);

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};
