// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "TestFolders.h"
#include "common/DateText.h"
#include "common/ProgramExit.h"
#include "common/TextLines.h"
#include "common/Twips.h"
#include "security/Ask4Pass.h"
#include "security/CheckOwnerPassword.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"
#include "security/Securfrm.h"
#include "store/Database.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
template <typename T = QWidget> T *child(QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

Ask4Pass *shownAsk4Pass()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<Ask4Pass *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

void writeOwner(const QString &expiry, const QString &password, int level)
{
    QDir().mkpath(AppFolders::dataFolder());
    if (!OwnerFile::write(OwnerRecord::build(expiry, password, u"05-17-2026"_s, Level(level))))
        qFatal("could not write the owner file");
}

void type(Ask4Pass *dialog, const QString &text)
{
    auto *box = child<QLineEdit>(dialog, u"Text1"_s);
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
}

QStringList reportAttempts()
{
    const QStringList lines = QString::fromLatin1(TestFolders::read(AppFolders::intrusionLog())).split(u"\r\n"_s);
    return lines.mid(5, 3);
}
} // namespace

class tst_SecurityUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ask4Pass_attempts_data();
    void ask4Pass_attempts();
    void ask4Pass_otherKeysAndEscape_doNothing();
    void check_waitsForOwner_thenShowsMainWindow();
    void check_ownerIn_programKeepsRunning();
    void check_expiryNotice_opensSettings_data();
    void check_expiryNotice_opensSettings();
    void check_levelOne_deciphersOrReports_data();
    void check_levelOne_deciphersOrReports();
    void check_ownerGivesUp_returnsTouchingNothing();
    void securfrm_passwordBoxCascade();
    void securfrm_setPassword_keepsLevel_data();
    void securfrm_setPassword_keepsLevel();
    void securfrm_caseAndCopy();
    void securfrm_expiryPicker();
    void securfrm_generator_data();
    void securfrm_generator();
    void securfrm_lengthBox_digitsUpToLargestCount();
    void securfrm_reset_restoresDesignState();
    void securfrm_accept_data();
    void securfrm_accept();
};

void tst_SecurityUi::ask4Pass_attempts_data()
{
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("end"); // after the attempts: "", "cancel" or "close"
    QTest::addColumn<bool>("in");
    QTest::addColumn<QStringList>("report"); // empty: no report

    QTest::newRow("right at once") << u"Pw1"_s << QStringList { u"Pw1"_s } << QString() << true << QStringList();
    QTest::newRow("wrong, wrong, right") << u"Pw1"_s << QStringList { u"a"_s, u"b"_s, u"Pw1"_s } << QString() << true
                                         << QStringList();
    QTest::newRow("empty expected") << QString() << QStringList { QString() } << QString() << true << QStringList();
    const QStringList threeWrong { u"Intrussion attempt #1: a"_s, u"Intrussion attempt #2: pw1"_s,
        u"Intrussion attempt #3: c"_s };
    QTest::newRow("three wrong, case counts")
        << u"Pw1"_s << QStringList { u"a"_s, u"pw1"_s, u"c"_s } << QString() << false << threeWrong;
    const QStringList afterX { u"Intrussion attempt #1: x"_s, u"Intrussion attempt #2: "_s,
        u"Intrussion attempt #3: "_s };
    QTest::newRow("cancel at once") << u"Pw1"_s << QStringList() << u"cancel"_s << false
                                    << QStringList { u"Intrussion attempt #1: "_s, u"Intrussion attempt #2: "_s,
                                           u"Intrussion attempt #3: "_s };
    QTest::newRow("cancel after x") << u"Pw1"_s << QStringList { u"x"_s } << u"cancel"_s << false << afterX;
    QTest::newRow("close control after x") << u"Pw1"_s << QStringList { u"x"_s } << u"close"_s << false << afterX;
}

