// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ClipboardCommands.h"

#include "common/ClickLabel.h"
#include "common/Clipboard.h"
#include "common/ElidedLabel.h"
#include "common/WindowSystem.h"
#include "mainwindow/InfoEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace {
void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

/**
 * The clipboard's text as capture mode writes it into a box: a value copied with its line end
 * (a line of a file, a terminal's output) comes without it, since no field can hold one.
 */
QString capturedText()
{
    QString text = Clipboard::text();
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}
} // namespace

ClipboardCommands::ClipboardCommands(const Controls &controls)
    : QObject(controls.window)
    , m_ui(controls)
{
    const Controls &ui = m_ui;
    // What the user typed must show as typed, never as markup.
    ui.ClipStatLbl->setTextFormat(Qt::PlainText);

    connect(ui.fields.Label4, &ClickLabel::clicked, this, &ClipboardCommands::Label4_Click);
    connect(ui.fields.Label1, &ClickLabel::clicked, this, &ClipboardCommands::Label1_Click);
    connect(ui.fields.Label2, &ClickLabel::clicked, this, &ClipboardCommands::Label2_Click);
    connect(ui.fields.Label5, &ClickLabel::clicked, this, &ClipboardCommands::Label5_Click);
    connect(ui.mnuCopyToClip, &QAction::triggered, this, &ClipboardCommands::mnuCopyToClip_Click);
    connect(ui.mnuClearClip, &QAction::triggered, this, &ClipboardCommands::mnuClearClip_Click);
    connect(ui.Image3[0], &ClickLabel::clicked, this, [this] { Image3_Click(0); });
    connect(ui.Image3[1], &ClickLabel::clicked, this, [this] { Image3_Click(1); });
    connect(ui.mnuCapture, &QAction::triggered, this, &ClipboardCommands::mnuCapture_Click);
    // The toolbar button does what the menu entry does, check mark included.
    connect(ui.captureButton, &ClickLabel::clicked, ui.mnuCapture, &QAction::trigger);

    for (QWidget *box : ui.fields.boxes.Text1)
        box->installEventFilter(this);
    ui.fields.boxes.infoBox()->viewport()->installEventFilter(this);

    // The indicator and the copy follow the clipboard, changed by this program or any other. The copy runs
    // after the event that changed the clipboard, so a box that takes the focus is the target by then.
    QClipboard *clipboard = QGuiApplication::clipboard();
    connect(clipboard, &QClipboard::dataChanged, this, &ClipboardCommands::clipboardChanged);
    connect(clipboard, &QClipboard::dataChanged, this, &ClipboardCommands::copyTick, Qt::QueuedConnection);
    showIndicator();
}

void ClipboardCommands::Label4_Click()
{
    const QString text = m_ui.fields.boxes.text(RecordLine::Service);
    if (text.isEmpty())
        return;
    Clipboard::setText(text);
    setStatus(m_ui.fields.Label4->text() + u": "_s + text);
}

void ClipboardCommands::Label1_Click()
{
    const QString text = m_ui.fields.boxes.text(RecordLine::Username);
    if (text.isEmpty())
        return;
    Clipboard::setText(text);
    setStatus(m_ui.fields.Label1->text() + u": "_s + text);
    markCopied(m_ui.fields.Label1);
}

void ClipboardCommands::Label2_Click()
{
    Controls &ui = m_ui;
    const QString text = ui.fields.boxes.text(RecordLine::Password);
    if (text.isEmpty())
        return;
    // The box holds the real password even while it shows asterisks; clipboard histories leave it out.
    Clipboard::setSecretText(text);
    if (ui.Check1->isChecked())
        setStatus(ui.fields.Label2->text() + u" is Hidden (not shown)"_s);
    else
        setStatus(ui.fields.Label2->text() + u": "_s + text);
    markCopied(ui.fields.Label2);
}

void ClipboardCommands::Label5_Click()
{
    const QString path = m_ui.fields.boxes.text(RecordLine::Path);
    if (path.isEmpty() || !path.contains(u'.'))
        return;
    markCopied(m_ui.fields.Label5);
    m_ui.TmnuUrl->popup(QCursor::pos());
}

void ClipboardCommands::mnuCopyToClip_Click()
{
    const QString path = m_ui.fields.boxes.text(RecordLine::Path);
    emptyClipboard();
    Clipboard::setText(path);
    setStatus(u"Path set to: "_s + path);
}

void ClipboardCommands::mnuClearClip_Click()
{
    emptyClipboard();
}

void ClipboardCommands::Image3_Click(int index)
{
    if (index != 1) // Image3(1): the clipboard holds text
        return;
    emptyClipboard();
    setStatus(u"Nothing"_s);
    markCopied(nullptr);
}

void ClipboardCommands::mnuCapture_Click()
{
    // A checkable entry: Qt has flipped the check mark before this runs, so it shows the state after the click.
    if (m_ui.mnuCapture->isChecked()) {
        emptyForNewTarget();
        m_copyRunning = true;
        copyTick();
    } else {
        stopCopy();
    }
}

