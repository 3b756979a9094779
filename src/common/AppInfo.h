// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Version.h"

#include <QString>

/** Texts that name the program itself. */
namespace AppInfo {
using namespace Qt::StringLiterals;

/** The application title: message box titles, the intrusion report, the log file's name. */
inline const QString title = u"Corvane"_s;
/** The program's version, as the package and --version give it ("1.0.0"). */
inline const QString version = QStringLiteral(CORVANE_VERSION);
/** The version line of the splash window, which stays as it always was whatever the version. */
inline const QString versionLine = u"v1.0 - 05/2002"_s;
/** Our own web page; a reserved example domain until the project has a home. */
inline const QString webPage = u"https://corvane.example/"_s;
} // namespace AppInfo
