// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Messages.h"

#include <QMessageBox>

namespace {
class MessageBoxes final : public Messages
{
public:
    MessageAnswer show(
        QWidget *parent, MessageIcon icon, const QString &title, const QString &text, MessageButtons buttons) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        box.setText(text);
        switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        }
        switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        default:
            // Escape or the close control: the safe answer of each kind of box.
            return buttons == MessageButtons::YesNo   ? MessageAnswer::No
                : buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel
                                                      : MessageAnswer::Ok;
        }
    }
};

MessageBoxes messageBoxes;
Messages *installed = nullptr;
} // namespace

Messages &Messages::instance()
{
    return installed ? *installed : messageBoxes;
}

void Messages::install(Messages *messages)
{
    installed = messages;
}
