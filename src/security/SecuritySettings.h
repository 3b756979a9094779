// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/AppFolders.h"
#include "common/FileResult.h"
#include "security/OwnerState.h"

#include <QString>

#include <optional>

class Database;

/** Saving the owner's security settings: the owner password file and the database's file together. */
namespace SecuritySettings {
/**
 * Why record (at level, with password as its password field) cannot be
 * saved, as a message for the owner; nullopt when it can. Checked before
 * anything is asked or changed: "Program and DBase" needs a password to
 * encipher the database with, every character must fit the code page, and
 * the enciphered record must read back as one line.
 */
std::optional<QString> refusal(QStringView record, Level level, QStringView password);

/**
 * Why level (with password) cannot be saved over the database as it stands;
 * nullopt when it can. An enciphered database with no plain one beside it
 * (a lost owner file, a restored backup, a change cut off by an older
 * Corvane) is kept at Level::ProgramAndDatabase only when it deciphers under password: it is
 * never written over. A level change that could not be finished waits for
 * the next start.
 */
std::optional<QString> databaseRefusal(
    const OwnerState &state, const Database &database, Level level, QStringView password);

enum class Outcome {
    Saved, ///< the owner file, the database files and state all changed together
    Refused, ///< databaseRefusal() said why; nothing changed
    OwnerFileFailed, ///< the owner file could not be written; nothing changed
    DatabaseFailed, ///< the database could not be converted; nothing changed
};

struct [[nodiscard]] SaveResult
{
    Outcome outcome = Outcome::Saved;
    QString detail;
    /** Saved, but a step after the owner file could not be finished (the user is told). */
    QString warning;
    /** Saved, and the database file the level uses waits beside its place until the next start. */
    bool pending = false;
    /** Saved, keeping an enciphered database that holds other records than the list: the list is read again. */
    bool recordsReplaced = false;
    explicit operator bool() const { return outcome == Outcome::Saved; }
};

/**
 * Writes record to the owner file and moves the database to the file the
 * new level uses: plain to enciphered with the new password, enciphered to
 * plain with the previous one (state.GoodPass), or enciphered again under a
 * new password when Level::ProgramAndDatabase stays. The new database file is written whole
 * first, then the owner file, then the old database file goes: a failure
 * before the owner file is written leaves everything as it was, and a kill
 * at any moment leaves files that settleAtStart() finishes or undoes.
 * state.Reach and state.GoodPass change once the owner file has.
 * password is kNoPassword for none.
 */
SaveResult save(OwnerState &state, Database &database, QStringView record, Level level, QStringView password,
    const QString &ownerFile = AppFolders::ownerPasswordFile());

/**
 * At start, once the owner is in (where the level asks for it): finishes or
 * undoes a level change that was cut off (Database::settleFiles), with the
 * password in force or, at Level::None, the one the owner file holds. A failure
 * means the records must not be written in this session; its text says why.
 */
FileResult settleAtStart(
    const OwnerState &state, Database &database, const QString &ownerFile = AppFolders::ownerPasswordFile());
} // namespace SecuritySettings