void ClipboardCommands::stopCopy()
{
    m_copyRunning = false;
}

void ClipboardCommands::forget()
{
    if (m_ui.mnuCapture->isChecked()) {
        stopCopy();
        m_ui.mnuCapture->setChecked(false);
    }
    m_heldAtTarget.reset();
    m_changePending = false;
    Clipboard::clearOwnValue();
    setStatus(QString());
    markCopied(nullptr);
    showIndicator();
}

void ClipboardCommands::showIndicator()
{
    const bool holdsText = !Clipboard::text().isEmpty();
    m_ui.Image3[1]->setVisible(holdsText);
    m_ui.Image3[0]->setVisible(!holdsText);
}

void ClipboardCommands::clipboardChanged()
{
    m_changePending = true;
    // An emptiness Corvane made counts, and one that came while it was the active program. Native Wayland
    // reports an empty clipboard whenever Corvane's windows lose the keyboard, before Qt has told them so: there
    // an emptiness Corvane did not make says nothing about the clipboard.
    m_emptyCounts = m_emptying || (!WindowSystem::isNativeWayland() && QApplication::activeWindow());
    showIndicator();
}

void ClipboardCommands::copyTick()
{
    m_changePending = false;
    if (!m_copyRunning)
        return;
    const std::optional<QString> text = newCopy();
    if (text && m_ui.fields.boxes.text(Indice) != *text)
        m_ui.fields.boxes.setText(Indice, *text);
}

std::optional<QString> ClipboardCommands::newCopy()
{
    const QString text = capturedText();
    if (text.isEmpty()) {
        // Native Wayland shows a program an empty clipboard while none of its windows is active, and an X11
        // clipboard empties when the program that copied ends: neither empties a box the user is not looking at.
        if (!m_emptyCounts)
            return std::nullopt;
        return text;
    }
    // A clipboard manager puts its last text back as soon as the clipboard is emptied: that is no new copy.
    if (m_heldAtTarget && text == *m_heldAtTarget)
        return std::nullopt;
    m_heldAtTarget.reset();
    return text;
}

void ClipboardCommands::emptyForNewTarget()
{
    m_heldAtTarget = capturedText();
    emptyClipboard();
}

void ClipboardCommands::emptyClipboard()
{
    // The clipboard tells of the change at once, while the mark is set.
    m_emptying = true;
    Clipboard::clear();
    m_emptying = false;
    // Emptying a clipboard that holds no text tells of no change: the emptiness is Corvane's all the same.
    m_emptyCounts = true;
}

bool ClipboardCommands::eventFilter(QObject *watched, QEvent *event)
{
    const Controls &ui = m_ui;
    const std::optional<RecordLine::Field> field = ui.fields.boxes.fieldOf(watched);
    if (!field)
        return false;
    const RecordLine::Field index = *field;
    const bool capturing = ui.mnuCapture->isChecked();
    if (event->type() == QEvent::FocusIn && watched != ui.fields.boxes.infoBox()->viewport()) {
        const bool comingBack = leftForAWhile(static_cast<QFocusEvent *>(event)->reason()) && m_focusedBox == index;
        m_focusedBox = index;
        // Coming back from another program (or from a menu) to the box the user was in is no move between the
        // boxes: the text just copied there must stay on the clipboard. A click into another box that brings the
        // window back is one, though the focus comes with the window (XWayland under sway gives it that way).
        if (capturing && !comingBack)
            Text1_GotFocus(index);
    } else if (event->type() == QEvent::FocusOut && watched != ui.fields.boxes.infoBox()->viewport()) {
        if (!leftForAWhile(static_cast<QFocusEvent *>(event)->reason()))
            m_focusedBox.reset();
    } else if (capturing && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint()))
            Text1_Click(index);
    }
    return false;
}

void ClipboardCommands::Text1_GotFocus(RecordLine::Field index)
{
    // What was copied while Corvane was inactive may reach it only now (native Wayland and XWayland show it no
    // sooner): it belongs to the box that was the target, before the clipboard is emptied for the next one.
    if (m_changePending)
        copyTick();
    emptyForNewTarget();
    Indice = index;
    // The copy writes the emptied clipboard into the new target at once: emptying a clipboard that held no text
    // tells of no change.
    copyTick();
}

void ClipboardCommands::Text1_Click(RecordLine::Field index)
{
    const QString text = capturedText();
    m_ui.fields.boxes.setText(index, m_heldAtTarget && text == *m_heldAtTarget ? QString() : text);
    m_ui.fields.boxes.caretToEnd(index);
}

void ClipboardCommands::setStatus(const QString &status)
{
    m_ui.ClipStatLbl->setText(status);
    // The panel is narrow: a longer status is drawn cut short, the whole of it in the tooltip.
    m_ui.ClipStatLbl->fitText(m_ui.Picture1->contentsRect().right());
}

void ClipboardCommands::markCopied(ClickLabel *label)
{
    for (ClickLabel *each : { m_ui.fields.Label1, m_ui.fields.Label2, m_ui.fields.Label5 })
        setTextColour(each, each == label ? kCopiedColour : kPlainColour);
}
