// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/**
 * The owner values the main window keeps and the security code reads and
 * sets: the protection level, the owner password in force and the
 * authentication mark.
 */
struct OwnerState
{
    /** The protection level as text: "0" None, "1" Program and DBase, "2" Program Only. */
    QString Reach = QStringLiteral("0");
    /** The owner password in force, which is also the key of the enciphered database; empty when there is none. */
    QString GoodPass;
    /** "Ok" once the owner has typed the right password; anything else means not yet. */
    QString auth = QStringLiteral("auth");

    /** Reach as a number; text that is not a number counts as level 0. */
    int level() const { return Reach.toInt(); }
    bool isAuthenticated() const { return auth == QLatin1StringView("Ok"); }
};
