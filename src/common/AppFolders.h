// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"

#include <QString>

/**
 * Where the program's files are. Computed afresh on every call; nothing is
 * kept. Paths have no trailing separator.
 */
namespace AppFolders {
/**
 * The folder every file the program writes lives in: the user's own data
 * folder (${XDG_DATA_HOME:-~/.local/share}/corvane) for an installed copy,
 * whoever runs it, and for a program folder that cannot be written to;
 * otherwise the program's own folder (a build, or a copy in a folder of the
 * user's own).
 */
QString applicationFolder();

/** The folder that holds the program file and its browser library. */
QString programFolder();

/**
 * The name of the file that marks an installed copy. An install puts it
 * beside the program; it names the folder of the files that ship with the
 * program ("shared=../../share/corvane", relative to the program's folder).
 */
inline constexpr char16_t kInstallMark[] = u"installed.conf";

/** Whether the program is an installed copy: kInstallMark lies beside it. */
bool isInstalled();

/**
 * The folder the files that ship with the program (help page, languages) are
 * read from: the one kInstallMark names for an installed copy (as
 * <prefix>/share/corvane), else the program's own folder.
 */
QString shippedFolder();

/** applicationFolder() + "/Data": the databases and the owner password file. */
QString dataFolder();

/**
 * The private temporary folder for "mdb.tmp": one per application folder,
 * under $XDG_RUNTIME_DIR (memory-backed) when it exists, else under the
 * system's temporary folder; mode 0700 and owned by the user. Created on
 * first use. Empty (with the reason in error) when it cannot be made safe.
 */
QString temporaryFolder(QString *error = nullptr);

QString plainDatabase(); ///< Data/userDB.pdb
QString encryptedDatabase(); ///< Data/userDB.edb
QString temporaryDatabase(); ///< mdb.tmp in the temporary folder; empty when there is none
/** What the user is told when the deciphered copy of the records (mdb.tmp) cannot be removed, and why. */
QString decipheredCopyLeft(const QString &reason);
QString ownerPasswordFile(); ///< Data/ground.lnk
QString preferencesFile(); ///< prefs.cfg
QString languageChoiceFile(); ///< lang.dat
QString languageFolder(); ///< intl, beside the program
QString helpPage(); ///< help.html, beside the program
QString intrusionLog(); ///< Corvane.log
QString instanceLock(); ///< Data/corvane.lock: one running program per application folder

/**
 * Removes the copies that writes killed half-way left beside the program's
 * files (userDB.pdb.Ab3xYz, ground.lnk.QwErTy and the like); they may hold
 * the records or the owner password. Only while no other copy of the program
 * runs on the folder.
 */
void removeLeftovers();

/**
 * Whether the program can keep its files: the application folder and the
 * data folder exist (made when missing) and the user may read and write
 * them, the disk that holds them is not full, and the database and owner
 * password files that exist can be read and written. The failure names the
 * first thing wrong and its cause.
 */
FileResult checkUsable();

/**
 * Tests point the program at their own folders: the application folder, and
 * the folder standing for the program's own (where an install mark may lie);
 * empty texts bring the real ones back.
 */
void setForTesting(const QString &applicationFolder, const QString &programFolder);

/**
 * Marks the file or folder at path hidden the way Linux file managers
 * understand: its name is listed in the ".hidden" file of its folder.
 */
FileResult markHidden(const QString &path);
} // namespace AppFolders
