// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/FindWindow.h"

#include "common/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

FindWindow::FindWindow(QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(u"Find"_s);
    setSizeGripEnabled(false);
    FindText = new QLineEdit(this);
    FindText->setObjectName(u"FindText"_s);
    FindText->setClearButtonEnabled(true);
    FindStatus = new QLabel(this);
    FindStatus->setObjectName(u"FindStatus"_s);
    auto *layout = new QVBoxLayout(this);
    const int margin = Twips::toPixels(90);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(Twips::toPixels(45));
    layout->addWidget(FindText);
    layout->addWidget(FindStatus);
    FindText->setMinimumWidth(Twips::toPixels(3300));
    // The status line keeps its room, so the window does not change its height when it speaks.
    FindStatus->setMinimumHeight(FindStatus->fontMetrics().height());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FindText, &QLineEdit::returnPressed, this, &FindWindow::findNext);
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this, &FindWindow::findNext);
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this), &QShortcut::activated, this,
        &FindWindow::findPrevious);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, FindText,
        &QLineEdit::selectAll);
}

void FindWindow::showWithFocus()
{
    if (!m_placed) {
        adjustSize();
        placeBesideMainWindow();
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    FindText->setFocus(Qt::ShortcutFocusReason);
    FindText->selectAll();
}

void FindWindow::placeBesideMainWindow()
{
    const QWidget *main = parentWidget();
    const QScreen *screen = main->screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QRect beside = main->frameGeometry();
    // The window manager adds a frame round this window too; a guess of it keeps the two apart.
    const int frame = beside.width() - main->width();
    const QSize size = sizeHint() + QSize(frame, frame);
    const int gap = Twips::toPixels(60);
    QPoint at(beside.right() + 1 + gap, beside.top());
    if (at.x() + size.width() > room.right() + 1) {
        at.setX(beside.left() - gap - size.width());
        // No room on either side: over the right of the main window's toolbar, clear of its boxes and grid.
        if (at.x() < room.left())
            at = QPoint(beside.right() + 1 - size.width(), beside.top());
    }
    move(at);
}
