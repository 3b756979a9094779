// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "TestFolders.h"
#include "browser/BrowserClock.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserFrame.h"
#include "browser/BrowserLibrary.h"
#include "browser/BrowserPlugin.h"
#include "browser/ElidedButton.h"
#include "browser/LoadWatcher.h"
#include "browser/MiniBrowser.h"
#include "common/Clipboard.h"
#include "common/ProgramExit.h"
#include "common/Twips.h"
#include "common/WindowSystem.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kSlowScheme = "held";

/** Pages of the "held" scheme: each request waits until the test releases it. */
class HeldPages final : public QWebEngineUrlSchemeHandler
{
public:
    void requestStarted(QWebEngineUrlRequestJob *job) override { m_jobs.append(job); }
    int waiting() const
    {
        int count = 0;
        for (const auto &job : m_jobs)
            count += job ? 1 : 0;
        return count;
    }
    void releaseAll()
    {
        for (const QPointer<QWebEngineUrlRequestJob> &job : std::as_const(m_jobs)) {
            if (!job)
                continue;
            auto *body = new QBuffer(job);
            body->setData("<html><body><form><input name=user></form></body></html>");
            body->open(QIODevice::ReadOnly);
            job->reply("text/html", body);
        }
        m_jobs.clear();
    }
    void forget() { m_jobs.clear(); }

private:
    QList<QPointer<QWebEngineUrlRequestJob>> m_jobs;
};

/** The main window's three boxes, as plain texts the test changes. */
struct Boxes
{
    QString path, username = u"jdoe"_s, password = u"abc"_s;
    MainWindowBoxes handle()
    {
        return { [this] { return path; }, [this] { return username; }, [this] { return password; } };
    }
};

template <typename T> T *child(QWidget *window, const QString &name)
{
    T *widget = window->findChild<T *>(name);
    if (!widget)
        qWarning("no control %s", qPrintable(name));
    return widget;
}

bool transfersEnabled(QWidget *window)
{
    bool all = true;
    for (const QString &name : { u"Command2_0"_s, u"Command2_1"_s, u"Command3_0"_s, u"Command3_1"_s })
        all = all && child<QPushButton>(window, name)->isEnabled();
    return all;
}

bool transfersDisabled(QWidget *window)
{
    bool none = true;
    for (const QString &name : { u"Command2_0"_s, u"Command2_1"_s, u"Command3_0"_s, u"Command3_1"_s })
        none = none && !child<QPushButton>(window, name)->isEnabled();
    return none;
}
} // namespace

class tst_MiniBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void load_buttonsDisabledWhileBusy_readyPutsUserName();
    void maskButton_data();
    void maskButton();
    void nameButtons_setStatusLine_valueButtonDoesNot();
    void longUserName_buttonShowsItsStart();
    void refresh_loadsCurrentPath_keepsLoadValues();
    void stop_enablesButtons_pageEndStillPutsUserName();
    void unloadableOrEmptyPath_reachesReady();

    void maximizeButton_thenTitleDoubleClick_restoresAndHidesGrip();
    void theatreMenu_twice_widensTray();
    void nativeWayland_layoutsAreWindowStates_buttonsStayOnScreen();
    void trayMenu_togglesTray();
    void indicator_followsClipboard_clickEmptiesIt();
    void grip_showsOnFrameMove_dragStepsWindow_hidesItself();
    void clock_showsTime_maximizeEmptiesLine();
    void closeButtons_closeWindow_data();
    void closeButtons_closeWindow();

    void corvaneIE_waitsForPage_thenReturns();
    void corvaneIE_secondRecord_changesOnlyPathBox();
    void corvaneIE_windowClosedWhileWaiting_returns();
    void corvaneIE_exitRequested_returns();
    void externalIE_opensPathUnchanged();
    void corvoBrowser_reopenAfterClose_isFreshLoad();
    void library_missingOrBroken_saysWhyAndOpensNothing_data();
    void library_missingOrBroken_saysWhyAndOpensNothing();

