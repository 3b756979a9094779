// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/RecordLine.h"

#include <QRandomGenerator>
#include <QStringList>

/**
 * Records of realistic sizes for the benchmarks: random letters, digits and
 * punctuation (never the separator ":!"), Service 10-30, Path 30-60, Username
 * 8-20, Password 8-20 and Info 0-40 characters.
 */
namespace RandomRecords {
QString text(QRandomGenerator &random, int from, int to);
RecordLine::Texts texts(QRandomGenerator &random);
/** One record line with a random date between 2002 and 2024. */
QString line(QRandomGenerator &random);
/** count record lines, the same for the same seed. */
QStringList lines(int count, quint32 seed);
} // namespace RandomRecords
