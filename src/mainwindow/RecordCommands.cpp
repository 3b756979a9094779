// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/RecordCommands.h"

#include "common/AppInfo.h"
#include "common/ClickLabel.h"
#include "common/Clipboard.h"
#include "common/Messages.h"
#include "i18n/Language.h"
#include "mainwindow/InfoEdit.h"
#include "security/OwnerCheck.h"
#include "security/OwnerState.h"
#include "store/RecordEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTableView>
#include <QtDebug>

using namespace Qt::StringLiterals;

namespace {
/** The database key of owner, asked by the editor only where the level needs one. */
KeyProvider keyOf(const OwnerState &owner)
{
    return [&owner] { return databaseKey(owner); };
}
} // namespace

RecordCommands::RecordCommands(
    const Controls &controls, RecordEditor &editor, OwnerState &owner, std::function<bool()> reloadRecords)
    : QObject(controls.window)
    , m_ui(controls)
    , m_editor(editor)
    , m_owner(owner)
    , m_reloadRecords(std::move(reloadRecords))
{
    const Controls &ui = m_ui;
    connect(ui.mnuAdd, &QAction::triggered, this, &RecordCommands::mnuAdd_Click);
    connect(ui.mnuReplace, &QAction::triggered, this, &RecordCommands::mnuReplace_Click);
    connect(ui.mnuRemove, &QAction::triggered, this, &RecordCommands::mnuRemove_Click);
    connect(ui.mnuUndo, &QAction::triggered, this, &RecordCommands::mnuUndo_Click);
    connect(ui.mnuReset, &QAction::triggered, this, &RecordCommands::mnuReset_Click);
    connect(ui.addButton, &ClickLabel::clicked, this, &RecordCommands::mnuAdd_Click);
    connect(ui.replaceButton, &ClickLabel::clicked, this, &RecordCommands::mnuReplace_Click);
    connect(ui.trashButton, &ClickLabel::clicked, this, &RecordCommands::mnuRemove_Click);
    connect(ui.resetButton, &ClickLabel::clicked, this, &RecordCommands::mnuReset_Click);

    for (int field = RecordLine::Service; field < RecordLine::Info; ++field)
        connect(
            ui.boxes.lineBox(RecordLine::Field(field)), &QLineEdit::textChanged, this, &RecordCommands::updateEnabling);
    connect(ui.boxes.infoBox(), &InfoEdit::contentChanged, this, &RecordCommands::updateEnabling);
}

RecordLine::Texts RecordCommands::boxes() const
{
    return m_ui.boxes.texts();
}

void RecordCommands::AddRecord()
{
    if (blocked())
        return;
    const EditResult result = m_editor.add(m_owner.Reach, boxes(), keyOf(m_owner));
    if (!succeeded(result))
        return;
    deselect();
    m_ui.window->setWindowTitle(AppInfo::title);
    emptyBoxes();
    m_ui.boxes.Text1[RecordLine::Service]->setFocus();
    showRow(result.row);
}

void RecordCommands::mnuReplace_Click()
{
    // Only the record the user selected can be replaced.
    if (m_selectedRow < 0 || blocked())
        return;
    saveUndoFields();
    m_ui.mnuUndo->setEnabled(true);

    const EditResult result = m_editor.replace(m_owner.Reach, m_selectedRow, boxes(), keyOf(m_owner));
    if (!succeeded(result))
        return;
    deselect();
    m_ui.window->setWindowTitle(AppInfo::title);
    emptyBoxes();
    m_ui.boxes.Text1[RecordLine::Service]->setFocus();
    showRow(result.row);
}

void RecordCommands::mnuRemove_Click()
{
    if (m_selectedRow < 0 || blocked())
        return;
    const EditResult result = m_editor.remove(m_owner.Reach, m_selectedRow, keyOf(m_owner));
    if (!succeeded(result))
        return;
    saveUndoFields();
    m_ui.window->setWindowTitle(AppInfo::title);
    m_ui.mnuUndo->setEnabled(true);
    emptyBoxes();
    deselect();
}

bool RecordCommands::importRecords(const QStringList &lines)
{
    if (blocked())
        return false;
    const EditResult result = m_editor.importLines(m_owner.Reach, lines, keyOf(m_owner));
    if (result.outcome == EditOutcome::WriteFailed) {
        qWarning().noquote() << "Corvane: the import could not be written:" << result.detail;
        showMessage(m_ui.window, MessageIcon::Critical, AppInfo::title,
            u"Corvane could not write the database, so nothing was imported: the records are as they were.\n%1"_s.arg(
                result.detail));
        return false;
    }
    if (!succeeded(result))
        return false;
    deselect();
    m_ui.window->setWindowTitle(AppInfo::title);
    return true;
}

void RecordCommands::mnuUndo_Click()
{
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field) {
        m_ui.boxes.setText(RecordLine::Field(field), UndoFields[field]);
        UndoFields[field].clear();
    }
    m_ui.mnuUndo->setEnabled(false);
}

