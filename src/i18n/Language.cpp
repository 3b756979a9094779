// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/Language.h"

#include "common/AppFolders.h"
#include "i18n/LanguageFiles.h"

namespace {
QString current = Language::English;
QStringList table;
} // namespace

namespace Language {

QString CurrentLanguage()
{
    return current;
}

void setCurrentLanguage(const QString &name)
{
    current = name;
    table = isEnglish() ? QStringList() : LanguageFiles::readTable(LanguageFiles::languageFile(name));
}

bool isEnglish()
{
    return current == English;
}

QString entry(Entry entry)
{
    const auto index = static_cast<qsizetype>(entry);
    return index >= 0 && index < table.size() ? table.at(index) : QString();
}

const QStringList &entries()
{
    return table;
}

QString text(Entry entry, const QString &english)
{
    return isEnglish() ? english : Language::entry(entry);
}

} // namespace Language