private:
    QString page(const QString &name);
    MiniBrowser *open(bool show = true);
    /** The window the commands opened. */
    MiniBrowser *opened() const { return static_cast<MiniBrowser *>(m_commands->browser()); }
    bool waitReady(MiniBrowser *browser)
    {
        return QTest::qWaitFor([browser] { return !browser->isBusy(); }, 20000);
    }

    BrowserPlugin m_library; // linked in, instead of loaded from beside the program
    HeldPages m_held;
    std::unique_ptr<TestFolders> m_folders;
    Boxes m_boxes;
    QPointer<MiniBrowser> m_browser;
    std::unique_ptr<BrowserCommands> m_commands;
    QWidget *m_owner = nullptr;
};

void tst_MiniBrowser::initTestCase()
{
    BrowserLibrary::provide(&m_library);
    QWebEngineProfile::defaultProfile()->installUrlSchemeHandler(kSlowScheme, &m_held);
}

void tst_MiniBrowser::init()
{
    m_folders = std::make_unique<TestFolders>();
    m_boxes = Boxes();
    m_boxes.path = page(u"login.html"_s);
    m_owner = new QWidget;
    Clipboard::setText(u"old"_s);
}

void tst_MiniBrowser::cleanup()
{
    m_held.releaseAll();
    if (m_commands)
        delete opened();
    m_commands.reset();
    delete m_browser;
    delete m_owner;
    m_owner = nullptr;
    QTest::qWait(0);
    m_folders.reset();
}

QString tst_MiniBrowser::page(const QString &name)
{
    const QString path = m_folders->root() + u'/' + name;
    TestFolders::write(
        path, "<html><body><h1>Sign in</h1><form><input name=u><input type=password></form></body></html>");
    return QUrl::fromLocalFile(path).toString();
}

MiniBrowser *tst_MiniBrowser::open(bool show)
{
    m_browser = new MiniBrowser(m_boxes.handle());
    if (show)
        m_browser->show();
    return m_browser;
}

void tst_MiniBrowser::load_buttonsDisabledWhileBusy_readyPutsUserName()
{
    m_boxes.path = u"held:/login"_s;
    MiniBrowser *browser = open();
    QVERIFY(browser->isBusy());
    QTRY_COMPARE_WITH_TIMEOUT(m_held.waiting(), 1, 20000);
    QVERIFY(transfersDisabled(browser));
    QVERIFY(child<QPushButton>(browser, u"Command4"_s)->isEnabled());
    QVERIFY(child<QPushButton>(browser, u"Command5"_s)->isEnabled());
    QCOMPARE(Clipboard::text(), u"old"_s);
    QCOMPARE(child<QPushButton>(browser, u"Command3_0"_s)->text(), u"jdoe"_s);
    QCOMPARE(child<QLabel>(browser, u"Label2"_s)->text(), u"Done"_s);

    m_held.releaseAll();
    QVERIFY(waitReady(browser));
    QVERIFY(transfersEnabled(browser));
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
    QCOMPARE(child<QWebEngineView>(browser, u"WebBrowser1"_s)->url(), QUrl(u"held:/login"_s));
}

void tst_MiniBrowser::maskButton_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("status");

    QTest::newRow("abc, status hidden") << u"abc"_s << false << u"***"_s << u"Done"_s;
    QTest::newRow("abc, status shown") << u"abc"_s << true << u"***"_s << u"abc"_s;
    QTest::newRow("empty password") << QString() << false << QString() << u"Done"_s;
    QTest::newRow("ampersand stays itself") << u"a&b"_s << true << u"***"_s << u"a&b"_s;
}

void tst_MiniBrowser::maskButton()
{
    QFETCH(QString, password);
    QFETCH(bool, show);
    QFETCH(QString, mask);
    QFETCH(QString, status);

    m_boxes.password = password;
    MiniBrowser *browser = open();
    QVERIFY(waitReady(browser));
    QCOMPARE(child<QPushButton>(browser, u"Command4"_s)->text(), mask);
    // A screen reader never reads out the password from the hidden button under the mask.
    QAccessibleInterface *hidden = QAccessible::queryAccessibleInterface(child<QPushButton>(browser, u"Command3_1"_s));
    QVERIFY(hidden);
    QCOMPARE(hidden->text(QAccessible::Name), u"Password"_s);
    child<QCheckBox>(browser, u"Check1"_s)->setChecked(show);
    QTest::mouseClick(child<QPushButton>(browser, u"Command4"_s), Qt::LeftButton);
    QCOMPARE(Clipboard::text(), password);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->data(u"x-kde-passwordManagerHint"_s), QByteArray("secret"));
    QCOMPARE(child<QLabel>(browser, u"Label2"_s)->text(), status);
}

