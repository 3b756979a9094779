// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RecordLine.h"

#include "common/Clock.h"
#include "common/DateText.h"
#include "common/Windows1252.h"
#include "store/RecordFields.h"

using namespace Qt::StringLiterals;

namespace {
/** The character at index, whole: a pair of surrogates is one character. */
QString characterAt(QStringView text, qsizetype index)
{
    if (text[index].isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate())
        return text.sliced(index, 2).toString();
    return text.sliced(index, 1).toString();
}

/** Where the next separator begins, from position from on; -1 when none follows. */
qsizetype separatorAt(QStringView line, qsizetype from)
{
    // The colon alone is looked for with Qt's vectorised character search, far quicker over a long
    // line than a search for the two characters.
    for (qsizetype at = line.indexOf(RecordLine::kSeparator[0], from); at >= 0 && at + 1 < line.size();
         at = line.indexOf(RecordLine::kSeparator[0], at + 1)) {
        if (line[at + 1] == RecordLine::kSeparator[1])
            return at;
    }
    return -1;
}

char32_t codePointAt(QStringView text, qsizetype index)
{
    if (text[index].isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[index], text[index + 1]);
    return text[index].unicode();
}
} // namespace

namespace RecordLine {

QString recordDate(const QDateTime &when)
{
    return DateText::date(when.date()) + u' ' + DateText::time(when.time());
}

QString BuildRecordLine(const Texts &texts)
{
    return build(texts, recordDate(Clock::current()));
}

QString build(const Texts &texts, const QString &recordDate)
{
    QString line;
    qsizetype size = recordDate.size() + kFieldCount * kSeparator.size();
    for (const QString &text : texts)
        size += text.size();
    line.reserve(size);
    for (const QString &text : texts)
        line.append(text).append(kSeparator);
    line.append(recordDate).append(kSeparator);
    return line;
}

Values split(QStringView line)
{
    const ValueViews views = splitViews(line);
    Values values;
    for (size_t i = 0; i < views.size(); ++i)
        values[i] = views[i].toString();
    return values;
}

ValueViews splitViews(QStringView line)
{
    ValueViews values;
    qsizetype taken = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = separatorAt(line, start);
        if (at < 0)
            break;
        if (taken < kFieldCount)
            values[taken] = line.sliced(start, at - start);
        ++taken;
        start = at + kSeparator.size();
    }
    if (taken == 0) {
        // No separator at all: the whole line is the Service, so the record
        // keeps a row of its own and every later row stays where it belongs.
        values[Service] = line;
        return values;
    }
    // A line ending in its separator (or a single stray character after it)
    // has its values in field order. Without the final separator it is the
    // older form, whose values run Service, Username, Password, Info, Path;
    // the text after the last separator is not a value.
    if (line.size() - start >= 2) {
        ValueViews older;
        older[Service] = values[0];
        older[Path] = values[4];
        older[Username] = values[1];
        older[Password] = values[2];
        older[Info] = values[3];
        older[RecordDate] = values[5];
        return older;
    }
    return values;
}

QString field(QStringView line, int n)
{
    if (n < 1 || n > kFieldCount)
        return {};
    return split(line)[n - 1];
}

std::optional<QString> checkFileable(const Texts &texts)
{
    for (size_t i = 0; i < texts.size(); ++i) {
        const QString &text = texts[i];
        const QString name = RecordFields::all[i].name.toString();
        if (text.contains(kSeparator))
            return u"The %1 cannot hold \":!\": those two characters separate the fields of a record."_s.arg(name);
        if (text.contains(u'\r') || text.contains(u'\n'))
            return u"The %1 cannot hold a line break."_s.arg(name);
        if (const std::optional<QChar> bad = Windows1252::firstUnencodable(text)) {
            const qsizetype at = text.indexOf(*bad);
            return u"The %1 holds the character \"%2\" (U+%3), which Corvane cannot store. Please leave it out."_s.arg(
                name, characterAt(text, at),
                QString::number(uint(codePointAt(text, at)), 16).toUpper().rightJustified(4, u'0'));
        }
    }
    return std::nullopt;
}

bool hasFiledForm(QByteArrayView bytes)
{
    // "mm-dd-yyyy hh:mm:ss" and its separator close every filed line; no value holds ":!".
    static constexpr char kDateShape[] = "00-00-0000 00:00:00:!";
    constexpr qsizetype tail = sizeof(kDateShape) - 1;
    if (bytes.size() < tail)
        return false;
    const QByteArrayView end = bytes.last(tail);
    for (qsizetype i = 0; i < tail; ++i) {
        const bool digit = kDateShape[i] == '0';
        if (digit ? !(end[i] >= '0' && end[i] <= '9') : end[i] != kDateShape[i])
            return false;
    }
    qsizetype separators = 0;
    for (qsizetype at = bytes.indexOf(":!"); at >= 0; at = bytes.indexOf(":!", at + 2))
        ++separators;
    return separators == kFieldCount;
}

} // namespace RecordLine
