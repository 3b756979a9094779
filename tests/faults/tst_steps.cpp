// SPDX-License-Identifier: GPL-3.0-or-later
// Stops the store driver at each step one change of a 32,767-record database
// takes on the disk, one step per run: every fsync, fdatasync, rename, link
// and unlink it makes, and every opening of the data folder (to sync it), as
// strace sees them. A step is stopped in one of two ways:
//
// - killed: SIGKILL as the driver enters the step's system call. For level
//   changes (0 to 1, 1 to 1 with a new password, 1 to 2, 2 to 1, 1 to 0) the
//   start that follows must settle the files to the settings from before or
//   after the change, with all records and only the files that level uses.
//   Changes to a lower level are also killed right after each of those calls
//   and each fchmod has returned (as the driver enters the next of them, or
//   the next write: after an fchmod, the new file's data).
// - failed: the call, and every later one of its kind, returns EIO. What the
//   driver reports must be what the files hold: a failure only while they
//   still hold the state from before, success (with or without a warning)
//   once they hold the new one. Level changes and Replace, Remove and Add at
//   levels 0 and 1.
#include "KillSets.h"
#include "TestFolders.h"
#include "common/AppFolders.h"
#include "security/OwnerCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kDriver = QStringLiteral(CORVANE_STORE_DRIVER);
const QStringList kDurableCalls
    = { u"fsync"_s, u"fdatasync"_s, u"rename"_s, u"renameat2"_s, u"linkat"_s, u"unlink"_s, u"unlinkat"_s };

/** The n-th call of a system call since the driver started; openat counts the data folder's openings only. */
struct Step
{
    QString call;
    int n = 0;
    QString name() const { return u"%1 #%2"_s.arg(call).arg(n); }
};

/** Whether the driver's output has a line that starts with word and a space. */
bool says(const QByteArray &output, const char *word)
{
    const QByteArray prefix = QByteArray(word) + ' ';
    return output.startsWith(prefix) || output.contains(QByteArray('\n' + prefix));
}

/** Runs the driver under strace with straceArgs; its output. */
QByteArray runTraced(const QStringList &straceArgs, const QStringList &driverArgs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStandardPaths::findExecutable(u"strace"_s),
        QStringList { u"-f"_s, u"-qq"_s } + straceArgs + QStringList { kDriver } + driverArgs);
    if (!process.waitForFinished(120000))
        process.kill();
    process.waitForFinished();
    return process.readAll();
}

QByteArray runDriver(const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(kDriver, args);
    process.waitForFinished(120000);
    return process.readAll();
}

