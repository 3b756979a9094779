// SPDX-License-Identifier: GPL-3.0-or-later
#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {
constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString systemError(const QString &what, const QString &path, int error = errno)
{
    return u"%1 %2: %3"_s.arg(what, QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)));
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

bool writeFully(int fd, QByteArrayView content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, size_t(content.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

class Fd
{
public:
    explicit Fd(int fd)
        : m_fd(fd)
    { }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    /** Closes now and reports the close's own error (a late write error on some file systems). */
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};
} // namespace

namespace SafeFile {

FileResult commit(QSaveFile &file, QByteArrayView content)
{
    // QSaveFile leaves a new file's mode to the umask; our files are private.
    file.setPermissions(kPrivate);
    if (file.write(content.data(), content.size()) != content.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        file.commit();
        return FileResult::failure(u"Could not write %1: %2"_s.arg(QDir::toNativeSeparators(file.fileName()), why));
    }
    // commit() syncs too but ignores the result; a failing sync must fail the save.
    if (::fsync(file.handle()) != 0) {
        const QString why = systemError(u"Could not sync"_s, file.fileName());
        file.cancelWriting();
        file.commit();
        return FileResult::failure(why);
    }
    if (!file.commit())
        return FileResult::failure(
            u"Could not replace %1: %2"_s.arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
    return syncFolder(folderOf(file.fileName()));
}

FileResult writeWhole(const QString &path, QByteArrayView content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(u"Could not open %1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    return commit(file, content);
}

FileResult append(const QString &path, QByteArrayView content)
{
    const QByteArray native = QFile::encodeName(path);
    int raw = ::open(native.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    bool created = false;
    if (raw < 0 && errno == ENOENT) {
        raw = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        created = raw >= 0;
    }
    Fd fd(raw);
    if (!fd.valid())
        return FileResult::failure(systemError(u"Could not open"_s, path));

    struct stat before
    { };
    if (::fstat(fd.get(), &before) != 0)
        return FileResult::failure(systemError(u"Could not read the size of"_s, path));
    if (created)
        ::fchmod(fd.get(), 0600); // the umask may have taken bits away; never added

    if (!writeFully(fd.get(), content) || ::fsync(fd.get()) != 0) {
        const int error = errno;
        // Take the half-written line back, so the next reading sees the file as it was.
        if (::ftruncate(fd.get(), before.st_size) == 0)
            ::fsync(fd.get());
        return FileResult::failure(systemError(u"Could not write"_s, path, error));
    }
    if (!fd.close())
        return FileResult::failure(systemError(u"Could not write"_s, path));
    return created ? syncFolder(folderOf(path)) : FileResult::success();
}

FileResult createNew(const QString &path, QByteArrayView content)
{
    const QByteArray native = QFile::encodeName(path);
    Fd fd(::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid())
        return FileResult::failure(systemError(u"Could not create"_s, path));
    ::fchmod(fd.get(), 0600);
    if (!writeFully(fd.get(), content) || ::fsync(fd.get()) != 0 || !fd.close()) {
        const int error = errno;
        ::unlink(native.constData());
        return FileResult::failure(systemError(u"Could not write"_s, path, error));
    }
    return syncFolder(folderOf(path));
}

std::optional<QByteArray> readAll(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"Could not open %1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = u"Could not read %1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    return content;
}

FileResult copy(const QString &from, const QString &to)
{
    QString why;
    const std::optional<QByteArray> content = readAll(from, &why);
    if (!content)
        return FileResult::failure(why);
    return writeWhole(to, *content);
}

FileResult remove(const QString &path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        if (errno == ENOENT)
            return FileResult::success();
        return FileResult::failure(systemError(u"Could not delete"_s, path));
    }
    return syncFolder(folderOf(path));
}

FileResult makePrivateFolder(const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return FileResult::failure(systemError(u"Could not create the folder"_s, folder));

    struct stat info
    { };
    if (::lstat(native.constData(), &info) != 0)
        return FileResult::failure(systemError(u"Could not look at the folder"_s, folder));
    if (!S_ISDIR(info.st_mode))
        return FileResult::failure(u"%1 is not a folder"_s.arg(QDir::toNativeSeparators(folder)));
    if (info.st_uid != ::getuid())
        return FileResult::failure(u"The folder %1 belongs to another user"_s.arg(QDir::toNativeSeparators(folder)));
    if ((info.st_mode & 07777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return FileResult::failure(systemError(u"Could not make private the folder"_s, folder));
    return FileResult::success();
}

FileResult syncFolder(const QString &folder)
{
    Fd fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid() || ::fsync(fd.get()) != 0)
        return FileResult::failure(systemError(u"Could not sync the folder"_s, folder));
    return FileResult::success();
}

} // namespace SafeFile
