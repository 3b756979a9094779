// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/Level.h"

#include <QString>

/**
 * The owner record: the plain text of the owner password file's one line.
 * Four fields follow each other without a separator and are found by
 * position only: the expiry date (10 characters), the owner password (the
 * rest), the date the settings were saved (10 characters) and the
 * protection level (1 character).
 */
namespace OwnerRecord {
/** Stored in place of the password when no password is set. */
inline constexpr QStringView kNoPassword = u"UNSETMARK";
/** Stored in place of the expiry date when the password never expires. */
inline constexpr QStringView kNeverExpires = u"xx-xx-xxxx";
/** Expiry date, set date and level: a record of this length holds an empty password. */
inline constexpr int kFixedLength = 21;

/** The record of the four fields; level is written as its digit. */
QString build(QStringView expiry, QStringView password, QStringView setDate, Level level);

struct Fields
{
    /** The level from the record's last character: a digit gives itself, anything else (or nothing) None. */
    Level level = Level::None;
    /** False for an empty record, or one too short to hold the two dates. */
    bool complete = false;
    QString expiry;
    QString password;
    QString setDate;
};

/** The fields of record, by position. */
Fields parse(QStringView record);
} // namespace OwnerRecord
