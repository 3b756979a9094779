// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CsvTable.h"

#include <csv.h>

using namespace Qt::StringLiterals;

namespace {
/** Line breaks in bytes: CR LF, LF and CR alone count one each. */
int lineBreaks(const char *bytes, size_t size)
{
    int count = 0;
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n')))
            ++count;
    }
    return count;
}

/** What the parser's callbacks gather; the parser reports every line break outside a field. */
struct Collector
{
    QList<CsvTable::Row> rows;
    QList<QByteArray> fields;
    int line = 1; ///< the line the row being read starts on
    int breaks = 0; ///< line breaks inside the fields of that row
    bool afterCr = false; ///< the last line break was a CR, which an LF completes
};

void fieldEnd(void *data, size_t size, void *collector)
{
    auto *c = static_cast<Collector *>(collector);
    const auto *bytes = static_cast<const char *>(data);
    c->fields.append(QByteArray(bytes, qsizetype(size)));
    c->breaks += lineBreaks(bytes, size);
    c->afterCr = false;
}

void rowEnd(int terminator, void *collector)
{
    auto *c = static_cast<Collector *>(collector);
    if (!c->fields.isEmpty()) {
        c->rows.append({ c->line, std::move(c->fields) });
        c->fields = {};
        c->line += c->breaks;
        c->breaks = 0;
    }
    if (terminator == CSV_CR) {
        ++c->line;
        c->afterCr = true;
    } else if (terminator == CSV_LF) {
        if (!c->afterCr)
            ++c->line;
        c->afterCr = false;
    }
}

/** Spaces are data: a field keeps them, as RFC 4180 says. */
int noSpace(unsigned char)
{
    return 0;
}
} // namespace

namespace CsvTable {

Parsed parse(QByteArrayView content)
{
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
        return { {}, u"The CSV reader could not start."_s };
    csv_set_space_func(&parser, noSpace);
    Collector collector;
    Parsed parsed;
    const size_t size = size_t(content.size());
    const size_t read = csv_parse(&parser, content.data(), size, fieldEnd, rowEnd, &collector);
    if (read < size) {
        const int line = 1 + lineBreaks(content.data(), read);
        parsed.error = csv_error(&parser) == CSV_EPARSE
            ? u"The file is not well-formed CSV: line %1 has a double quote out of place."_s.arg(line)
            : u"The file is too large to read."_s;
    } else if (csv_fini(&parser, fieldEnd, rowEnd, &collector) != 0 || csv_error(&parser) != CSV_SUCCESS) {
        parsed.error
            = u"The file is not well-formed CSV: the quoted field on line %1 never ends."_s.arg(collector.line);
    }
    csv_free(&parser);
    if (parsed.error.isEmpty())
        parsed.rows = std::move(collector.rows);
    return parsed;
}

void appendField(QByteArray &out, QByteArrayView field)
{
    const qsizetype start = out.size();
    const size_t needed = csv_write(nullptr, 0, field.data(), size_t(field.size()));
    out.resize(start + qsizetype(needed));
    csv_write(out.data() + start, needed, field.data(), size_t(field.size()));
}

} // namespace CsvTable
