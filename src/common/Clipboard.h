// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/** The system clipboard in plain-text form. */
namespace Clipboard {
QString text();
void setText(const QString &text);
/**
 * Puts a password on the clipboard: the plain text as setText() does, plus the
 * entry "x-kde-passwordManagerHint" = "secret", which clipboard managers honour
 * by keeping it out of their history.
 */
void setSecretText(const QString &text);
void clear();
/**
 * Empties the clipboard when it still holds a value Corvane put there: Corvane
 * still owns the clipboard, or its text is the one Corvane last put there with
 * setText() or setSecretText() (a clipboard manager took it over). A text
 * another program copied since stays. True when it emptied the clipboard.
 */
bool clearOwnValue();
} // namespace Clipboard