void tst_MiniBrowser::nameButtons_setStatusLine_valueButtonDoesNot()
{
    MiniBrowser *browser = open();
    QVERIFY(waitReady(browser));
    auto *status = child<QLabel>(browser, u"ClipStatLbl"_s);
    child<BrowserClock>(browser, u"Timer3"_s)->stop(); // the clock would overwrite the line at its next tick

    QTest::mouseClick(child<QPushButton>(browser, u"Command2_0"_s), Qt::LeftButton);
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
    QCOMPARE(status->text(), u"Usernamejdoe"_s);

    QTest::mouseClick(child<QPushButton>(browser, u"Command2_1"_s), Qt::LeftButton);
    QCOMPARE(Clipboard::text(), u"abc"_s);
    QCOMPARE(status->text(), u"Password***"_s);

    QTest::mouseClick(child<QPushButton>(browser, u"Command3_0"_s), Qt::LeftButton);
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
    QCOMPARE(status->text(), u"Password***"_s);
    // The user name is plain text, not marked as a secret.
    QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat(u"x-kde-passwordManagerHint"_s));
}

void tst_MiniBrowser::longUserName_buttonShowsItsStart()
{
    m_boxes.username = u"someone.with.a.long.name@mail.example.org"_s;
    MiniBrowser *browser = open();
    QCOMPARE(child<QPushButton>(browser, u"Command3_0"_s)->text(), m_boxes.username);
    // Not cut off at both ends, as a centred caption is: its start, then "…".
    const QString shown = static_cast<ElidedButton *>(child<QPushButton>(browser, u"Command3_0"_s))->shownText();
    QVERIFY(shown.size() > 1 && shown.endsWith(u'\u2026') && m_boxes.username.startsWith(shown.chopped(1)));
}

void tst_MiniBrowser::refresh_loadsCurrentPath_keepsLoadValues()
{
    MiniBrowser *browser = open();
    QVERIFY(waitReady(browser));
    m_boxes.path = u"held:/second"_s;
    m_boxes.username = u"other"_s;
    Clipboard::setText(u"pasted"_s);

    QTest::mouseClick(child<QPushButton>(browser, u"Command1"_s), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_held.waiting(), 1, 20000);
    QVERIFY(browser->isBusy());
    QVERIFY(transfersEnabled(browser));
    m_held.releaseAll();
    QVERIFY(waitReady(browser));
    QCOMPARE(child<QWebEngineView>(browser, u"WebBrowser1"_s)->url(), QUrl(u"held:/second"_s));
    QCOMPARE(child<QPushButton>(browser, u"Command3_0"_s)->text(), u"jdoe"_s);
    QCOMPARE(Clipboard::text(), u"pasted"_s);
}

void tst_MiniBrowser::stop_enablesButtons_pageEndStillPutsUserName()
{
    m_boxes.path = u"held:/slow"_s;
    MiniBrowser *browser = open();
    QTRY_COMPARE_WITH_TIMEOUT(m_held.waiting(), 1, 20000);
    QTest::mouseClick(child<QPushButton>(browser, u"Command5"_s), Qt::LeftButton);
    QVERIFY(transfersEnabled(browser));
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
    QVERIFY(browser->isBusy());

    Clipboard::setText(u"something else"_s);
    m_held.releaseAll();
    QVERIFY(waitReady(browser));
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
    QVERIFY(transfersEnabled(browser));
}

void tst_MiniBrowser::unloadableOrEmptyPath_reachesReady()
{
    m_boxes.path = QUrl::fromLocalFile(m_folders->root() + u"/missing.html"_s).toString();
    MiniBrowser *browser = open();
    QVERIFY(waitReady(browser));
    QVERIFY(transfersEnabled(browser));
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
    delete browser;

    m_boxes.path.clear();
    m_boxes.username = u"emptypath"_s;
    browser = open();
    QVERIFY(waitReady(browser));
    QCOMPARE(Clipboard::text(), u"emptypath"_s);
    QCOMPARE(child<QWebEngineView>(browser, u"WebBrowser1"_s)->url(), QUrl(u"about:blank"_s));
}