void tst_SecurityUi::ask4Pass_attempts()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    QFETCH(QString, expected);
    QFETCH(QStringList, typed);
    QFETCH(QString, end);
    QFETCH(bool, in);
    QFETCH(QStringList, report);

    OwnerState state;
    QPointer<Ask4Pass> dialog = new Ask4Pass(state);
    dialog->setExpectedPassword(expected);
    QSignalSpy authenticated(dialog.data(), &Ask4Pass::authenticated);
    dialog->show();
    for (const QString &text : typed) {
        type(dialog, text);
        if (dialog && dialog->isVisible())
            QCOMPARE(child<QLineEdit>(dialog, u"Text1"_s)->text(), QString()); // a wrong attempt empties the box
    }
    if (end == u"cancel")
        child<QPushButton>(dialog, u"Command1"_s)->click();
    else if (end == u"close")
        dialog->close();

    QTRY_VERIFY(!dialog);
    QCOMPARE(state.isAuthenticated(), in);
    QCOMPARE(authenticated.count(), in ? 1 : 0);
    QCOMPARE(exit.count, in ? 0 : 1);
    QCOMPARE(ProgramExit::status(), int(in ? ExitStatus::Normal : ExitStatus::OwnerRefused));
    if (report.isEmpty()) {
        QVERIFY(!QFile::exists(AppFolders::intrusionLog()));
    } else {
        QCOMPARE(reportAttempts(), report);
    }
    const bool refused = !in && end.isEmpty();
    const ShownMessage accessError { MessageIcon::Critical, u"Access Error"_s,
        u"You are not allowed to use this application"_s };
    QCOMPARE(messages.shown, refused ? QList<ShownMessage> { accessError } : QList<ShownMessage>());
}

void tst_SecurityUi::ask4Pass_otherKeysAndEscape_doNothing()
{
    TestFolders folders;
    FakeExit exit;
    OwnerState state;
    Ask4Pass dialog(state);
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.setExpectedPassword(u"right"_s);
    dialog.show();
    auto *box = child<QLineEdit>(&dialog, u"Text1"_s);
    QTest::keyClicks(box, u"wrong"_s);
    QTest::keyClick(box, Qt::Key_Tab);
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->text(), u"wrong"_s); // no attempt was made
    QVERIFY(dialog.isVisible());
    QCOMPARE(exit.count, 0);
    QCOMPARE(dialog.windowTitle(), u"Owner Authentication"_s);
}

void tst_SecurityUi::check_waitsForOwner_thenShowsMainWindow()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    writeOwner(u"xx-xx-xxxx"_s, u"Pw1"_s, 2);
    QWidget mainWindow;
    OwnerState state;
    bool gatedWhileAsked = false;
    QTimer::singleShot(0, [&] {
        Ask4Pass *dialog = shownAsk4Pass();
        QVERIFY(dialog);
        // Nothing else of the program takes input, and the password is not in force yet.
        gatedWhileAsked = !mainWindow.isVisible() && QApplication::activeModalWidget() == dialog
            && dialog->windowModality() == Qt::ApplicationModal && state.GoodPass.isEmpty();
        QCOMPARE(dialog->focusWidget(), child<QLineEdit>(dialog, u"Text1"_s));
        type(dialog, u"Pw1"_s);
    });
    int dialogs = 0;
    CheckOwnerPassword(state, true,
        { &mainWindow,
            [&]() -> Securfrm * {
                ++dialogs;
                return nullptr;
            },
            nullptr, {} });

    QVERIFY(gatedWhileAsked);
    QVERIFY(state.isAuthenticated());
    QVERIFY(mainWindow.isVisible());
    QCOMPARE(state.GoodPass, u"Pw1"_s);
    QCOMPARE(dialogs, 0);
    QVERIFY(messages.shown.isEmpty());
}

