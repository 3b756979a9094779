// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/LoginCsv.h"

#include "common/Clock.h"
#include "store/CsvTable.h"
#include "store/RecordLine.h"

#include <QSet>
#include <QStringDecoder>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
/** An export Corvane knows: the columns its first line starts with, and where each field is found. */
struct Form
{
    QString source;
    QStringList leading;
    QString service, path, username, password, notes, date; ///< column names; empty for none
};

const QList<Form> &forms()
{
    static const QList<Form> known = {
        { u"Firefox"_s, { u"url"_s, u"username"_s, u"password"_s, u"httpRealm"_s }, {}, u"url"_s, u"username"_s,
            u"password"_s, {}, {} },
        { u"Chrome or Chromium"_s, { u"name"_s, u"url"_s, u"username"_s, u"password"_s }, u"name"_s, u"url"_s,
            u"username"_s, u"password"_s, u"note"_s, {} },
        { u"KeePassXC or Corvane"_s, { u"Group"_s, u"Title"_s, u"Username"_s, u"Password"_s, u"URL"_s, u"Notes"_s },
            u"Title"_s, u"URL"_s, u"Username"_s, u"Password"_s, u"Notes"_s, u"Last Modified"_s },
        { u"Bitwarden"_s,
            { u"folder"_s, u"favorite"_s, u"type"_s, u"name"_s, u"notes"_s, u"fields"_s, u"reprompt"_s, u"login_uri"_s,
                u"login_username"_s, u"login_password"_s },
            u"name"_s, u"login_uri"_s, u"login_username"_s, u"login_password"_s, u"notes"_s, {} },
        // An organisation's vault names its collections instead of a folder and a favourite mark.
        { u"Bitwarden"_s,
            { u"collections"_s, u"type"_s, u"name"_s, u"notes"_s, u"fields"_s, u"reprompt"_s, u"login_uri"_s,
                u"login_username"_s, u"login_password"_s },
            u"name"_s, u"login_uri"_s, u"login_username"_s, u"login_password"_s, u"notes"_s, {} },
    };
    return known;
}

/** The columns of a known form, as indices into the file's rows; -1 for a column the file lacks. */
struct Columns
{
    QString source;
    int service = -1, path = -1, username = -1, password = -1, notes = -1, date = -1;
};

std::optional<Columns> columnsOf(const QStringList &header)
{
    for (const Form &form : forms()) {
        if (header.size() < form.leading.size() || header.first(form.leading.size()) != form.leading)
            continue;
        const auto at = [&](const QString &name) { return name.isEmpty() ? -1 : int(header.indexOf(name)); };
        return Columns { form.source, at(form.service), at(form.path), at(form.username), at(form.password),
            at(form.notes), at(form.date) };
    }
    return std::nullopt;
}

QString unknownForm(const QStringList &header)
{
    QStringList shown = header.first(qMin(header.size(), qsizetype(6)));
    if (header.size() > shown.size())
        shown.append(u"..."_s);
    return u"Corvane does not know this kind of CSV file: its first line names the columns %1. Corvane imports "
           u"the CSV exports of Firefox, Chrome and Chromium, KeePassXC, Bitwarden and Corvane itself."_s.arg(
               shown.join(u", "_s));
}

/** "mm-dd-yyyy hh:mm:ss", as Corvane dates its records. */
bool isRecordDate(QStringView text)
{
    static constexpr char16_t kShape[] = u"00-00-0000 00:00:00";
    if (text.size() != qsizetype(std::size(kShape) - 1))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (kShape[i] == u'0' ? text[i] < u'0' || text[i] > u'9' : text[i] != QChar(kShape[i]))
            return false;
    }
    return true;
}

/**
 * The logins already filed or planned, each as the key "Service:!Path:!Username:!Password": two
 * records are the same login when their keys are equal. Most keys are the start of a record line
 * itself, looked at where the line is kept; only lines of the older five-field form need a key of
 * their own.
 */
class Logins
{
public:
    explicit Logins(qsizetype expected) { m_keys.reserve(expected); }

    /** The key of a record line in list or file (the line must outlive this). */
    QStringView keyOf(const QString &line)
    {
        if (line.endsWith(RecordLine::kSeparator)) {
            // The separator after the Password ends the key.
            qsizetype at = -1;
            for (int field = RecordLine::Service; field <= RecordLine::Password; ++field) {
                at = line.indexOf(RecordLine::kSeparator, field == RecordLine::Service ? 0 : at + 2);
                if (at < 0)
                    break;
            }
            if (at >= 0)
                return QStringView(line).first(at);
        }
        const RecordLine::Values v = RecordLine::split(line);
        m_owned.append(v[RecordLine::Service] + RecordLine::kSeparator + v[RecordLine::Path] + RecordLine::kSeparator
            + v[RecordLine::Username] + RecordLine::kSeparator + v[RecordLine::Password]);
        return m_owned.last();
    }
    bool contains(QStringView key) const { return m_keys.contains(key); }
    void insert(QStringView key) { m_keys.insert(key); }

private:
    QSet<QStringView> m_keys;
    QStringList m_owned;
};

