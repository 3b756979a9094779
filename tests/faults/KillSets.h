// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "security/OwnerState.h"
#include "store/Database.h"
#include "store/RecordLine.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

/**
 * The known databases of the kill test: the driver moves a database of
 * 32,767 records between them, and after every kill the file must hold
 * exactly one of them.
 */
namespace KillSets {
inline constexpr int kRecords = 32767;
/** The owner password of the level-1 runs. */
QString key();
/** The moment the driver's clock stands at, so that filed records are known in advance. */
QDateTime now();

/** Set A: kRecords records filed at now(). */
QStringList setA();
/** Set B: the same services with other user names and passwords; no line is in A. */
QStringList setB();

/** The record that the editing run replaces, removes and adds back, as texts and as A holds it. */
RecordLine::Texts editedTexts();
/** Its texts after the replacement. */
RecordLine::Texts replacedTexts();

/** The CSV file the import run brings in: records of new logins, none of them in A. */
QByteArray importFile();

/**
 * The states a run of mode ("rewrite", "edit" or "import") goes through, in
 * order, each sorted: rewrite A, B; edit A, A with the record replaced, A
 * without it; import A, A with the logins of importFile().
 */
QList<QStringList> states(const QString &mode);

/** The index in known (a states() list) of lines, in any order; -1 when it is none of them. */
int stateOf(const QList<QStringList> &known, QStringList lines);

/**
 * The records in the database of level: the plain file, or at level 1 the
 * enciphered file deciphered with key() (through mdb.tmp, which is removed
 * again). nullopt, with the reason, when the file does not read back whole.
 */
std::optional<QStringList> load(Database &database, int level, QString *why = nullptr);
/** The same with the enciphered file deciphered under key. */
std::optional<QStringList> load(Database &database, int level, const QString &key, QString *why);

/** Owner settings: the protection level and the password (empty for none). */
struct OwnerSettings
{
    int level = 0;
    QString password;
};

/**
 * The settings a level run goes through, each from the one before: "None",
 * "Program and DBase", the same with another password, "Program Only",
 * "Program and DBase" with a third password, and back to "None" (0 to 1,
 * 1 to 1 with a new password, 1 to 2, 2 to 1 and 1 to 0).
 */
QList<OwnerSettings> levelStates();

/** Saves settings as the security dialog's Accept does; the owner file's record. */
QString ownerRecord(const OwnerSettings &settings);

/**
 * What a start does before it reads the records: copies left by killed
 * writes removed, the owner file read into state without asking, and a level
 * change that was cut off finished or undone (SecuritySettings::settleAtStart).
 */
FileResult settle(Database &database, OwnerState &state);

/** The index in levelStates() of state's level and password; -1 when it is none of them. */
int levelStateOf(const OwnerState &state);

/**
 * The level run's state of the files, found as a start finds it: settled,
 * then the owner file's settings (an index in levelStates()), the records
 * read back whole under them (set A) and no file the level does not use.
 * -1, with the reason in why, when any of that fails.
 */
int levelStateFound(Database &database, QString &why);

/**
 * The files of the data folder that have no place at level: anything but the
 * level's one database file, the owner file and the ".hidden" list.
 */
QStringList strayFiles(const QString &dataFolder, int level);
} // namespace KillSets