void tst_SecurityUi::check_ownerIn_programKeepsRunning()
{
    TestFolders folders;
    FakeExit exit;
    writeOwner(u"xx-xx-xxxx"_s, u"Pw1"_s, 2);
    OwnerState state;
    // In the program's own event loop the authentication window is the only
    // one on screen when it closes; that must not end the program.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [] { type(shownAsk4Pass(), u"Pw1"_s); });
        CheckOwnerPassword(state, true, {});
        QTimer::singleShot(200, [] { QCoreApplication::exit(7); });
    });
    QCOMPARE(QCoreApplication::exec(), 7);
    QVERIFY(state.isAuthenticated());
    QCOMPARE(exit.count, 0);
}

void tst_SecurityUi::check_expiryNotice_opensSettings_data()
{
    QTest::addColumn<QString>("expiry");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("notice");

    QTest::newRow("today") << u"12-07-2026"_s << QDate(2026, 12, 7) << u"The Password expires today"_s;
    QTest::newRow("across a year") << u"12-31-2025"_s << QDate(2026, 1, 5) << u"The Password has expired"_s;
    QTest::newRow("future") << u"01-15-2027"_s << QDate(2026, 12, 7) << QString();
}

void tst_SecurityUi::check_expiryNotice_opensSettings()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    QFETCH(QString, expiry);
    QFETCH(QDate, today);
    QFETCH(QString, notice);
    FakeClock clock(QDateTime(today, QTime(9, 0)));
    writeOwner(expiry, u"Pw1"_s, 2);
    QWidget mainWindow;
    OwnerState state;
    Database database;
    QPointer<Securfrm> settings;
    QTimer::singleShot(0, [] { type(shownAsk4Pass(), u"Pw1"_s); });
    CheckOwnerPassword(
        state, true, { &mainWindow, [&] { return settings = new Securfrm(state, database); }, &database, {} });

    if (notice.isEmpty()) {
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(!settings);
        return;
    }
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, u"Corvane Notification"_s);
    QCOMPARE(messages.shown[0].icon, MessageIcon::None);
    QCOMPARE(messages.shown[0].text, notice);
    QVERIFY(settings && settings->isVisible());
    QCOMPARE(child<QLineEdit>(settings, u"Text1"_s)->text(), u"Pw1"_s);
    QVERIFY(child<QRadioButton>(settings, u"Option6"_s)->isChecked()); // the level in force stays chosen
    delete settings;
}

void tst_SecurityUi::check_levelOne_deciphersOrReports_data()
{
    QTest::addColumn<bool>("enciphered");
    QTest::newRow("enciphered database") << true;
    QTest::newRow("no enciphered database") << false;
}

void tst_SecurityUi::check_levelOne_deciphersOrReports()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    QFETCH(bool, enciphered);
    writeOwner(u"xx-xx-xxxx"_s, u"Pw1"_s, 1);
    Database database;
    const QStringList records { u"Bank:!:!me:!pw:!:!05-17-2026 10:00:00:!"_s };
    if (enciphered) {
        QVERIFY(database.RewriteDatabase(Level::None, records, {}));
        QVERIFY(database.EncryptPlainToDB(u"Pw1"_s));
    }
    OwnerState state;
    QTimer::singleShot(0, [] { type(shownAsk4Pass(), u"Pw1"_s); });
    CheckOwnerPassword(state, true, { nullptr, {}, &database, {} });

    QCOMPARE(state.Reach, Level::ProgramAndDatabase);
    if (enciphered) {
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(database.LoadDatabase(Level::ProgramAndDatabase).lines, records);
    } else {
        QCOMPARE(messages.shown,
            (QList<ShownMessage> { { MessageIcon::Critical, u"Error - i67"_s,
                u"The database seem to be corrupt or it does not exist."_s } }));
    }
}

