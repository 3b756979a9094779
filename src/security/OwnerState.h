// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/Level.h"

#include <QString>

/**
 * The owner values the main window keeps and the security code reads and
 * sets: the protection level, the owner password in force and the
 * authentication mark. Each step has one writer: the owner check at start
 * (readOwnerPassword: Reach, and GoodPass when nobody is asked), Ask4Pass
 * once the owner has typed the password (auth, GoodPass), and
 * SecuritySettings::save (Reach, GoodPass).
 */
struct OwnerState
{
    /** The protection level in force. */
    Level Reach = Level::None;
    /** The owner password in force, which is also the key of the enciphered database; empty when there is none. */
    QString GoodPass;
    /** "Ok" once the owner has typed the right password; anything else means not yet. */
    QString auth = QStringLiteral("auth");

    bool isAuthenticated() const { return auth == QLatin1StringView("Ok"); }
};
