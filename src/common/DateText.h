// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

/** Dates and times as every file and caption of the program writes them. */
namespace DateText {
/** "mm-dd-yyyy", for example 05-17-2002. */
QString date(QDate date);
/** "hh:mm:ss" on the 24-hour clock, for example 14:03:59. */
QString time(QTime time);
/** Today's date from the clock seam, as date() writes it. */
QString today();
/** Reads "mm-dd-yyyy"; nullopt for anything that is not a real calendar date in that form. */
std::optional<QDate> parseDate(QStringView text);
} // namespace DateText
