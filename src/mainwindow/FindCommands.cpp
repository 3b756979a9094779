// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/FindCommands.h"

#include "i18n/Language.h"
#include "mainwindow/EditBoxRules.h"
#include "mainwindow/FindWindow.h"
#include "mainwindow/RecordCommands.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {
/** The entry of the language table, or english where the table has none (a table made before Find). */
QString caption(Language::Entry entry, const QString &english)
{
    const QString text = Language::entry(entry);
    return text.isEmpty() ? english : text;
}
} // namespace

FindCommands::FindCommands(const Controls &controls, const RecordFinder &finder, const RecordCommands &commands,
    EditBoxRules &boxRules, std::function<void(int)> selectRow)
    : QObject(controls.window)
    , m_ui(controls)
    , m_finder(finder)
    , m_commands(commands)
    , m_boxRules(boxRules)
    , m_selectRow(std::move(selectRow))
    , m_title(u"Find"_s)
    , m_hint(u"Service, Path, Username or Info"_s)
    , m_notFound(u"No record holds this text"_s)
{
    connect(m_ui.mnuFind, &QAction::triggered, this, &FindCommands::mnuFind_Click);
}

void FindCommands::applyLanguage()
{
    m_ui.mnuFind->setText(caption(Language::Entry::MenuFind, m_ui.mnuFind->text()));
    m_title = caption(Language::Entry::FindTitle, m_title);
    m_hint = caption(Language::Entry::FindHint, m_hint);
    m_notFound = caption(Language::Entry::FindNotFound, m_notFound);
}

void FindCommands::mnuFind_Click()
{
    // Ctrl+F pressed in an edit box: the release of its Ctrl is no key of the box (which would
    // turn capture mode on), even when it comes before the Find window has the keyboard.
    m_boxRules.forgetPressedKeys();
    if (!m_window) {
        m_window = new FindWindow(m_ui.window);
        m_window->setWindowTitle(m_title);
        m_window->FindText->setPlaceholderText(m_hint);
        connect(m_window->FindText, &QLineEdit::textChanged, this, &FindCommands::FindText_Change);
        connect(m_window, &FindWindow::findNext, this, [this] { step(RecordFinder::Direction::Forward); });
        connect(m_window, &FindWindow::findPrevious, this, [this] { step(RecordFinder::Direction::Backward); });
    }
    m_finder.prepare();
    m_window->showWithFocus();
}

FindWindow *FindCommands::window() const
{
    return m_window;
}

void FindCommands::closeWindow()
{
    if (m_window)
        m_window->hide();
}

void FindCommands::forget()
{
    delete m_window;
    m_foundRow = -1;
    m_from = 0;
}

void FindCommands::FindText_Change(const QString &text)
{
    if (text.isEmpty()) {
        m_window->FindStatus->clear();
        return;
    }
    // A record the user selected since (or none) starts the search afresh after it; while the
    // record found last is still selected, more letters search from where that search began,
    // so they keep it when it still holds them and a letter taken back finds what it found.
    const int selected = m_commands.selectedRow();
    if (m_foundRow < 0 || selected != m_foundRow)
        m_from = selected + 1;
    showFound(m_finder.find(text, m_from));
}

void FindCommands::step(RecordFinder::Direction direction)
{
    const QString text = m_window->FindText->text();
    if (text.isEmpty())
        return;
    const int selected = m_commands.selectedRow();
    int from = selected + 1;
    if (direction == RecordFinder::Direction::Backward)
        from = selected < 0 ? -1 : selected - 1;
    const int row = m_finder.find(text, from, direction);
    if (row >= 0)
        m_from = row;
    showFound(row);
}

void FindCommands::showFound(int row)
{
    if (row < 0) {
        m_window->FindStatus->setText(m_notFound);
        return;
    }
    m_window->FindStatus->clear();
    m_foundRow = row;
    m_selectRow(row);
}
