// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditBoxRules.h"

#include "InfoEdit.h"
#include "ProgramExit.h"
#include "RecordCommands.h"
#include "mainScr.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextDocument>

using namespace Qt::StringLiterals;

EditBoxRules::EditBoxRules(mainScr &window)
    : QObject(&window)
    , m_window(window)
{
    for (QWidget *box : window.ui.Text1)
        box->installEventFilter(this);
    window.ui.infoBox()->viewport()->installEventFilter(this);
}

bool EditBoxRules::eventFilter(QObject *watched, QEvent *event)
{
    const mainScrControls &ui = m_window.ui;
    const int index = watched == ui.infoBox()->viewport() ? 4 : ui.indexOf(watched);
    if (index >= 0) {
        if (event->type() == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (!key->isAutoRepeat())
                Text1_KeyUp(index, key->key());
        } else if (event->type() == QEvent::MouseMove) {
            Text1_MouseMove(index);
        }
    }
    return QObject::eventFilter(watched, event);
}

void EditBoxRules::Text1_KeyUp(int index, int key)
{
    mainScrControls &ui = m_window.ui;
    if (key == Qt::Key_Control) {
        ui.mnuCapture->setChecked(true);
        return;
    }
    if (AltReleased == 1) {
        int target = -1;
        switch (key) {
        case Qt::Key_S:
            target = 0;
            break;
        case Qt::Key_U:
            target = 1;
            break;
        case Qt::Key_P:
            target = 2;
            break;
        case Qt::Key_O:
            target = 3;
            break;
        case Qt::Key_R:
            target = 4;
            break;
        default:
            break;
        }
        if (target >= 0) {
            ui.Text1[target]->setFocus();
            return;
        }
    }
    AltReleased = key == Qt::Key_Alt ? 1 : 0;
    if (key == Qt::Key_Escape) {
        // Ends the program at once; the preferences are not written on this way out.
        m_window.hide();
        ProgramExit::request();
        return;
    }
    if (index == 3 && (key == Qt::Key_Return || key == Qt::Key_Enter) && !ui.text(0).isEmpty() && !ui.text(1).isEmpty()
        && !ui.text(2).isEmpty()) {
        m_window.commands().AddRecord();
    }
}

void EditBoxRules::Text1_MouseMove(int index)
{
    // The Username box never repeats its text; the Password box does, even while it shows asterisks.
    if (index == 2)
        return;
    // A tooltip that looks like markup would be drawn as markup; the box's text is shown as typed.
    const QString text = m_window.ui.text(index);
    m_window.ui.Text1[index]->setToolTip(Qt::mightBeRichText(text) ? u"<qt>%1</qt>"_s.arg(text.toHtmlEscaped()) : text);
}
