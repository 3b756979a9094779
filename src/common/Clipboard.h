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
} // namespace Clipboard
