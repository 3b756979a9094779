// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString systemError(const QString &what, const QString &path, int error = errno)
{
    return u"%1 %2: %3"_s.arg(what, QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)));
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

/**
 * Syncs the folder of path after path was put in place or removed there. The
 * change is made by then: a sync that keeps failing is a warning, never a
 * failure, so no caller takes back what the files already hold.
 */
FileResult settle(const QString &path)
{
    constexpr int kTries = 3;
    FileResult synced;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        synced = SafeFile::syncFolder(folderOf(path));
        if (synced)
            return synced;
    }
    return FileResult::warned(
        u"The change to %1 is made, but the disk did not confirm it (%2), so a power cut could still undo it."_s.arg(
            QDir::toNativeSeparators(path), synced.error));
}

/** path is name followed by a dot and the six letters or digits of a temporary file's name. */
bool isTemporaryCopyOf(const QString &path, const QString &name)
{
    if (path.size() != name.size() + 7 || !path.startsWith(name) || path[name.size()] != u'.')
        return false;
    for (qsizetype i = name.size() + 1; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
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
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    /** Closes now and reports the close's own error (a late write error on some file systems). */
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

/**
 * Gives the open file mode 0600. A file the program creates is made with that mode and the umask only
 * takes bits away from it; an old one may have been copied in readable by all. A file system that keeps
 * no modes (a FAT stick) refuses, and is left as it is.
 */
void makePrivate(int fd)
{
    struct stat info
    { };
    if (::fstat(fd, &info) == 0 && (info.st_mode & 07777) != 0600)
        static_cast<void>(::fchmod(fd, 0600));
}

/** makePrivate for the file at path, when it is a file (not a link); a write that fails leaves it private too. */
void makeOldFilePrivate(const QByteArray &path)
{
    struct stat info
    { };
    if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 077) != 0)
        static_cast<void>(::chmod(path.constData(), 0600));
}

/** Six letters or digits, as the name of a temporary copy ends (isTemporaryCopyOf). */
QByteArray randomSuffix()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(6, 'x');
    for (char &c : suffix)
        c = kLetters[QRandomGenerator::global()->bounded(int(sizeof(kLetters) - 1))];
    return suffix;
}

/**
 * The new content of a file while it is written: a file in the same folder that takes the old
 * one's place in one step once it is whole on the disk. Where the system allows it the file has
 * no name until then, so a kill leaves nothing behind; elsewhere it is named after the file with
 * six letters added, as the copies a start removes are. A file that is not put in place is gone
 * when this goes.
 */
class NewFile
{
public:
    explicit NewFile(const QString &path)
        : m_target(QFile::encodeName(path))
        , m_fd(openUnnamed(QFile::encodeName(folderOf(path))))
    {
        if (m_fd.valid())
            return;
        m_named = m_target + ".XXXXXX";
        // mkostemp creates it with mode 0600 and makes up a name no other file has.
        m_fd.reset(::mkostemp(m_named.data(), O_CLOEXEC));
        if (!m_fd.valid())
            m_named.clear();
    }
    ~NewFile()
    {
        if (!m_named.isEmpty())
            ::unlink(m_named.constData());
    }
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    int fd() const { return m_fd.get(); }
    bool valid() const { return m_fd.valid(); }

    /** Gives the file path's name in place of the old file; false with errno when it cannot. */
    bool putInPlace()
    {
        if (m_named.isEmpty() && !linkUnderTemporaryName())
            return false;
        // The data is synced; closing now reports what a file system still had to say.
        if (!m_fd.close() || ::rename(m_named.constData(), m_target.constData()) != 0)
            return false;
        m_named.clear();
        return true;
    }

private:
    /** A file with no name yet in folder, or -1 where the system makes none or cannot link one in later. */
    static int openUnnamed(const QByteArray &folder)
    {
        if (::access("/proc/self/fd", X_OK) != 0)
            return -1;
        return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    }

    /** Links the unnamed file in under a temporary name beside the target, to be renamed over it. */
    bool linkUnderTemporaryName()
    {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd.get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = m_target + '.' + randomSuffix();
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
                m_named = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    QByteArray m_target;
    Fd m_fd;
    QByteArray m_named; ///< the file's name while it has one and is not in place
};
} // namespace

namespace SafeFile {

FileResult writeWhole(const QString &path, QByteArrayView content)
{
    makeOldFilePrivate(QFile::encodeName(path));
    NewFile file(path);
    if (!file.valid())
        return FileResult::failure(systemError(u"Could not create a new file beside"_s, path));
    makePrivate(file.fd());
    if (!writeFully(file.fd(), content))
        return FileResult::failure(systemError(u"Could not write"_s, path));
    // Only a file the disk holds may take the old one's place: a sync that fails leaves the old file.
    if (::fsync(file.fd()) != 0)
        return FileResult::failure(systemError(u"Could not sync"_s, path));
    if (!file.putInPlace())
        return FileResult::failure(systemError(u"Could not replace"_s, path));
    return settle(path);
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
    makePrivate(fd.get());

    if (!writeFully(fd.get(), content) || ::fsync(fd.get()) != 0) {
        const int error = errno;
        // Take the half-written line back, so the next reading sees the file as it was.
        if (::ftruncate(fd.get(), before.st_size) == 0)
            ::fsync(fd.get());
        return FileResult::failure(systemError(u"Could not write"_s, path, error));
    }
    if (!fd.close())
        return FileResult::failure(systemError(u"Could not write"_s, path));
    return created ? settle(path) : FileResult::success();
}

FileResult createNew(const QString &path, QByteArrayView content)
{
    const QByteArray native = QFile::encodeName(path);
    Fd fd(::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid())
        return FileResult::failure(systemError(u"Could not create"_s, path));
    makePrivate(fd.get());
    if (!writeFully(fd.get(), content) || ::fsync(fd.get()) != 0 || !fd.close()) {
        const int error = errno;
        ::unlink(native.constData());
        return FileResult::failure(systemError(u"Could not write"_s, path, error));
    }
    return settle(path);
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

FileResult remove(const QString &path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        if (errno == ENOENT)
            return FileResult::success();
        return FileResult::failure(systemError(u"Could not delete"_s, path));
    }
    return settle(path);
}

FileResult rename(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // A rename is all or nothing; one that failed is tried once more before the failure is reported.
    if (::rename(source.constData(), target.constData()) != 0 && ::rename(source.constData(), target.constData()) != 0)
        return FileResult::failure(u"Could not rename %1 to %2: %3"_s.arg(QDir::toNativeSeparators(from),
            QDir::toNativeSeparators(to), QString::fromLocal8Bit(std::strerror(errno))));
    return settle(to);
}

int removeTemporaryCopies(const QString &folder, const QStringList &names)
{
    int removed = 0;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        for (const QString &name : names) {
            if (isTemporaryCopyOf(entry, name) && remove(folder + u'/' + entry)) {
                ++removed;
                break;
            }
        }
    }
    return removed;
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