void tst_SecurityUi::check_ownerGivesUp_returnsTouchingNothing()
{
    TestFolders folders;
    FakeMessages messages;
    FakeExit exit;
    writeOwner(u"01-01-2020"_s, u"Pw1"_s, 1);
    Database database;
    QWidget mainWindow;
    OwnerState state;
    QTimer::singleShot(0, [] { child<QPushButton>(shownAsk4Pass(), u"Command1"_s)->click(); });
    int dialogs = 0;
    CheckOwnerPassword(state, true,
        { &mainWindow,
            [&]() -> Securfrm * {
                ++dialogs;
                return nullptr;
            },
            &database, {} });

    QCOMPARE(exit.count, 1);
    QVERIFY(!mainWindow.isVisible());
    QVERIFY(messages.shown.isEmpty()); // neither the expiry notice nor a database message
    QCOMPARE(dialogs, 0);
    QVERIFY(!QFile::exists(database.files().temporary));
    QVERIFY(QFile::exists(AppFolders::intrusionLog()));
}

void tst_SecurityUi::securfrm_passwordBoxCascade()
{
    TestFolders folders;
    OwnerState state;
    Database database;
    Securfrm window(state, database);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    auto *box = child<QLineEdit>(&window, u"Text1"_s);
    auto *length = child<QLabel>(&window, u"Label2"_s);
    auto *program = child<QRadioButton>(&window, u"Option6"_s);
    auto *none = child<QRadioButton>(&window, u"Option5"_s);
    auto *noExpiry = child<QCheckBox>(&window, u"Check2"_s);
    QCOMPARE(window.windowTitle(), u"Security Settings - Corvane"_s);
    QVERIFY(!program->isEnabled() && none->isEnabled());

    QTest::keyClicks(box, u"ab c!"_s);
    QCOMPARE(box->text(), u"abc"_s);
    QCOMPARE(length->text(), u"Length: "_s);
    QVERIFY(program->isEnabled() && none->isChecked() && noExpiry->isEnabled());
    program->setChecked(true);
    QTest::keyClicks(box, u"d"_s);
    QVERIFY(none->isChecked()); // the level must be chosen after the password

    child<QCheckBox>(&window, u"Check1"_s)->setChecked(true);
    box->setText(u"my pass"_s);
    QCOMPARE(length->text(), u"Length:  2"_s);

    noExpiry->setChecked(false);
    box->clear();
    QVERIFY(!program->isEnabled() && !child<QRadioButton>(&window, u"Option4"_s)->isEnabled());
    QVERIFY(none->isChecked() && noExpiry->isChecked() && !noExpiry->isEnabled());
}

void tst_SecurityUi::securfrm_setPassword_keepsLevel_data()
{
    QTest::addColumn<QString>("reach");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("password");
    QTest::newRow("level 1") << u"1"_s << u"Option4"_s << u"Abc123"_s;
    QTest::newRow("level 2") << u"2"_s << u"Option6"_s << u"Abc123"_s;
    QTest::newRow("level 0") << u"0"_s << u"Option5"_s << u"Abc123"_s;
    QTest::newRow("set with Sugest on") << u"2"_s << u"Option6"_s << u"a.b-c"_s;
}

void tst_SecurityUi::securfrm_setPassword_keepsLevel()
{
    TestFolders folders;
    QFETCH(QString, reach);
    QFETCH(QString, option);
    QFETCH(QString, password);
    OwnerState state { Level(reach.toInt()), password, u"Ok"_s };
    Database database;
    Securfrm window(state, database);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.setPassword(password);
    auto *box = child<QLineEdit>(&window, u"Text1"_s);
    QCOMPARE(box->text(), password);
    QCOMPARE(box->selectedText(), password);
    QVERIFY(child<QRadioButton>(&window, option)->isChecked());
    QVERIFY(child<QRadioButton>(&window, u"Option4"_s)->isEnabled());
}

void tst_SecurityUi::securfrm_caseAndCopy()
{
    TestFolders folders;
    OwnerState state;
    Database database;
    Securfrm window(state, database);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    auto *box = child<QLineEdit>(&window, u"Text1"_s);
    auto *caseBox = child<QCheckBox>(&window, u"Check3"_s);
    box->setText(u"AbC1"_s);
    caseBox->setChecked(true);
    QCOMPARE(box->text(), u"abc1"_s);
    caseBox->setChecked(false);
    QCOMPARE(box->text(), u"ABC1"_s);

    child<QPushButton>(&window, u"Command5"_s)->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"ABC1"_s);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(u"x-kde-passwordManagerHint"_s), QByteArray("secret"));
}