void RecordCommands::mnuReset_Click()
{
    const Controls &ui = m_ui;
    if (ui.mnuCapture->isChecked()) {
        if (m_stopCapture)
            m_stopCapture();
        Clipboard::clear();
        ui.mnuCapture->setChecked(false);
    }
    emptyBoxes();
    m_ui.window->setWindowTitle(AppInfo::title);
    ui.Check1->setChecked(true);
    deselect();
}

void RecordCommands::forget()
{
    emptyBoxes();
    for (QWidget *box : m_ui.boxes.Text1)
        box->setToolTip(QString());
    UndoFields = {};
    m_ui.mnuUndo->setEnabled(false);
    deselect();
}

void RecordCommands::select(int row)
{
    m_selectedRow = row;
    m_ui.Grid1->selectRow(row);
    updateEnabling();
}

void RecordCommands::deselect()
{
    m_selectedRow = -1;
    m_ui.Grid1->clearSelection();
    updateEnabling();
}

void RecordCommands::updateEnabling()
{
    const Controls &ui = m_ui;
    const bool filled = !ui.boxes.text(RecordLine::Password).isEmpty() && !ui.boxes.text(RecordLine::Username).isEmpty()
        && !ui.boxes.text(RecordLine::Service).isEmpty();
    const bool selected = m_selectedRow >= 0;
    ui.mnuAdd->setEnabled(filled);
    ui.addButton->setEnabled(filled);
    ui.mnuReplace->setEnabled(filled && selected);
    ui.replaceButton->setEnabled(filled && selected);
    ui.mnuRemove->setEnabled(selected);
    ui.trashButton->setEnabled(selected);
}

void RecordCommands::showRow(int row)
{
    QTableView *grid = m_ui.Grid1;
    // The grid lays its rows out later, and shows or hides its scroll bars later still: both
    // first, or a row filed at the end would be scrolled to where the old last row was, under
    // the horizontal scroll bar.
    grid->doItemsLayout();
    QCoreApplication::sendPostedEvents(grid, QEvent::MetaCall);
    grid->scrollTo(grid->model()->index(row, 0), QAbstractItemView::EnsureVisible);
}

void RecordCommands::saveUndoFields()
{
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field)
        UndoFields[field] = m_ui.boxes.text(RecordLine::Field(field));
}

void RecordCommands::emptyBoxes()
{
    m_ui.boxes.setTexts({});
}

bool RecordCommands::succeeded(const EditResult &result)
{
    switch (result.outcome) {
    case EditOutcome::Done:
        if (!result.warning.isEmpty())
            showMessage(m_ui.window, MessageIcon::Information, AppInfo::title, result.warning);
        return true;
    case EditOutcome::Duplicate:
        showMessage(m_ui.window, MessageIcon::Information, AppInfo::title,
            Language::text(Language::Entry::IdenticalRecordMessage, u"There is an identical record already filed"_s));
        break;
    case EditOutcome::NoChange:
        showMessage(m_ui.window, MessageIcon::Information, AppInfo::title,
            Language::text(Language::Entry::NoChangesMessage, u"There were no changes"_s));
        break;
    case EditOutcome::Refused:
        showRefused(result.detail);
        break;
    case EditOutcome::WriteFailed:
        showDiskError(result.detail);
        break;
    case EditOutcome::ChangedOutside:
        showChangedOutside();
        break;
    case EditOutcome::NothingSelected:
        break;
    }
    return false;
}

void RecordCommands::showChangedOutside()
{
    // The fresh records first, so the user makes the change again on what the file now holds.
    if (!m_reloadRecords())
        return; // the reload said why the file cannot be used
    showMessage(m_ui.window, MessageIcon::Information, AppInfo::title,
        u"The database was changed outside Corvane since Corvane read it. Corvane has read it again, and your "
        u"change was not made: the grid now shows the records the file holds. Please make your change again."_s);
}

void RecordCommands::showRefused(const QString &why)
{
    showMessage(m_ui.window, MessageIcon::Critical, AppInfo::title, why);
}

void RecordCommands::showDiskError(const QString &detail)
{
    qWarning().noquote() << "Corvane: the database could not be written:" << detail;
    showMessage(m_ui.window, MessageIcon::Critical, u"Disk Error - i66"_s, u"Can not access the DataBase."_s);
}

bool RecordCommands::blocked()
{
    if (m_writesBlocked.isEmpty())
        return false;
    // The file may have been mended or put back since it was read.
    if (m_editor.fileChanged(m_owner.Reach)) {
        showChangedOutside();
        return true;
    }
    showMessage(m_ui.window, MessageIcon::Critical, AppInfo::title,
        u"The database could not be read, so Corvane does not change it.\n%1"_s.arg(m_writesBlocked));
    return true;
}
