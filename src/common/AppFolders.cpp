// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppFolders.h"

#include "common/AppInfo.h"
#include "common/SafeFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QString testApplicationFolder;
QString testProgramFolder;

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

/** What the install mark beside the program says; read once, since an install does not move under a running program. */
struct InstallMark
{
    bool present = false;
    QString shared; ///< the shipped files' folder, relative to the program's
};

InstallMark readInstallMark(const QString &programFolder)
{
    const QString path = programFolder + u'/' + QString::fromUtf16(AppFolders::kInstallMark);
    InstallMark mark;
    mark.present = QFileInfo::exists(path);
    if (!mark.present)
        return mark;
    const QByteArray content = SafeFile::readAll(path).value_or(QByteArray());
    for (const QByteArray &line : content.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("shared="))
            mark.shared = QFile::decodeName(trimmed.mid(7).trimmed());
    }
    return mark;
}

InstallMark installMark()
{
    if (!testProgramFolder.isEmpty())
        return readInstallMark(testProgramFolder);
    static const InstallMark mark = readInstallMark(AppFolders::programFolder());
    return mark;
}

/** The user's own data folder, made (mode 0700) when missing. */
QString perUserFolder()
{
    const QString perUser = withoutTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(perUser);
    // A folder that cannot be made private is reported with its reason at start (checkUsable()).
    static_cast<void>(SafeFile::makePrivateFolder(perUser));
    return perUser;
}

QString systemError(const QString &what, const QString &path, int error)
{
    return u"%1 %2: %3"_s.arg(what, QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)));
}

/** Makes folder and the folders above it that are missing (mode 0700); the failure says which one and why. */
FileResult makePath(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists()) {
        if (info.isDir())
            return FileResult::success();
        return FileResult::failure(u"%1 is not a folder"_s.arg(QDir::toNativeSeparators(folder)));
    }
    if (const QString parent = info.absolutePath(); parent != folder) {
        if (const FileResult made = makePath(parent); !made)
            return made;
    }
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return FileResult::failure(systemError(u"Could not create the folder"_s, folder, errno));
    return FileResult::success();
}

/** A failure when the user may not use the folder or file at path as the program does; success when it is missing. */
FileResult checkAccess(const QString &path, const QString &what, int mode)
{
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), F_OK) != 0 || ::access(native.constData(), mode) == 0)
        return FileResult::success();
    return FileResult::failure(systemError(u"You may not read and write %1"_s.arg(what), path, errno));
}

FileResult checkSpace(const QString &folder)
{
    struct statvfs disk
    { };
    if (::statvfs(QFile::encodeName(folder).constData(), &disk) != 0)
        return FileResult::success();
    // Root may still write into the blocks kept back for it.
    const auto free = ::getuid() == 0 ? disk.f_bfree : disk.f_bavail;
    if (free > 0)
        return FileResult::success();
    return FileResult::failure(systemError(u"No room is left on the disk that holds"_s, folder, ENOSPC));
}
} // namespace

