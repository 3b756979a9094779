// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/RecordCommands.h"

#include "common/AppInfo.h"
#include "common/ClickLabel.h"
#include "common/Clipboard.h"
#include "common/Messages.h"
#include "i18n/Language.h"
#include "mainwindow/InfoEdit.h"
#include "mainwindow/mainScr.h"
#include "store/RecordEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTableView>
#include <QtDebug>

using namespace Qt::StringLiterals;

RecordCommands::RecordCommands(mainScr &window)
    : QObject(&window)
    , m_window(window)
{
    mainScrControls &ui = window.ui;
    connect(ui.mnuAdd, &QAction::triggered, this, &RecordCommands::mnuAdd_Click);
    connect(ui.mnuReplace, &QAction::triggered, this, &RecordCommands::mnuReplace_Click);
    connect(ui.mnuRemove, &QAction::triggered, this, &RecordCommands::mnuRemove_Click);
    connect(ui.mnuUndo, &QAction::triggered, this, &RecordCommands::mnuUndo_Click);
    connect(ui.mnuReset, &QAction::triggered, this, &RecordCommands::mnuReset_Click);
    connect(ui.Image1[0], &ClickLabel::clicked, this, &RecordCommands::mnuAdd_Click);
    connect(ui.Image1[1], &ClickLabel::clicked, this, &RecordCommands::mnuReplace_Click);
    connect(ui.Image1[2], &ClickLabel::clicked, this, &RecordCommands::mnuRemove_Click);
    connect(ui.Image1[3], &ClickLabel::clicked, this, &RecordCommands::mnuReset_Click);

    for (int field = RecordLine::Service; field < RecordLine::Info; ++field)
        connect(ui.lineBox(RecordLine::Field(field)), &QLineEdit::textChanged, this, &RecordCommands::updateEnabling);
    connect(ui.infoBox(), &InfoEdit::contentChanged, this, &RecordCommands::updateEnabling);
}

RecordLine::Texts RecordCommands::boxes() const
{
    return m_window.ui.texts();
}

void RecordCommands::AddRecord()
{
    if (blocked())
        return;
    const EditResult result = m_window.editor().add(m_window.level(), boxes(), m_window.databaseKey());
    if (!succeeded(result))
        return;
    deselect();
    m_window.setWindowTitle(AppInfo::title);
    emptyBoxes();
    m_window.ui.Text1[RecordLine::Service]->setFocus();
    showRow(result.row);
}

void RecordCommands::mnuReplace_Click()
{
    // Only the record the user selected can be replaced.
    if (m_selectedRow < 0 || blocked())
        return;
    saveUndoFields();
    m_window.ui.mnuUndo->setEnabled(true);

    const EditResult result
        = m_window.editor().replace(m_window.level(), m_selectedRow, boxes(), m_window.databaseKey());
    if (!succeeded(result))
        return;
    deselect();
    m_window.setWindowTitle(AppInfo::title);
    emptyBoxes();
    m_window.ui.Text1[RecordLine::Service]->setFocus();
    showRow(result.row);
}

void RecordCommands::mnuRemove_Click()
{
    if (m_selectedRow < 0 || blocked())
        return;
    const EditResult result = m_window.editor().remove(m_window.level(), m_selectedRow, m_window.databaseKey());
    if (!succeeded(result))
        return;
    saveUndoFields();
    m_window.setWindowTitle(AppInfo::title);
    m_window.ui.mnuUndo->setEnabled(true);
    emptyBoxes();
    deselect();
}

void RecordCommands::mnuUndo_Click()
{
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field) {
        m_window.ui.setText(RecordLine::Field(field), UndoFields[field]);
        UndoFields[field].clear();
    }
    m_window.ui.mnuUndo->setEnabled(false);
}

