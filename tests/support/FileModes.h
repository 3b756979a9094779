// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>

#include <sys/stat.h>

/** The permission bits of the file or folder at path (not following a link); 0 when it is not there. */
inline int modeOf(const QString &path)
{
    struct stat info
    { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return int(info.st_mode & 07777);
}

/** Sets the umask for one scope, so a test can show the program's modes do not depend on it. */
class Umask
{
public:
    explicit Umask(mode_t mask)
        : m_old(::umask(mask))
    { }
    ~Umask() { ::umask(m_old); }
    Umask(const Umask &) = delete;
    Umask &operator=(const Umask &) = delete;

private:
    mode_t m_old;
};
