// SPDX-License-Identifier: GPL-3.0-or-later
// The record line: splitting a stored line into the grid's values, reading
// one field, and the check that decides whether typed texts can be filed.
#include "FuzzSupport.h"
#include "common/Windows1252.h"
#include "store/RecordLine.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {
const QString kDate = u"05-17-2002 14:03:59"_s;

/** A line as a stored file gives it: the field reads agree with the split. */
void storedLine(const QString &line)
{
    const RecordLine::Values values = RecordLine::split(line);
    for (int n = -1; n <= RecordLine::kFieldCount + 1; ++n) {
        const QString value = RecordLine::field(line, n);
        if (n >= 1 && n <= RecordLine::kFieldCount)
            FUZZ_CHECK(value == values[size_t(n - 1)]);
        else
            FUZZ_CHECK(value.isEmpty());
    }
    // Nothing is invented: every value is a piece of the line.
    for (const QString &value : values)
        FUZZ_CHECK(value.size() <= line.size() && line.contains(value));
}

/**
 * Texts a user typed: when the check lets them be filed, the line built from
 * them gives back exactly those texts and the date, and every text survives
 * the file's code page unchanged.
 */
void typedTexts(const RecordLine::Texts &texts)
{
    const std::optional<QString> refusal = RecordLine::checkFileable(texts);
    if (refusal) {
        FUZZ_CHECK(!refusal->isEmpty());
        return;
    }
    const QString line = RecordLine::build(texts, kDate);
    const RecordLine::Values values = RecordLine::split(line);
    for (size_t i = 0; i < texts.size(); ++i) {
        FUZZ_CHECK(values[i] == texts[i]);
        bool encoded = false;
        const QByteArray bytes = Windows1252::encode(texts[i], &encoded);
        FUZZ_CHECK(encoded);
        FUZZ_CHECK(Windows1252::decode(bytes) == texts[i]);
    }
    FUZZ_CHECK(values[RecordLine::RecordDate] == kDate);
    FUZZ_CHECK(RecordLine::field(line, RecordLine::RecordDate + 1) == kDate);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(fuzzBytes(data, size));
    const uint8_t mode = input.byte();
    if (mode % 2 == 0) {
        // One byte per character, as the database files hold it.
        const QString line = Windows1252::decode(input.rest());
        storedLine(line);
        RecordLine::Texts texts;
        const RecordLine::Values values = RecordLine::split(line);
        std::copy_n(values.begin(), texts.size(), texts.begin());
        typedTexts(texts);
    } else {
        // Any Unicode text, as typed into the edit boxes; a tab ends each box.
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString typed = utf8(input.rest());
        const QStringList parts = typed.split(u'\t');
        RecordLine::Texts texts;
        for (size_t i = 0; i < texts.size() && qsizetype(i) < parts.size(); ++i)
            texts[i] = parts[qsizetype(i)];
        typedTexts(texts);
        storedLine(typed);
    }
    return 0;
}
