// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileStamp.h"

#include <QFile>

#include <sys/stat.h>

FileStamp FileStamp::of(const QString &path)
{
    struct stat info
    { };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    constexpr std::int64_t kNs = 1'000'000'000;
    return { true, std::uint64_t(info.st_dev), std::uint64_t(info.st_ino), std::int64_t(info.st_size),
        std::int64_t(info.st_mtim.tv_sec) * kNs + info.st_mtim.tv_nsec,
        std::int64_t(info.st_ctim.tv_sec) * kNs + info.st_ctim.tv_nsec };
}
