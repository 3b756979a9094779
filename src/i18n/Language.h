// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/LanguageEntry.h"

#include <QString>
#include <QStringList>

/**
 * The current language and its table of texts. Windows show their English
 * texts unless the current language is something else, in which case a
 * fixed set of them comes from the table by index.
 */
namespace Language {
using namespace Qt::StringLiterals;
inline const QString English = u"English"_s;

/**
 * CurrentLanguage: "English" from the start of every run until the language dialog changes it.
 * The windows only ask isEnglish(); the name itself is for the language dialog's tests and
 * whoever enables that dialog.
 */
QString CurrentLanguage();

/**
 * Makes name the current language and fills the table from its language
 * file (an empty table when there is none). Compared exactly: any name
 * other than "English", even an empty one, means the table is used.
 */
void setCurrentLanguage(const QString &name);

/** Whether CurrentLanguage() is exactly "English". */
bool isEnglish();

/** The entry of the table; empty for one the table does not hold. */
QString entry(Entry entry);
/** All entries, in index order. */
const QStringList &entries();

/**
 * What a window or message shows: english while the language is English,
 * else the entry of the table.
 */
QString text(Entry entry, const QString &english);
} // namespace Language
