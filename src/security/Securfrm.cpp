// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/Securfrm.h"

#include "common/AppInfo.h"
#include "common/Clipboard.h"
#include "common/Clock.h"
#include "common/DateText.h"
#include "common/Messages.h"
#include "common/Twips.h"
#include "common/WindowFrame.h"
#include "i18n/Language.h"
#include "security/OwnerRecord.h"
#include "security/PasswordGenerator.h"
#include "security/SecuritySettings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShortcut>

using namespace Qt::StringLiterals;
using namespace PasswordGenerator;

namespace {
constexpr int kWidth = 6600;
/** The client height the controls need; more room is shared out above and below the frames. */
constexpr int kContentHeight = 4020;

template <typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}
} // namespace

Securfrm::Securfrm(OwnerState &state, Database &database, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_state(state)
    , m_database(database)
{
    setObjectName(u"Securfrm"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Security Settings - Corvane"_s);
    buildControls();
    setWindowHeight(kNormalHeight);
    Form_Load();
}

void Securfrm::buildControls()
{
    // In this order, which is also the order Tab goes through the controls.
    buildPasswordRow();
    buildGenerator();
    buildExpiration();
    buildProtection();
    buildButtons();
    connectHandlers();
}

void Securfrm::buildPasswordRow()
{
    Label1 = named(new QLabel(u"Password"_s, this), u"Label1"_s);
    Text1 = named(new QLineEdit(this), u"Text1"_s);
    Label1->setBuddy(Text1);
    Label2 = named(new QLabel(u"Length: 0"_s, this), u"Label2"_s);
    Check3 = named(new QCheckBox(u"Case"_s, this), u"Check3"_s);
    Command5 = named(new QPushButton(u"Copy"_s, this), u"Command5"_s);
    place(Label1, 120, 150, 900, 240);
    place(Text1, 1080, 105, 3300, 330);
    place(Label2, 1080, 480, 3300, 240);
    place(Check3, 4500, 135, 900, 285);
    place(Command5, 5460, 90, 1020, 360);
}

void Securfrm::buildGenerator()
{
    // Sugest, Do and the strengths, inside a frame of their own.
    Frame2 = named(new QGroupBox(this), u"Frame2"_s);
    Check1 = named(new QCheckBox(u"Sugest"_s, Frame2), u"Check1"_s);
    Command1 = named(new QPushButton(u"Do"_s, Frame2), u"Command1"_s);
    Frame1 = named(new QGroupBox(u"Security "_s, Frame2), u"Frame1"_s);
    Option1 = named(new QRadioButton(u"Normal"_s, Frame1), u"Option1"_s);
    Option2 = named(new QRadioButton(u"High"_s, Frame1), u"Option2"_s);
    Option3 = named(new QRadioButton(u"Higher"_s, Frame1), u"Option3"_s);
    Label3 = named(new QLabel(u"Characters"_s, Frame1), u"Label3"_s);
    Text3 = named(new QLineEdit(Frame1), u"Text3"_s);
    Label3->setBuddy(Text3);
    Text3->setMaxLength(5);
    place(Check1, 120, 150, 1650, 285);
    place(Command1, 1920, 120, 1080, 360);
    place(Frame1, 120, 600, 2880, 1830);
    place(Option1, 150, 330, 1200, 285);
    place(Option2, 150, 720, 1200, 285);
    place(Option3, 150, 1110, 1200, 285);
    place(Label3, 1440, 720, 1290, 240);
    place(Text3, 1440, 1065, 1290, 330);
    m_strengths = new QButtonGroup(this);
    for (QRadioButton *option : { Option1, Option2, Option3 }) {
        m_strengths->addButton(option);
        option->setEnabled(false);
    }
    Command1->setEnabled(false);
    setText3Enabled(false);
}

void Securfrm::buildExpiration()
{
    Frame3 = named(new QGroupBox(u" Expiration "_s, this), u"Frame3"_s);
    Check2 = named(new QCheckBox(u"Do Not Expire"_s, Frame3), u"Check2"_s);
    Text2 = named(new QLineEdit(Frame3), u"Text2"_s);
    DTPicker1 = named(new QDateEdit(Clock::current().date(), Frame3), u"DTPicker1"_s);
    Check2->setChecked(true);
    Text2->setReadOnly(true);
    DTPicker1->setDisplayFormat(u"MM-dd-yyyy"_s);
    DTPicker1->setCalendarPopup(true);
    DTPicker1->hide();
    place(Check2, 150, 330, 2700, 285);
    place(Text2, 150, 705, 1350, 330);
    place(DTPicker1, 1590, 705, 1380, 330);
}

void Securfrm::buildProtection()
{
    Frame4 = named(new QGroupBox(u" Protect "_s, this), u"Frame4"_s);
    Option4 = named(new QRadioButton(u"Program and DBase"_s, Frame4), u"Option4"_s);
    Option6 = named(new QRadioButton(u"Program Only"_s, Frame4), u"Option6"_s);
    Option5 = named(new QRadioButton(u"None"_s, Frame4), u"Option5"_s);
    place(Option4, 150, 330, 2820, 285);
    place(Option6, 150, 660, 2820, 285);
    place(Option5, 150, 990, 2820, 285);
    m_protection = new QButtonGroup(this);
    for (QRadioButton *option : { Option4, Option5, Option6 }) {
        m_protection->addButton(option);
        option->setEnabled(false);
    }
}

void Securfrm::buildButtons()
{
    Command2 = named(new QPushButton(u"Accept"_s, this), u"Command2"_s);
    Command3 = named(new QPushButton(u"Reset"_s, this), u"Command3"_s);
    Command4 = named(new QPushButton(u"Cancel"_s, this), u"Command4"_s);
    // A button with the keyboard focus takes Return as a click, as in any dialog; none takes it from another control.
    for (QPushButton *button : { Command1, Command2, Command3, Command4, Command5 })
        button->setAutoDefault(true);

    Text4 = named(new QPlainTextEdit(this), u"Text4"_s);
    Text4->setReadOnly(true);
    Text4->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Pieces of 60 line up in a fixed font of the interface's size.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF());
    Text4->setFont(fixed);
}

void Securfrm::connectHandlers()
{
    connect(Text1, &QLineEdit::textChanged, this, &Securfrm::Text1_Change);
    connect(Check2, &QCheckBox::toggled, this, &Securfrm::Check2_Click);
    connect(Check3, &QCheckBox::toggled, this, &Securfrm::Check3_Click);
    connect(Command2, &QPushButton::clicked, this, &Securfrm::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Securfrm::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Securfrm::Command4_Click);
    // Escape closes the window as Cancel does; an open calendar pop-up takes its own Escape first.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &Securfrm::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Securfrm::Command5_Click);
    connect(Check1, &QCheckBox::toggled, this, &Securfrm::Check1_Click);
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click();
    });
    connect(Option3, &QRadioButton::toggled, this, &Securfrm::Option3_Click);
    connect(Text3, &QLineEdit::textChanged, this, &Securfrm::Text3_Change);
    connect(Command1, &QPushButton::clicked, this, &Securfrm::Command1_Click);
    Text2->installEventFilter(this);
    // Focus leaving a control for another control of this window. A pop-up of the control (the
    // picker's calendar, a window of its own) or another window taking it is not leaving: the
    // day clicked in the calendar must still reach the picker.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (!old || !now || now->window() != this)
            return;
        const auto inside = [](const QWidget *control, const QWidget *widget) {
            for (; widget; widget = widget->parentWidget()) {
                if (widget == control)
                    return true;
            }
            return false;
        };
        const auto left = [&](QWidget *control) { return inside(control, old) && !inside(control, now); };
        if (left(DTPicker1))
            DTPicker1_LostFocus();
        if (left(Text2))
            Text2_LostFocus();
        if (left(Option3))
            Option3_LostFocus();
    });
}

