// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/AppFolders.h"
#include "common/FileResult.h"

#include <QByteArray>
#include <QString>

#include <optional>

/**
 * The owner password file Data/ground.lnk: one line, the owner record
 * line-enciphered under a key of its own (never the owner password), ended
 * by CR LF, in the Windows-1252 code page.
 */
namespace OwnerFile {
/** The owner-file key: 30 fixed characters, used for this file only. */
inline constexpr char kKey[] = "Qm7#vR2x!Lp9$eW4zT8&nB1*hY5@cK";
static_assert(sizeof(kKey) == 31, "the owner-file key is 30 characters");

/** The file's line for record, without its CR LF; nullopt when the code page cannot hold record. */
std::optional<QByteArray> encipher(QStringView record);

/** Whether record can be written so that it reads back as the one line it is. */
bool isStorable(QStringView record);

/**
 * The owner record the file holds: its first line, read whole up to CR LF
 * (commas, quotes, spaces and a lone CR or LF are part of it), deciphered.
 * nullopt when the file is missing or cannot be read.
 */
std::optional<QString> read(const QString &path = AppFolders::ownerPasswordFile());

/**
 * Replaces the file with the enciphered record, whole or not at all
 * (mode 0600), and lists it as hidden. A record that the code page cannot
 * hold, or whose enciphered line would hold CR LF, is refused and the old
 * file stays as it was.
 */
FileResult write(QStringView record, const QString &path = AppFolders::ownerPasswordFile());
} // namespace OwnerFile
