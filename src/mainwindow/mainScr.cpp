// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainScr.h"

#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/ClickLabel.h"
#include "common/ElidedLabel.h"
#include "common/Messages.h"
#include "common/ProgramExit.h"
#include "common/Twips.h"
#include "common/WindowFrame.h"
#include "i18n/Language.h"
#include "mainwindow/ClipboardCommands.h"
#include "mainwindow/DisplayModes.h"
#include "mainwindow/EditBoxRules.h"
#include "mainwindow/InfoEdit.h"
#include "mainwindow/RecordCommands.h"
#include "mainwindow/ToolbarHover.h"
#include "mainwindow/WindowCommands.h"
#include "security/CheckOwnerPassword.h"
#include "security/OwnerCheck.h"
#include "store/RecordLine.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
int widthOf(const QWidget *widget)
{
    return Twips::fromPixels(widget->width());
}

int leftOf(const QWidget *widget)
{
    return Twips::fromPixels(widget->x());
}

/** Sets a width in twips; a negative one cannot be set and leaves the widget as it is. */
void setWidth(QWidget *widget, int twips)
{
    if (twips >= 0)
        widget->resize(Twips::toPixels(twips), widget->height());
}

void setHeight(QWidget *widget, int twips)
{
    if (twips >= 0)
        widget->resize(widget->width(), Twips::toPixels(twips));
}
} // namespace