void tst_SecurityUi::securfrm_expiryPicker()
{
    TestFolders folders;
    OwnerState state;
    Database database;
    Securfrm window(state, database);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *noExpiry = child<QCheckBox>(&window, u"Check2"_s);
    auto *picker = child<QDateEdit>(&window, u"DTPicker1"_s);
    auto *expiry = child<QLineEdit>(&window, u"Text2"_s);
    QVERIFY(!picker->isVisible());

    noExpiry->setChecked(false);
    QVERIFY(picker->isVisible());
    picker->setDate(QDate(2027, 3, 4));
    picker->setFocus();
    child<QLineEdit>(&window, u"Text1"_s)->setFocus();
    QTRY_COMPARE(expiry->text(), u"03-04-2027"_s);
    QVERIFY(!picker->isVisible());

    noExpiry->setChecked(true);
    QCOMPARE(expiry->text(), QString());
    QVERIFY(!expiry->isEnabled());
}

void tst_SecurityUi::securfrm_generator_data()
{
    QTest::addColumn<QString>("strength");
    QTest::addColumn<QString>("characters");
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("Normal") << u"Option1"_s << QString() << 6 << QStringList();
    QTest::newRow("High") << u"Option2"_s << QString() << 8 << QStringList();
    QTest::newRow("Higher 20") << u"Option3"_s << u"20"_s << 20 << QStringList { u"20"_s };
    QTest::newRow("Higher 130") << u"Option3"_s << u"130"_s << 130 << QStringList { u"60"_s, u"60"_s, u"10"_s };
    QTest::newRow("Higher empty") << u"Option3"_s << QString() << 0 << QStringList();
}

void tst_SecurityUi::securfrm_generator()
{
    TestFolders folders;
    QFETCH(QString, strength);
    QFETCH(QString, characters);
    QFETCH(int, length);
    QFETCH(QStringList, pieces);
    OwnerState state;
    Database database;
    Securfrm window(state, database);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    auto *suggest = child<QCheckBox>(&window, u"Check1"_s);
    auto *doButton = child<QPushButton>(&window, u"Command1"_s);
    auto *normal = child<QRadioButton>(&window, u"Option1"_s);
    auto *count = child<QLineEdit>(&window, u"Text3"_s);
    auto *box = child<QLineEdit>(&window, u"Text1"_s);
    box->setText(u"old"_s);

    suggest->setChecked(true);
    QVERIFY(doButton->isEnabled() && normal->isEnabled() && normal->isChecked() && !count->isEnabled());
    child<QRadioButton>(&window, strength)->setChecked(true);
    QCOMPARE(count->isEnabled(), strength == u"Option3");
    count->setText(characters);
    doButton->click();

    QCOMPARE(box->text().size(), length);
    QCOMPARE(child<QLabel>(&window, u"Label2"_s)->text(), u"Length:  "_s + QString::number(length));
    QVERIFY(child<QRadioButton>(&window, u"Option5"_s)->isChecked());
    const bool tall = length > 16;
    QCOMPARE(window.height(), Twips::toPixels(tall ? Securfrm::kTallHeight : Securfrm::kNormalHeight));
    auto *shown = child<QPlainTextEdit>(&window, u"Text4"_s);
    QStringList lengths;
    for (const QString &line : shown->toPlainText().split(u'\n', Qt::SkipEmptyParts))
        lengths.append(QString::number(line.trimmed().size()));
    QCOMPARE(lengths, pieces);
    QCOMPARE(shown->toPlainText().remove(u'\n').remove(u'\r'), tall ? box->text() : QString());

    suggest->setChecked(false);
    QVERIFY(!doButton->isEnabled() && !normal->isEnabled() && !normal->isChecked());
    QVERIFY(!child<QRadioButton>(&window, u"Option3"_s)->isChecked());
}

