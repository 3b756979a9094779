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
#include "mainwindow/FindCommands.h"
#include "mainwindow/ImportExportCommands.h"
#include "mainwindow/InfoEdit.h"
#include "mainwindow/LockCommands.h"
#include "mainwindow/RecordCommands.h"
#include "mainwindow/ToolbarHover.h"
#include "mainwindow/WindowCommands.h"
#include "security/CheckOwnerPassword.h"
#include "security/OwnerCheck.h"
#include "store/RecordFields.h"
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
#include <QTimer>

#include <malloc.h>

using namespace Qt::StringLiterals;

namespace {
/** What the start found, with more: a failure of either, and the warnings of both. */
void combine(FileResult &found, const FileResult &more)
{
    if (found && !more) {
        found.ok = false;
        found.error = more.error;
    }
    found.addWarning(more);
}

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
    m_ui.setUp(this);
    m_ui.Grid1->setModel(&m_records);
    m_ui.Grid1->viewport()->installEventFilter(this);
    m_ui.Grid1->installEventFilter(this);
    m_ui.Grid1->setFinder(&m_finder);
    connect(m_ui.Grid1, &RecordGrid::rowTyped, this, &mainScr::selectRecord);

    createCommands();

    connect(m_ui.Check1, &QCheckBox::toggled, this, &mainScr::Check1_Click);
    connect(m_ui.mnuShowPass, &QAction::triggered, this, &mainScr::mnuShowPass_Click);
    connect(m_ui.mnuExit, &QAction::triggered, this, &mainScr::mnuExit_Click);
    connect(m_ui.Image1[7], &ClickLabel::clicked, this, &mainScr::mnuExit_Click);
    connect(m_ui.mnuAbout, &QAction::triggered, this, &mainScr::aboutRequested);