mainScr::mainScr(QWidget *parent)
    : QMainWindow(parent)
    , m_editor(m_records, m_database)
{
    setObjectName(u"mainScr"_s);
    setWindowTitle(AppInfo::title);
    setWindowIcon(QIcon(u":/icons/corvane.svg"_s));
    ui.setUp(this);
    ui.Grid1->setModel(&m_records);
    ui.Grid1->viewport()->installEventFilter(this);
    ui.Grid1->installEventFilter(this);

    m_commands = new RecordCommands(*this);
    m_boxRules = new EditBoxRules(*this);
    m_windows = new WindowCommands(*this);
    m_clipboard = new ClipboardCommands(*this);
    m_modes = new DisplayModes(*this);
    m_toolbar = new ToolbarHover(*this);

    connect(ui.Check1, &QCheckBox::toggled, this, &mainScr::Check1_Click);
    connect(ui.mnuShowPass, &QAction::triggered, this, &mainScr::mnuShowPass_Click);
    connect(ui.mnuExit, &QAction::triggered, this, &mainScr::mnuExit_Click);
    connect(ui.mnuAbout, &QAction::triggered, this, &mainScr::aboutRequested);

    // The normal size, centred on the screen until the preferences say where the window was.
    m_frame = WindowFrame::of(this);
    m_frame->setOuterSize(7980, 6300);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

mainScr::~mainScr()
{
    // The window and its commands watch its controls: they stop first, so that none of them sees
    // a control that is half destroyed.
    ui.Grid1->viewport()->removeEventFilter(this);
    ui.Grid1->removeEventFilter(this);
    delete m_toolbar;
    delete m_modes;
    delete m_clipboard;
    delete m_windows;
    delete m_boxRules;
    delete m_commands;
}

void mainScr::Form_Load()
{
    m_modes->LoadPrefs();
    owner.Reach = u"0"_s;
    FileResult settled;
    CheckOwnerPassword(owner, true,
        { this, [this] { return m_windows->securityDialog(); }, &m_database,
            [&settled](const FileResult &result) { settled = result; } });
    if (ProgramExit::isRequested())
        return;
    m_decipheredAtLoad = level() == 1 && QFile::exists(m_database.files().temporary);
    SetColumnWidths();
    NormalHeight = 6330;
    if (!Language::isEnglish())
        applyLanguage();
    ui.Check1->setChecked(true);
    loadRecords();
    showSettled(settled);
}

void mainScr::showSettled(const FileResult &settled)
{
    if (!settled) {
        // The files are not what the level says: a write now could put a new file in place of the records.
        m_commands->setWritesBlocked(settled.error);
        showMessage(this, MessageIcon::Critical, AppInfo::title,
            u"Corvane leaves the database as it is in this session.\n%1"_s.arg(settled.error));
    } else if (!settled.warning.isEmpty()) {
        showMessage(this, MessageIcon::Information, AppInfo::title, settled.warning);
    }
}

int mainScr::level() const
{
    return owner.level();
}

KeyProvider mainScr::databaseKey()
{
    return ::databaseKey(owner);
}

void mainScr::SetColumnWidths()
{
    static const int widths[] = { 2000, 3600, 1200, 1300 };
    for (int column = 0; column < 4; ++column)
        ui.Grid1->setColumnWidth(column, Twips::toPixels(widths[column]));
    ui.Grid1->setColumnWidth(4, ui.Grid1->width());
}

void mainScr::loadRecords()
{
    const bool level1 = level() == 1;
    m_editor.fileRead(level());
    LoadResult loaded = m_database.LoadDatabase(level());
    if (level1) {
        if (const FileResult removed = m_database.removeTemporary(); !removed)
            showMessage(this, MessageIcon::Critical, AppInfo::title, AppFolders::decipheredCopyLeft(removed.error));
    }
    if (loaded.status && level1 && QFile::exists(m_database.files().encrypted) && !m_decipheredAtLoad) {
        // The start-up check could not decipher the file: say why, in its own words.
        loaded = m_database.readActive(1, databaseKey()());
        if (loaded.status)
            loaded.status = FileResult::failure(u"The enciphered database could not be deciphered."_s);
        loaded.lines.clear();
    }
    showRecords(loaded);
}

bool mainScr::reloadRecords()
{
    m_editor.fileRead(level());
    // Read in memory: no deciphered copy of the records is written anywhere.
    const LoadResult loaded = m_database.readActive(level(), level() == 1 ? databaseKey()() : QString());
    showRecords(loaded);
    return bool(loaded.status);
}

void mainScr::showRecords(const LoadResult &loaded)
{
    // A database that exists but cannot be read must not be written over from an empty list.
    m_commands->setWritesBlocked(loaded.status ? QString() : loaded.status.error);
    m_commands->deselect();
    setWindowTitle(AppInfo::title); // no record is selected, so none has its date shown
    m_records.setLines(loaded.status ? loaded.lines : QStringList());
    if (loaded.status)
        return;
    QString text
        = u"The database could not be read, so Corvane shows none of its records and will not change it.\n%1"_s.arg(
            loaded.status.error);
    if (loaded.wrongKey)
        text += u"\n\nIt was enciphered under another owner password. To get the records back, restore a backup with "
                u"File > Restore Database: for a backup made under another password, Corvane asks for that password."_s;
    showMessage(this, MessageIcon::Critical, AppInfo::title, text);
}

void mainScr::mnuExit_Click()
{
    // An unwritable preferences file is passed over (SavePrefs says why in the log): the program ends all the same.
    static_cast<void>(m_modes->SavePrefs());
    ProgramExit::request();
}

int mainScr::outerWidth() const
{
    return m_frame->outerWidth();
}

int mainScr::outerHeight() const
{
    return m_frame->outerHeight();
}

void mainScr::setOuterHeight(int twips)
{
    m_frame->setOuterHeight(twips);
}

void mainScr::setOuterSize(int widthTwips, int heightTwips)
{
    m_frame->setOuterSize(widthTwips, heightTwips);
}

void mainScr::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyResizeRules();
}

