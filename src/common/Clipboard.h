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
 * Empties the clipboard of a value Corvane put there, while it still holds
 * it: what Corvane still serves becomes an empty text, and a text that is the
 * one Corvane last put there with setText() or setSecretText() (a clipboard
 * manager took it over) is replaced by an empty one. A text another program
 * copied since stays. True when it emptied the clipboard.
 */
bool clearOwnValue();
} // namespace Clipboard