/** Copies the files of an application folder and its data folder. */
void copyFolder(const QString &from, const QString &to)
{
    for (const QString &sub : { QString(), u"/Data"_s }) {
        QDir().mkpath(to + sub);
        QFile::setPermissions(to + sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QStringList files = QDir(from + sub).entryList(QDir::Files | QDir::Hidden);
        for (const QString &file : files)
            QFile::copy(from + sub + u'/' + file, to + sub + u'/' + file);
    }
}

/**
 * The steps of one change: the driver run once (args, one iteration) under strace in a copy of folder, and
 * every durable call and data folder opening it made after printing "ready" numbered as strace counts them.
 * after: instead the step, write or fchmod that follows each durable call or fchmod.
 */
QList<Step> stepsOf(const QString &folder, const QString &copy, const QStringList &args, bool after, QString *why)
{
    copyFolder(folder, copy);
    const QString trace = copy + u".trace"_s;
    const QString traced = u"trace=write,openat,"_s + kDurableCalls.join(u',') + (after ? u",fchmod"_s : QString());
    const QByteArray output = runTraced({ u"-o"_s, trace, u"-e"_s, traced }, args);
    if (!says(output, "end")) {
        *why = QString::fromUtf8(output);
        return {};
    }
    static const QRegularExpression callLine(uR"(^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+))"_s);
    const QString data = copy + u"/Data"_s;
    QHash<QString, int> counts;
    QList<Step> steps;
    QString pid;
    bool ready = false;
    bool stepBefore = false;
    for (const QByteArray &raw : TestFolders::read(trace).split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const auto m = callLine.match(line);
        if (!m.hasMatch())
            continue;
        if (pid.isEmpty())
            pid = m.captured(1);
        if (m.captured(1) != pid) {
            // strace counts calls per thread: the steps would not be the calls it stops.
            *why = u"the driver runs more than one thread"_s;
            return {};
        }
        const QString call = m.captured(2);
        if (call == u"write"_s) {
            ready = ready || m.captured(3).startsWith(u"1, \"ready\\n\""_s);
            // Killed as it enters a write, the driver has done all that came before: after an fchmod,
            // the new file's data.
            if (!after)
                continue;
        }
        if (call == u"openat"_s && !m.captured(3).startsWith(u"AT_FDCWD, \""_s + data + u"\","_s))
            continue;
        const int n = ++counts[call];
        // Of the calls that are no steps of their own (close, say) the number can change from run to run.
        if (ready && (!after || stepBefore))
            steps.append({ call, n });
        stepBefore = ready && call != u"write"_s && call != u"openat"_s;
    }
    return steps;
}

/** strace's options that stop step with action (signal=SIGKILL, or error=EIO from then on). */
QStringList stopping(const Step &step, const QString &action, const QString &dataFolder)
{
    QStringList args { u"-o"_s, u"/dev/null"_s };
    if (step.call == u"openat"_s)
        args << u"-P"_s << dataFolder;
    const QString when = action.startsWith(u"error"_s) ? u"%1+"_s.arg(step.n) : QString::number(step.n);
    return args
        + QStringList { u"-e"_s, u"trace="_s + step.call, u"-e"_s,
              u"inject=%1:%2:when=%3"_s.arg(step.call, action, when) };
}

/** Prepares the folder of each state a run goes through, each from the one before; empty on failure. */
QStringList prepareStates(const TestFolders &folders, const QString &name, const QStringList &args, int count)
{
    QStringList states;
    for (int i = 0; i < count; ++i) {
        const QString folder = folders.root() + u"/%1-state%2"_s.arg(name).arg(i);
        if (i > 0)
            copyFolder(states.last(), folder);
        else
            QDir().mkpath(folder);
        const QByteArray output = runDriver(QStringList { args[0], args[1], folder, i > 0 ? u"1"_s : u"0"_s });
        if (!output.contains("ready") || says(output, "error"))
            return {};
        states.append(folder);
    }
    return states;
}

QString levelChangeName(int from)
{
    const QList<KillSets::OwnerSettings> states = KillSets::levelStates();
    const KillSets::OwnerSettings &a = states[from];
    const KillSets::OwnerSettings &b = states[(from + 1) % states.size()];
    return u"%1 to %2%3"_s.arg(a.level).arg(b.level).arg(a.level == b.level ? u" (new password)"_s : QString());
}

/** The level run's state of folder as a start finds it; -1 with why. */
int levelStateIn(const QString &folder, QString &why)
{
    AppFolders::setForTesting(folder, folder);
    Database database;
    const int state = KillSets::levelStateFound(database, why);
    AppFolders::setForTesting({}, {});
    return state;
}

/** The owner settings of folder before any start touched the files, and whether the data folder holds no stray file. */
int ownerStateIn(const QString &folder, bool &clean)
{
    AppFolders::setForTesting(folder, folder);
    OwnerState owner;
    readOwnerPassword(owner, false);
    clean = KillSets::strayFiles(AppFolders::dataFolder(), int(owner.Reach)).isEmpty();
    AppFolders::setForTesting({}, {});
    return KillSets::levelStateOf(owner);
}

/** The edit run's state of folder (an index in known); -1 with why. */
int editStateIn(const QString &folder, int level, const QList<QStringList> &known, QString &why)
{
    AppFolders::setForTesting(folder, folder);
    Database database;
    const std::optional<QStringList> lines = KillSets::load(database, level, &why);
    const QStringList stray = KillSets::strayFiles(AppFolders::dataFolder(), level);
    AppFolders::setForTesting({}, {});
    if (!lines)
        return -1;
    if (!stray.isEmpty()) {
        why = u"the data folder holds "_s + stray.join(u", "_s);
        return -1;
    }
    const int state = KillSets::stateOf(known, *lines);
    if (state < 0)
        why = u"the records are none of the known sets"_s;
    return state;
}
} // namespace