void mainScr::applyResizeRules()
{
    const int W = outerWidth();
    const int H = outerHeight();
    setWidth(ui.Frame2, W - 200);
    setWidth(ui.Frame1, W - 100);
    setWidth(ui.Grid1, W - leftOf(ui.Grid1) - 200);
    setHeight(ui.Grid1, gridHeight(H));
    // The boxes reach the frame's right edge, stopping at the inside of its border.
    const int border = Twips::fromPixels(ui.Frame2->frameWidth());
    setWidth(ui.Text1[RecordLine::Path], widthOf(ui.Frame2) - leftOf(ui.Text1[RecordLine::Path]) - border);
    setWidth(ui.Text1[RecordLine::Info], widthOf(ui.Frame2) - leftOf(ui.Text1[RecordLine::Info]) - border);
    setWidth(ui.Picture1, W - leftOf(ui.Picture1) - 180);
    ui.ClipStatLbl->fitText(ui.Picture1->contentsRect().right());
    if (!ui.mnuAutoHide->isChecked() && !ui.mnuHideDisplay->isChecked())
        NormalHeight = H;
    if (H < 600)
        setOuterHeight(m_modes->collapsedHeight());
}

int mainScr::gridHeight(int H) const
{
    const int top = Twips::fromPixels(ui.Grid1->y());
    const int height = H - top - 800;
    // The 800 twips below the grid leave room for a slim title bar and the menu bar; a taller
    // frame would cut the grid's last row and its scroll bar off at the window's bottom edge.
    const int room = Twips::fromPixels(centralWidget()->height()) - top - kGridBottomMargin;
    return height >= 0 ? std::min(height, room) : height;
}

void mainScr::closeEvent(QCloseEvent *event)
{
    // The window's close control ends the program like Escape: the preferences are written by Exit only.
    event->accept();
    ProgramExit::request();
}

bool mainScr::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui.Grid1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            // Only the left button selects; any other leaves the selection as it is.
            if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
                return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                Grid1_MouseUp(ui.Grid1->indexAt(mouse->position().toPoint()));
        }
    } else if (watched == ui.Grid1 && event->type() == QEvent::KeyRelease) {
        // Moving through the rows with the keyboard selects the record under the cursor.
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            Grid1_MouseUp(ui.Grid1->currentIndex());
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void mainScr::Grid1_MouseUp(const QModelIndex &index)
{
    // Below the last record (or in an empty grid) there is nothing to select.
    if (!index.isValid() || index.row() >= m_records.rowCount())
        return;
    const int row = index.row();
    const RecordLine::Values values = RecordLine::split(m_records.List1().item(row));
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field)
        ui.setText(RecordLine::Field(field), values[field]);
    setWindowTitle(AppInfo::title + u" - Record Date: "_s + values[RecordLine::RecordDate]);
    m_commands->select(row);
}

void mainScr::Check1_Click()
{
    QLineEdit *password = ui.lineBox(RecordLine::Password);
    if (ui.Check1->isChecked()) {
        password->setEchoMode(QLineEdit::Password);
        ui.mnuShowPass->setText(u"Show Password"_s);
    } else {
        password->setEchoMode(QLineEdit::Normal);
        ui.mnuShowPass->setText(u"Hide Password"_s);
        ui.Text1[RecordLine::Service]->setFocus();
    }
}

void mainScr::mnuShowPass_Click()
{
    const bool show = ui.mnuShowPass->text().left(4) == u"Show"_s;
    ui.mnuShowPass->setText(show ? u"Hide Password"_s : u"Show Password"_s);
    {
        const QSignalBlocker quiet(ui.Check1);
        ui.Check1->setChecked(!show);
    }
    Check1_Click();
}

void mainScr::applyLanguage()
{
    ui.Label4->setText(Language::entry(5));
    ui.Label1->setText(Language::entry(6));
    ui.Label2->setText(Language::entry(7));
    ui.Label5->setText(Language::entry(9));
    ui.Check1->setText(Language::entry(10));
    ui.Check1->setToolTip(Language::entry(25));
    const std::pair<QAction *, int> menus[] = {
        { ui.mnuSecurity, 14 },
        { ui.mnuCapture, 15 },
        { ui.mnuAdd, 16 },
        { ui.mnuRemove, 17 },
        { ui.mnuReplace, 18 },
        { ui.mnuReset, 19 },
        { ui.mnuLang, 20 },
        { ui.mnuAbout, 21 },
        { ui.mnuHelp, 23 },
        { ui.mnuExit, 24 },
    };
    for (const auto &[action, index] : menus)
        action->setText(Language::entry(index));
}
