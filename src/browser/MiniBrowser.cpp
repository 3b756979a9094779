// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/MiniBrowser.h"

#include "browser/BrowserFrame.h"
#include "browser/ElidedButton.h"
#include "browser/LoadWatcher.h"
#include "browser/MouseEvents.h"
#include "common/Clipboard.h"
#include "common/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {
const QString kUsernameCaption = u"Username"_s;
const QString kPasswordCaption = u"Password"_s;
const QString kDone = u"Done"_s;

/** A value shown on a button: an "&" stays an "&" instead of marking a shortcut key. */
QString buttonCaption(QString value)
{
    return value.replace(u'&', u"&&"_s);
}

template <typename Button = QPushButton>
Button *makeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new Button(caption, parent);
    button->setObjectName(name);
    // Reached with Tab only, and then Return clicks it as Space does.
    button->setAutoDefault(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
} // namespace

MiniBrowser::MiniBrowser(MainWindowBoxes boxes, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_boxes(std::move(boxes))
{
    setObjectName(u"MiniBrowser"_s);
    setWindowTitle(u"CorvoBrowser"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    Timer1 = new LoadWatcher(this);
    Timer1->setObjectName(u"Timer1"_s);

    buildBar();
    m_frame = new BrowserFrame(this, { .Label3 = Label3, .Text1 = Text1, .PictureBar = PictureBar });
    WebBrowser1 = new QWebEngineView(m_frame->pageFrame());
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    m_frame->finishBuilding(WebBrowser1);

    connectHandlers();
    Form_Load();
}

MiniBrowser::~MiniBrowser() = default;

bool MiniBrowser::isBusy() const
{
    return Timer1->isBusy();
}

void MiniBrowser::setPathBox(const QString &text)
{
    Text1->setText(text);
}

void MiniBrowser::whenIdleOrClosed(QObject *context, std::function<void()> done)
{
    connect(Timer1, &LoadWatcher::idle, context, done);
    connect(this, &MiniBrowser::closed, context, std::move(done));
}

void MiniBrowser::buildBar()
{
    Label3 = new QLabel(u"Path:"_s, this);
    Label3->setObjectName(u"Label3"_s);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(u"Text1"_s);
    // The box shows the address the main window sent; the page follows the
    // main window's Path box, so typing here would change nothing.
    Text1->setReadOnly(true);
    // Not in the tab chain, so the page, not the box, has the focus when the window opens.
    Text1->setFocusPolicy(Qt::ClickFocus);

    PictureBar = new QFrame(this);
    PictureBar->setObjectName(u"PictureBar"_s);
    Command1 = makeButton(PictureBar, u"Command1"_s, u"Refresh"_s);
    Command5 = makeButton(PictureBar, u"Command5"_s, u"Stop"_s);
    Command2[0] = makeButton(PictureBar, u"Command2_0"_s, kUsernameCaption);
    // The user name and the password's mask may be longer than their buttons.
    Command3[0] = makeButton<ElidedButton>(PictureBar, u"Command3_0"_s, {});
    Command2[1] = makeButton(PictureBar, u"Command2_1"_s, kPasswordCaption);
    // The password's own button lies under the mask button and is never seen: it takes no
    // keyboard focus (Tab would reach it with no mark to show, and Space would copy the
    // password), and its accessible name is not its caption, the password in clear.
    Command3[1] = makeButton(PictureBar, u"Command3_1"_s, {});
    Command3[1]->setFocusPolicy(Qt::NoFocus);
    Command3[1]->setAccessibleName(kPasswordCaption);
    Command4 = makeButton<ElidedButton>(PictureBar, u"Command4"_s, {});
    Check1 = new QCheckBox(u"S"_s, PictureBar);
    Check1->setObjectName(u"Check1"_s);
    Check1->setFocusPolicy(Qt::TabFocus);
    Label2 = new QLabel(kDone, PictureBar);
    Label2->setObjectName(u"Label2"_s);
    Label2->setTextFormat(Qt::PlainText);

    place(Command1, 45, 15, 810, 270);
    place(Command5, 885, 15, 600, 270);
    place(Command2[0], 1545, 15, 960, 270);
    place(Command3[0], 2535, 15, 1440, 270);
    place(Command2[1], 4035, 15, 960, 270);
    place(Command3[1], 5025, 15, 1200, 270);
    place(Command4, 5025, 15, 1200, 270);
    place(Check1, 6285, 30, 480, 240);
    place(Label2, 6795, 45, 810, 225);
    Command3[1]->lower();
}

void MiniBrowser::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &MiniBrowser::Command1_Click);
    for (int index = 0; index < 2; ++index) {
        connect(Command2[index], &QPushButton::clicked, this, [this, index] { Command2_Click(index); });
        connect(Command3[index], &QPushButton::clicked, this, [this, index] { Command3_Click(index); });
    }
    connect(Command4, &QPushButton::clicked, this, &MiniBrowser::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &MiniBrowser::Command5_Click);
    connect(
        MouseEvents::watch(Text1, MouseEvents::Pass::ToWidget), &MouseEvents::clicked, this, &MiniBrowser::Text1_Click);

    connect(WebBrowser1, &QWebEngineView::loadStarted, Timer1, &LoadWatcher::loadStarted);
    connect(WebBrowser1, &QWebEngineView::loadFinished, Timer1, &LoadWatcher::loadFinished);
    // A page whose process died never reports the end of its load.
    connect(WebBrowser1->page(), &QWebEnginePage::renderProcessTerminated, Timer1, &LoadWatcher::loadFinished);
    connect(Timer1, &LoadWatcher::transfersEnabledChanged, this, &MiniBrowser::setTransfersEnabled);
    connect(Timer1, &LoadWatcher::ready, this, &MiniBrowser::Timer1_Ready);
}

