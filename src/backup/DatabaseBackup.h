// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/Database.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

/**
 * Copies the database between the data folder and a folder the user picks:
 * a backup copies Data/userDB.pdb to <folder>/Corvane.pdb (or Data/userDB.edb
 * to <folder>/Corvane.edb), a restore puts them back. Backup copies are byte
 * for byte. A restore puts a copy in place only once it has read it as
 * records, and writes them in the kind of file the protection level uses,
 * under the owner password in force. Every write is whole: the target is
 * replaced only once the new file is complete on disk, with mode 0600.
 */
namespace DatabaseBackup {
using namespace Qt::StringLiterals;

inline const QString Backup = u"Backup"_s;
inline const QString Restore = u"Restore"_s;

/** The texts the user is told; shown with the information icon under the program's title. */
inline const QString BackupDone = u"File Backup done"_s;
inline const QString Recovered = u"File Recovered"_s;
inline const QString NotLocated = u"Failed to locate Data Base, try to copy it manually"_s;

/** One database file: its place in the data folder and its copy in the chosen folder. */
struct FilePair
{
    QString dataFile;
    QString chosenFile;
};

enum class Outcome {
    Refused, ///< the folder box is empty: nothing is done and the box gets the focus back
    Nothing, ///< no operation pending (empty mode)
    BackedUp, ///< a backup copy was made
    Recovered, ///< a restore copy was made
    NotLocated, ///< neither file could be copied
    NotRestored, ///< the copy is not records the level can use: nothing changed (error says why)
    Cancelled, ///< the user did not give the password an enciphered copy was made under: nothing changed
};

struct [[nodiscard]] SaveResult
{
    Outcome outcome = Outcome::Nothing;
    /** The pair that was copied, when one was. */
    FilePair copied;
    /** Why the copies failed, for NotLocated; why the copy was refused, for NotRestored. */
    QString error;
    /** A copy made whose folder the disk did not confirm (SafeFile::writeWhole); the user is told. */
    QString warning;
};

/**
 * Asks the user for the owner password the enciphered copy at path was made
 * under, when the one in force does not read it; nullopt when the user cancels.
 */
using PasswordPrompt = std::function<std::optional<QString>(const QString &path)>;

/**
 * The folder the copies go to or come from: folderText with one trailing "/"
 * removed. The root "/" becomes the empty folder, whose copies are
 * "/Corvane.pdb" and "/Corvane.edb".
 */
QString chosenFolder(const QString &folderText);

/**
 * The two database files, the one the protection level uses first: at
 * "Program and DBase" the enciphered pair, at any other level the plain pair.
 */
std::array<FilePair, 2> filePairs(const QString &dataFolder, const QString &chosenFolder, Level level);

/**
 * Copies the file of pair in the direction of mode (Backup: data folder to
 * chosen folder; Restore: back). On failure the old target is left exactly as
 * it was. sourceMissing (when given) tells whether the failure was that the
 * source could not be read, as opposed to the target not being written.
 */
FileResult copyPair(const QString &mode, const FilePair &pair, bool *sourceMissing = nullptr);

/**
 * The fallback after the active database file could not be found: copies the
 * other file of the pair list (at the levels of the plain file the enciphered one) in
 * the direction of mode.
 */
FileResult CopyEncryptedDatabase(const QString &mode, const FilePair &fallback);

/**
 * What Save does in mode "Backup": refuses an empty folderText, does nothing
 * in any other mode, otherwise copies the active level's file and, only when
 * that file cannot be found or read, the other one. A copy whose target
 * cannot be written is not replaced by the other (possibly stale) file, so a
 * backup is never reported done with the wrong records in it.
 */
SaveResult save(const QString &mode, const QString &dataFolder, const QString &folderText, Level level);

/**
 * What Save does in mode "Restore": refuses an empty folderText, otherwise
 * reads the copy of the kind level uses (Corvane.edb at Level::ProgramAndDatabase, else
 * Corvane.pdb) or, only when that one cannot be found or read, the other.
 * The copy is put in place only when every line is a filed record line: a
 * plain copy as it stands, an enciphered one under key or, when key does not
 * read it, under the password ask gives. Its records are then written as
 * database's active file of level, under key at Level::ProgramAndDatabase, so the data folder
 * never holds the records in another kind of file or under another key.
 * Anything refused changes nothing and says why.
 */
SaveResult restore(
    Database &database, const QString &folderText, Level level, const QString &key, const PasswordPrompt &ask);

/** The message for a result; empty for Refused, Nothing and Cancelled. */
QString message(const SaveResult &result);
} // namespace DatabaseBackup
