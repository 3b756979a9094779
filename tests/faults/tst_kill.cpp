// SPDX-License-Identifier: GPL-3.0-or-later
// Kills the store driver with SIGKILL at random moments while it rewrites a
// database of 32,767 records, imports into it, or changes its protection level, and checks
// after every kill that the database holds the records from just before or
// just after the interrupted change, whole; after a level change, once the
// files are settled as a start settles them, the owner file holds the
// settings from before or after the change and the data folder only the
// files that level uses. CORVANE_KILLS sets the number of kills (20 by
// default; tests/faults/kill_many.sh runs 200), CORVANE_KILL_SEED repeats a
// run.
#include "KillSets.h"
#include "TestFolders.h"
#include "common/AppFolders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {
/** One driver mode at one level, with its own application folder, carried on from kill to kill. */
struct Run
{
    QString mode;
    int level = 0;
    QString folder;
    QList<QStringList> known; ///< the record sets of rewrite and edit runs
    int state = 0; ///< what the files hold now (the driver writes set A into empty folders)
    double cycleMs = 150; ///< how long one change takes, measured as the runs go

    int stateCount() const { return mode == u"level"_s ? int(KillSets::levelStates().size()) : int(known.size()); }
};

int advance(const Run &run, int state, int steps)
{
    return (state + steps) % run.stateCount();
}

/**
 * The state a run's folder is in, as a start finds it; -1 (with why) when it is none the run knows: records
 * that do not read back whole or are not a known set, or after a level change, files the level does not use.
 */
int stateOf(const Run &run, QString &why)
{
    AppFolders::setForTesting(run.folder, run.folder);
    Database database;
    int state = -1;
    if (run.mode == u"level"_s) {
        state = KillSets::levelStateFound(database, why);
    } else {
        const std::optional<QStringList> lines = KillSets::load(database, run.level, &why);
        if (lines) {
            state = KillSets::stateOf(run.known, *lines);
            if (state < 0)
                why = u"the database holds %1 records that are none of the known sets"_s.arg(lines->size());
        }
    }
    AppFolders::setForTesting({}, {});
    return state;
}

constexpr int kLevelChanges = 5;

QString levelChangeName(int from)
{
    const QList<KillSets::OwnerSettings> states = KillSets::levelStates();
    const KillSets::OwnerSettings &a = states[from];
    const KillSets::OwnerSettings &b = states[(from + 1) % states.size()];
    return u"%1 to %2%3"_s.arg(a.level).arg(b.level).arg(a.level == b.level ? u" (new password)"_s : QString());
}

QString folderReport(const QString &folder)
{
    return QDir(folder + u"/Data"_s).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(u", "_s);
}
} // namespace

class tst_Kill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kills_duringRewrites_leaveOldOrNewDatabaseWhole();
};

