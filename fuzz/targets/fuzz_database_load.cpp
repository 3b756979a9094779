// SPDX-License-Identifier: GPL-3.0-or-later
// The database files as the program finds them on disk: a plain file loaded
// at level 0, an enciphered one deciphered with a key and loaded at level 1,
// and the conversions between them. Whatever the bytes, loading never fails
// on a readable file, and what was loaded survives being written back.
#include "FuzzSupport.h"
#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "store/Database.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
Database &database()
{
    static Database db = [] {
        TestFolders &folders = fuzzFolders();
        FUZZ_CHECK(SafeFile::makePrivateFolder(folders.data()));
        DatabaseFiles files = DatabaseFiles::standard();
        files.plain = folders.appPath(u"Data/userDB.pdb"_s);
        files.encrypted = folders.appPath(u"Data/userDB.edb"_s);
        FUZZ_CHECK(!files.temporary.isEmpty());
        return Database(files);
    }();
    return db;
}

void put(const QString &path, QByteArrayView bytes)
{
    FUZZ_CHECK(SafeFile::writeWhole(path, bytes));
}

/** The lines every reading of content must give, whatever reads it. */
void checkLines(const QStringList &lines)
{
    for (const QString &line : lines) {
        FUZZ_CHECK(!line.isEmpty());
        FUZZ_CHECK(!line.contains(u"\r\n"_s));
    }
}

QStringList loadPlain()
{
    const LoadResult loaded = database().LoadDatabase(Level::None);
    FUZZ_CHECK(loaded.status);
    checkLines(loaded.lines);
    return loaded.lines;
}

/** Level 0: load, write back, load again, and file one more record. */
void plainFile(QByteArrayView bytes)
{
    Database &db = database();
    put(db.files().plain, bytes);
    const QStringList lines = loadPlain();
    // CR LF, or a lone CR or LF, ends a line of the plain file.
    FUZZ_CHECK(lines.size() <= bytes.count('\r') + bytes.count('\n') + 1);

    // A record that was read must be fileable again (a load read it from its bytes).
    if (!lines.isEmpty()) {
        FUZZ_CHECK(db.appendRecord(Level::None, lines.last(), {}));
        const QStringList appended = loadPlain();
        FUZZ_CHECK(appended == lines + QStringList { lines.last() });
    }
    FUZZ_CHECK(db.RewriteDatabase(Level::None, lines, {}));
    FUZZ_CHECK(loadPlain() == lines);
}

/** Level 1: decipher with the key, load, and write back under the same key. */
void encipheredFile(const QString &key, QByteArrayView bytes)
{
    Database &db = database();
    put(db.files().encrypted, bytes);
    const FileResult deciphered = db.DecryptDBToTemp(key);
    if (!deciphered) {
        // No half result is left to be loaded.
        FUZZ_CHECK(!QFileInfo::exists(db.files().temporary));
        FUZZ_CHECK(!deciphered.error.isEmpty());
        return;
    }
    const LoadResult loaded = db.LoadDatabase(Level::ProgramAndDatabase);
    FUZZ_CHECK(loaded.status);
    checkLines(loaded.lines);
    FUZZ_CHECK(db.removeTemporary());

    FUZZ_CHECK(db.RewriteDatabase(Level::ProgramAndDatabase, loaded.lines, key));
    FUZZ_CHECK(!QFileInfo::exists(db.files().temporary));
    FUZZ_CHECK(db.DecryptDBToTemp(key));
    const LoadResult again = db.LoadDatabase(Level::ProgramAndDatabase);
    FUZZ_CHECK(again.status);
    FUZZ_CHECK(again.lines == loaded.lines);

    if (!loaded.lines.isEmpty()) {
        FUZZ_CHECK(db.appendRecord(Level::ProgramAndDatabase, loaded.lines.first(), key));
        FUZZ_CHECK(db.DecryptDBToTemp(key));
        FUZZ_CHECK(
            db.LoadDatabase(Level::ProgramAndDatabase).lines == loaded.lines + QStringList { loaded.lines.first() });
    }
    FUZZ_CHECK(db.removeTemporary());
}

/** Plain to enciphered and back: the records come back line for line, or nothing changes. */
void conversions(const QString &key, QByteArrayView bytes)
{
    Database &db = database();
    put(db.files().plain, bytes);
    FUZZ_CHECK(SafeFile::remove(db.files().encrypted));
    const QStringList lines = loadPlain();
    const FileResult enciphered = db.EncryptPlainToDB(key);
    if (!enciphered) {
        FUZZ_CHECK(TestFolders::read(db.files().plain) == bytes);
        FUZZ_CHECK(!QFileInfo::exists(db.files().encrypted));
        return;
    }
    FUZZ_CHECK(!QFileInfo::exists(db.files().plain));
    FUZZ_CHECK(db.DecryptDBToPlain(key));
    FUZZ_CHECK(!QFileInfo::exists(db.files().encrypted));
    FUZZ_CHECK(loadPlain() == lines);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(fuzzBytes(data, size));
    const uint8_t mode = input.byte();
    switch (mode % 3) {
    case 0:
        plainFile(input.rest());
        break;
    case 1:
    case 2: {
        // A key of 1 to 16 bytes, then the file.
        const QString key = Windows1252::decode(input.take(1 + input.byte() % 16));
        if (key.isEmpty())
            return 0;
        if (mode % 3 == 1)
            encipheredFile(key, input.rest());
        else
            conversions(key, input.rest());
        break;
    }
    }
    return 0;
}
