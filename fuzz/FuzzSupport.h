// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestFolders.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

/**
 * Ends the run as a crash when the code under test breaks one of its
 * promises, so libFuzzer keeps the input and the replay test fails on it.
 */
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition);                       \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

/**
 * The folders every input of a run works in: one application folder and
 * runtime folder for the whole process (under TMPDIR; fuzz/run.sh points it
 * at a memory-backed folder so that the many small writes stay fast).
 */
TestFolders &fuzzFolders();

/** The fuzzer's bytes as a view. */
inline QByteArrayView fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}

/** Reads bytes off the front of an input: the fuzzer picks modes and lengths with them. */
class FuzzInput
{
public:
    explicit FuzzInput(QByteArrayView bytes)
        : m_rest(bytes)
    { }
    /** The next byte; 0 once the input is used up. */
    uint8_t byte()
    {
        if (m_rest.isEmpty())
            return 0;
        const auto b = uint8_t(m_rest.front());
        m_rest = m_rest.sliced(1);
        return b;
    }
    /** The next n bytes, or fewer at the end. */
    QByteArrayView take(qsizetype n)
    {
        n = qMin(n, m_rest.size());
        const QByteArrayView taken = m_rest.first(n);
        m_rest = m_rest.sliced(n);
        return taken;
    }
    QByteArrayView rest() const { return m_rest; }

private:
    QByteArrayView m_rest;
};