void Securfrm::Form_Load()
{
    if (!Language::isEnglish())
        ApplyLanguage();
    // A level no option names (a hand-edited owner file) selects none.
    switch (m_state.Reach) {
    case Level::None:
        Option5->setChecked(true);
        break;
    case Level::ProgramAndDatabase:
        Option4->setChecked(true);
        break;
    case Level::ProgramOnly:
        Option6->setChecked(true);
        break;
    }
    Option5->setEnabled(true);
}

void Securfrm::ApplyLanguage()
{
    using Language::Entry;
    Label1->setText(Language::entry(Entry::PasswordLabel));
    Frame2->setTitle(Language::entry(Entry::GeneratorFrame));
    Check1->setText(Language::entry(Entry::SuggestCheck));
    Command1->setText(Language::entry(Entry::GenerateButton));
    Frame1->setTitle(Language::entry(Entry::StrengthFrame));
    Option1->setText(Language::entry(Entry::NormalOption));
    Option2->setText(Language::entry(Entry::HighOption));
    Option3->setText(Language::entry(Entry::HigherOption));
    Label3->setText(Language::entry(Entry::CharactersLabel));
    Frame3->setTitle(Language::entry(Entry::ExpirationFrame));
    Check2->setText(Language::entry(Entry::DoNotExpireCheck));
    Frame4->setTitle(Language::entry(Entry::ProtectFrame));
    Option4->setText(Language::entry(Entry::ProgramAndDatabaseOption));
    Option6->setText(Language::entry(Entry::ProgramOnlyOption));
    Option5->setText(Language::entry(Entry::NoneOption));
    Label2->setText(Language::entry(Entry::LengthLabel));
    Command3->setText(Language::entry(Entry::MenuReplace));
    Command2->setText(Language::entry(Entry::AcceptButton));
    setWindowTitle(Language::entry(Entry::SecurityTitle) + u" Corvane"_s);
}

