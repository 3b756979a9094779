// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppFolders.h"
#include "OwnerState.h"

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
std::optional<QString> refusal(QStringView record, int level, QStringView password);

enum class Outcome {
    Saved, ///< the owner file, the database files and state all changed together
    OwnerFileFailed, ///< the owner file could not be written; nothing changed
    DatabaseFailed, ///< the database could not be converted; the owner file was put back, nothing changed
};

struct SaveResult
{
    Outcome outcome = Outcome::Saved;
    QString detail;
    explicit operator bool() const { return outcome == Outcome::Saved; }
};

/**
 * Writes record to the owner file and moves the database to the file the
 * new level uses: plain to enciphered with the new password, enciphered to
 * plain with the previous one (state.GoodPass), or enciphered again under a
 * new password when level 1 stays. The owner file is written first; when
 * the conversion then fails its old content (or its absence) is put back,
 * so a failure leaves both as they were. state.Reach and state.GoodPass
 * change only on success. password is kNoPassword for none.
 */
SaveResult save(OwnerState &state, Database &database, QStringView record, int level, QStringView password,
    const QString &ownerFile = AppFolders::ownerPasswordFile());
} // namespace SecuritySettings
