// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the preferences reader: any bytes in "prefs.cfg" must read without
// a crash or undefined behaviour, and whatever is read must write back and read the same.
#include "PreferencesFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView content(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<PreferencesFile::Setting> settings = PreferencesFile::parse(content);

    // Apply the settings the way the window does, write the result and read it back.
    PreferencesFile::State state;
    for (const PreferencesFile::Setting &setting : settings) {
        switch (setting.key) {
        case PreferencesFile::Key::Display:
            state.hideDisplay = setting.flag;
            break;
        case PreferencesFile::Key::AutHide:
            state.autoHide = setting.flag;
            break;
        case PreferencesFile::Key::LPos:
            state.left = setting.twips;
            break;
        case PreferencesFile::Key::TPos:
            state.top = setting.twips;
            break;
        case PreferencesFile::Key::OTop:
            state.topMost = setting.flag;
            break;
        }
    }
    const QList<PreferencesFile::Setting> back = PreferencesFile::parse(PreferencesFile::format(state));
    const QList<PreferencesFile::Setting> expected {
        { PreferencesFile::Key::Display, state.hideDisplay, 0 },
        { PreferencesFile::Key::AutHide, state.autoHide, 0 },
        { PreferencesFile::Key::LPos, false, state.left },
        { PreferencesFile::Key::TPos, false, state.top },
        { PreferencesFile::Key::OTop, state.topMost, 0 },
    };
    if (back != expected)
        std::abort();
    return 0;
}