void Securfrm::setPassword(const QString &password)
{
    QScopedValueRollback filling(m_filling, true);
    // The box must show the password in force whole; one with characters
    // beyond the alphabet was set with Sugest on, and shows the same way.
    if (keepOnly(password, inAlphabet).caret >= 0)
        Check1->setChecked(true);
    Text1->setText(password);
    Text1->selectAll();
}

void Securfrm::Text1_Change()
{
    if (m_filtering)
        return;
    // With Sugest on the box takes any character, but not a line break or a tab that a paste
    // brings: no one could type those when asked for the password.
    const Kept kept = keepOnly(Text1->text(), Check1->isChecked() ? typeable : inAlphabet);
    if (kept.caret >= 0) {
        QScopedValueRollback filtering(m_filtering, true);
        Text1->setText(kept.text);
        Text1->setCursorPosition(kept.caret);
    }

    const QString text = Text1->text();
    Label2->setText(u"Length: "_s);
    if (!text.isEmpty()) {
        for (QRadioButton *option : { Option4, Option5, Option6 })
            option->setEnabled(true);
        if (!m_filling)
            selectNone();
        Check2->setEnabled(true);
        Text2->setEnabled(false);
    } else {
        Option4->setEnabled(false);
        Option6->setEnabled(false);
        Option5->setEnabled(true);
        if (!m_filling)
            selectNone();
        Check2->setEnabled(false);
        Text2->setEnabled(false);
        Check2->setChecked(true);
    }
    Label2->setText(lengthLabel(text));
}

void Securfrm::Check2_Click()
{
    if (!Check2->isChecked()) {
        DTPicker1->show();
        DTPicker1->setFocus(Qt::OtherFocusReason);
        return;
    }
    DTPicker1->hide();
    Text2->clear();
    Text2->setEnabled(false);
}

void Securfrm::Check3_Click()
{
    Text1->setText(Check3->isChecked() ? Text1->text().toLower() : Text1->text().toUpper());
}

void Securfrm::Text2_Click()
{
    DTPicker1->show();
}

void Securfrm::Text2_LostFocus()
{
    ShowPickedDate();
}

