// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/AppFolders.h"
#include "common/FileResult.h"

#include <QDateTime>
#include <QStringList>

#include <array>

/**
 * The block appended to Corvane.log after a failed owner authentication:
 * the date and time and the three texts typed, as they were typed.
 */
namespace IntrusionReport {
/** What was typed at attempts 1 to 3; entry 0 is not used. */
using Attempts = std::array<QString, 4>;

/** The ten lines of one report made at when. */
QStringList lines(const Attempts &attempts, const QDateTime &when);

/** Appends the report dated now (clock seam) to the log, creating it with mode 0600 when missing. */
FileResult WriteIntrusionReport(const Attempts &attempts, const QString &path = AppFolders::intrusionLog());
} // namespace IntrusionReport
