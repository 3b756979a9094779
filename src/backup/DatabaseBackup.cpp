// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatabaseBackup.h"

#include "SafeFile.h"

#include <QByteArray>

#include <optional>

namespace DatabaseBackup {

QString chosenFolder(const QString &folderText)
{
    return folderText.endsWith(u'/') ? folderText.chopped(1) : folderText;
}

std::array<FilePair, 2> filePairs(const QString &dataFolder, const QString &chosenFolder, const QString &level)
{
    const FilePair plain { dataFolder + u"/userDB.pdb"_s, chosenFolder + u"/Corvane.pdb"_s };
    const FilePair enciphered { dataFolder + u"/userDB.edb"_s, chosenFolder + u"/Corvane.edb"_s };
    if (level == u"1"_s)
        return { enciphered, plain };
    return { plain, enciphered };
}

bool copyPair(const QString &mode, const FilePair &pair, QString *error, bool *sourceMissing)
{
    const bool backup = mode == Backup;
    const QString &from = backup ? pair.dataFile : pair.chosenFile;
    const QString &to = backup ? pair.chosenFile : pair.dataFile;

    QString why;
    const std::optional<QByteArray> content = SafeFile::readAll(from, &why);
    if (sourceMissing)
        *sourceMissing = !content.has_value();
    if (!content) {
        if (error)
            *error = why;
        return false;
    }
    const FileResult written = SafeFile::writeWhole(to, *content);
    if (!written && error)
        *error = written.error;
    return written.ok;
}

bool CopyEncryptedDatabase(const QString &mode, const FilePair &fallback, QString *error)
{
    return copyPair(mode, fallback, error);
}

SaveResult save(const QString &mode, const QString &dataFolder, const QString &folderText, const QString &level)
{
    if (folderText.isEmpty())
        return { Outcome::Refused, {}, {} };
    if (mode != Backup && mode != Restore)
        return { Outcome::Nothing, {}, {} };

    const Outcome done = mode == Backup ? Outcome::BackedUp : Outcome::Recovered;
    const std::array<FilePair, 2> pairs = filePairs(dataFolder, chosenFolder(folderText), level);

    QString error;
    bool sourceMissing = false;
    if (copyPair(mode, pairs[0], &error, &sourceMissing))
        return { done, pairs[0], {} };
    // The active file was there but could not be written: copying the other
    // file instead would report success for a copy that lacks the records.
    if (!sourceMissing)
        return { Outcome::NotLocated, {}, error };

    QString fallbackError;
    if (CopyEncryptedDatabase(mode, pairs[1], &fallbackError))
        return { done, pairs[1], {} };
    return { Outcome::NotLocated, {}, error + u'\n' + fallbackError };
}

QString message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::BackedUp:
        return BackupDone;
    case Outcome::Recovered:
        return Recovered;
    case Outcome::NotLocated:
        return NotLocated;
    case Outcome::Refused:
    case Outcome::Nothing:
        break;
    }
    return {};
}

} // namespace DatabaseBackup