void MiniBrowser::Form_Load()
{
    navigate(u"about:blank"_s);
    m_userName = m_boxes.username ? m_boxes.username() : QString();
    m_password = m_boxes.password ? m_boxes.password() : QString();
    Command3[0]->setText(buttonCaption(m_userName));
    Command3[1]->setText(buttonCaption(m_password));
    Command4->setText(QString(m_password.size(), u'*'));
    NavigateToRecordPath();
}

void MiniBrowser::NavigateToRecordPath()
{
    navigate(m_boxes.path ? m_boxes.path() : QString());
}

void MiniBrowser::navigate(const QString &text)
{
    // As a browser does with an address typed into it; an empty text (or
    // one that is no address at all) leaves the page as it is.
    const QUrl url = QUrl::fromUserInput(text);
    if (url.isEmpty() || !url.isValid())
        return;
    Timer1->navigationRequested();
    WebBrowser1->load(url);
}

void MiniBrowser::Command1_Click()
{
    NavigateToRecordPath();
}

void MiniBrowser::Command2_Click(int index)
{
    transfer(index);
    if (index == 0)
        m_frame->setTrayStatus(kUsernameCaption + m_userName);
    else
        m_frame->setTrayStatus(kPasswordCaption + Command4->text());
}

void MiniBrowser::Command3_Click(int index)
{
    transfer(index);
}

void MiniBrowser::Command4_Click()
{
    transfer(1);
}

void MiniBrowser::Command5_Click()
{
    Timer1->stopWaiting();
    Clipboard::setText(m_userName);
}

void MiniBrowser::Text1_Click()
{
    // After the box has handled the click itself, which would place the caret.
    QTimer::singleShot(0, Text1, &QLineEdit::selectAll);
}

void MiniBrowser::Timer1_Ready()
{
    Clipboard::clear();
    Clipboard::setText(m_userName);
}

void MiniBrowser::transfer(int index)
{
    const QString &value = index == 0 ? m_userName : m_password;
    if (index == 0)
        Clipboard::setText(value);
    else
        Clipboard::setSecretText(value);
    showStatus(value);
}

void MiniBrowser::showStatus(const QString &value)
{
    Label2->setText(Check1->isChecked() ? value : kDone);
}

void MiniBrowser::setTransfersEnabled(bool enabled)
{
    for (QPushButton *button : { Command2[0], Command2[1], Command3[0], Command3[1] })
        button->setEnabled(enabled);
}

void MiniBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_frame->Form_Resize();
}

void MiniBrowser::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    m_frame->windowMoved();
}

void MiniBrowser::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}