void Securfrm::DTPicker1_LostFocus()
{
    Text2->setText(DTPicker1->date().toString(Qt::ISODate));
    DTPicker1->hide();
    ShowPickedDate();
}

void Securfrm::ShowPickedDate()
{
    if (DTPicker1->date().isValid())
        Text2->setText(DateText::date(DTPicker1->date()));
}

void Securfrm::Command5_Click()
{
    Clipboard::setSecretText(Text1->text());
}

void Securfrm::Command4_Click()
{
    close();
}

void Securfrm::Command3_Click()
{
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Check1->setChecked(false);
    Check2->setChecked(true);
    Text4->clear();
    setWindowHeight(kNormalHeight);
}

Level Securfrm::selectedLevel() const
{
    if (Option4->isChecked())
        return Level::ProgramAndDatabase;
    if (Option6->isChecked())
        return Level::ProgramOnly;
    return Level::None;
}

void Securfrm::Command2_Click()
{
    const QString typed = Text1->text();
    QString password = typed.section(u' ', 0, 0);
    if (typed.isEmpty()) {
        if (showMessage(this, MessageIcon::None, AppInfo::title, u"Password field is empty. Click Yes to continue"_s,
                MessageButtons::YesNo)
            != MessageAnswer::Yes)
            return;
        Check2->setChecked(true);
        password = OwnerRecord::kNoPassword.toString();
    }
    const Level level = selectedLevel();
    const QString expiry = Text2->text().isEmpty() ? OwnerRecord::kNeverExpires.toString() : Text2->text();
    const QString record = OwnerRecord::build(expiry, password, DateText::today(), level);

    if (record.contains(u' ')) {
        showMessage(this, MessageIcon::Critical, u"Error - i77"_s,
            Language::text(Language::Entry::SpaceInPasswordMessage, u"There can not be spaces on a password"_s));
        return;
    }
    if (const std::optional<QString> why = SecuritySettings::refusal(record, level, password)) {
        showMessage(this, MessageIcon::Critical, u"Error - i77"_s, *why);
        return;
    }
    if (const std::optional<QString> why = SecuritySettings::databaseRefusal(m_state, m_database, level, password)) {
        showMessage(this, MessageIcon::Critical, AppInfo::title, *why);
        return;
    }
    if ((level == Level::ProgramAndDatabase || (level == Level::ProgramOnly && !typed.isEmpty()))
        && showMessage(this, MessageIcon::None, u"Confirmation Request"_s,
               u"Make sure to copy the Password to a safe location\r\nWhen you are ready, Press Ok to continue"_s,
               MessageButtons::OkCancel)
            != MessageAnswer::Ok)
        return;

    const SecuritySettings::SaveResult saved = SecuritySettings::save(m_state, m_database, record, level, password);
    switch (saved.outcome) {
    case SecuritySettings::Outcome::Refused:
        showMessage(this, MessageIcon::Critical, AppInfo::title, saved.detail);
        return;
    case SecuritySettings::Outcome::OwnerFileFailed:
        showMessage(this, MessageIcon::Critical, u"Disk Error - i64"_s, u"Failed to access configuration file"_s);
        break;
    case SecuritySettings::Outcome::DatabaseFailed:
        showMessage(this, MessageIcon::Critical, u"Disk Error - i66"_s, u"Can not access the DataBase."_s);
        break;
    case SecuritySettings::Outcome::Saved:
        if (!saved.warning.isEmpty())
            showMessage(this, MessageIcon::Information, AppInfo::title, saved.warning);
        Q_EMIT settingsSaved(saved);
        break;
    }
    close();
}

void Securfrm::Check1_Click()
{
    const bool on = Check1->isChecked();
    Command1->setEnabled(on);
    for (QRadioButton *option : { Option1, Option2, Option3 })
        option->setEnabled(on);
    if (on) {
        Option1->setChecked(true);
        return;
    }
    m_strengths->setExclusive(false);
    for (QRadioButton *option : { Option3, Option2, Option1 })
        option->setChecked(false);
    m_strengths->setExclusive(true);
}

