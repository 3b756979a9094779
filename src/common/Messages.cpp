// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Messages.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QStyle>

namespace {
/** Title bar buttons (window menu, minimize, maximize, close) as a window manager draws them, in title bar heights. */
constexpr int kTitleButtons = 5;

/**
 * A window manager writes the title in its title bar, in a bolder and often larger print than the program's, beside
 * its buttons: a box with a short text is made wide enough for that, so its title is not cut.
 */
void keepTitleWhole(QMessageBox &box, const QString &title)
{
    QFont print = box.font();
    print.setBold(true);
    print.setPointSizeF(qMax(print.pointSizeF(), 10.0));
    const int buttons = kTitleButtons * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int needed = QFontMetrics(print).horizontalAdvance(title) + buttons;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
            grid->columnCount());
}

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
        // Last: setting the icon lays the box out anew.
        keepTitleWhole(box, title);
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
