// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * The file operations every part of the program writes through. Files the
 * program creates are mode 0600, folders 0700, whatever the umask says; an
 * old file it writes (one copied in by hand) is made 0600 too, whether the
 * write succeeds or fails.
 */
namespace SafeFile {
/**
 * Replaces the file at path with content, whole or not at all: the content
 * goes to a new file beside it (mode 0600), which is synced to disk and then
 * put in place of the old one, and the folder is synced after that. On any
 * failure, a failed sync of the new file among them, the old file is left
 * exactly as it was. Once the new file is in place the write has happened: a
 * folder sync that still fails after two more tries makes it a success with
 * a warning.
 */
FileResult writeWhole(const QString &path, QByteArrayView content);

/**
 * Appends content to the file at path, creating it when missing, and syncs
 * it. A failed write cuts the file back to its old length, so no half line
 * is left behind.
 */
FileResult append(const QString &path, QByteArrayView content);

/**
 * Creates a new file at path holding content. An existing file or link at
 * path is an error: nothing is ever written through a link. A folder sync
 * that fails once the file is there is a warning.
 */
FileResult createNew(const QString &path, QByteArrayView content);

/** The whole content of the file; nullopt (with the reason in error) when it cannot be read. */
std::optional<QByteArray> readAll(const QString &path, QString *error = nullptr);

/** Deletes the file; a missing file is no error. A folder sync that fails afterwards is a warning. */
FileResult remove(const QString &path);

/**
 * Renames from to to, replacing to, in one step; a failure leaves both as they
 * were. A folder sync that fails afterwards is a warning.
 */
FileResult rename(const QString &from, const QString &to);

/**
 * Removes the copies that a write killed half-way leaves in folder: a file
 * named after one of names followed by a dot and six letters or digits (as
 * userDB.pdb.Ab3xYz). Only while no other copy of the program can be writing
 * there. Returns how many were removed.
 */
int removeTemporaryCopies(const QString &folder, const QStringList &names);

/** Creates folder (mode 0700) when missing; refuses a link or a folder another user owns. */
FileResult makePrivateFolder(const QString &folder);

/** Syncs the folder's entries to disk, after a file in it was created, renamed or removed. */
FileResult syncFolder(const QString &folder);
} // namespace SafeFile