void RecordCommands::mnuReset_Click()
{
    mainScrControls &ui = m_window.ui;
    if (ui.mnuCapture->isChecked()) {
        if (m_stopCapture)
            m_stopCapture();
        Clipboard::clear();
        ui.mnuCapture->setChecked(false);
    }
    emptyBoxes();
    m_window.setWindowTitle(AppInfo::title);
    ui.Check1->setChecked(true);
    deselect();
}

void RecordCommands::select(int row)
{
    m_selectedRow = row;
    m_window.ui.Grid1->selectRow(row);
    updateEnabling();
}

void RecordCommands::deselect()
{
    m_selectedRow = -1;
    m_window.ui.Grid1->clearSelection();
    updateEnabling();
}

void RecordCommands::updateEnabling()
{
    mainScrControls &ui = m_window.ui;
    const bool filled = !ui.text(RecordLine::Password).isEmpty() && !ui.text(RecordLine::Username).isEmpty()
        && !ui.text(RecordLine::Service).isEmpty();
    const bool selected = m_selectedRow >= 0;
    ui.mnuAdd->setEnabled(filled);
    ui.Image1[0]->setEnabled(filled);
    ui.mnuReplace->setEnabled(filled && selected);
    ui.Image1[1]->setEnabled(filled && selected);
    ui.mnuRemove->setEnabled(selected);
    ui.Image1[2]->setEnabled(selected);
}

void RecordCommands::showRow(int row)
{
    QTableView *grid = m_window.ui.Grid1;
    // The grid lays its rows out later, and shows or hides its scroll bars later still: both
    // first, or a row filed at the end would be scrolled to where the old last row was, under
    // the horizontal scroll bar.
    grid->doItemsLayout();
    QCoreApplication::sendPostedEvents(grid, QEvent::MetaCall);
    grid->scrollTo(m_window.records().index(row, 0), QAbstractItemView::EnsureVisible);
}

void RecordCommands::saveUndoFields()
{
    for (int field = RecordLine::Service; field <= RecordLine::Info; ++field)
        UndoFields[field] = m_window.ui.text(RecordLine::Field(field));
}

void RecordCommands::emptyBoxes()
{
    m_window.ui.setTexts({});
}

bool RecordCommands::succeeded(const EditResult &result)
{
    switch (result.outcome) {
    case EditOutcome::Done:
        if (!result.warning.isEmpty())
            showMessage(&m_window, MessageIcon::Information, AppInfo::title, result.warning);
        return true;
    case EditOutcome::Duplicate:
        showMessage(&m_window, MessageIcon::Information, AppInfo::title,
            Language::text(68, u"There is an identical record already filed"_s));
        break;
    case EditOutcome::NoChange:
        showMessage(
            &m_window, MessageIcon::Information, AppInfo::title, Language::text(72, u"There were no changes"_s));
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
    if (!m_window.reloadRecords())
        return; // the reload said why the file cannot be used
    showMessage(&m_window, MessageIcon::Information, AppInfo::title,
        u"The database was changed outside Corvane since Corvane read it. Corvane has read it again, and your "
        u"change was not made: the grid now shows the records the file holds. Please make your change again."_s);
}

void RecordCommands::showRefused(const QString &why)
{
    showMessage(&m_window, MessageIcon::Critical, AppInfo::title, why);
}

void RecordCommands::showDiskError(const QString &detail)
{
    qWarning().noquote() << "Corvane: the database could not be written:" << detail;
    showMessage(&m_window, MessageIcon::Critical, u"Disk Error - i66"_s, u"Can not access the DataBase."_s);
}

bool RecordCommands::blocked()
{
    if (m_writesBlocked.isEmpty())
        return false;
    // The file may have been mended or put back since it was read.
    if (m_window.editor().fileChanged(m_window.level())) {
        showChangedOutside();
        return true;
    }
    showMessage(&m_window, MessageIcon::Critical, AppInfo::title,
        u"The database could not be read, so Corvane does not change it.\n%1"_s.arg(m_writesBlocked));
    return true;
}
