// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppFolders.h"

#include "common/AppInfo.h"
#include "common/SafeFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QString testApplicationFolder;
QString testShippedFolder;

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}
} // namespace

namespace AppFolders {

QString shippedFolder()
{
    if (!testShippedFolder.isEmpty())
        return testShippedFolder;
    return withoutTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString applicationFolder()
{
    if (!testApplicationFolder.isEmpty())
        return testApplicationFolder;
    const QString own = shippedFolder();
    if (::access(QFile::encodeName(own).constData(), W_OK) == 0)
        return own;
    const QString perUser = withoutTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(perUser);
    // A folder that cannot be made private is refused again, with its reason, by the first file
    // the program writes there (the data folder is made the same way), so the user is told then.
    static_cast<void>(SafeFile::makePrivateFolder(perUser));
    return perUser;
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

QString SpecialFolder(int number)
{
    return number == 2 ? temporaryFolder() : QString();
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

void setForTesting(const QString &applicationFolder, const QString &shippedFolder)
{
    testApplicationFolder = applicationFolder;
    testShippedFolder = shippedFolder;
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
