// SPDX-License-Identifier: GPL-3.0-or-later
// Kills the store driver with SIGKILL at random moments while it rewrites a
// database of 32,767 records, and checks after every kill that the database
// holds the records from just before or just after the interrupted change,
// whole. CORVANE_KILLS sets the number of kills (20 by default;
// tests/faults/kill_many.sh runs 200), CORVANE_KILL_SEED repeats a run.
#include "AppFolders.h"
#include "KillSets.h"
#include "TestFolders.h"

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
    QList<QStringList> known;
    int state = 0; ///< what the files hold now (the driver writes set A into empty folders)
    double cycleMs = 150; ///< how long one change takes, measured as the runs go
};

int advance(const Run &run, int state, int steps)
{
    return (state + steps) % int(run.known.size());
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
    for (const QString &mode : { u"rewrite"_s, u"edit"_s }) {
        const QList<QStringList> known = KillSets::states(mode);
        for (int level : { 0, 1 }) {
            const QString folder = folders.root() + u"/%1-%2"_s.arg(mode).arg(level);
            QVERIFY(QDir().mkpath(folder));
            runs.append({ mode, level, folder, known });
        }
    }

    int midChange = 0;
    int foundNew = 0;
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

        AppFolders::setForTesting(run.folder, run.folder);
        Database database;
        QString why;
        const std::optional<QStringList> lines = KillSets::load(database, run.level, &why);
        AppFolders::setForTesting(folders.app(), folders.shipped());
        QVERIFY2(lines, qPrintable(what + u": the database does not read back: "_s + why));
        const int state = KillSets::stateOf(run.known, *lines);
        QVERIFY2(state >= 0,
            qPrintable(what + u": the database holds %1 records that are none of the known sets"_s.arg(lines->size())));

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
        }
        run.state = state;
    }

    qInfo("%d of %d kills landed during a change; %d of those found the new database, %d the old one", midChange, kills,
        foundNew, midChange - foundNew);
    for (const Run &run : std::as_const(runs))
        qInfo("%s at level %d leaves: %s", qPrintable(run.mode), run.level, qPrintable(folderReport(run.folder)));
    // A run whose kills all fell between changes would prove nothing.
    QVERIFY2(midChange * 2 >= kills, "too few kills landed in the middle of a change");
}

QTEST_GUILESS_MAIN(tst_Kill)
#include "tst_kill.moc"