    // The normal size, centred on the screen until the preferences say where the window was.
    m_frame = WindowFrame::of(this);
    m_frame->setOuterSize(DisplayModes::kNormalWidth, DisplayModes::kNormalHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void mainScr::createCommands()
{
    createRecordCommands();
    createWindowCommands();
    createClipboardCommands();
    createLookCommands();
    createLockAndFind();
}

/** The commands that change the records, and the edit boxes' own keys that run some of them. */
void mainScr::createRecordCommands()
{
    const mainScrControls &ui = m_ui;
    m_commands = new RecordCommands({ .window = this,
                                        .boxes = ui.boxes(),
                                        .Check1 = ui.Check1,
                                        .Grid1 = ui.Grid1,
                                        .addButton = ui.Image1[0],
                                        .replaceButton = ui.Image1[1],
                                        .trashButton = ui.Image1[2],
                                        .resetButton = ui.Image1[3],
                                        .mnuAdd = ui.mnuAdd,
                                        .mnuReplace = ui.mnuReplace,
                                        .mnuRemove = ui.mnuRemove,
                                        .mnuUndo = ui.mnuUndo,
                                        .mnuReset = ui.mnuReset,
                                        .mnuCapture = ui.mnuCapture },
        m_editor, m_owner, [this] { return reloadRecords(); });
    m_boxRules = new EditBoxRules({ .window = this, .boxes = ui.boxes(), .mnuCapture = ui.mnuCapture }, *m_commands);
}

/** The entries that open another window, and import and export. */
void mainScr::createWindowCommands()
{
    const mainScrControls &ui = m_ui;
    const auto reload = [this] { return reloadRecords(); };
    m_windows = new WindowCommands({ .window = this,
                                       .boxes = ui.boxes(),
                                       .mnuBackupDB = ui.mnuBackupDB,
                                       .mnuRestoreDB = ui.mnuRestoreDB,
                                       .mnuSecurity = ui.mnuSecurity,
                                       .passwordButton = ui.Image1[4],
                                       .mnuLang = ui.mnuLang,
                                       .mnuCorvoBrowser = ui.mnuCorvoBrowser,
                                       .CorvaneIE = ui.CorvaneIE,
                                       .mnuExternalIE = ui.mnuExternalIE },
        m_owner, m_database, *m_commands, reload);
    m_transfers = new ImportExportCommands({ .window = this, .mnuImport = ui.mnuImport, .mnuExport = ui.mnuExport },
        m_records, m_database, m_owner, *m_commands);
}

void mainScr::createClipboardCommands()
{
    const mainScrControls &ui = m_ui;
    m_clipboard = new ClipboardCommands({ .window = this,
        .fields = ui.fields(),
        .Check1 = ui.Check1,
        .Picture1 = ui.Picture1,
        .ClipStatLbl = ui.ClipStatLbl,
        .Image3 = ui.Image3,
        .captureButton = ui.Image1[6],
        .mnuCapture = ui.mnuCapture,
        .mnuClearClip = ui.mnuClearClip,
        .TmnuUrl = ui.TmnuUrl,
        .mnuCopyToClip = ui.mnuCopyToClip });
    // Reset ends capture mode's copy.
    m_commands->setCaptureStop([this] { m_clipboard->stopCopy(); });
}

/** The display modes and the toolbar's look. */
void mainScr::createLookCommands()
{
    const mainScrControls &ui = m_ui;
    m_modes = new DisplayModes({ .window = this,
        .boxes = ui.boxes(),
        .Frame2 = ui.Frame2,
        .mnuPreferencesTop = ui.mnuPreferencesTop,
        .mnuHideDisplay = ui.mnuHideDisplay,
        .mnuAutoHide = ui.mnuAutoHide,
        .mnuOnTop = ui.mnuOnTop,
        .ResetSize = ui.ResetSize,
        .NormalHeight = NormalHeight });
    m_toolbar = new ToolbarHover({ .window = this,
        .Frame3 = ui.Frame3,
        .Image1 = ui.Image1,
        .Line1 = ui.Line1,
        .fields = ui.fields(),
        .Line2 = ui.Line2,
        .Grid1 = ui.Grid1,
        .mnuHelp = ui.mnuHelp });
}

void mainScr::createLockAndFind()
{
    const mainScrControls &ui = m_ui;
    m_lock = new LockCommands({ .window = this, .mnuFileTop = ui.mnuFileTop, .mnuLock = ui.mnuLock }, m_owner,
        { .dropRecords = [this] { dropRecords(); },
            .reloadRecords = [this] { reloadAfterLock(); },
            .savePrefs = [this] { static_cast<void>(m_modes->SavePrefs()); } });
    // A new owner password, or none, changes whether Corvane can lock.
    connect(m_windows, &WindowCommands::ownerSettingsSaved, m_lock, &LockCommands::updateEnabling);
    m_find = new FindCommands({ .window = this, .mnuFind = ui.mnuFind }, m_finder, *m_commands, *m_boxRules,
        [this](int row) { selectRecord(row); });
}

mainScr::~mainScr()
{
    // The window and its commands watch its controls: they stop first, so that none of them sees
    // a control that is half destroyed.
    m_ui.Grid1->viewport()->removeEventFilter(this);
    m_ui.Grid1->removeEventFilter(this);
    delete m_find;
    delete m_toolbar;
    delete m_modes;
    delete m_clipboard;
    delete m_transfers;
    delete m_windows;
    delete m_boxRules;
    delete m_commands;
}

void mainScr::Form_Load()
{
    m_modes->LoadPrefs();
    FileResult settled;
    CheckOwnerPassword(m_owner, true,
        { this, [this] { return m_windows->securityDialog(); }, &m_database,
            [&settled](const FileResult &result) { combine(settled, result); } });
    if (ProgramExit::isRequested())
        return;
    m_decipheredAtLoad = enciphers(level()) && QFile::exists(m_database.files().temporary);
    SetColumnWidths();
    NormalHeight = DisplayModes::kHeightAfterLoad;
    if (!Language::isEnglish())
        applyLanguage();
    m_ui.Check1->setChecked(true);
    loadRecords(settled);
    showSettled(settled);
    // From the event loop the program lives in, once the window shows.
    QTimer::singleShot(0, m_lock, &LockCommands::arm);
}

void mainScr::showSettled(const FileResult &settled)
{
    if (!settled) {
        // The files are not what the level says: a write now could put a new file in place of the records.
        m_commands->setWritesBlocked(settled.error);
        const QString also = settled.warning.isEmpty() ? QString() : u'\n' + settled.warning;
        showMessage(this, MessageIcon::Critical, AppInfo::title,
            u"Corvane leaves the database as it is in this session.\n%1"_s.arg(settled.error) + also);
    } else if (!settled.warning.isEmpty()) {
        showMessage(this, MessageIcon::Information, AppInfo::title, settled.warning);
    }
}

Level mainScr::level() const
{
    return m_owner.Reach;
}

QString mainScr::databaseKey() const
{
    return ::databaseKey(m_owner);
}

bool mainScr::withoutKey() const
{
    return enciphers(level()) && databaseKey().isEmpty();
}

void mainScr::SetColumnWidths()
{
    for (const RecordFields::Description &field : RecordFields::all) {
        if (field.columnTwips == RecordFields::kGridWidth)
            m_ui.Grid1->setColumnWidth(field.field, m_ui.Grid1->width());
        else if (field.columnTwips > 0)
            m_ui.Grid1->setColumnWidth(field.field, Twips::toPixels(field.columnTwips));
    }
}

void mainScr::loadRecords(FileResult &warnings)
{
    readRecords(warnings);
    // The load read every record into text that the list, holding them more compactly, no longer
    // needs: that memory goes back to the system rather than waiting in the heap.
    ::malloc_trim(0);
}

void mainScr::readRecords(FileResult &warnings)
{
    const bool enciphered = enciphers(level());
    m_editor.fileRead(level());
    LoadResult loaded = m_database.LoadDatabase(level());
    if (enciphered) {
        if (const FileResult removed = m_database.removeTemporary(); !removed)
            showMessage(this, MessageIcon::Critical, AppInfo::title, AppFolders::decipheredCopyLeft(removed.error));
        else
            warnings.addWarning(removed);
    }
    if (loaded.status && enciphered && QFile::exists(m_database.files().encrypted) && !m_decipheredAtLoad
        && !withoutKey()) {
        // The start-up check could not decipher the file: say why, in its own words.
        loaded = m_database.readActive(Level::ProgramAndDatabase, databaseKey());
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
    const LoadResult loaded
        = withoutKey() ? LoadResult {} : m_database.readActive(level(), enciphers(level()) ? databaseKey() : QString());
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

void mainScr::dropRecords()
{
    m_clipboard->forget();
    m_commands->forget();
    m_find->forget();
    m_records.setLines({});
    setWindowTitle(AppInfo::title);
}

void mainScr::reloadAfterLock()
{
    // Reading the file again does not make a write safe that was held back (a level change waiting for the
    // next start, say).
    const QString held = m_commands->writesBlocked();
    reloadRecords();
    if (!held.isEmpty() && m_commands->writesBlocked().isEmpty())
        m_commands->setWritesBlocked(held);
}

void mainScr::bringToFront()
{
    if (m_lock->isLocked()) {
        if (QWidget *prompt = m_lock->ownerPrompt()) {
            // Minimized by the owner meanwhile, it comes back as the main window would.
            prompt->setWindowState(prompt->windowState() & ~Qt::WindowMinimized);
            prompt->raise();
            prompt->activateWindow();
        }
        return;
    }
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
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
    setWidth(m_ui.Frame2, W - 200);
    setWidth(m_ui.Frame1, W - 100);
    setWidth(m_ui.Grid1, W - leftOf(m_ui.Grid1) - 200);
    setHeight(m_ui.Grid1, gridHeight(H));
    // The boxes reach the frame's right edge, stopping at the inside of its border.
    const int border = Twips::fromPixels(m_ui.Frame2->frameWidth());
    setWidth(m_ui.Text1[RecordLine::Path], widthOf(m_ui.Frame2) - leftOf(m_ui.Text1[RecordLine::Path]) - border);
    setWidth(m_ui.Text1[RecordLine::Info], widthOf(m_ui.Frame2) - leftOf(m_ui.Text1[RecordLine::Info]) - border);
    setWidth(m_ui.Picture1, W - leftOf(m_ui.Picture1) - 180);
    m_ui.ClipStatLbl->fitText(m_ui.Picture1->contentsRect().right());
    if (!m_ui.mnuAutoHide->isChecked() && !m_ui.mnuHideDisplay->isChecked())
        NormalHeight = H;
    if (H < 600)
        setOuterHeight(DisplayModes::kCollapsedHeight);
}

int mainScr::gridHeight(int H) const
{
    const int top = Twips::fromPixels(m_ui.Grid1->y());
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

void mainScr::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    // Find belongs to the main window: hidden by Corvane (for the language dialog, on the way out), it takes
    // Find with it. Minimized, it leaves Find to the window manager, which minimizes and restores the two together.
    if (!event->spontaneous())
        m_find->closeWindow();
}

bool mainScr::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui.Grid1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            // Only the left button selects; any other leaves the selection as it is.
            if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
                return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                Grid1_MouseUp(m_ui.Grid1->indexAt(mouse->position().toPoint()));
        }
    } else if (watched == m_ui.Grid1 && event->type() == QEvent::KeyRelease) {
        // Moving through the rows with the keyboard selects the record under the cursor.
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            Grid1_MouseUp(m_ui.Grid1->currentIndex());
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
        m_ui.setText(RecordLine::Field(field), values[field]);
    setWindowTitle(AppInfo::title + u" - Record Date: "_s + values[RecordLine::RecordDate]);
    m_commands->select(row);
}

void mainScr::selectRecord(int row)
{
    Grid1_MouseUp(m_records.index(row, RecordLine::Service));
    m_ui.Grid1->scrollTo(m_ui.Grid1->currentIndex(), QAbstractItemView::EnsureVisible);
}

void mainScr::Check1_Click()
{
    QLineEdit *password = m_ui.lineBox(RecordLine::Password);
    if (m_ui.Check1->isChecked()) {
        password->setEchoMode(QLineEdit::Password);
        m_ui.mnuShowPass->setText(u"Show Password"_s);
    } else {
        password->setEchoMode(QLineEdit::Normal);
        m_ui.mnuShowPass->setText(u"Hide Password"_s);
        m_ui.Text1[RecordLine::Service]->setFocus();
    }
}

void mainScr::mnuShowPass_Click()
{
    const bool show = m_ui.mnuShowPass->text().left(4) == u"Show"_s;
    m_ui.mnuShowPass->setText(show ? u"Hide Password"_s : u"Show Password"_s);
    {
        const QSignalBlocker quiet(m_ui.Check1);
        m_ui.Check1->setChecked(!show);
    }
    Check1_Click();
}

void mainScr::applyLanguage()
{
    using Language::Entry;
    m_ui.Label4->setText(Language::entry(Entry::ServiceLabel));
    m_ui.Label1->setText(Language::entry(Entry::UsernameLabel));
    m_ui.Label2->setText(Language::entry(Entry::PasswordLabel));
    m_ui.Label5->setText(Language::entry(Entry::PathLabel));
    m_ui.Check1->setText(Language::entry(Entry::HideCheck));
    m_ui.Check1->setToolTip(Language::entry(Entry::HideCheckTip));
    const std::pair<QAction *, Entry> menus[] = {
        { m_ui.mnuSecurity, Entry::MenuSetPassword },
        { m_ui.mnuCapture, Entry::MenuCapture },
        { m_ui.mnuAdd, Entry::MenuAdd },
        { m_ui.mnuRemove, Entry::MenuRemove },
        { m_ui.mnuReplace, Entry::MenuReplace },
        { m_ui.mnuReset, Entry::MenuReset },
        { m_ui.mnuLang, Entry::MenuSetLanguage },
        { m_ui.mnuAbout, Entry::MenuAbout },
        { m_ui.mnuHelp, Entry::MenuContents },
        { m_ui.mnuExit, Entry::MenuExit },
    };
    for (const auto &[action, entry] : menus)
        action->setText(Language::entry(entry));
    m_find->applyLanguage();
}
