// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

enum class MessageIcon { None, Information, Critical };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

/**
 * Every message box of the program goes through here, so that tests can
 * read what was shown and give the answer.
 */
class Messages
{
public:
    virtual ~Messages() = default;
    virtual MessageAnswer show(
        QWidget *parent, MessageIcon icon, const QString &title, const QString &text, MessageButtons buttons)
        = 0;

    static Messages &instance();
    /** Installs messages (not owned); nullptr brings the real message boxes back. */
    static void install(Messages *messages);
};

/** Shows a modal message box and returns the button the user chose. */
inline MessageAnswer showMessage(QWidget *parent, MessageIcon icon, const QString &title, const QString &text,
    MessageButtons buttons = MessageButtons::Ok)
{
    return Messages::instance().show(parent, icon, title, text, buttons);
}