void Securfrm::Option1_Click()
{
    Text3->clear();
    setText3Enabled(false);
}

void Securfrm::Option2_Click()
{
    Text3->clear();
    setText3Enabled(false);
}

void Securfrm::Option3_Click()
{
    setText3Enabled(Option3->isChecked());
}

void Securfrm::Option3_LostFocus()
{
    if (!Option3->isChecked())
        setText3Enabled(false);
}

void Securfrm::Text3_Change()
{
    if (m_filtering)
        return;
    const Kept kept = keepOnly(Text3->text(), PasswordGenerator::isDigit);
    QString digits = kept.text;
    int caret = kept.caret;
    if (digits.toInt() > kMaxLength) {
        digits = QString::number(kMaxLength);
        caret = int(digits.size());
    }
    if (digits != Text3->text()) {
        QScopedValueRollback filtering(m_filtering, true);
        Text3->setText(digits);
        Text3->setCursorPosition(caret);
    }
}

void Securfrm::Command1_Click()
{
    Strength strength;
    if (Option1->isChecked())
        strength = Strength::Normal;
    else if (Option2->isChecked())
        strength = Strength::High;
    else if (Option3->isChecked())
        strength = Strength::Higher;
    else
        return;

    const QString password = generate(strength, lengthOf(strength, lengthValue(Text3->text())));
    Text1->setText(password);
    Label2->setText(lengthLabel(Text1->text()) + u' ' + QString::number(password.size()));
    if (Text1->text().size() > kLongPassword) {
        setWindowHeight(kTallHeight);
        Text4->setPlainText(pieces(Text1->text()));
    } else {
        setWindowHeight(kNormalHeight);
        Text4->clear();
    }
}

void Securfrm::selectNone()
{
    Option5->setChecked(true);
}

void Securfrm::setText3Enabled(bool enabled)
{
    Text3->setEnabled(enabled);
    QPalette palette = Text3->palette();
    const QColor background = enabled ? QColor(Qt::white) : palette.color(QPalette::Active, QPalette::Button);
    for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled })
        palette.setColor(group, QPalette::Base, background);
    Text3->setPalette(palette);
}

void Securfrm::setWindowHeight(int twips)
{
    m_heightTwips = twips;
    // The size is the window's outer one; the frame a window manager draws is part of it.
    WindowFrame::of(this)->setFixedOuterSize(kWidth, twips);
    relayout();
}

void Securfrm::relayout()
{
    const bool tall = m_heightTwips > kNormalHeight;
    const int below = Twips::toPixels(kTallHeight) - Twips::toPixels(kNormalHeight);
    const int normalClient = Twips::fromPixels(height() - (tall ? below : 0));
    const int spare = std::max(0, normalClient - kContentHeight);

    const int framesTop = 810 + spare / 2;
    place(Frame2, 120, framesTop, 3120, 2550);
    place(Frame3, 3360, framesTop, 3120, 1140);
    place(Frame4, 3360, framesTop + 1230, 3120, 1320);
    const int buttonsTop = std::max(framesTop + 2550 + 150, normalClient - 120 - 390);
    place(Command3, 120, buttonsTop, 1110, 390);
    place(Command2, 4230, buttonsTop, 1110, 390);
    place(Command4, 5370, buttonsTop, 1110, 390);
    place(Text4, 120, normalClient + 60, kWidth - 240, Twips::fromPixels(below) - 180);
    Text4->setVisible(tall);
}

void Securfrm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void Securfrm::setVisible(bool visible)
{
    // Placed before the window system makes the window, which then comes where it belongs: placed later, a
    // window manager may already have been told of the place it had before (the screen's corner).
    if (visible && !m_placed) {
        centerWindow(this);
        m_placed = true;
    }
    QWidget::setVisible(visible);
}

bool Securfrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text2 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        Text2_Click();
    return QWidget::eventFilter(watched, event);
}