void tst_SecurityUi::securfrm_lengthBox_digitsUpToLargestCount()
{
    TestFolders folders;
    OwnerState state;
    Database database;
    Securfrm window(state, database);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    child<QCheckBox>(&window, u"Check1"_s)->setChecked(true);
    child<QRadioButton>(&window, u"Option3"_s)->setChecked(true);
    auto *count = child<QLineEdit>(&window, u"Text3"_s);
    QTest::keyClicks(count, u"1a2"_s);
    QCOMPARE(count->text(), u"12"_s);
    count->clear();
    QTest::keyClicks(count, u"999999"_s);
    QCOMPARE(count->text(), u"32767"_s);
    child<QRadioButton>(&window, u"Option2"_s)->setChecked(true);
    QCOMPARE(count->text(), QString());
    QVERIFY(!count->isEnabled());
}

void tst_SecurityUi::securfrm_reset_restoresDesignState()
{
    TestFolders folders;
    OwnerState state;
    Database database;
    Securfrm window(state, database);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    auto *suggest = child<QCheckBox>(&window, u"Check1"_s);
    suggest->setChecked(true);
    child<QRadioButton>(&window, u"Option3"_s)->setChecked(true);
    child<QLineEdit>(&window, u"Text3"_s)->setText(u"20"_s);
    child<QPushButton>(&window, u"Command1"_s)->click();
    child<QCheckBox>(&window, u"Check2"_s)->setChecked(false);
    QCOMPARE(window.height(), Twips::toPixels(Securfrm::kTallHeight));

    // Return on the focused button, as Space or a click.
    QTest::keyClick(child<QPushButton>(&window, u"Command3"_s), Qt::Key_Return);
    for (const QString &name : { u"Text1"_s, u"Text2"_s, u"Text3"_s })
        QCOMPARE(child<QLineEdit>(&window, name)->text(), QString());
    QCOMPARE(child<QPlainTextEdit>(&window, u"Text4"_s)->toPlainText(), QString());
    QVERIFY(!suggest->isChecked() && child<QCheckBox>(&window, u"Check2"_s)->isChecked());
    QCOMPARE(window.height(), Twips::toPixels(Securfrm::kNormalHeight));
}

void tst_SecurityUi::securfrm_accept_data()
{
    QTest::addColumn<QString>("reach");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("option"); // chosen after typing; empty: none chosen
    QTest::addColumn<QList<MessageAnswer>>("answers");
    QTest::addColumn<QStringList>("titles"); // of the messages shown, in order
    QTest::addColumn<QString>("stored"); // password and level stored; empty: owner file untouched
    QTest::addColumn<bool>("stillOpen");

    using A = MessageAnswer;
    const QString empty = u"Corvane"_s;
    const QString confirm = u"Confirmation Request"_s;
    QTest::newRow("empty, No") << u"0"_s << QString() << QString() << QList<A> { A::No } << QStringList { empty }
                               << QString() << true;
    QTest::newRow("empty, Yes") << u"0"_s << QString() << QString() << QList<A> { A::Yes } << QStringList { empty }
                                << u"UNSETMARK0"_s << false;
    QTest::newRow("empty at level 2 stays 2")
        << u"2"_s << QString() << QString() << QList<A> { A::Yes } << QStringList { empty } << u"UNSETMARK2"_s << false;
    QTest::newRow("empty at level 1 refused") << u"1"_s << QString() << QString() << QList<A> { A::Yes }
                                              << QStringList { empty, u"Error - i77"_s } << QString() << true;
    QTest::newRow("level 0, no confirmation")
        << u"0"_s << u"abc"_s << QString() << QList<A>() << QStringList() << u"abc0"_s << false;
    QTest::newRow("level 2, Cancel") << u"0"_s << u"abc"_s << u"Option6"_s << QList<A> { A::Cancel }
                                     << QStringList { confirm } << QString() << true;
    QTest::newRow("level 1, Ok") << u"0"_s << u"xyz"_s << u"Option4"_s << QList<A> { A::Ok } << QStringList { confirm }
                                 << u"xyz1"_s << false;
    QTest::newRow("owner file unwritable") << u"0"_s << u"abc"_s << u"unwritable"_s << QList<A>()
                                           << QStringList { u"Disk Error - i64"_s } << QString() << false;
    QTest::newRow("conversion fails") << u"0"_s << u"ab"_s << u"Option4"_s << QList<A> { A::Ok }
                                      << QStringList { confirm, u"Disk Error - i66"_s } << QString() << false;
}