void tst_MiniBrowser::maximizeButton_thenTitleDoubleClick_restoresAndHidesGrip()
{
    MiniBrowser *browser = open();
    BrowserFrame *frame = browser->frame();
    const QRect screen = browser->screen()->geometry();
    QTest::mouseClick(child<QLabel>(browser, u"Image5"_s), Qt::LeftButton);
    QCOMPARE(
        browser->geometry(), QRect(screen.topLeft(), QSize(screen.width(), screen.height() - Twips::toPixels(400))));
    QVERIFY(frame->isMaximized());
    QVERIFY(child<QLabel>(browser, u"Image7"_s)->isVisible());
    QVERIFY(!child<QLabel>(browser, u"Image5"_s)->isVisible());

    QTest::mouseMove(child<QFrame>(browser, u"Frame1"_s), QPoint(1, 1));
    QVERIFY(child<QLabel>(browser, u"Picture2"_s)->isVisible());
    QTest::mouseDClick(child<QLabel>(browser, u"lblbar"_s), Qt::LeftButton);
    QVERIFY(!frame->isMaximized());
    QVERIFY(!child<QLabel>(browser, u"Picture2"_s)->isVisible());
    QCOMPARE(browser->size(), QSize(Twips::toPixels(8100), Twips::toPixels(6465)));
    QVERIFY(child<QLabel>(browser, u"Image5"_s)->isVisible());
    QVERIFY(!child<QLabel>(browser, u"Image7"_s)->isVisible());
}

void tst_MiniBrowser::theatreMenu_twice_widensTray()
{
    MiniBrowser *browser = open();
    BrowserFrame *frame = browser->frame();
    child<QAction>(browser, u"mnutheather"_s)->trigger();
    // The first use makes the tray wide enough for its caption beside the clock; each use widens it by 400.
    const int once = frame->layout().geometry().picture1.width;
    QCOMPARE(child<QLabel>(browser, u"Label6"_s)->text(), u"ClipBoard holds"_s);
    child<QAction>(browser, u"mnutheather"_s)->trigger();
    QCOMPARE(browser->geometry(), browser->screen()->geometry());
    QCOMPARE(child<QFrame>(browser, u"Picture1"_s)->width(), Twips::toPixels(once + 400));
    QVERIFY(child<QLabel>(browser, u"Image6"_s)->isVisible());
    QCOMPARE(child<QFrame>(browser, u"PictureBar"_s)->geometry().bottom(), browser->height() - 1);

    // "&Corvo Mode" goes back to the normal layout.
    child<QAction>(browser, u"mnuCorvomode"_s)->trigger();
    QCOMPARE(child<QFrame>(browser, u"Picture1"_s)->width(), Twips::toPixels(1800));
    QVERIFY(!child<QLabel>(browser, u"Image6"_s)->isVisible());
    QCOMPARE(child<QFrame>(browser, u"PictureBar"_s)->y(), Twips::toPixels(285));
}

void tst_MiniBrowser::nativeWayland_layoutsAreWindowStates_buttonsStayOnScreen()
{
    // There the compositor places windows: a window moved to (0, 0) stays where it is, and sized to the
    // screen it has its own buttons off the screen's edge.
    WindowSystem::pretendNativeWayland(true);
    const auto platform = qScopeGuard([] { WindowSystem::pretendNativeWayland(std::nullopt); });
    MiniBrowser *browser = open();
    const QSize normal(Twips::toPixels(8100), Twips::toPixels(6465));
    const auto buttonsInside
        = [browser] { return browser->rect().contains(child<QLabel>(browser, u"closebtn"_s)->geometry()); };

    QTest::mouseClick(child<QLabel>(browser, u"Image5"_s), Qt::LeftButton);
    QTRY_VERIFY(browser->isMaximized() && browser->size() == browser->screen()->availableGeometry().size());
    QVERIFY(buttonsInside());
    QVERIFY(child<QLabel>(browser, u"Image7"_s)->isVisible());
    QTest::mouseClick(child<QLabel>(browser, u"Image7"_s), Qt::LeftButton);
    QTRY_COMPARE(browser->size(), normal);
    QVERIFY(!browser->isMaximized());

    child<QAction>(browser, u"mnutheather"_s)->trigger();
    QTRY_VERIFY(browser->isFullScreen() && browser->size() == browser->screen()->geometry().size());
    QVERIFY(buttonsInside());
    QCOMPARE(child<QFrame>(browser, u"PictureBar"_s)->geometry().bottom(), browser->height() - 1);
    QTest::mouseClick(child<QLabel>(browser, u"Image6"_s), Qt::LeftButton);
    QTRY_COMPARE(browser->size(), normal);
    QVERIFY(!browser->isFullScreen());
    QCOMPARE(child<QFrame>(browser, u"PictureBar"_s)->y(), Twips::toPixels(285));
}

