// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Database.h"
#include "RecordLine.h"

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

/**
 * The states a run of mode ("rewrite" or "edit") goes through, in order,
 * each sorted: rewrite A, B; edit A, A with the record replaced, A without it.
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
} // namespace KillSets
