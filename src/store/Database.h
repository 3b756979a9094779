// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"
#include "store/Level.h"

#include <QString>
#include <QStringList>

#include <functional>

/** The three database files: plain, enciphered, and the temporary one (field cipher only). */
struct DatabaseFiles
{
    QString plain; ///< Data/userDB.pdb: field-enciphered lines (levels None and Program Only)
    QString encrypted; ///< Data/userDB.edb: field- and line-enciphered lines (level Program and DBase)
    QString temporary; ///< mdb.tmp in the private temporary folder; empty when there is none

    /** The files of the application folder in use. */
    static DatabaseFiles standard();
};

/**
 * Gives the database key (the owner password GoodPass, or the one the owner
 * password file holds when GoodPass is empty), asked only where a level
 * needs one.
 */
using KeyProvider = std::function<QString()>;

/**
 * The step that makes a level change take effect: writing the owner password
 * file with the new level and password. A conversion runs it once the new
 * database file is complete on disk beside the old one; when it fails the
 * conversion is dropped and nothing has changed.
 */
using CommitStep = std::function<FileResult()>;

struct [[nodiscard]] LoadResult
{
    QStringList lines; ///< plain record lines, in file order; what could be read before a failure
    FileResult status;
    /** The file is there but does not decipher into record lines under the key: it was made under another. */
    bool wrongKey = false;
};

/**
 * A record line as its database file holds it, without the line end: its code page bytes,
 * field-enciphered and, in the enciphered file, line-enciphered under the key.
 */
struct FileLine
{
    QByteArray bytes;
    bool enciphered = false; ///< made for the enciphered file
};

/** The two kinds of database file: field cipher only, or line-enciphered with a key too. */
enum class FileKind { Plain, Enciphered };

/**
 * Reads and writes the database files. Every function returns what happened
 * and never shows anything; the windows turn failures into messages. Every
 * rewrite is whole or not at all (the old file stays whole on failure), every
 * append is taken back on failure, and files are created with mode 0600.
 * Levels: 0 and 2 use the plain file, 1 the enciphered one.
 */
class Database
{
public:
    explicit Database(DatabaseFiles files = DatabaseFiles::standard());
    const DatabaseFiles &files() const { return m_files; }

    /**
     * The plain record lines of the active source: mdb.tmp at Level::ProgramAndDatabase, else
     * the plain file. A line ends at CR LF, or at a lone LF or CR (records
     * hold no line break); empty lines are skipped. A missing file is an
     * empty database and no error; an unreadable one, or no temporary folder
     * at Level::ProgramAndDatabase, a failure.
     */
    LoadResult LoadDatabase(Level level) const;

    /**
     * The plain record lines of any database file, read in memory; nothing
     * is written. An enciphered file's lines end at CR LF only (a lone byte
     * is data), unless its line ends were all changed to LF or CR alone, and
     * it is read only when every line deciphers into a filed record line
     * under key; otherwise it fails with wrongKey set and no lines. A
     * missing file is an empty database and no error.
     */
    static LoadResult readRecords(const QString &path, FileKind kind, const QString &key = {});
    /** readRecords of the active file of level: the enciphered one under key at Level::ProgramAndDatabase, else the
     * plain one. */
    LoadResult readActive(Level level, const QString &key) const;
    /** The database file level keeps its records in. */
    QString activeFile(Level level) const;

    /**
     * Files one new plain record line: field-enciphered and appended to the
     * plain file at Level::None and Level::ProgramOnly, line-enciphered too
     * and appended to the enciphered file at Level::ProgramAndDatabase,
     * where an empty key is a failure. A failed append is taken back and
     * reported. The editor does the same in two steps (prepareLine, then
     * appendPrepared); the tests, fuzz targets and benchmarks use this form,
     * and the tests alone AppendToEncryptedDB.
     */
    FileResult appendRecord(Level level, const QString &line, const QString &key);
    /** Line-enciphers the field-enciphered line (CipherOut) with key and appends it to the enciphered file. An empty
     * key is a failure. */
    FileResult AppendToEncryptedDB(const QString &line, const QString &key);

    /**
     * Writes all plain lines anew, whole or not at all: the plain file at
     * Level::None and Level::ProgramOnly; at Level::ProgramAndDatabase mdb.tmp, EncryptTempToDB, then mdb.tmp is
     * removed (on failure too). At Level::ProgramAndDatabase an empty key fails before any file
     * is touched.
     */
    FileResult RewriteDatabase(Level level, const QStringList &lines, const QString &key);
    /** Builds a new enciphered file from mdb.tmp, whole or not at all. An empty key is a failure. */
    FileResult EncryptTempToDB(const QString &key);
    /**
     * Builds mdb.tmp from the enciphered file (start-up at Level::ProgramAndDatabase). A stale
     * mdb.tmp is removed first, so after a failure none is left to load. A
     * missing enciphered file or an empty key is a failure.
     */
    FileResult DecryptDBToTemp(const QString &key);
    /** Removes mdb.tmp; a missing one is no error. */
    FileResult removeTemporary();

    /*
     * The conversions of a level change survive a kill at any moment. The new
     * file is written whole and synced as its staged file (the name with
     * ".new" added) beside the old one; then commit runs (the owner file takes
     * the new level); then the old file is removed and the staged file is
     * renamed into place. Until commit has succeeded nothing has changed, and
     * a failure removes the staged file again. After it, the change has
     * happened: a step that still fails is a warning, and settleFiles()
     * finishes the change at the next start (levelChangePending() says so
     * meanwhile). Without commit the conversion takes effect at once.
     */

