// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowFixture.h"

#include "common/ClickLabel.h"
#include "common/ElidedLabel.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"
#include "mainwindow/InfoEdit.h"
#include "store/FieldCipher.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

MainWindowFixture::MainWindowFixture(const QStringList &records)
{
    if (!records.isEmpty()) {
        QByteArray file;
        for (const QString &line : records)
            file += TextLines::terminated(Windows1252::encode(FieldCipher::encipher(line)));
        TestFolders::write(folders.data() + u"/userDB.pdb"_s, file);
    }
    QDir().mkpath(folders.data());
    window = std::make_unique<mainScr>();
    ui = controlsOf(window.get());
}

MainWindowFixture::~MainWindowFixture() = default;

void MainWindowFixture::start()
{
    window->Form_Load();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

QLineEdit *MainWindowFixture::box(RecordLine::Field field) const
{
    return ui.lineBox(field);
}

void MainWindowFixture::type(RecordLine::Field field, const QString &text)
{
    ui.Text1[field]->setFocus();
    QTest::keyClicks(ui.Text1[field], text);
}

void MainWindowFixture::clickRow(int row, Qt::MouseButton button)
{
    QTableView *grid = ui.Grid1;
    const QRect rect = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), button, {}, rect.isValid() ? rect.center() : QPoint(5, 5));
}

QStringList MainWindowFixture::fileLines() const
{
    QStringList lines;
    for (const QByteArray &line : TextLines::split(TestFolders::read(folders.data() + u"/userDB.pdb"_s)))
        lines.append(FieldCipher::decipher(Windows1252::decode(line)));
    return lines;
}

QString MainWindowFixture::cell(int row, RecordLine::Field field) const
{
    return window->records().index(row, field).data().toString();
}

int MainWindowFixture::rows() const
{
    return window->records().rowCount();
}

namespace {
template <typename T> T *child(const QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

template <typename T> void find(const QWidget *window, T *&control, const char *name)
{
    control = child<T>(window, QString::fromLatin1(name));
}

/** A control array: each control's name is the array's with its index ("Text1_3"). */
template <typename T, std::size_t N> void find(const QWidget *window, std::array<T *, N> &controls, const char *name)
{
    for (std::size_t i = 0; i < N; ++i)
        controls[i] = child<T>(window, u"%1_%2"_s.arg(QLatin1StringView(name)).arg(i));
}
} // namespace

mainScrControls controlsOf(const QWidget *window)
{
    mainScrControls ui;
    find(window, ui.Frame3, "Frame3");
    find(window, ui.Image1, "Image1");
    find(window, ui.Line1, "Line1");
    find(window, ui.Frame1, "Frame1");
    find(window, ui.Picture1, "Picture1");
    find(window, ui.Label6, "Label6");
    find(window, ui.ClipStatLbl, "ClipStatLbl");
    find(window, ui.Image3, "Image3");
    find(window, ui.Frame2, "Frame2");
    find(window, ui.Label4, "Label4");
    find(window, ui.Label1, "Label1");
    find(window, ui.Label2, "Label2");
    find(window, ui.Label5, "Label5");
    find(window, ui.Text1, "Text1");
    find(window, ui.Line2, "Line2");
    find(window, ui.Check1, "Check1");
    find(window, ui.Grid1, "Grid1");
    find(window, ui.mnuFileTop, "mnuFileTop");
    find(window, ui.mnuBackupDB, "mnuBackupDB");
    find(window, ui.mnuRestoreDB, "mnuRestoreDB");
    find(window, ui.mnuImport, "mnuImport");
    find(window, ui.mnuExport, "mnuExport");
    find(window, ui.mnuCorvoBrowser, "mnuCorvoBrowser");
    find(window, ui.mnuLock, "mnuLock");
    find(window, ui.mnuExit, "mnuExit");
    find(window, ui.mnuEditTop, "mnuEditTop");
    find(window, ui.mnuUndo, "mnuUndo");
    find(window, ui.mnuAdd, "mnuAdd");
    find(window, ui.mnuReplace, "mnuReplace");
    find(window, ui.mnuRemove, "mnuRemove");
    find(window, ui.mnuReset, "mnuReset");
    find(window, ui.mnuCapture, "mnuCapture");
    find(window, ui.mnuClearClip, "mnuClearClip");
    find(window, ui.mnuFind, "mnuFind");
    find(window, ui.mnuPreferencesTop, "mnuPreferencesTop");
    find(window, ui.mnuOnTop, "mnuOnTop");
    find(window, ui.ResetSize, "ResetSize");
    find(window, ui.mnuAutoComplete, "mnuAutoComplete");
    find(window, ui.mnuShowPass, "mnuShowPass");
    find(window, ui.mnuSecurity, "mnuSecurity");
    find(window, ui.mnuLang, "mnuLang");
    find(window, ui.mnuHideDisplay, "mnuHideDisplay");
    find(window, ui.mnuAutoHide, "mnuAutoHide");
    find(window, ui.mnuHelpTop, "mnuHelpTop");
    find(window, ui.mnuHelp, "mnuHelp");
    find(window, ui.mnuAbout, "mnuAbout");
    find(window, ui.TmnuUrl, "TmnuUrl");
    find(window, ui.mnuCopyToClip, "mnuCopyToClip");
    find(window, ui.mnuBrowse, "mnuBrowse");
    find(window, ui.CorvaneIE, "CorvaneIE");
    find(window, ui.mnuExternalIE, "mnuExternalIE");
    return ui;
}

QString recordLine(const QString &service, const QString &path, const QString &user, const QString &password,
    const QString &info, const QString &date)
{
    return service + u":!"_s + path + u":!"_s + user + u":!"_s + password + u":!"_s + info + u":!"_s + date + u":!"_s;
}
