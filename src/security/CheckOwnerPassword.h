// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"
#include "security/OwnerState.h"

#include <functional>

class Database;
class QWidget;
class Securfrm;

/** What the owner check needs of the main window. */
struct OwnerCheckHooks
{
    QWidget *mainWindow = nullptr; ///< parent of the messages; shown once the owner is in
    std::function<Securfrm *()> securityDialog; ///< the main window's one security dialog, created on first use
    Database *database = nullptr; ///< settled, and deciphered into the temporary file at Level::ProgramAndDatabase
    /**
     * Told how settling the database files at start went (SecuritySettings::settleAtStart), and told
     * again of a warning deciphering the database gave (its copy made, but not confirmed on the disk).
     */
    std::function<void(const FileResult &)> settled;
};

/**
 * Reads the owner password file into state (Reach, GoodPass). With prompt,
 * and a password stored at Level::ProgramAndDatabase or Level::ProgramOnly, it also asks the owner in
 * Ask4Pass and waits, handling events, until the owner is in: no other
 * window of the program can be used meanwhile, and GoodPass stays empty
 * until then. With prompt it then settles the database files (a level
 * change cut off is finished or undone); after the owner was asked it shows
 * the main window, gives the expiry notice and opens the security dialog
 * when the password expires today or has expired, and at Level::ProgramAndDatabase deciphers
 * the database into the temporary file. When the program is ending (the
 * owner failed or gave up) it returns at once, touching nothing more.
 */
void CheckOwnerPassword(OwnerState &state, bool prompt, const OwnerCheckHooks &hooks);

/**
 * Shows "Owner Authentication" for password and waits, handling events,
 * until the owner is in (auth reads "Ok"; true) or the program is ending
 * (three wrong attempts, Cancel or the close control; false). No other
 * window of the program takes input meanwhile.
 */
bool askOwner(OwnerState &state, const QString &password);