void tst_MiniBrowser::trayMenu_togglesTray()
{
    MiniBrowser *browser = open();
    QVERIFY(!child<QFrame>(browser, u"Picture1"_s)->isVisible());
    child<QAction>(browser, u"mnuClipbtray"_s)->trigger();
    QVERIFY(child<QFrame>(browser, u"Picture1"_s)->isVisible());
    QVERIFY(child<QAction>(browser, u"mnuClipbtray"_s)->isChecked());
    child<QAction>(browser, u"mnuClipbtray"_s)->trigger();
    QVERIFY(!child<QFrame>(browser, u"Picture1"_s)->isVisible());
    QVERIFY(!child<QAction>(browser, u"mnuClipbtray"_s)->isChecked());
}

void tst_MiniBrowser::indicator_followsClipboard_clickEmptiesIt()
{
    MiniBrowser *browser = open();
    child<QAction>(browser, u"mnuClipbtray"_s)->trigger();
    QVERIFY(waitReady(browser));
    QVERIFY(child<QLabel>(browser, u"Image3_1"_s)->isVisible());
    QVERIFY(!child<QLabel>(browser, u"Image3_0"_s)->isVisible());

    Clipboard::clear(); // as another program would
    QTRY_VERIFY(child<QLabel>(browser, u"Image3_0"_s)->isVisible());
    QVERIFY(!child<QLabel>(browser, u"Image3_1"_s)->isVisible());

    Clipboard::setText(u"x"_s);
    QTRY_VERIFY(child<QLabel>(browser, u"Image3_1"_s)->isVisible());
    QTest::mouseClick(child<QLabel>(browser, u"Image3_1"_s), Qt::LeftButton);
    QCOMPARE(Clipboard::text(), QString());
    QTRY_VERIFY(child<QLabel>(browser, u"Image3_0"_s)->isVisible());
}

void tst_MiniBrowser::grip_showsOnFrameMove_dragStepsWindow_hidesItself()
{
    MiniBrowser *browser = open();
    BrowserFrame *frame = browser->frame();
    QTest::qWait(600); // long enough since the window's load for the count to pass 50
    QTest::mouseMove(child<QFrame>(browser, u"Frame1"_s), QPoint(1, 1));
    QVERIFY(child<QLabel>(browser, u"Picture2"_s)->isVisible());
    // Shown after a long pause, it hides at the next tick.
    QTRY_VERIFY_WITH_TIMEOUT(!child<QLabel>(browser, u"Picture2"_s)->isVisible(), 200);
    QVERIFY(frame->gripTicks() < 10); // hiding started the count again

    // Shown again at once, it stays until the count reaches 50 again.
    QTest::mouseMove(child<QFrame>(browser, u"Frame1"_s), QPoint(2, 2));
    QTest::qWait(200);
    QVERIFY(child<QLabel>(browser, u"Picture2"_s)->isVisible());
    const QSize before = browser->size();
    QTest::mousePress(child<QLabel>(browser, u"Picture2"_s), Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(frame->gripDragging());
    QTest::mouseMove(child<QLabel>(browser, u"Picture2"_s), QPoint(2, 2));
    QCOMPARE(frame->layout().geometry().window.width, Twips::fromPixels(before.width()) - 40);
    QCOMPARE(frame->layout().geometry().window.height, Twips::fromPixels(before.height()) - 40);
    QCOMPARE(browser->size(),
        QSize(Twips::toPixels(frame->layout().geometry().window.width),
            Twips::toPixels(frame->layout().geometry().window.height)));
    QTest::mouseRelease(child<QLabel>(browser, u"Picture2"_s), Qt::LeftButton);
    QVERIFY(!child<QLabel>(browser, u"Picture2"_s)->isVisible());
    QVERIFY(!frame->gripDragging());
}

void tst_MiniBrowser::clock_showsTime_maximizeEmptiesLine()
{
    FakeClock clock(QDateTime(QDate(2024, 5, 1), QTime(21, 4, 7)));
    MiniBrowser *browser = open();
    QCOMPARE(child<QLabel>(browser, u"ClipStatLbl"_s)->text(), u"21:04:07"_s);
    QTest::mouseClick(child<QLabel>(browser, u"Image5"_s), Qt::LeftButton);
    QCOMPARE(child<QLabel>(browser, u"ClipStatLbl"_s)->text(), QString());
    QTest::qWait(1100);
    QCOMPARE(child<QLabel>(browser, u"ClipStatLbl"_s)->text(), QString());
    child<QAction>(browser, u"mnutheather"_s)->trigger();
    QCOMPARE(child<QLabel>(browser, u"ClipStatLbl"_s)->text(), u"21:04:07"_s);
}

void tst_MiniBrowser::closeButtons_closeWindow_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("close button") << u"closebtn"_s;
    QTest::newRow("Quit") << u"Image1"_s;
    QTest::newRow("menu entry") << u"mnuExit"_s;
}

