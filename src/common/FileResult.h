// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/**
 * What a file operation did: success, or failure with a text for the user or
 * the log. A failure always means the files are still as they were. A
 * success can carry a warning: the change is made and stays made, but it did
 * not end cleanly (its folder could not be synced to disk, an old file could
 * not be removed); the user is told, and nothing is undone.
 */
struct [[nodiscard]] FileResult
{
    bool ok = true;
    QString error;
    QString warning;

    static FileResult success() { return {}; }
    static FileResult failure(QString why) { return { false, std::move(why), {} }; }
    static FileResult warned(QString why) { return { true, {}, std::move(why) }; }
    explicit operator bool() const { return ok; }

    /**
     * Adds other's warning to this one's (a success that was made of several steps). A text told
     * already is not told twice (a deciphered copy made and removed in a folder that cannot be synced).
     */
    FileResult &addWarning(const FileResult &other)
    {
        const QString told = u'\n' + warning + u'\n';
        if (other.warning.isEmpty() || told.contains(QString(u'\n' + other.warning + u'\n')))
            return *this;
        warning = warning.isEmpty() ? other.warning : warning + u'\n' + other.warning;
        return *this;
    }
};
