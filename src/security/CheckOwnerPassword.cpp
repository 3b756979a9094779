// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/CheckOwnerPassword.h"

#include "common/Clock.h"
#include "common/Messages.h"
#include "common/ProgramExit.h"
#include "common/Twips.h"
#include "security/Ask4Pass.h"
#include "security/OwnerCheck.h"
#include "security/Securfrm.h"
#include "security/SecuritySettings.h"
#include "store/Database.h"

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

using namespace Qt::StringLiterals;

bool askOwner(OwnerState &state, const QString &password)
{
    QPointer<Ask4Pass> dialog = new Ask4Pass(state);
    dialog->setExpectedPassword(password);
    // Until the owner is in, no other window of the program takes a click or a key.
    dialog->setWindowModality(Qt::ApplicationModal);

    QEventLoop wait;
    QObject::connect(dialog, &Ask4Pass::authenticated, &wait, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &wait, &QEventLoop::quit);
    QObject::connect(&ProgramExit::instance(), &ProgramExit::requested, &wait, &QEventLoop::quit);
    centerWindow(dialog);
    dialog->show();
    dialog->focusPassword();
    if (!state.isAuthenticated() && !ProgramExit::isRequested())
        wait.exec();

    if (ProgramExit::isRequested())
        return false;
    if (!state.isAuthenticated()) {
        // The window went away without an answer: nobody is let in.
        if (dialog)
            dialog->deleteLater();
        ProgramExit::request(ExitStatus::OwnerRefused);
        return false;
    }
    return true;
}

void CheckOwnerPassword(OwnerState &state, bool prompt, const OwnerCheckHooks &hooks)
{
    const OwnerCheckOutcome found = readOwnerPassword(state, prompt);
    if (found.askOwner) {
        if (!askOwner(state, found.password))
            return;
    }
    // The start finishes or undoes a level change that was cut off, before anything reads the database.
    if (prompt && hooks.database) {
        const FileResult settled = SecuritySettings::settleAtStart(state, *hooks.database);
        if (hooks.settled)
            hooks.settled(settled);
    }
    if (!found.askOwner)
        return;

    if (hooks.mainWindow)
        hooks.mainWindow->show();

    const ExpiryNotice notice = expiryNotice(found.expiry, Clock::current().date());
    if (notice != ExpiryNotice::None) {
        QPointer<Securfrm> dialog = hooks.securityDialog ? hooks.securityDialog() : nullptr;
        if (dialog)
            dialog->setPassword(found.password);
        showMessage(hooks.mainWindow, MessageIcon::None, u"Corvane Notification"_s, noticeText(notice));
        if (dialog && !ProgramExit::isRequested())
            dialog->show();
    }

    if (state.Reach == Level::ProgramAndDatabase && hooks.database && !ProgramExit::isRequested()) {
        const FileResult deciphered = hooks.database->DecryptDBToTemp(state.GoodPass);
        if (!deciphered)
            showMessage(hooks.mainWindow, MessageIcon::Critical, u"Error - i67"_s,
                u"The database seem to be corrupt or it does not exist."_s);
        else if (!deciphered.warning.isEmpty() && hooks.settled)
            hooks.settled(deciphered);
    }
}
