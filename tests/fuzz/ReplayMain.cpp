// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target over every file of its seed and regression folders (or
// over the files and folders given on the command line). A broken promise
// aborts the target; the name of the input is printed first.
#include <QDir>
#include <QFile>
#include <QString>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {
// The input being replayed, for the abort handler (which may only write()).
char g_current[4096] = {};

void onAbort(int signal)
{
    const char prefix[] = "\nthe input that broke the target: ";
    (void)!::write(STDERR_FILENO, prefix, sizeof(prefix) - 1);
    (void)!::write(STDERR_FILENO, g_current, std::strlen(g_current));
    (void)!::write(STDERR_FILENO, "\n", 1);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool replay(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    const QByteArray name = QFile::encodeName(path);
    std::snprintf(g_current, sizeof(g_current), "%s", name.constData());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    std::signal(SIGABRT, onAbort);
    std::signal(SIGSEGV, onAbort);

    QStringList places;
    for (int i = 1; i < argc; ++i)
        places.append(QFile::decodeName(argv[i]));
    if (places.isEmpty())
        places = QString::fromUtf8(CORVANE_FUZZ_INPUTS).split(u':');

    int replayed = 0;
    for (const QString &place : std::as_const(places)) {
        const QDir folder(place);
        if (!folder.exists()) {
            if (QFile::exists(place) && replay(place))
                ++replayed;
            continue; // a target without regressions has no folder for them
        }
        for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            if (!replay(folder.filePath(name)))
                return 1;
            ++replayed;
        }
    }
    std::printf("replayed %d inputs from %s\n", replayed, qPrintable(places.join(u", "_s)));
    // An empty seed folder would make this test pass without testing anything.
    return replayed > 0 ? 0 : 1;
}
