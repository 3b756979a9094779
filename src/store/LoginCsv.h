// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/RecordList.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

/**
 * Logins in and out as CSV. Imports read the exports of Firefox, Chrome and
 * Chromium, KeePassXC, Bitwarden and Corvane's own, each known by its first
 * line (the column names); exports are written in KeePassXC's columns, which
 * the other programs import.
 */
namespace LoginCsv {
/** A row that cannot become a record. */
struct Rejected
{
    int line = 0; ///< the line of the file the row starts on
    QString reason;

    friend bool operator==(const Rejected &, const Rejected &) = default;
};

/** What an import would do, worked out before anything is written. */
struct ImportPlan
{
    QString source; ///< the program whose export the file is
    QStringList lines; ///< the new record lines, in the file's order
    int alreadyThere = 0; ///< rows whose Service, Path, Username and Password a record (or an earlier row) has
    QList<Rejected> rejected;
};

struct [[nodiscard]] PlanResult
{
    std::optional<ImportPlan> plan;
    QString error; ///< why the file cannot be imported at all, when there is no plan
};

/** Why a record line cannot be stored (at Level::ProgramAndDatabase, under the owner password); empty when it can. */
using LineCheck = std::function<QString(const QString &line)>;

/**
 * The import of content, a CSV file in UTF-8 (with or without a byte order
 * mark), into the records of existing. Service is the title or name, else the
 * host of the web address; Path the web address; Info the notes, each line
 * break in them written " / ". New records are dated now, those of Corvane's
 * own export keep their date. A row is rejected, with its line and the
 * reason, when it lacks a Service, Username or Password or holds what a
 * record cannot (":!", a line break, a character the file's code page
 * lacks), or when check refuses its line. A file that is not well-formed,
 * not one of the known exports, or without rows gives no plan but an error.
 */
PlanResult planImport(QByteArrayView content, const RecordList &existing, const LineCheck &check = {});

/**
 * Every record as CSV in UTF-8, lines ended by CR LF, every field quoted:
 * Group ("Corvane"), Title (Service), Username, Password, URL (Path), Notes
 * (Info) and Last Modified (the record date).
 */
QByteArray exportRecords(const RecordList &records);
} // namespace LoginCsv
