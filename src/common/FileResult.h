// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/** What a file operation did: success, or failure with a text for the user or the log. */
struct FileResult
{
    bool ok = true;
    QString error;

    static FileResult success() { return {}; }
    static FileResult failure(QString why) { return { false, std::move(why) }; }
    explicit operator bool() const { return ok; }
};
