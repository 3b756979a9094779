// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/**
 * The protection level. Only the owner password file holds it as text, one
 * digit: "0", "1" or "2". A hand-edited file may end in another digit; it is
 * kept as the value it is, which names none of the three: the records stay
 * in the plain file, as at the levels that use it.
 */
enum class Level : int {
    None = 0, ///< "None": no owner password asked, the plain database file
    ProgramAndDatabase = 1, ///< "Program and DBase": the database file enciphered with the owner password
    ProgramOnly = 2, ///< "Program Only": the owner password asked at start, the plain database file
};

/** Whether level keeps the records in the enciphered database file. */
constexpr bool enciphers(Level level)
{
    return level == Level::ProgramAndDatabase;
}