namespace AppFolders {

QString programFolder()
{
    if (!testProgramFolder.isEmpty())
        return testProgramFolder;
    return withoutTrailingSeparator(QCoreApplication::applicationDirPath());
}

bool isInstalled()
{
    return installMark().present;
}

QString shippedFolder()
{
    const InstallMark mark = installMark();
    if (!mark.present || mark.shared.isEmpty())
        return programFolder();
    return withoutTrailingSeparator(QDir::cleanPath(QDir(programFolder()).absoluteFilePath(mark.shared)));
}

QString applicationFolder()
{
    if (!testApplicationFolder.isEmpty())
        return testApplicationFolder;
    // An installed copy never writes below its prefix, as root neither.
    if (isInstalled())
        return perUserFolder();
    const QString own = programFolder();
    if (::access(QFile::encodeName(own).constData(), W_OK) == 0)
        return own;
    return perUserFolder();
}

QString dataFolder()
{
    return applicationFolder() + u"/Data"_s;
}

QString temporaryFolder(QString *error)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString root = (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        ? QString(runtime + u"/corvane"_s)
        : QString(QDir::tempPath() + u"/corvane-"_s + QString::number(::getuid()));
    const QByteArray hash = QCryptographicHash::hash(applicationFolder().toUtf8(), QCryptographicHash::Sha256);
    const QString folder = root + u'/' + QString::fromLatin1(hash.toHex().left(16));

    for (const QString &step : { root, folder }) {
        const FileResult made = SafeFile::makePrivateFolder(step);
        if (!made) {
            if (error)
                *error = made.error;
            return {};
        }
    }
    return folder;
}

QString plainDatabase()
{
    return dataFolder() + u"/userDB.pdb"_s;
}

QString encryptedDatabase()
{
    return dataFolder() + u"/userDB.edb"_s;
}

QString temporaryDatabase()
{
    const QString folder = temporaryFolder();
    return folder.isEmpty() ? QString() : folder + u"/mdb.tmp"_s;
}

QString decipheredCopyLeft(const QString &reason)
{
    return u"A deciphered copy of your records could not be removed. It holds them without the owner password's "
           u"protection: please delete it yourself.\n%1"_s.arg(reason);
}

QString ownerPasswordFile()
{
    return dataFolder() + u"/ground.lnk"_s;
}

QString preferencesFile()
{
    return applicationFolder() + u"/prefs.cfg"_s;
}

QString languageChoiceFile()
{
    return applicationFolder() + u"/lang.dat"_s;
}

QString languageFolder()
{
    return shippedFolder() + u"/intl"_s;
}

QString helpPage()
{
    return shippedFolder() + u"/help.html"_s;
}

QString intrusionLog()
{
    return applicationFolder() + u'/' + AppInfo::title + u".log"_s;
}

QString instanceLock()
{
    return dataFolder() + u"/corvane.lock"_s;
}

void removeLeftovers()
{
    // The staged files of a level change (".new") are written through copies of their own.
    SafeFile::removeTemporaryCopies(dataFolder(),
        { u"userDB.pdb"_s, u"userDB.edb"_s, u"userDB.pdb.new"_s, u"userDB.edb.new"_s, u"ground.lnk"_s, u".hidden"_s });
    SafeFile::removeTemporaryCopies(applicationFolder(), { u"prefs.cfg"_s, u"lang.dat"_s, u".hidden"_s });
}

FileResult checkUsable()
{
    const QString application = applicationFolder();
    const QString data = dataFolder();
    for (const QString &folder : { application, data }) {
        if (const FileResult made = makePath(folder); !made)
            return made;
        if (const FileResult access = checkAccess(folder, u"the folder"_s, R_OK | W_OK | X_OK); !access)
            return access;
    }
    for (const QString &file : { plainDatabase(), encryptedDatabase(), ownerPasswordFile() }) {
        if (const FileResult access = checkAccess(file, u"the file"_s, R_OK | W_OK); !access)
            return access;
    }
    return checkSpace(data);
}

void setForTesting(const QString &applicationFolder, const QString &programFolder)
{
    testApplicationFolder = applicationFolder;
    testProgramFolder = programFolder;
}

FileResult markHidden(const QString &path)
{
    const QFileInfo info(path);
    const QString listPath = info.absolutePath() + u"/.hidden"_s;
    const QByteArray name = QFile::encodeName(info.fileName());

    QByteArray list = SafeFile::readAll(listPath).value_or(QByteArray());
    const QList<QByteArray> names = list.split('\n');
    if (names.contains(name))
        return FileResult::success();
    if (!list.isEmpty() && !list.endsWith('\n'))
        list.append('\n');
    list.append(name).append('\n');
    return SafeFile::writeWhole(listPath, list);
}

} // namespace AppFolders
