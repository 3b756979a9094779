// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/DatabaseBackup.h"

#include "common/SafeFile.h"
#include "common/Windows1252.h"
#include "store/RecordLine.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace DatabaseBackup {

namespace {
struct Copy
{
    QString path;
    FileKind kind;
};

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

SaveResult notRestored(const QString &why)
{
    return { Outcome::NotRestored, {}, why + u"\nNothing was restored."_s, {} };
}

/** The index of the first of lines that is not a filed record line; -1 when all are. */
qsizetype firstNonRecord(const QStringList &lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!RecordLine::hasFiledForm(Windows1252::encode(lines[i])))
            return i;
    }
    return -1;
}
} // namespace

QString chosenFolder(const QString &folderText)
{
    return folderText.endsWith(u'/') ? folderText.chopped(1) : folderText;
}

std::array<FilePair, 2> filePairs(const QString &dataFolder, const QString &chosenFolder, Level level)
{
    const FilePair plain { dataFolder + u"/userDB.pdb"_s, chosenFolder + u"/Corvane.pdb"_s };
    const FilePair enciphered { dataFolder + u"/userDB.edb"_s, chosenFolder + u"/Corvane.edb"_s };
    if (enciphers(level))
        return { enciphered, plain };
    return { plain, enciphered };
}

FileResult copyPair(const QString &mode, const FilePair &pair, bool *sourceMissing)
{
    const bool backup = mode == Backup;
    const QString &from = backup ? pair.dataFile : pair.chosenFile;
    const QString &to = backup ? pair.chosenFile : pair.dataFile;

    QString why;
    const std::optional<QByteArray> content = SafeFile::readAll(from, &why);
    if (sourceMissing)
        *sourceMissing = !content.has_value();
    if (!content)
        return FileResult::failure(why);
    return SafeFile::writeWhole(to, *content);
}

FileResult CopyEncryptedDatabase(const QString &mode, const FilePair &fallback)
{
    return copyPair(mode, fallback);
}

SaveResult save(const QString &mode, const QString &dataFolder, const QString &folderText, Level level)
{
    if (folderText.isEmpty())
        return { Outcome::Refused, {}, {}, {} };
    if (mode != Backup)
        return { Outcome::Nothing, {}, {}, {} };

    const Outcome done = Outcome::BackedUp;
    const std::array<FilePair, 2> pairs = filePairs(dataFolder, chosenFolder(folderText), level);

    bool sourceMissing = false;
    const FileResult copied = copyPair(mode, pairs[0], &sourceMissing);
    if (copied)
        return { done, pairs[0], {}, copied.warning };
    // The active file was there but could not be written: copying the other
    // file instead would report success for a copy that lacks the records.
    if (!sourceMissing)
        return { Outcome::NotLocated, {}, copied.error, {} };

    const FileResult fallback = CopyEncryptedDatabase(mode, pairs[1]);
    if (fallback)
        return { done, pairs[1], {}, fallback.warning };
    return { Outcome::NotLocated, {}, copied.error + u'\n' + fallback.error, {} };
}

SaveResult restore(
    Database &database, const QString &folderText, Level level, const QString &key, const PasswordPrompt &ask)
{
    if (folderText.isEmpty())
        return { Outcome::Refused, {}, {}, {} };
    const QString folder = chosenFolder(folderText);
    const Copy plain { folder + u"/Corvane.pdb"_s, FileKind::Plain };
    const Copy enciphered { folder + u"/Corvane.edb"_s, FileKind::Enciphered };
    const std::array<Copy, 2> copies
        = enciphers(level) ? std::array { enciphered, plain } : std::array { plain, enciphered };

    QStringList errors;
    for (const Copy &copy : copies) {
        if (!QFileInfo::exists(copy.path)) {
            errors.append(u"%1 does not exist."_s.arg(shown(copy.path)));
            continue;
        }
        LoadResult read = Database::readRecords(copy.path, copy.kind, key);
        if (read.wrongKey) {
            const std::optional<QString> password = ask ? ask(copy.path) : std::nullopt;
            if (!password)
                return { Outcome::Cancelled, {}, {}, {} };
            read = Database::readRecords(copy.path, copy.kind, *password);
            if (read.wrongKey)
                return notRestored(u"%1 does not read back with that password."_s.arg(shown(copy.path)));
        }
        if (!read.status) {
            // Unreadable like a missing copy: the other one may do.
            errors.append(read.status.error);
            continue;
        }
        if (const qsizetype line = firstNonRecord(read.lines); line >= 0)
            return notRestored(
                u"%1 is not a Corvane database: its line %2 is not a record."_s.arg(shown(copy.path)).arg(line + 1));
        for (qsizetype i = 0; i < read.lines.size(); ++i) {
            if (!database.checkStorable(level, read.lines[i], key))
                return notRestored(u"%1 cannot be restored under the owner password in force: enciphered with it, "
                                   u"its record %2 would read back as two lines."_s.arg(shown(copy.path))
                                       .arg(i + 1));
        }
        const FileResult written = database.RewriteDatabase(level, read.lines, key);
        if (!written)
            return { Outcome::NotLocated, {}, written.error, {} };
        return { Outcome::Recovered, { database.activeFile(level), copy.path }, {}, written.warning };
    }
    return { Outcome::NotLocated, {}, errors.join(u'\n'), {} };
}

QString message(const SaveResult &result)
{
    switch (result.outcome) {
    case Outcome::NotRestored:
        return result.error;
    case Outcome::BackedUp:
        return BackupDone;
    case Outcome::Recovered:
        return Recovered;
    case Outcome::NotLocated:
        return NotLocated;
    case Outcome::Refused:
    case Outcome::Nothing:
    case Outcome::Cancelled:
        break;
    }
    return {};
}

} // namespace DatabaseBackup
