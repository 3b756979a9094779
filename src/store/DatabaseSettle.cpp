// SPDX-License-Identifier: GPL-3.0-or-later
// Settling the database files at start: a level change that was cut off is finished or undone, and
// a file the level does not use is removed when it is a copy of the records, else set aside.
#include "common/SafeFile.h"
#include "store/Database.h"
#include "store/RecordFileForm.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace RecordFileForm;

namespace {
/**
 * The field-enciphered record lines of a database file, sorted, so that two files compare equal
 * when they hold the same records in any order. A file with no lines holds no records under any
 * key. nullopt when it cannot be read, or (enciphered) does not read back under key.
 */
std::optional<QList<QByteArray>> sortedRecords(const QString &path, FileKind kind, const QString &key)
{
    FileResult why;
    std::optional<QByteArray> content = contentOf(path, why);
    if (!content)
        return std::nullopt;
    QList<QByteArray> lines;
    const auto collect = [&](QByteArrayView text, LineEnds ends) {
        forEachLine(text, ends, [&](QByteArrayView line, qsizetype) {
            lines.append(line.toByteArray());
            return true;
        });
    };
    collect(*content, kind == FileKind::Plain ? LineEnds::Any : LineEnds::CrLf);
    if (kind == FileKind::Enciphered && !lines.isEmpty()) {
        const std::optional<QByteArray> k = keyBytes(key, why);
        QByteArray out;
        if (!k || !deciphered(*content, *k, out, path))
            return std::nullopt;
        lines.clear();
        collect(out, LineEnds::CrLf);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

/** A name for a file set aside from path that no file in its folder has: "userDB (set aside).pdb", then 2, 3... */
QString setAsideName(const QString &path)
{
    const QFileInfo info(path);
    const QString stem = info.absolutePath() + u'/' + info.completeBaseName() + u" (set aside"_s;
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString name = stem + u')' + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = stem + u' ' + QString::number(n) + u')' + suffix;
    return name;
}

/** Removes a file the level does not need; one that stays is a warning: the records are where the level says. */
void removeExtra(const QString &path, FileResult &result)
{
    const FileResult removed = SafeFile::remove(path);
    result.addWarning(removed ? removed : FileResult::warned(removed.error));
}
} // namespace

FileResult Database::settleFiles(Level level, const QString &key)
{
    const FileResult result = settleStaged(level, key);
    if (!result)
        return result;
    return enciphers(level) ? settleEnciphered(key, result) : settlePlain(level, key, result);
}

FileResult Database::settleStaged(Level level, const QString &key)
{
    const QString &plain = m_files.plain;
    const QString &encrypted = m_files.encrypted;
    FileResult result;
    // A level change cut off after its new file was written: the owner file tells whether it took effect.
    if (QFileInfo::exists(staged(encrypted))) {
        // One that cannot be read now may still be the records: it stays until it can be.
        FileResult why;
        if (!contentOf(staged(encrypted), why))
            return why;
        if (enciphers(level) && keyReads(staged(encrypted), key)) {
            const FileResult placed = placeStagedAtStart(encrypted, plain);
            if (!placed)
                return placed;
            result.addWarning(placed);
        } else {
            removeExtra(staged(encrypted), result);
        }
    }
    if (QFileInfo::exists(staged(plain))) {
        if (!enciphers(level)) {
            const FileResult placed = placeStagedAtStart(plain, encrypted);
            if (!placed)
                return placed;
            result.addWarning(placed);
        } else {
            removeExtra(staged(plain), result);
        }
    }
    return result;
}

FileResult Database::settleEnciphered(const QString &key, FileResult result)
{
    if (!QFileInfo::exists(m_files.plain) || key.isEmpty())
        return result;
    // No deciphered copy of the records stays beside the enciphered file; a plain file alone was
    // left by a change to this level that was cut off, and is enciphered now.
    if (!QFileInfo::exists(m_files.encrypted))
        return finishChange(EncryptPlainToDB(key), result);
    return settleFileBeside(Level::ProgramAndDatabase, key, result);
}

FileResult Database::settlePlain(Level level, const QString &key, FileResult result)
{
    const QString &encrypted = m_files.encrypted;
    if (!QFileInfo::exists(encrypted))
        return result;
    const bool hasPlain = QFileInfo::exists(m_files.plain);
    FileResult why;
    const std::optional<QByteArray> db = contentOf(encrypted, why);
    if (!db)
        return hasPlain ? result : why;
    // An empty enciphered file holds no records to keep.
    if (db->isEmpty()) {
        removeExtra(encrypted, result);
        return result;
    }
    if (!hasPlain) {
        // A change away from Level::ProgramAndDatabase that was cut off before the plain file was there.
        QByteArray lines;
        const std::optional<QByteArray> k = keyBytes(key, why);
        if (k && deciphered(*db, *k, lines, encrypted))
            return finishChange(DecryptDBToPlain(key), result);
        return FileResult::failure(
            u"The records are in the enciphered database %1, which Corvane cannot read at this protection level. "
            u"To see them, choose \"Program and DBase\" in Set Password with the password they were "
            u"enciphered with."_s.arg(shown(encrypted)));
    }
    return settleFileBeside(level, key, result);
}

FileResult Database::finishChange(const FileResult &done, FileResult result) const
{
    if (!done)
        return done;
    if (levelChangePending())
        return FileResult::failure(u"A change of the protection level could not be finished: %1"_s.arg(done.warning));
    return result.addWarning(done);
}

FileResult Database::placeStagedAtStart(const QString &target, const QString &old)
{
    // As in the change itself the old file goes first. One that cannot be removed no longer keeps
    // the records from showing: it holds the records the staged file holds, and is settled below as
    // any file beside the database is, removed at this start or the next.
    FileResult result;
    if (!old.isEmpty()) {
        if (const FileResult removed = SafeFile::remove(old); removed)
            result.addWarning(removed);
    }
    const FileResult placed = SafeFile::rename(staged(target), target);
    if (!placed)
        return placed;
    return result.addWarning(placed);
}

FileResult Database::settleFileBeside(Level level, const QString &key, FileResult result)
{
    const bool enciphered = enciphers(level);
    const QString &other = enciphered ? m_files.plain : m_files.encrypted;
    const std::optional<QList<QByteArray>> theirs
        = sortedRecords(other, enciphered ? FileKind::Plain : FileKind::Enciphered, key);
    const auto same = [&] {
        if (!theirs || theirs->isEmpty())
            return bool(theirs);
        const std::optional<QList<QByteArray>> mine
            = sortedRecords(activeFile(level), enciphered ? FileKind::Enciphered : FileKind::Plain, key);
        return mine && *mine == *theirs;
    };
    if (same())
        return removeCopyBeside(other, enciphered, result);
    return setAside(other, enciphered, result);
}

FileResult Database::removeCopyBeside(const QString &path, bool plainCopy, FileResult result)
{
    const FileResult removed = SafeFile::remove(path);
    if (removed)
        return result.addWarning(removed);
    if (!plainCopy)
        return result.addWarning(FileResult::warned(
            removed.error + u"\nIt is a copy of the records shown; Corvane deletes it at its next start."_s));
    // A copy of the records without the owner password's protection must go before they change: changed,
    // the records would no longer tell it for a copy of theirs.
    return FileResult::failure(removed.error
        + u"\nIt is a copy of your records without the protection of the owner password. Corvane deletes it at "
          u"its next start."_s)
        .addWarning(result);
}

FileResult Database::setAside(const QString &path, bool plainCopy, FileResult result)
{
    const QString name = setAsideName(path);
    const FileResult moved = SafeFile::rename(path, name);
    const QString found = plainCopy
        ? u"The database file %1 lay beside the enciphered database, holding other records than the ones shown."_s
        : u"The enciphered database file %1 lay beside the database in use, holding other records than the ones "
          u"shown, or records under another password."_s;
    // Left in place, it could be written over by the next change of the protection level.
    if (!moved)
        return FileResult::failure(found.arg(shown(path)) + u" Corvane could not set it aside: "_s + moved.error)
            .addWarning(result);
    QString told = found.arg(shown(path)) + u" Corvane has not deleted it: it is now %1."_s.arg(shown(name));
    if (plainCopy)
        told += u" Its records are not enciphered; delete it once you no longer need them."_s;
    return result.addWarning(FileResult::warned(told)).addWarning(moved);
}