void tst_MiniBrowser::closeButtons_closeWindow()
{
    QFETCH(QString, control);
    QPointer<MiniBrowser> browser = open();
    QSignalSpy closed(browser.data(), &MiniBrowser::closed);
    if (auto *action = browser->findChild<QAction *>(control))
        action->trigger();
    else
        QTest::mouseClick(child<QLabel>(browser, control), Qt::LeftButton);
    QCOMPARE(closed.size(), 1);
    QTRY_VERIFY(browser.isNull());
}

void tst_MiniBrowser::corvaneIE_waitsForPage_thenReturns()
{
    m_boxes.path = u"held:/wait"_s;
    m_commands = std::make_unique<BrowserCommands>(m_boxes.handle(), nullptr);
    bool releasedWhileWaiting = false;
    QTimer release;
    connect(&release, &QTimer::timeout, this, [&] {
        if (m_held.waiting() > 0) {
            releasedWhileWaiting = true;
            m_held.releaseAll();
        }
    });
    release.start(50);
    m_commands->CorvaneIE_Click();
    MiniBrowser *browser = opened();
    QVERIFY(releasedWhileWaiting);
    QVERIFY(browser);
    QVERIFY(!browser->isBusy());
    QVERIFY(browser->isVisible());
    QCOMPARE(child<QLineEdit>(browser, u"Text1"_s)->text(), u"held:/wait"_s);
    QCOMPARE(Clipboard::text(), u"jdoe"_s);
}

void tst_MiniBrowser::corvaneIE_secondRecord_changesOnlyPathBox()
{
    const QString first = m_boxes.path;
    m_commands = std::make_unique<BrowserCommands>(m_boxes.handle(), m_owner);
    m_commands->CorvaneIE_Click();
    MiniBrowser *browser = opened();
    QVERIFY(waitReady(browser));
    QCOMPARE(browser->parentWidget(), m_owner);

    m_boxes.path = page(u"second.html"_s);
    m_boxes.username = u"second"_s;
    m_commands->CorvaneIE_Click();
    QCOMPARE(opened(), browser);
    QCOMPARE(child<QLineEdit>(browser, u"Text1"_s)->text(), m_boxes.path);
    QCOMPARE(child<QWebEngineView>(browser, u"WebBrowser1"_s)->url(), QUrl(first));
    QCOMPARE(child<QPushButton>(browser, u"Command3_0"_s)->text(), u"jdoe"_s);
}

void tst_MiniBrowser::corvaneIE_windowClosedWhileWaiting_returns()
{
    m_boxes.path = u"held:/never"_s;
    m_commands = std::make_unique<BrowserCommands>(m_boxes.handle(), nullptr);
    connect(m_commands.get(), &BrowserCommands::browserLoaded, this,
        [](BrowserWindow *browser) { QTimer::singleShot(300, browser->widget(), &QWidget::close); });
    // Should the wait not end with the window, the page's end ends it later, and the test fails.
    QTimer fallback; // ends with the test
    fallback.callOnTimeout(this, [this] { m_held.releaseAll(); });
    fallback.start(8000);
    QElapsedTimer waited;
    waited.start();
    m_commands->CorvaneIE_Click();
    QVERIFY(waited.elapsed() < 5000);
    QTRY_VERIFY(!m_commands->browser());
    m_held.forget();
}

