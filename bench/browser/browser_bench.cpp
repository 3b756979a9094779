// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the built-in browser window on a local login page, cold, as the program does: the
// browser library is loaded from the build's program folder by that first command. Prints
//   browser_first_open_ms: time from the command until the user name is on the clipboard
//   idle_cpu_browser_pct: processor time of this process and its web engine
//                         processes over 10 idle seconds, in % of one core
// Run it in a real X server (run_browser_bench.sh starts Xvfb). With --hold N
// the window stays open N more seconds (for a screenshot) and nothing is measured idle.
#include "browser/BrowserCommands.h"
#include "common/AppFolders.h"
#include "common/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <map>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const char kLoginPage[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Sign in</title>
<style>
body { font-family: sans-serif; background: #eef1f5; margin: 0; }
.box { width: 300px; margin: 50px auto; background: #fff; padding: 24px 28px; border-radius: 6px;
       box-shadow: 0 1px 4px rgba(0,0,0,.2); }
h1 { font-size: 20px; margin: 0 0 16px; color: #1f3b63; }
label { display: block; font-size: 13px; margin: 10px 0 4px; }
input { width: 100%; box-sizing: border-box; padding: 6px; font-size: 14px; }
button { margin-top: 16px; padding: 6px 18px; font-size: 14px; }
</style></head>
<body><div class="box"><h1>Sign in to Example Mail</h1>
<form><label>User name</label><input name="user"><label>Password</label><input type="password" name="pass">
<button type="button">Sign in</button></form></div></body></html>
)";

struct ProcTimes
{
    int ppid = 0;
    qint64 ticks = 0; // utime + stime
};

/** pid -> parent and processor ticks, for every process we can read. */
std::map<int, ProcTimes> readProcesses()
{
    std::map<int, ProcTimes> result;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(u"/proc/"_s + entry + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // The command name may hold spaces; the fields after it are fixed.
        const int close = line.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 13)
            continue;
        // After the name: state(0) ppid(1) ... utime(11) stime(12)
        result[pid] = { fields.at(1).toInt(), fields.at(11).toLongLong() + fields.at(12).toLongLong() };
    }
    return result;
}

/** Processor ticks of root and every process below it, by pid. */
std::map<int, qint64> treeTicks(int root)
{
    const std::map<int, ProcTimes> all = readProcesses();
    std::map<int, qint64> tree;
    for (const auto &[pid, times] : all) {
        for (int walk = pid; walk > 1;) {
            if (walk == root) {
                tree[pid] = times.ticks;
                break;
            }
            const auto parent = all.find(walk);
            if (parent == all.end())
                break;
            walk = parent->second.ppid;
        }
    }
    return tree;
}

/** Ticks spent between two samples; a process that started meanwhile counts whole. */
qint64 ticksBetween(const std::map<int, qint64> &before, const std::map<int, qint64> &after)
{
    qint64 total = 0;
    for (const auto &[pid, ticks] : after) {
        const auto old = before.find(pid);
        total += old == before.end() ? ticks : qMax<qint64>(0, ticks - old->second);
    }
    return total;
}

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QApplication::font().family(), 8));
    const QStringList args = QApplication::arguments();
    const int holdIndex = int(args.indexOf(u"--hold"_s));
    const int holdSeconds = holdIndex > 0 && holdIndex + 1 < args.size() ? args.at(holdIndex + 1).toInt() : -1;

    QTemporaryDir folder;
    const QString pagePath = folder.filePath(u"login.html"_s);
    QFile page(pagePath);
    if (!folder.isValid() || !page.open(QIODevice::WriteOnly) || page.write(kLoginPage) < 0) {
        std::fprintf(stderr, "cannot write the test page\n");
        return 1;
    }
    page.close();
    const QString path = QUrl::fromLocalFile(pagePath).toString();

    // The program folder of the build, where the program finds its browser library.
    AppFolders::setForTesting({}, QStringLiteral(CORVANE_BROWSER_FOLDER));
    MainWindowBoxes boxes { [path] { return path; }, [] { return u"jdoe"_s; }, [] { return u"s3cret!"_s; } };
    BrowserCommands commands(boxes, nullptr);
    Clipboard::setText(u"before"_s);

    QElapsedTimer ready;
    bool done = false;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &app, [&] {
        if (!done && Clipboard::text() == u"jdoe"_s) {
            done = true;
            print("browser_first_open_ms", double(ready.elapsed()), "ms");
            QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
        }
    });
    QTimer::singleShot(0, &app, [&] {
        ready.start();
        commands.CorvaneIE_Click();
    });
    QTimer::singleShot(30000, &app, [] { QCoreApplication::exit(2); });
    if (app.exec() != 0) {
        std::fprintf(stderr, "the user name never reached the clipboard\n");
        return 1;
    }

    if (holdSeconds >= 0) {
        QTimer::singleShot(holdSeconds * 1000, &app, &QCoreApplication::quit);
        return app.exec();
    }

    // Let the page settle, then measure 10 idle seconds.
    QTimer::singleShot(2000, &app, &QCoreApplication::quit);
    app.exec();
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    const std::map<int, qint64> before = treeTicks(int(::getpid()));
    QElapsedTimer idle;
    idle.start();
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    app.exec();
    const std::map<int, qint64> after = treeTicks(int(::getpid()));
    const double seconds = idle.elapsed() / 1000.0;
    print("idle_cpu_browser_pct", 100.0 * double(ticksBetween(before, after)) / double(ticksPerSecond) / seconds, "%");
    return 0;
}
