// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/LangSelect.h"

#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/Messages.h"
#include "common/Twips.h"
#include "i18n/Language.h"
#include "i18n/LanguageFiles.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

using namespace Qt::StringLiterals;

LangSelect::LangSelect(QWidget *mainWindow, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , Frame1(new QGroupBox(u"Supported languages "_s, this))
    , List1(new QListWidget(Frame1))
    , Command1(new QPushButton(u"Ok"_s, this))
    , Command2(new QPushButton(u"Cancel"_s, this))
    , m_mainWindow(mainWindow)
{
    setObjectName(u"LangSelect"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    Frame1->setObjectName(u"Frame1"_s);
    List1->setObjectName(u"List1"_s);
    Command1->setObjectName(u"Command1"_s);
    Command2->setObjectName(u"Command2"_s);

    setWindowTitle(u"Language"_s);
    setFixedSize(Twips::toPixels(3600), Twips::toPixels(3420));
    place(Frame1, 120, 60, 3360, 2640);
    place(List1, 120, 300, 3120, 2220);
    place(Command1, 960, 2850, 1200, 405);
    place(Command2, 2280, 2850, 1200, 405);
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List1->addItem(Language::English);
    // A button with the keyboard focus takes Return as a click (in a window that is no QDialog, Qt leaves that out).
    for (QPushButton *button : { Command1, Command2 })
        button->setAutoDefault(true);

    connect(Command1, &QPushButton::clicked, this, &LangSelect::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &LangSelect::Command2_Click);
    centerWindow(this);
    Form_Load();
}

void LangSelect::Form_Load()
{
    const LanguageFiles::Listing listing = LanguageFiles::listLanguages(AppFolders::languageFolder());
    List1->addItems(listing.names);
    const std::optional<QString> choice
        = listing.complete ? LanguageFiles::readChoice(AppFolders::languageChoiceFile()) : std::nullopt;
    if (!choice) {
        // No language folder, a file that is not a language, or no choice yet.
        Language::setCurrentLanguage(Language::English);
        return;
    }
    Language::setCurrentLanguage(*choice);

    for (int i = 0; i < List1->count(); ++i) {
        if (List1->item(i)->text() == *choice)
            List1->item(i)->setSelected(true);
    }
    if (!Language::isEnglish()) {
        setWindowTitle(Language::entry(Language::Entry::MenuSetLanguage));
        Command1->setText(Language::entry(Language::Entry::AcceptButton));
    }
}

void LangSelect::Command1_Click()
{
    for (int i = 0; i < List1->count(); ++i) {
        if (!List1->item(i)->isSelected())
            continue;
        const QString name = List1->item(i)->text();
        Language::setCurrentLanguage(name);
        const FileResult saved = LanguageFiles::writeChoice(AppFolders::languageChoiceFile(), name);
        if (!saved) {
            // The choice holds for this run all the same.
            showMessage(this, MessageIcon::Critical, AppInfo::title,
                u"The language choice could not be saved for the next start.\n%1"_s.arg(saved.error));
        }
        return;
    }
}

void LangSelect::Command2_Click()
{
    close();
}

void LangSelect::closeEvent(QCloseEvent *event)
{
    // Closing by the window frame must not leave the main window hidden for good.
    showMainWindow();
    event->accept();
}

void LangSelect::showMainWindow()
{
    if (m_mainWindow)
        m_mainWindow->show();
}
