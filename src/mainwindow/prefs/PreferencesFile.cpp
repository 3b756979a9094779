// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/prefs/PreferencesFile.h"

#include "common/SafeFile.h"
#include "common/TextLines.h"
#include "common/Windows1252.h"

#include <QLocale>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace PreferencesFile {

namespace {
QByteArray truth(bool value)
{
    return value ? "True" : "False";
}

QByteArray line(const char *key, const QByteArray &value)
{
    QByteArray text(key);
    text += value;
    return TextLines::terminated(text);
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

/** Moves past one line end (CR LF counts as one). */
qsizetype skipLineEnd(QStringView text, qsizetype i)
{
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        return i + 2;
    return i + 1;
}
} // namespace

QByteArray format(const State &state)
{
    QByteArray out;
    out += line("[Display]= ", truth(state.hideDisplay));
    out += line("[AutHide]= ", truth(state.autoHide));
    out += line("[LPos]= ", QByteArray::number(state.left));
    out += line("[TPos]= ", QByteArray::number(state.top));
    out += line("[OTop]= ", truth(state.topMost));
    return out;
}

FileResult write(const QString &path, const State &state)
{
    return SafeFile::writeWhole(path, format(state));
}

QStringList items(QStringView text)
{
    QStringList result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
        QString item;
        if (i < n && text[i] == u'"') {
            const qsizetype start = ++i;
            while (i < n && text[i] != u'"' && !isLineEnd(text[i]))
                ++i;
            item = text.mid(start, i - start).toString();
            if (i < n && text[i] == u'"')
                ++i;
            // Anything between the closing quote and the delimiter is not part of the item.
            while (i < n && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
            item = text.mid(start, i - start).toString();
        }
        result.append(item);
        if (i >= n)
            break;
        if (text[i] == u',') {
            ++i;
            // A comma at the very end of a line or of the text leaves one more, empty, item.
            if (i >= n || isLineEnd(text[i]))
                result.append(QString());
            if (i < n && isLineEnd(text[i]))
                i = skipLineEnd(text, i);
        } else {
            i = skipLineEnd(text, i);
        }
    }
    return result;
}

std::optional<bool> truthValue(QStringView text)
{
    const QStringView value = text.trimmed();
    if (value.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (value.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = QLocale::c().toDouble(value, &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number != 0.0;
}

std::optional<int> twipsValue(QStringView text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    const double rounded = std::round(number);
    if (rounded < double(std::numeric_limits<int>::min()) || rounded > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(rounded);
}

QList<Setting> parse(QByteArrayView content)
{
    QList<Setting> settings;
    for (const QString &item : items(Windows1252::decode(content))) {
        const qsizetype space = item.indexOf(u' ');
        if (space < 0)
            break;
        const QStringView key = QStringView(item).left(space);
        const QStringView value = QStringView(item).mid(space + 1);
        if (key == u"[Display]=" || key == u"[AutHide]=" || key == u"[OTop]=") {
            const std::optional<bool> flag = truthValue(value);
            if (!flag)
                break;
            const Key which = key == u"[Display]=" ? Key::Display : key == u"[AutHide]=" ? Key::AutHide : Key::OTop;
            settings.append({ which, *flag, 0 });
        } else if (key == u"[LPos]=" || key == u"[TPos]=") {
            const std::optional<int> twips = twipsValue(value);
            if (!twips)
                break;
            settings.append({ key == u"[LPos]=" ? Key::LPos : Key::TPos, false, *twips });
        }
    }
    return settings;
}

std::optional<QList<Setting>> read(const QString &path)
{
    const std::optional<QByteArray> content = SafeFile::readAll(path);
    if (!content)
        return std::nullopt;
    return parse(*content);
}

} // namespace PreferencesFile
