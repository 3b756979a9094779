// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/Ask4Pass.h"

#include "common/Messages.h"
#include "common/ProgramExit.h"
#include "common/Twips.h"
#include "i18n/Language.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

Ask4Pass::Ask4Pass(OwnerState &state, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_state(state)
{
    setObjectName(u"Ask4Pass"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    // It closes before the main window is shown: that must not count as the
    // program's last window closing. Failing and giving up end the program
    // through ProgramExit instead.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(u"Owner Authentication"_s);

    Label1 = new QLabel(u"Password"_s, this);
    Label1->setObjectName(u"Label1"_s);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(u"Text1"_s);
    Text1->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(Text1);
    Command2 = new QPushButton(u"Ok"_s, this);
    Command2->setObjectName(u"Command2"_s);
    Command1 = new QPushButton(u"Cancel"_s, this);
    Command1->setObjectName(u"Command1"_s);
    // One Enter is one attempt, handled on its release: no button may take it as well.
    for (QPushButton *button : { Command2, Command1 }) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    place(Label1, 120, 195, 960, 240);
    place(Text1, 1140, 150, 3180, 330);
    place(Command2, 2040, 660, 1080, 390);
    place(Command1, 3240, 660, 1080, 390);
    setFixedSize(Twips::toPixels(4440), Twips::toPixels(1170));

    connect(Command2, &QPushButton::clicked, this, &Ask4Pass::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Ask4Pass::Command1_Click);
    Text1->installEventFilter(this);

    Form_Load();
}

void Ask4Pass::focusPassword()
{
    activateWindow();
    Text1->setFocus(Qt::OtherFocusReason);
}

void Ask4Pass::Form_Load()
{
    // Asked, the owner is not in until the right password is typed.
    m_state.auth = u"auth"_s;
    AttemptNo = 1;
    Attempts = {};
    if (!Language::isEnglish())
        ApplyLanguage();
}

void Ask4Pass::ApplyLanguage()
{
    using Language::Entry;
    setWindowTitle(Language::entry(Entry::OwnerTitle));
    Label1->setText(Language::entry(Entry::PathLabel));
    Command2->setText(Language::entry(Entry::OwnerOkButton));
}

void Ask4Pass::Command2_Click()
{
    const QString typed = Text1->text();
    Attempts[AttemptNo] = typed;
    const bool right = typed == Label2;
    if (!right && AttemptNo >= 3) {
        showMessage(this, MessageIcon::Critical, u"Access Error"_s, u"You are not allowed to use this application"_s);
        WriteIntrusionReport();
        unload();
        ProgramExit::request(ExitStatus::OwnerRefused);
        return;
    }
    if (!right) {
        ++AttemptNo;
        Text1->clear();
        return;
    }
    m_state.auth = u"Ok"_s;
    m_state.GoodPass = Label2;
    unload();
    Q_EMIT authenticated();
}

void Ask4Pass::Command1_Click()
{
    WriteIntrusionReport();
    unload();
    ProgramExit::request(ExitStatus::OwnerRefused);
}

void Ask4Pass::Text1_KeyUp(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        Command2_Click();
}

void Ask4Pass::WriteIntrusionReport()
{
    // A report that cannot be written is passed over; the program ends all the same.
    static_cast<void>(IntrusionReport::WriteIntrusionReport(Attempts));
}

void Ask4Pass::unload()
{
    m_unloading = true;
    close();
}

void Ask4Pass::closeEvent(QCloseEvent *event)
{
    // The close control gives up as Cancel does, so the start-up never waits for ever.
    if (!m_unloading) {
        m_unloading = true;
        WriteIntrusionReport();
        ProgramExit::request(ExitStatus::OwnerRefused);
    }
    event->accept();
}

void Ask4Pass::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // Escape does nothing here
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Ask4Pass::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !key->isAutoRepeat()) {
            // Only an Enter pressed in the box counts, not the release of one that closed a message box.
            if (event->type() == QEvent::KeyPress) {
                m_enterDown = true;
            } else if (m_enterDown) {
                m_enterDown = false;
                Text1_KeyUp(key->key());
            }
            return true;
        }
        if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
            Text1_KeyUp(key->key());
    }
    return QWidget::eventFilter(watched, event);
}
