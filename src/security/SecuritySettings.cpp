// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/SecuritySettings.h"

#include "common/Windows1252.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"
#include "store/Database.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
QString keyOf(QStringView password)
{
    return password == OwnerRecord::kNoPassword ? QString() : password.toString();
}

SecuritySettings::SaveResult notSaved(SecuritySettings::Outcome outcome, const QString &why)
{
    SecuritySettings::SaveResult result;
    result.outcome = outcome;
    result.detail = why;
    return result;
}

/** An enciphered database with no plain one beside it, at a level that does not use it. */
bool encipheredOnly(const OwnerState &state, const Database &database)
{
    const DatabaseFiles &files = database.files();
    return !enciphers(state.Reach) && !QFileInfo::exists(files.plain) && QFileInfo::exists(files.encrypted);
}

/**
 * Writes the owner file (through commit) and moves the records to the file level uses: plain to
 * enciphered with the new password, enciphered to plain with the previous one, or enciphered again
 * under a new password when Level::ProgramAndDatabase stays.
 */
FileResult convert(
    Database &database, const OwnerState &state, Level level, const QString &key, const CommitStep &commit, bool &kept)
{
    const DatabaseFiles &files = database.files();
    const QString &previousKey = state.GoodPass;
    if (enciphers(level)) {
        if (enciphers(state.Reach)) {
            // Still enciphered: only a new password needs the file enciphered again.
            if (key == previousKey || !QFileInfo::exists(files.encrypted))
                return commit();
            return database.changeKey(previousKey, key, commit);
        }
        // The enciphered file alone already is the records under this password (databaseRefusal() made sure).
        if (encipheredOnly(state, database)) {
            kept = true;
            return commit();
        }
        return database.EncryptPlainToDB(key, commit);
    }
    if (enciphers(state.Reach))
        return database.DecryptDBToPlain(previousKey, commit);
    return commit();
}
} // namespace

namespace SecuritySettings {

std::optional<QString> refusal(QStringView record, Level level, QStringView password)
{
    if (enciphers(level) && (password.isEmpty() || password == OwnerRecord::kNoPassword))
        return u"The protection \"Program and DBase\" enciphers the database with the password, so it needs one. "
               u"Type a password, or choose another protection."_s;
    if (const std::optional<QChar> c = Windows1252::firstUnencodable(record))
        return u"The password can not hold the character \"%1\". Please choose another password."_s.arg(*c);
    if (!OwnerFile::isStorable(record))
        return u"This password can not be stored: enciphered, two of its characters would read as a line end. "
               u"Please choose another password."_s;
    return std::nullopt;
}

std::optional<QString> databaseRefusal(
    const OwnerState &state, const Database &database, Level level, QStringView password)
{
    if (database.levelChangePending())
        return u"An earlier change of the protection level is not finished yet. Corvane finishes it at its next "
               u"start: please start Corvane again before you change the protection."_s;
    if (enciphers(level) && encipheredOnly(state, database) && !database.checkKey(keyOf(password)))
        return u"The enciphered database %1 holds records that do not read back with this password, so Corvane "
               u"will not write over it. Type the password they were enciphered with, or move the file out of "
               u"the Data folder first."_s.arg(QDir::toNativeSeparators(database.files().encrypted));
    return std::nullopt;
}

SaveResult save(OwnerState &state, Database &database, QStringView record, Level level, QStringView password,
    const QString &ownerFile)
{
    if (const std::optional<QString> why = databaseRefusal(state, database, level, password))
        return notSaved(Outcome::Refused, *why);

    bool ownerFileFailed = false;
    const CommitStep writeOwnerFile = [&] {
        const FileResult written = OwnerFile::write(record, ownerFile);
        ownerFileFailed = !written;
        return written;
    };
    const QString key = keyOf(password);
    SaveResult result;
    const FileResult converted = convert(database, state, level, key, writeOwnerFile, result.recordsReplaced);
    if (!converted)
        return notSaved(ownerFileFailed ? Outcome::OwnerFileFailed : Outcome::DatabaseFailed, converted.error);

    // The owner file holds the new settings: from here on they are in force, whatever could not be finished.
    state.Reach = level;
    state.GoodPass = key;
    result.warning = converted.warning;
    result.pending = database.levelChangePending();
    return result;
}

FileResult settleAtStart(const OwnerState &state, Database &database, const QString &ownerFile)
{
    QString key = state.GoodPass;
    if (key.isEmpty()) {
        // At Level::None nobody is asked, but a change away from Level::ProgramAndDatabase may still need the password
        // it was made with.
        if (const std::optional<QString> record = OwnerFile::read(ownerFile)) {
            const OwnerRecord::Fields fields = OwnerRecord::parse(*record);
            if (fields.complete)
                key = keyOf(fields.password);
        }
    }
    return database.settleFiles(state.Reach, key);
}

} // namespace SecuritySettings
