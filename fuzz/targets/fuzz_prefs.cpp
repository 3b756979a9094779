// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences file as the start-up finds it: split into items, each
// item into key and value, values read as truth values and twips; and what
// the program writes reads back as what it wrote.
#include "FuzzSupport.h"
#include "common/Windows1252.h"
#include "mainwindow/prefs/PreferencesFile.h"

#include <cstring>

using namespace Qt::StringLiterals;
using PreferencesFile::Key;

namespace {
/** Whatever the text, items hold no line end, and the settings are what their keys allow. */
void anyContent(QByteArrayView bytes)
{
    for (const QString &item : PreferencesFile::items(Windows1252::decode(bytes)))
        FUZZ_CHECK(!item.contains(u'\r') && !item.contains(u'\n'));
    const QList<PreferencesFile::Setting> settings = PreferencesFile::parse(bytes);
    for (const PreferencesFile::Setting &s : settings) {
        if (s.key == Key::LPos || s.key == Key::TPos)
            FUZZ_CHECK(!s.flag);
        else
            FUZZ_CHECK(s.twips == 0);
    }
    // Reading stops at the first bad item, so adding text after it can only add settings.
    QByteArray longer = bytes.toByteArray();
    longer += "\r\n[OTop]= True\r\n";
    const QList<PreferencesFile::Setting> more = PreferencesFile::parse(longer);
    FUZZ_CHECK(more.size() >= settings.size());
}

/** What the program writes reads back as it was, through the file too. */
void writtenState(FuzzInput &input)
{
    PreferencesFile::State state;
    const uint8_t flags = input.byte();
    state.hideDisplay = flags & 1;
    state.autoHide = flags & 2;
    state.topMost = flags & 4;
    const QByteArrayView numbers = input.take(8);
    char raw[8] = {};
    std::memcpy(raw, numbers.data(), size_t(numbers.size()));
    std::memcpy(&state.left, raw, 4);
    std::memcpy(&state.top, raw + 4, 4);

    const QList<PreferencesFile::Setting> expected {
        { Key::Display, state.hideDisplay, 0 },
        { Key::AutHide, state.autoHide, 0 },
        { Key::LPos, false, state.left },
        { Key::TPos, false, state.top },
        { Key::OTop, state.topMost, 0 },
    };
    FUZZ_CHECK(PreferencesFile::parse(PreferencesFile::format(state)) == expected);
    static const QString path = fuzzFolders().appPath(u"prefs.cfg"_s);
    FUZZ_CHECK(PreferencesFile::write(path, state));
    FUZZ_CHECK(PreferencesFile::read(path) == expected);
}

/** Single values: a number that reads as twips reads as the same number written out again. */
void values(QByteArrayView bytes)
{
    const QString text = Windows1252::decode(bytes);
    PreferencesFile::truthValue(text);
    if (const std::optional<int> twips = PreferencesFile::twipsValue(text)) {
        FUZZ_CHECK(PreferencesFile::twipsValue(QString::number(*twips)) == twips);
        FUZZ_CHECK(PreferencesFile::truthValue(QString::number(*twips)) == (*twips != 0));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(fuzzBytes(data, size));
    switch (input.byte() % 3) {
    case 0:
        anyContent(input.rest());
        break;
    case 1:
        writtenState(input);
        break;
    default:
        values(input.rest());
        break;
    }
    return 0;
}