void tst_SecurityUi::securfrm_accept()
{
    TestFolders folders;
    FakeMessages messages;
    FakeClock clock(QDateTime(QDate(2026, 5, 17), QTime(12, 0)));
    QFETCH(QString, reach);
    QFETCH(QString, typed);
    QFETCH(QString, option);
    QFETCH(QList<MessageAnswer>, answers);
    QFETCH(QStringList, titles);
    QFETCH(QString, stored);
    QFETCH(bool, stillOpen);
    QDir().mkpath(folders.data());
    Database database;
    // Under the key "ab" the record's first two characters encipher to CR LF, so the conversion fails.
    QVERIFY(database.RewriteDatabase(Level::None, { u"\u201c\u2014Shop:!:!me:!pw:!:!05-20-2026 09:00:00:!"_s }, {}));
    const QByteArray plainBefore = TestFolders::read(database.files().plain);
    if (option == u"unwritable") {
        QDir(folders.data()).removeRecursively();
        TestFolders::write(folders.data(), "a plain file");
    }

    OwnerState state { Level(reach.toInt()), QString(), u"Ok"_s };
    QPointer<Securfrm> window = new Securfrm(state, database);
    window->show();
    QTest::keyClicks(child<QLineEdit>(window, u"Text1"_s), typed);
    if (option.startsWith(u"Option"))
        child<QRadioButton>(window, option)->setChecked(true);
    for (MessageAnswer answer : answers)
        messages.queue(answer);
    child<QPushButton>(window, u"Command2"_s)->click();

    QStringList shownTitles;
    for (const ShownMessage &message : messages.shown)
        shownTitles.append(message.title);
    QCOMPARE(shownTitles, titles);
    QVERIFY(messages.unexpected().isEmpty());
    if (titles.value(0) == u"Corvane")
        QCOMPARE(messages.shown[0].text, u"Password field is empty. Click Yes to continue"_s);
    if (const QString confirm = u"Confirmation Request"_s; titles.contains(confirm))
        QCOMPARE(messages.texts().at(titles.indexOf(confirm)),
            u"Make sure to copy the Password to a safe location\r\nWhen you are ready, Press Ok to continue"_s);
    if (titles.contains(u"Disk Error - i64"_s))
        QCOMPARE(messages.texts().constLast(), u"Failed to access configuration file"_s);
    if (titles.contains(u"Disk Error - i66"_s))
        QCOMPARE(messages.texts().constLast(), u"Can not access the DataBase."_s);

    if (stored.isEmpty()) {
        QVERIFY(!QFile::exists(AppFolders::ownerPasswordFile()));
        QCOMPARE(state.Reach, Level(reach.toInt()));
        if (option != u"unwritable")
            QCOMPARE(TestFolders::read(database.files().plain), plainBefore);
    } else {
        const QString level = stored.right(1);
        QCOMPARE(OwnerFile::read(), u"xx-xx-xxxx"_s + stored.chopped(1) + u"05-17-2026"_s + level);
        QCOMPARE(state.Reach, Level(level.toInt()));
        QCOMPARE(state.GoodPass, stored.startsWith(u"UNSETMARK") ? QString() : stored.chopped(1));
    }
    if (stillOpen)
        QVERIFY(window && window->isVisible());
    else
        QTRY_VERIFY(!window);
    delete window;
}

QTEST_MAIN(tst_SecurityUi)
#include "tst_security_ui.moc"
