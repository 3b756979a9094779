// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/AppFolders.h"
#include "security/OwnerState.h"

#include <QDate>
#include <QString>

/** What reading the owner password file left for the start-up to do. */
struct OwnerCheckOutcome
{
    /** The owner must be asked for password: one is stored, the level is not 0, and prompting was asked for. */
    bool askOwner = false;
    /** The stored password (the expected answer when askOwner). */
    QString password;
    /** The record's expiry field. */
    QString expiry;
};

/**
 * The part of the owner check that needs no window: reads the owner
 * password file, sets state.Reach from it (None when there is no file) and,
 * unless the level is None or no password is stored, state.GoodPass; with
 * prompt it leaves GoodPass for Ask4Pass to fill once the owner has typed
 * the password. Shows nothing, writes no file. An unreadable file, an empty
 * record or one too short to hold its dates ends the reading quietly.
 */
OwnerCheckOutcome readOwnerPassword(
    OwnerState &state, bool prompt, const QString &path = AppFolders::ownerPasswordFile());

enum class ExpiryNotice { None, ExpiresToday, Expired };

/**
 * Which notice an expiry field gives on today: ExpiresToday when it is
 * today's date, Expired for an earlier calendar date, None for a later one,
 * "xx-xx-xxxx" or anything that is not a date.
 */
ExpiryNotice expiryNotice(QStringView expiry, QDate today);

/** The notice's text, from the language table unless the language is English. */
QString noticeText(ExpiryNotice notice);

/**
 * The database key: GoodPass or, when it is empty, the password the owner
 * password file at path holds, read as the check without prompting reads
 * it. Changes nothing, state included.
 */
QString databaseKey(const OwnerState &state, const QString &path = AppFolders::ownerPasswordFile());