void tst_MiniBrowser::corvaneIE_exitRequested_returns()
{
    FakeExit exit;
    m_boxes.path = u"held:/never"_s;
    m_commands = std::make_unique<BrowserCommands>(m_boxes.handle(), nullptr);
    QTimer::singleShot(300, this, [] { ProgramExit::request(); });
    QTimer fallback; // ends with the test
    fallback.callOnTimeout(this, [this] { m_held.releaseAll(); });
    fallback.start(8000);
    QElapsedTimer waited;
    waited.start();
    m_commands->CorvaneIE_Click();
    QVERIFY(waited.elapsed() < 5000);
    QVERIFY(exit.requested());
    QVERIFY(m_commands->browser()->isBusy());
    m_held.forget();
}

void tst_MiniBrowser::externalIE_opensPathUnchanged()
{
    FakeShell shell;
    m_boxes.path = u"www.example.com/login.php"_s;
    BrowserCommands commands(m_boxes.handle(), m_owner);
    commands.mnuExternalIE_Click();
    QCOMPARE(shell.opened, QStringList { u"www.example.com/login.php"_s });
    QVERIFY(!commands.browser());
}

void tst_MiniBrowser::corvoBrowser_reopenAfterClose_isFreshLoad()
{
    m_commands = std::make_unique<BrowserCommands>(m_boxes.handle(), m_owner);
    m_commands->mnuCorvoBrowser_Click();
    QPointer<MiniBrowser> first = opened();
    QVERIFY(first && first->isVisible());
    QCOMPARE(child<QLineEdit>(first, u"Text1"_s)->text(), QString());
    QVERIFY(waitReady(first));
    first->close();
    QTRY_VERIFY(first.isNull());

    m_boxes.username = u"next"_s;
    m_boxes.password = u"12345"_s;
    m_commands->mnuCorvoBrowser_Click();
    MiniBrowser *second = opened();
    QVERIFY(second);
    QCOMPARE(child<QPushButton>(second, u"Command3_0"_s)->text(), u"next"_s);
    QCOMPARE(child<QPushButton>(second, u"Command4"_s)->text(), u"*****"_s);
    QVERIFY(waitReady(second));
    QCOMPARE(Clipboard::text(), u"next"_s);
}

void tst_MiniBrowser::library_missingOrBroken_saysWhyAndOpensNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // of the library file; empty: no file
    QTest::addColumn<QString>("why");

    QTest::newRow("missing") << QByteArray() << u"is missing."_s;
    QTest::newRow("not a library") << QByteArray("#!/bin/sh\n") << u"could not be loaded"_s;
    QFile other(QLibraryInfo::path(QLibraryInfo::PluginsPath) + u"/imageformats/libqsvg.so"_s);
    QVERIFY(other.open(QIODevice::ReadOnly));
    QTest::newRow("another program's plugin") << other.readAll() << u"is not Corvane's browser library."_s;
}

void tst_MiniBrowser::library_missingOrBroken_saysWhyAndOpensNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    BrowserLibrary::provide(nullptr);
    const auto linkedAgain = qScopeGuard([this] { BrowserLibrary::provide(&m_library); });
    if (!content.isEmpty())
        TestFolders::write(BrowserLibrary::path(), content);
    FakeMessages messages;
    BrowserCommands commands(m_boxes.handle(), m_owner);

    commands.mnuCorvoBrowser_Click();
    commands.CorvaneIE_Click();
    QVERIFY(!commands.browser());
    QCOMPARE(messages.shown.size(), 2);
    for (const ShownMessage &shown : std::as_const(messages.shown)) {
        QCOMPARE(shown.icon, MessageIcon::Critical);
        QCOMPARE(shown.title, u"Corvane"_s);
        QVERIFY2(shown.text.startsWith(
                     u"The built-in browser cannot be opened.\n\nThe file "_s + BrowserLibrary::path() + u' ' + why),
            qPrintable(shown.text));
    }
    QCOMPARE(Clipboard::text(), u"old"_s);
}

int main(int argc, char **argv)
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QWebEngineUrlScheme scheme(kSlowScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QApplication::font().family(), 8));
    tst_MiniBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_minibrowser.moc"