QString oneLine(QString notes)
{
    return notes.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u"\n"_s, u" / "_s);
}

/** The texts of a row; the reason it cannot be a record instead. */
std::optional<QString> textsOf(const QStringList &fields, const Columns &columns, RecordLine::Texts &texts)
{
    const auto field = [&](int column) { return column < 0 ? QString() : fields[column]; };
    const QString path = field(columns.path);
    QString service = field(columns.service);
    if (service.isEmpty())
        service = QUrl::fromUserInput(path).host();
    texts = { service, path, field(columns.username), field(columns.password), oneLine(field(columns.notes)) };
    if (service.isEmpty())
        return u"There is no Service: no title or name, and no web address to name it after."_s;
    if (texts[RecordLine::Username].isEmpty())
        return u"There is no Username."_s;
    if (texts[RecordLine::Password].isEmpty())
        return u"There is no Password."_s;
    return RecordLine::checkFileable(texts);
}

/** The fields of row in UTF-8; nullopt when they are not UTF-8 text. */
std::optional<QStringList> decoded(const CsvTable::Row &row)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QStringList fields;
    fields.reserve(row.fields.size());
    for (const QByteArray &bytes : row.fields)
        fields.append(utf8.decode(bytes));
    if (utf8.hasError())
        return std::nullopt;
    return fields;
}
} // namespace

namespace LoginCsv {

PlanResult planImport(QByteArrayView content, const RecordList &existing, const LineCheck &check)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        content = content.sliced(3);
    const CsvTable::Parsed parsed = CsvTable::parse(content);
    if (!parsed.error.isEmpty())
        return { std::nullopt, parsed.error };
    if (parsed.rows.isEmpty())
        return { std::nullopt, u"The file is empty: it holds no logins to import."_s };
    const std::optional<QStringList> header = decoded(parsed.rows.first());
    const std::optional<Columns> columns = header ? columnsOf(*header) : std::nullopt;
    if (!columns)
        return { std::nullopt, unknownForm(header ? *header : QStringList()) };
    if (parsed.rows.size() == 1)
        return { std::nullopt, u"The file holds no logins to import: it has no line after its column names."_s };

    // The keys are views into these lines, which must outlive them.
    const QStringList existingLines = existing.items();
    Logins logins(existing.count() + parsed.rows.size());
    for (const QString &line : existingLines)
        logins.insert(logins.keyOf(line));

    ImportPlan plan;
    plan.source = columns->source;
    const QString now = RecordLine::recordDate(Clock::current());
    for (qsizetype r = 1; r < parsed.rows.size(); ++r) {
        const CsvTable::Row &row = parsed.rows[r];
        const auto reject = [&](const QString &reason) { plan.rejected.append({ row.line, reason }); };
        if (row.fields.size() != header->size()) {
            reject(u"It has %1 fields where the first line names %2 columns."_s.arg(row.fields.size())
                       .arg(header->size()));
            continue;
        }
        const std::optional<QStringList> fields = decoded(row);
        if (!fields) {
            reject(u"It is not UTF-8 text."_s);
            continue;
        }
        RecordLine::Texts texts;
        if (const std::optional<QString> why = textsOf(*fields, *columns, texts)) {
            reject(*why);
            continue;
        }
        const QString date
            = columns->date >= 0 && isRecordDate((*fields)[columns->date]) ? (*fields)[columns->date] : now;
        const QString line = RecordLine::build(texts, date);
        const QStringView key = logins.keyOf(line);
        if (logins.contains(key)) {
            ++plan.alreadyThere;
            continue;
        }
        if (check) {
            if (const QString why = check(line); !why.isEmpty()) {
                reject(why);
                continue;
            }
        }
        logins.insert(key);
        plan.lines.append(line);
    }
    return { std::move(plan), {} };
}

QByteArray exportRecords(const RecordList &records)
{
    QByteArray out;
    const auto appendRow = [&out](const QStringList &fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out.append(',');
            CsvTable::appendField(out, fields[i].toUtf8());
        }
        out.append("\r\n");
    };
    appendRow({ u"Group"_s, u"Title"_s, u"Username"_s, u"Password"_s, u"URL"_s, u"Notes"_s, u"Last Modified"_s });
    for (const QString &line : records.items()) {
        const RecordLine::Values v = RecordLine::split(line);
        appendRow({ u"Corvane"_s, v[RecordLine::Service], v[RecordLine::Username], v[RecordLine::Password],
            v[RecordLine::Path], v[RecordLine::Info], v[RecordLine::RecordDate] });
    }
    return out;
}

} // namespace LoginCsv
