// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ImportExportCommands.h"

#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/Messages.h"
#include "common/SafeFile.h"
#include "mainwindow/ImportSummary.h"
#include "mainwindow/RecordCommands.h"
#include "security/OwnerCheck.h"
#include "security/OwnerState.h"
#include "store/Database.h"
#include "store/LoginCsv.h"
#include "store/RecordTableModel.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace {
/** Far more than the export of any collection of logins; a larger file is some other file. */
constexpr qint64 kLargestImport = 64 * 1024 * 1024;

const QString kCsvFilters = u"CSV files (*.csv);;All files (*)"_s;

/** Shows the wait cursor while a step the user waits for runs. */
class Busy
{
public:
    Busy() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QGuiApplication::restoreOverrideCursor(); }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;
};

bool sameFolder(const QString &a, const QString &b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}
} // namespace

ImportExportCommands::ImportExportCommands(const Controls &controls, RecordTableModel &records, Database &database,
    OwnerState &owner, RecordCommands &commands)
    : QObject(controls.window)
    , m_ui(controls)
    , m_records(records)
    , m_database(database)
    , m_owner(owner)
    , m_commands(commands)
    , m_folder(QDir::homePath())
{
    connect(m_ui.mnuImport, &QAction::triggered, this, &ImportExportCommands::mnuImport_Click);
    connect(m_ui.mnuExport, &QAction::triggered, this, &ImportExportCommands::mnuExport_Click);
}

QString ImportExportCommands::chooseFile(QFileDialog::AcceptMode mode, const QString &title)
{
    // Qt's own dialog, the same on every desktop, where the user can type a path as well as pick one.
    QFileDialog dialog(m_ui.window, title, m_folder, kCsvFilters);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setDefaultSuffix(u"csv"_s);
        dialog.selectFile(u"corvane-export.csv"_s);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().first();
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

void ImportExportCommands::mnuImport_Click()
{
    if (m_commands.writesRefused())
        return;
    const QString path = chooseFile(QFileDialog::AcceptOpen, u"Import Logins - "_s + AppInfo::title);
    if (!path.isEmpty())
        importFile(path);
}

void ImportExportCommands::importFile(const QString &path)
{
    const auto refuse = [this](const QString &why) {
        showMessage(m_ui.window, MessageIcon::Critical, AppInfo::title, why + u" Nothing was imported."_s);
    };
    // A device or a pipe typed into the dialog could be read forever.
    const QFileInfo file(path);
    if (!file.isFile())
        return refuse(u"%1 is not a file."_s.arg(QDir::toNativeSeparators(path)));
    if (file.size() > kLargestImport)
        return refuse(u"%1 is too large to be an export of logins."_s.arg(QDir::toNativeSeparators(path)));
    QString why;
    const std::optional<QByteArray> content = SafeFile::readAll(path, &why);
    if (!content)
        return refuse(u"Corvane could not read the file: %1"_s.arg(why));

    // At "Program and DBase" a record must also read back whole once enciphered under the owner password.
    const Level level = m_owner.Reach;
    const QString key = enciphers(level) ? databaseKey(m_owner) : QString();
    LoginCsv::LineCheck check;
    if (!key.isEmpty())
        check = [&](const QString &line) { return m_database.checkStorable(level, line, key).error; };
    std::optional<LoginCsv::PlanResult> planned;
    {
        Busy busy;
        planned = LoginCsv::planImport(*content, m_records.List1(), check);
    }
    if (!planned->plan)
        return refuse(planned->error);

    ImportSummary summary(path, *planned->plan, m_ui.window);
    if (summary.exec() != QDialog::Accepted || planned->plan->lines.isEmpty())
        return;
    Busy busy;
    m_commands.importRecords(planned->plan->lines);
}

void ImportExportCommands::mnuExport_Click()
{
    if (m_records.rowCount() == 0) {
        showMessage(m_ui.window, MessageIcon::Information, AppInfo::title, u"There are no records to export."_s);
        return;
    }
    const MessageAnswer answer = showMessage(m_ui.window, MessageIcon::None, u"Confirmation Request"_s,
        u"The exported file holds every password as plain text, unenciphered: anyone who can read the file can "
        u"read all your logins. Keep it somewhere safe, and delete it once you no longer need it. Export the "
        u"records?"_s,
        MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes)
        return;
    const QString path = chooseFile(QFileDialog::AcceptSave, u"Export Logins - "_s + AppInfo::title);
    if (!path.isEmpty())
        exportTo(path);
}

void ImportExportCommands::exportTo(const QString &path)
{
    // A file there could take the place of the database or the owner password.
    if (sameFolder(QFileInfo(path).absolutePath(), AppFolders::dataFolder())) {
        showMessage(m_ui.window, MessageIcon::Critical, AppInfo::title,
            u"Corvane keeps its own files in %1. Please export to another folder."_s.arg(
                QDir::toNativeSeparators(AppFolders::dataFolder())));
        return;
    }
    const FileResult written = SafeFile::writeWhole(path, LoginCsv::exportRecords(m_records.List1()));
    if (!written) {
        showMessage(m_ui.window, MessageIcon::Critical, AppInfo::title,
            u"The records could not be exported, and no file was written.\n%1"_s.arg(written.error));
        return;
    }
    const int count = m_records.rowCount();
    QString done = (count == 1 ? u"%1 record was exported to %2."_s : u"%1 records were exported to %2."_s)
                       .arg(count)
                       .arg(QDir::toNativeSeparators(path));
    if (!written.warning.isEmpty())
        done += u'\n' + written.warning;
    showMessage(m_ui.window, MessageIcon::Information, AppInfo::title, done);
}