class tst_Steps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void levelChanges_killedAtEveryStep_settleToBeforeOrAfter_data();
    void levelChanges_killedAtEveryStep_settleToBeforeOrAfter();
    void writes_failedAtEveryStep_reportWhatTheFilesHold_data();
    void writes_failedAtEveryStep_reportWhatTheFilesHold();
    void start_plainCopyThatCannotBeRemoved_showsRecordsAndGoesLater();

private:
    TestFolders m_folders;
    QStringList m_levelStates;
};

void tst_Steps::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(u"strace"_s).isEmpty(), "strace is needed (Debian package strace)");
    const QByteArray probe = runTraced({ u"-o"_s, u"/dev/null"_s }, { u"rewrite"_s });
    if (probe.contains("PTRACE_TRACEME") || probe.contains("Operation not permitted"))
        QSKIP("this machine does not allow tracing (ptrace)");
    m_levelStates = prepareStates(m_folders, u"level"_s, { u"level"_s, u"0"_s }, int(KillSets::levelStates().size()));
    QVERIFY2(!m_levelStates.isEmpty(), "the driver could not prepare the level run's states");
}

void tst_Steps::levelChanges_killedAtEveryStep_settleToBeforeOrAfter_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("after"); // killed right after each step rather than as it begins
    const QList<KillSets::OwnerSettings> states = KillSets::levelStates();
    for (int from = 0; from < states.size(); ++from)
        QTest::newRow(qPrintable(levelChangeName(from))) << from << false;
    for (int from = 0; from < states.size(); ++from) {
        if (states[from].level == 1 && states[(from + 1) % states.size()].level != 1)
            QTest::newRow(qPrintable(levelChangeName(from) + u", after each step"_s)) << from << true;
    }
}

// One row per change, so that each change has the per-function time of its own.
void tst_Steps::levelChanges_killedAtEveryStep_settleToBeforeOrAfter()
{
    QFETCH(int, from);
    QFETCH(bool, after);
    const int to = (from + 1) % int(m_levelStates.size());
    const QString base = m_folders.root() + u"/kill-%1-%2"_s.arg(from).arg(after);
    QString why;
    const QList<Step> steps = stepsOf(m_levelStates[from], base, { u"level"_s, u"0"_s, base, u"1"_s }, after, &why);
    QVERIFY2(!steps.isEmpty(), qPrintable(u"no steps traced: "_s + why));
    int before = 0;
    for (int i = 0; i < steps.size(); ++i) {
        const QString what = u"killed at %1"_s.arg(steps[i].name());
        const QString folder = base + u"-%1"_s.arg(i);
        copyFolder(m_levelStates[from], folder);
        const QByteArray output = runTraced(
            stopping(steps[i], u"signal=SIGKILL"_s, folder + u"/Data"_s), { u"level"_s, u"0"_s, folder, u"1"_s });
        QVERIFY2(says(output, "begin") && !says(output, "end") && !says(output, "error"),
            qPrintable(what + u": the driver was not stopped there: "_s + QString::fromUtf8(output)));
        const int state = levelStateIn(folder, why);
        QVERIFY2(state == from || state == to, qPrintable(what + u": "_s + why));
        before += state == from ? 1 : 0;
        QDir(folder).removeRecursively();
    }
    qInfo("killed at each of its %d steps, the next start found it undone %d times and made %d times",
        int(steps.size()), before, int(steps.size()) - before);
}

void tst_Steps::writes_failedAtEveryStep_reportWhatTheFilesHold_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("from"); // the state the change starts from
    for (int from = 0; from < KillSets::levelStates().size(); ++from)
        QTest::newRow(qPrintable(u"level change "_s + levelChangeName(from))) << u"level"_s << 0 << from;
    for (int level : { 0, 1 }) {
        for (const auto &[from, name] : { std::pair { 0, "Replace" }, { 1, "Remove" }, { 2, "Add" } })
            QTest::newRow(qPrintable(u"%1 at level %2"_s.arg(QLatin1StringView(name)).arg(level)))
                << u"edit"_s << level << from;
    }
}

