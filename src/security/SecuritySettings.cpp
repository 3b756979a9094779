// SPDX-License-Identifier: GPL-3.0-or-later
#include "SecuritySettings.h"

#include "Database.h"
#include "OwnerFile.h"
#include "OwnerRecord.h"
#include "SafeFile.h"
#include "Windows1252.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
/** What the owner file held before the save, to put back when the conversion fails. */
struct Previous
{
    bool existed = false;
    QByteArray content;
};

FileResult putBack(const Previous &previous, const QString &ownerFile)
{
    return previous.existed ? SafeFile::writeWhole(ownerFile, previous.content) : SafeFile::remove(ownerFile);
}

/** Moves the records to the file level uses; nothing to do is success. */
FileResult convert(Database &database, int previousLevel, const QString &previousKey, int level, const QString &key)
{
    const DatabaseFiles &files = database.files();
    if (level == 1) {
        if (previousLevel == 1) {
            // Still enciphered: only a new password needs the file enciphered again.
            if (key == previousKey || !QFileInfo::exists(files.encrypted))
                return FileResult::success();
            return database.changeKey(previousKey, key);
        }
        // No plain file yet means no records yet: an empty enciphered file, so the next start finds a
        // database to decipher instead of reporting a missing one.
        if (!QFileInfo::exists(files.plain))
            return SafeFile::writeWhole(files.encrypted, {});
        return database.EncryptPlainToDB(key);
    }
    if (previousLevel == 1)
        return database.DecryptDBToPlain(previousKey);
    return FileResult::success();
}
} // namespace

namespace SecuritySettings {

std::optional<QString> refusal(QStringView record, int level, QStringView password)
{
    if (level == 1 && (password.isEmpty() || password == OwnerRecord::kNoPassword))
        return u"The protection \"Program and DBase\" enciphers the database with the password, so it needs one. "
               u"Type a password, or choose another protection."_s;
    if (const std::optional<QChar> c = Windows1252::firstUnencodable(record))
        return u"The password can not hold the character \"%1\". Please choose another password."_s.arg(*c);
    if (!OwnerFile::isStorable(record))
        return u"This password can not be stored: enciphered, two of its characters would read as a line end. "
               u"Please choose another password."_s;
    return std::nullopt;
}

SaveResult save(OwnerState &state, Database &database, QStringView record, int level, QStringView password,
    const QString &ownerFile)
{
    Previous previous;
    previous.existed = QFileInfo::exists(ownerFile);
    if (previous.existed) {
        QString why;
        std::optional<QByteArray> content = SafeFile::readAll(ownerFile, &why);
        if (!content)
            return { Outcome::OwnerFileFailed, why };
        previous.content = std::move(*content);
    }

    if (const FileResult written = OwnerFile::write(record, ownerFile); !written)
        return { Outcome::OwnerFileFailed, written.error };

    const QString key = password == OwnerRecord::kNoPassword ? QString() : password.toString();
    const FileResult converted = convert(database, state.level(), state.GoodPass, level, key);
    if (!converted) {
        QString detail = converted.error;
        if (const FileResult restored = putBack(previous, ownerFile); !restored)
            detail += u"\n"_s + restored.error;
        return { Outcome::DatabaseFailed, detail };
    }

    state.Reach = QString::number(level);
    state.GoodPass = key;
    return {};
}

} // namespace SecuritySettings
