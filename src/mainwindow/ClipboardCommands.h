// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/FieldControls.h"
#include "store/RecordLine.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

class ClickLabel;
class ElidedLabel;
class QAction;
class QCheckBox;
class QFrame;
class QMenu;

/**
 * The main window's clipboard traffic: the field labels that copy their box,
 * the status panel that says what was copied, the indicator that shows
 * whether the clipboard holds text, the commands that empty it, and capture
 * mode, which fills the edit boxes from what the user copies elsewhere.
 */
class ClipboardCommands : public QObject
{
    Q_OBJECT

public:
    /** The colour of the label whose field was copied last, and of the others. */
    static inline const QColor kCopiedColour { 0, 0, 255 };
    static inline const QColor kPlainColour { 0, 0, 0 };

    /** What of the main window the clipboard traffic uses. */
    struct Controls
    {
        QWidget *window; ///< the parent of this object
        FieldControls fields;
        QCheckBox *Check1;
        QFrame *Picture1;
        ElidedLabel *ClipStatLbl;
        std::array<ClickLabel *, 2> Image3;
        ClickLabel *captureButton; ///< Image1(6)
        QAction *mnuCapture;
        QAction *mnuClearClip;
        QMenu *TmnuUrl;
        QAction *mnuCopyToClip;
    };

    explicit ClipboardCommands(const Controls &controls);

    /** The box capture mode writes the clipboard into (Indice). Only the tests ask for it. */
    RecordLine::Field captureTarget() const { return Indice; }
    /** Whether capture mode's copy runs: each change of the clipboard is written into the target box. */
    bool copyRunning() const { return m_copyRunning; }

    void Label4_Click(); ///< Service
    void Label1_Click(); ///< Username
    void Label2_Click(); ///< Password
    void Label5_Click(); ///< Path: opens the pop-up menu
    void mnuCopyToClip_Click();
    void mnuClearClip_Click();
    void Image3_Click(int index);
    /** "&Capture", after its check mark has flipped: on empties the clipboard and starts the copy; off stops it. */
    void mnuCapture_Click();
    /** Stops capture mode's copy; the check mark stays as it is. */
    void stopCopy();
    /**
     * Forgets what was copied: capture mode ends, a value Corvane put on the clipboard is taken off it if the
     * clipboard still holds it, and the status says nothing.
     */
    void forget();

    /** Shows Image3(1) while the clipboard holds text, Image3(0) while it holds none. */
    void showIndicator();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /** Whether the focus goes to (or comes from) another program's window or a menu, not to another control. */
    static bool leftForAWhile(Qt::FocusReason reason)
    {
        return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    }
    void Text1_GotFocus(RecordLine::Field index);
    void Text1_Click(RecordLine::Field index);
    void clipboardChanged();
    void copyTick();
    /** Makes the clipboard's text the one a new target must not take, then empties the clipboard. */
    void emptyForNewTarget();
    /** Empties the clipboard: an emptiness of Corvane's own, which empties the target. */
    void emptyClipboard();
    /**
     * The clipboard's text if it is a copy capture mode takes: not the text the clipboard held when the target
     * was chosen (a clipboard manager puts it back), and not an emptiness seen while Corvane was inactive.
     */
    std::optional<QString> newCopy();
    void setStatus(const QString &status);
    /** Colours label blue and the other two of Username, Password and Path black (nullptr: all black). */
    void markCopied(ClickLabel *label);

    Controls m_ui;
    /** The box capture mode writes the clipboard into. */
    RecordLine::Field Indice = RecordLine::Service;
    bool m_copyRunning = false;
    /** What the clipboard held when the target was chosen, until another text arrives. */
    std::optional<QString> m_heldAtTarget;
    /** A change of the clipboard that the copy has not looked at yet. */
    bool m_changePending = false;
    /** Corvane itself is emptying the clipboard. */
    bool m_emptying = false;
    /** Whether the clipboard's last change, if it emptied the clipboard, empties the target. */
    bool m_emptyCounts = true;
    /** The box the keyboard focus is in, or was in when another window or a menu took it. */
    std::optional<RecordLine::Field> m_focusedBox;
};
