// SPDX-License-Identifier: GPL-3.0-or-later
// Changes of the protection level: the records moved to the other kind of file, or enciphered under a
// new password, through a staged file that survives a kill at any moment.
#include "common/SafeFile.h"
#include "store/Database.h"
#include "store/RecordFileForm.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;
using namespace RecordFileForm;

namespace {
const QString kChangePending = u"An earlier change of the protection level is not finished yet. Corvane finishes it "
                               u"at its next start: please start Corvane again first."_s;

/**
 * Enciphered, a line that is not a record could not be told from a line under a wrong password, and
 * the file would be refused at the next start.
 */
QString notFiled(const QString &path, qsizetype line)
{
    return u"Record %1 of %2 is not in the form Corvane files records in (it may have been edited by hand), so "
           u"it cannot be enciphered. Remove it, or file it again, first."_s.arg(line + 1)
               .arg(shown(path));
}
} // namespace

FileResult Database::EncryptPlainToDB(const QString &key, const CommitStep &commit)
{
    FileResult why;
    const std::optional<QByteArray> k = keyBytes(key, why);
    if (!k)
        return why;
    QByteArray out;
    if (QFileInfo::exists(m_files.plain) || QFileInfo::exists(m_files.encrypted)) {
        // An enciphered file without a plain one may hold the only copy of the records: never write over it.
        const std::optional<QByteArray> plain
            = contentOf(m_files.plain, why, u"There is no database %1 to encipher."_s.arg(shown(m_files.plain)));
        if (!plain)
            return why;
        if (const qsizetype line = firstNotFiled(*plain); line >= 0)
            return FileResult::failure(notFiled(m_files.plain, line));
        if (const FileResult built = lineCiphered(*plain, *k, out); !built)
            return built;
    }
    return changeLevelFile(m_files.encrypted, m_files.plain, out, commit);
}

FileResult Database::DecryptDBToPlain(const QString &key, const CommitStep &commit)
{
    if (key.isEmpty() || !QFileInfo::exists(m_files.encrypted))
        return commit ? commit() : FileResult::success();
    QByteArray out;
    if (const FileResult read = decipherFile(m_files.encrypted, key, out); !read)
        return read;
    return changeLevelFile(m_files.plain, m_files.encrypted, out, commit);
}

FileResult Database::changeKey(const QString &oldKey, const QString &newKey, const CommitStep &commit)
{
    FileResult why;
    if (!keyBytes(oldKey, why))
        return why;
    const std::optional<QByteArray> to = keyBytes(newKey, why);
    if (!to)
        return why;
    QByteArray plain;
    if (const FileResult read = decipherFile(m_files.encrypted, oldKey, plain, missingEncrypted(m_files.encrypted));
        !read)
        return read;
    QByteArray out;
    if (const FileResult built = lineCiphered(plain, *to, out); !built)
        return built;
    return changeLevelFile(m_files.encrypted, QString(), out, commit);
}

QString Database::staged(const QString &path)
{
    return path + u".new"_s;
}

bool Database::levelChangePending() const
{
    return QFileInfo::exists(staged(m_files.plain)) || QFileInfo::exists(staged(m_files.encrypted));
}

FileResult Database::changeLevelFile(
    const QString &target, const QString &old, QByteArrayView content, const CommitStep &commit)
{
    // A staged file left by a change that could not be finished holds records that may be nowhere else.
    if (levelChangePending())
        return FileResult::failure(kChangePending);
    const QString side = staged(target);
    FileResult result = writeWholeFile(side, content);
    if (!result)
        return result;
    if (commit) {
        const FileResult committed = commit();
        if (!committed) {
            // A staged file left behind is removed by the next start, since the owner file does not name it.
            static_cast<void>(SafeFile::remove(side));
            return committed;
        }
        result.addWarning(committed);
    }
    // From here on the change has happened; what cannot be finished now is finished at the next start.
    const FileResult placed = placeStaged(target, old);
    if (!placed)
        return result.addWarning(FileResult::warned(placed.error
            + u"\nThe change is made, and Corvane finishes it at its next start; until then it does not "
              u"change the database."_s));
    return result.addWarning(placed);
}

FileResult Database::placeStaged(const QString &target, const QString &old)
{
    // The old file goes first, and the staged file waits until it has gone: whatever stops the change
    // here, the staged file still tells the next start that it is to be finished. The two database
    // files side by side without it would not tell which one holds the records.
    FileResult result;
    if (!old.isEmpty()) {
        result = SafeFile::remove(old);
        if (!result)
            return result;
    }
    const FileResult placed = SafeFile::rename(staged(target), target);
    if (!placed)
        return placed;
    return result.addWarning(placed);
}
