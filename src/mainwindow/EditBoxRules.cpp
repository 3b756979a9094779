// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/EditBoxRules.h"

#include "common/ProgramExit.h"
#include "mainwindow/InfoEdit.h"
#include "mainwindow/RecordCommands.h"

#include <QAction>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextDocument>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {
/** The box a letter moves the focus to after Alt; nullopt for any other key. */
std::optional<RecordLine::Field> focusTarget(int key)
{
    switch (key) {
    case Qt::Key_S:
        return RecordLine::Service;
    case Qt::Key_U:
        return RecordLine::Path;
    case Qt::Key_P:
        return RecordLine::Username;
    case Qt::Key_O:
        return RecordLine::Password;
    case Qt::Key_R:
        return RecordLine::Info;
    default:
        return std::nullopt;
    }
}
} // namespace

EditBoxRules::EditBoxRules(const Controls &controls, RecordCommands &commands)
    : QObject(controls.window)
    , m_ui(controls)
    , m_commands(commands)
{
    for (QWidget *box : m_ui.boxes.Text1)
        box->installEventFilter(this);
    m_ui.boxes.infoBox()->viewport()->installEventFilter(this);
}

bool EditBoxRules::eventFilter(QObject *watched, QEvent *event)
{
    const std::optional<RecordLine::Field> field = m_ui.boxes.fieldOf(watched);
    if (!field)
        return QObject::eventFilter(watched, event);
    const RecordLine::Field index = *field;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        if (claimsAlt(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::KeyPress:
        if (keyPressed(index, static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::KeyRelease:
        keyReleased(index, static_cast<QKeyEvent *>(event));
        break;
    case QEvent::FocusOut:
        // Whatever is released from now on was pressed here before the box lost the keyboard
        // (to a message box, a menu, another window): it lands elsewhere or counts for nothing.
        m_pressed[index].clear();
        break;
    case QEvent::MouseMove:
        Text1_MouseMove(index);
        break;
    case QEvent::ToolTip:
        if (index == RecordLine::Password) {
            showPasswordTip(static_cast<QHelpEvent *>(event)->globalPos());
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool EditBoxRules::claimsAlt(QKeyEvent *key)
{
    // Alt pressed in a box belongs to the box: released alone, it arms the letters that move
    // between the boxes instead of giving the keyboard to the menu bar. Alt held with a
    // letter still reaches the menu bar's access keys (Alt+F, Alt+E, Alt+P, Alt+H).
    if (key->key() != Qt::Key_Alt)
        return false;
    key->accept();
    return true;
}

bool EditBoxRules::keyPressed(RecordLine::Field index, const QKeyEvent *key)
{
    const bool moves = movesFocus(key);
    if (!key->isAutoRepeat()) {
        m_pressed[index].insert(key->key(), moves);
        if (key->key() == Qt::Key_Alt)
            m_altAlone = true;
        else if (key->modifiers().testFlag(Qt::AltModifier))
            m_altAlone = false;
    }
    // A letter that moves the focus is not typed into the box it leaves; its release moves
    // the focus whatever is released in between (Shift, say).
    return moves;
}

void EditBoxRules::keyReleased(RecordLine::Field index, const QKeyEvent *key)
{
    if (key->isAutoRepeat())
        return;
    const auto pressed = m_pressed[index].constFind(key->key());
    if (pressed == m_pressed[index].cend())
        return;
    const bool moves = pressed.value();
    m_pressed[index].erase(pressed);
    // Alt held for a chord (Alt+O) was no key of its own: it arms nothing, and ends
    // what an earlier Alt armed.
    if (key->key() == Qt::Key_Alt && !m_altAlone)
        AltReleased = 0;
    else
        Text1_KeyUp(index, key->key(), moves);
}

bool EditBoxRules::movesFocus(const QKeyEvent *key) const
{
    if (!focusTarget(key->key()))
        return false;
    const Qt::KeyboardModifiers held = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return held == Qt::AltModifier || (AltReleased == 1 && held == Qt::NoModifier);
}

void EditBoxRules::forgetPressedKeys()
{
    for (QHash<int, bool> &pressed : m_pressed)
        pressed.clear();
}

void EditBoxRules::Text1_KeyUp(RecordLine::Field index, int key, bool altWithKey)
{
    const Controls &ui = m_ui;
    if (key == Qt::Key_Control) {
        ui.mnuCapture->setChecked(true);
        return;
    }
    const std::optional<RecordLine::Field> target = focusTarget(key);
    if (target && (AltReleased == 1 || altWithKey)) {
        ui.boxes.Text1[*target]->setFocus();
        return;
    }
    AltReleased = key == Qt::Key_Alt ? 1 : 0;
    if (key == Qt::Key_Escape) {
        // Ends the program at once; the preferences are not written on this way out.
        m_ui.window->hide();
        ProgramExit::request();
        return;
    }
    if (index == RecordLine::Password && (key == Qt::Key_Return || key == Qt::Key_Enter)
        && !ui.boxes.text(RecordLine::Service).isEmpty() && !ui.boxes.text(RecordLine::Path).isEmpty()
        && !ui.boxes.text(RecordLine::Username).isEmpty()) {
        m_commands.AddRecord();
    }
}

void EditBoxRules::Text1_MouseMove(RecordLine::Field index)
{
    // The Username box never repeats its text; the Password box does (showPasswordTip), even while it
    // shows asterisks.
    if (index == RecordLine::Username || index == RecordLine::Password)
        return;
    m_ui.boxes.Text1[index]->setToolTip(tipText(m_ui.boxes.text(index)));
}

void EditBoxRules::showPasswordTip(const QPoint &at)
{
    // A widget's tooltip is its accessible description too, readable by any program on the session's
    // accessibility bus, and it would stay after the box is emptied: the password is shown only while
    // the tip is, and kept nowhere else.
    QWidget *box = m_ui.boxes.Text1[RecordLine::Password];
    const QString text = m_ui.boxes.text(RecordLine::Password);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(at, tipText(text), box);
}

QString EditBoxRules::tipText(const QString &text)
{
    // A tooltip that looks like markup would be drawn as markup; the box's text is shown as typed.
    return Qt::mightBeRichText(text) ? u"<qt>%1</qt>"_s.arg(text.toHtmlEscaped()) : text;
}