void tst_Steps::writes_failedAtEveryStep_reportWhatTheFilesHold()
{
    QFETCH(QString, mode);
    QFETCH(int, level);
    QFETCH(int, from);
    const bool levels = mode == u"level"_s;
    const QList<QStringList> known = levels ? QList<QStringList>() : KillSets::states(mode);
    const int count = levels ? int(m_levelStates.size()) : int(known.size());
    const int to = (from + 1) % count;
    QStringList states = m_levelStates;
    if (!levels) {
        states
            = prepareStates(m_folders, u"edit%1-%2"_s.arg(level).arg(from), { mode, QString::number(level) }, from + 1);
        QVERIFY(!states.isEmpty());
    }
    const QString start = states[from];
    const QString base = m_folders.root() + u"/fail-%1-%2-%3"_s.arg(mode).arg(level).arg(from);
    QString why;
    const QList<Step> steps = stepsOf(start, base, { mode, QString::number(level), base, u"1"_s }, false, &why);
    QVERIFY2(!steps.isEmpty(), qPrintable(u"no steps traced: "_s + why));

    int failed = 0;
    int warned = 0;
    for (int i = 0; i < steps.size(); ++i) {
        const QString what = u"EIO from %1 on"_s.arg(steps[i].name());
        const QString folder = base + u"-%1"_s.arg(i);
        copyFolder(start, folder);
        const QByteArray output = runTraced(
            stopping(steps[i], u"error=EIO"_s, folder + u"/Data"_s), { mode, QString::number(level), folder, u"1"_s });
        const bool reportedFailure = says(output, "error");
        const bool reportedDone = says(output, "end");
        QVERIFY2(reportedFailure != reportedDone, qPrintable(what + u": "_s + QString::fromUtf8(output)));
        const bool warning = says(output, "warning");
        failed += reportedFailure ? 1 : 0;
        warned += warning ? 1 : 0;
        const int expected = reportedFailure ? from : to;

        if (levels) {
            // Before any start touches them: a failure left the old settings, and nothing beside the files.
            bool clean = false;
            const int owner = ownerStateIn(folder, clean);
            QVERIFY2(owner == expected,
                qPrintable(what
                    + u": reported %1, the owner file holds state %2"_s.arg(reportedFailure ? u"failed"_s : u"done"_s)
                          .arg(owner)));
            QVERIFY2(clean || warning, qPrintable(what + u": files were left beside the database, unreported"_s));
        }
        const int state = levels ? levelStateIn(folder, why) : editStateIn(folder, level, known, why);
        QVERIFY2(state == expected,
            qPrintable(what
                + u": reported %1, the files hold state %2 %3"_s.arg(reportedFailure ? u"failed"_s : u"done"_s)
                      .arg(state)
                      .arg(why)));
        QDir(folder).removeRecursively();
    }
    qInfo("%d steps failed one at a time: %d reported as failed with the files as before, %d done (%d of them with "
          "a warning) with the files changed",
        int(steps.size()), failed, int(steps.size()) - failed, warned);
}

// A change to level 1 whose old plain file could not be removed, at a start that cannot remove it either.
void tst_Steps::start_plainCopyThatCannotBeRemoved_showsRecordsAndGoesLater()
{
    const QString folder = m_folders.root() + u"/undeletable"_s;
    copyFolder(m_levelStates[1], folder);
    const QString plain = folder + u"/Data/userDB.pdb"_s;
    const QString encrypted = folder + u"/Data/userDB.edb"_s;
    QVERIFY(QFile::rename(encrypted, Database::staged(encrypted)));
    QVERIFY(QFile::copy(m_levelStates[0] + u"/Data/userDB.pdb"_s, plain));

    const QByteArray output = runTraced(
        { u"-o"_s, u"/dev/null"_s, u"-P"_s, plain, u"-e"_s, u"trace=unlink"_s, u"-e"_s, u"inject=unlink:error=EIO"_s },
        { u"level"_s, u"0"_s, folder, u"0"_s });
    // The new file is in place (the records can be read), and the start says the plain copy stays until the next.
    QVERIFY2(says(output, "error") && output.contains("next start"), output.constData());
    QVERIFY(
        QFileInfo::exists(encrypted) && QFileInfo::exists(plain) && !QFileInfo::exists(Database::staged(encrypted)));
    QString why;
    QVERIFY2(levelStateIn(folder, why) == 1, qPrintable(why));
}

QTEST_GUILESS_MAIN(tst_Steps)
#include "tst_steps.moc"