    /**
     * Plain to enciphered with key. A missing plain file with no enciphered
     * file is an empty database, enciphered as such; a missing plain file
     * beside an enciphered one, an empty key or a record the key cannot
     * carry is a failure and changes nothing.
     */
    FileResult EncryptPlainToDB(const QString &key, const CommitStep &commit = {});
    /**
     * Enciphered to plain with key. No enciphered file, or an empty key,
     * converts nothing: only commit runs. A file that does not decipher
     * under key is a failure and changes nothing.
     */
    FileResult DecryptDBToPlain(const QString &key, const CommitStep &commit = {});
    /**
     * Re-enciphers the enciphered file from oldKey to newKey (saving Level::ProgramAndDatabase
     * again with a new password). A missing enciphered file, an empty key or
     * a record newKey cannot carry is a failure.
     */
    FileResult changeKey(const QString &oldKey, const QString &newKey, const CommitStep &commit = {});

    /** The staged file of a level change for the database file at path. */
    static QString staged(const QString &path);
    /** Whether a level change has taken effect but its new file still waits beside its place. */
    bool levelChangePending() const;

    /**
     * At start, with the single-instance lock held: brings the database files
     * in line with level, the owner file's, whatever moment a level change
     * (of this or an older Corvane) was cut off at. key is the password the
     * owner file holds (empty for none). A staged file is put in place when
     * the owner file names its level (and, enciphered, its password), else
     * removed; an old file it cannot remove first stays beside it. At
     * Level::ProgramAndDatabase a plain file alone is enciphered, and at the
     * other levels an enciphered file alone is deciphered under key. The
     * other file beside the one the
     * level uses is removed only when it holds exactly the same records (or
     * none): Corvane left it there. Any other is set aside under a name that
     * says so, "userDB (set aside).pdb", and the warning tells the owner
     * where. A failure means the files could not be brought in line, and the
     * records must not be written in this session: its text says why (an
     * enciphered file alone with no password to read it, or a plain copy of
     * the records at Level::ProgramAndDatabase that could not be removed).
     */
    FileResult settleFiles(Level level, const QString &key);

    /**
     * Whether line can be stored at level with key: every character fits
     * the code page, it holds no line break, and at
     * Level::ProgramAndDatabase its enciphered form must not hold the pair
     * CR LF, which would read back as two lines. Checked before anything is
     * changed.
     */
    FileResult checkStorable(Level level, const QString &line, const QString &key) const;
    /** checkStorable, which also gives the line in the form the active file of level holds it, in out. */
    FileResult prepareLine(Level level, const QString &line, const QString &key, FileLine &out) const;
    /** Appends a line prepareLine made to the file it was made for; a failed append is taken back and reported. */
    FileResult appendPrepared(const FileLine &line);

    /**
     * Whether the enciphered file is the records under key: it exists and
     * every line deciphers into a filed record line. The deciphering readers
     * (DecryptDBToTemp, DecryptDBToPlain, changeKey) make the same check and
     * change nothing when it fails.
     */
    FileResult checkKey(const QString &key) const;

private:
    /** The rewrite at Level::ProgramAndDatabase: the field-enciphered content as mdb.tmp, enciphered into place. */
    FileResult rewriteThroughTemporary(QByteArrayView content, const QString &key);
    /** A level change's new file for target, then commit, then old removed and the new file put in place. */
    FileResult changeLevelFile(
        const QString &target, const QString &old, QByteArrayView content, const CommitStep &commit);
    /** The last steps of a level change: old removed, then the staged file of target renamed into place. */
    FileResult placeStaged(const QString &target, const QString &old);
    /** At start, a staged file put in place when the owner file names its level (and password), else removed. */
    FileResult settleStaged(Level level, const QString &key);
    /** At start at Level::ProgramAndDatabase: a plain file beside the enciphered one, or alone, settled. */
    FileResult settleEnciphered(const QString &key, FileResult result);
    /** At start at the levels of the plain file: an enciphered file beside the plain one, or alone, settled. */
    FileResult settlePlain(Level level, const QString &key, FileResult result);
    /** A conversion that finishes a cut-off level change at start, added to result; one still pending fails. */
    FileResult finishChange(const FileResult &done, FileResult result) const;
    /** At start, the last steps of a cut-off level change: as placeStaged, but an old file that stays is no stop. */
    FileResult placeStagedAtStart(const QString &target, const QString &old);
    /**
     * The file of the other kind beside the one level uses: removed when it holds exactly the same
     * records, else set aside. result holds the warnings so far.
     */
    FileResult settleFileBeside(Level level, const QString &key, FileResult result);
    /** Removes a copy of the records; a plain copy that stays (plainCopy, at Level::ProgramAndDatabase) is a failure.
     */
    FileResult removeCopyBeside(const QString &path, bool plainCopy, FileResult result);
    /** Renames the file at path to a name that says it was set aside; the warning says where it is. */
    FileResult setAside(const QString &path, bool plainCopy, FileResult result);
    /** Whether the enciphered file at path deciphers under key into filed record lines. */
    FileResult keyReads(const QString &path, const QString &key) const;

    DatabaseFiles m_files;
};