void tst_Kill::kills_duringRewrites_leaveOldOrNewDatabaseWhole()
{
    TestFolders folders;
    QVERIFY(folders.isValid());
    const int kills = qEnvironmentVariableIsSet("CORVANE_KILLS") ? qEnvironmentVariableIntValue("CORVANE_KILLS") : 20;
    const quint32 seed = qEnvironmentVariableIsSet("CORVANE_KILL_SEED")
        ? quint32(qEnvironmentVariableIntValue("CORVANE_KILL_SEED"))
        : QRandomGenerator::system()->generate();
    qInfo("%d kills, seed %u (CORVANE_KILL_SEED repeats this run)", kills, seed);
    QRandomGenerator random(seed);

    QList<Run> runs;
    for (const QString &mode : { u"rewrite"_s, u"edit"_s, u"import"_s }) {
        const QList<QStringList> known = KillSets::states(mode);
        for (int level : { 0, 1 }) {
            const QString folder = folders.root() + u"/%1-%2"_s.arg(mode).arg(level);
            QVERIFY(QDir().mkpath(folder));
            runs.append({ mode, level, folder, known });
        }
    }
    runs.append({ u"level"_s, 0, folders.root() + u"/level"_s, {} });
    QVERIFY(QDir().mkpath(runs.last().folder));

    int midChange = 0;
    int foundNew = 0;
    // Per level change (from levelStates()[i] to the next): kills during it, and how many found it made.
    int levelKills[kLevelChanges] = {};
    int levelMade[kLevelChanges] = {};
    for (int kill = 0; kill < kills; ++kill) {
        Run &run = runs[kill % runs.size()];
        const QString what = u"kill %1 (%2 at level %3)"_s.arg(kill + 1).arg(run.mode).arg(run.level);

        QProcess driver;
        driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver.start(QStringLiteral(CORVANE_STORE_DRIVER), { run.mode, QString::number(run.level), run.folder });
        QVERIFY2(driver.waitForStarted(10000), qPrintable(what + u": the driver did not start"_s));
        QByteArray output;
        QElapsedTimer waited;
        waited.start();
        while (!output.contains("ready\n")) {
            QVERIFY2(driver.state() == QProcess::Running && waited.elapsed() < 60000,
                qPrintable(what + u": the driver never got ready: "_s + QString::fromUtf8(output)));
            driver.waitForReadyRead(100);
            output += driver.readAllStandardOutput();
        }
        output.remove(0, output.indexOf("ready\n") + 6); // keep what followed in the same read

        // Anywhere within the next three changes, so that kills land in every phase of a rewrite.
        const int delay = random.bounded(qMax(1, int(run.cycleMs * 3)));
        QElapsedTimer running;
        running.start();
        QThread::msleep(ulong(delay));
        ::kill(pid_t(driver.processId()), SIGKILL);
        QVERIFY(driver.waitForFinished(10000));
        const double ran = double(running.elapsed());
        output += driver.readAllStandardOutput();
        QVERIFY2(!output.contains("error"), qPrintable(what + u": "_s + QString::fromUtf8(output)));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);

        const int begun = int(output.count("begin "));
        const int ended = int(output.count("end "));
        const bool interrupted = begun > ended;
        if (ended > 0)
            run.cycleMs = 0.5 * run.cycleMs + 0.5 * ran / (ended + (interrupted ? 0.5 : 0.0));

        QString why;
        const int state = stateOf(run, why);
        AppFolders::setForTesting(folders.app(), folders.shipped());
        QVERIFY2(state >= 0, qPrintable(what + u": "_s + why));

        // The change that was cut off either happened whole or not at all.
        const int before = advance(run, run.state, ended);
        const int after = advance(run, run.state, ended + 1);
        QVERIFY2(state == before || (interrupted && state == after),
            qPrintable(what
                + u": after %1 whole changes from state %2 the database is in state %3"_s.arg(ended).arg(run.state).arg(
                    state)));
        if (interrupted) {
            ++midChange;
            foundNew += state == after ? 1 : 0;
            if (run.mode == u"level"_s) {
                ++levelKills[before];
                levelMade[before] += state == after ? 1 : 0;
            }
        }
        run.state = state;
    }

    qInfo("%d of %d kills landed during a change; %d of those found the new database, %d the old one", midChange, kills,
        foundNew, midChange - foundNew);
    for (const Run &run : std::as_const(runs))
        qInfo("%s%s leaves: %s", qPrintable(run.mode),
            run.mode == u"level"_s ? "" : qPrintable(u" at level %1"_s.arg(run.level)),
            qPrintable(folderReport(run.folder)));
    for (int i = 0; i < kLevelChanges; ++i)
        qInfo("level change %s: %d kills during it, %d found it made", qPrintable(levelChangeName(i)), levelKills[i],
            levelMade[i]);
    // A run whose kills all fell between changes would prove nothing.
    QVERIFY2(midChange * 2 >= kills, "too few kills landed in the middle of a change");
}

QTEST_GUILESS_MAIN(tst_Kill)
#include "tst_kill.moc"
