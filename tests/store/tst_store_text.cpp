// SPDX-License-Identifier: GPL-3.0-or-later
// The record's text form, the two ciphers, the record list's order, the grid's model and the search.
#include "Fakes.h"
#include "TestFolders.h"
#include "store/FieldCipher.h"
#include "store/LineCipher.h"
#include "store/RecordFinder.h"
#include "store/RecordLine.h"
#include "store/RecordList.h"
#include "store/RecordTableModel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;
using Values = RecordLine::Values;

class tst_StoreText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldCipher_tableIsPinned();
    void fieldCipher_roundTripsEveryCharacter();
    void lineCipher_isTheFormulaAndItsOwnInverse_data();
    void lineCipher_isTheFormulaAndItsOwnInverse();
    void recordLine_buildsTheLineWithClockDate();
    void recordLine_split_data();
    void recordLine_split();
    void checkFileable_data();
    void checkFileable();
    void recordList_order_data();
    void recordList_order();
    void recordList_randomEdits_keepOrderAndFindEqualLines();
    void model_presentsListWithMaskedPassword();
    void model_staysConsistentThroughEveryChange();
    void finder_findsInGridOrder_data();
    void finder_findsInGridOrder();
    void finder_followsEveryChangeOfTheRecords();
};

void tst_StoreText::fieldCipher_tableIsPinned()
{
    // Stored databases depend on this table: it must never change.
    const QString alphabet = QString::fromLatin1(FieldCipher::kAlphabet);
    QCOMPARE(FieldCipher::encipher(alphabet), u"a54ky7gMXZTEPVqim1zl0F9rAvbew:YJUoISxOhCdNDK6RHpnt2Gs8WucfBL3jQ"_s);
    QByteArray bytes = alphabet.toLatin1();
    FieldCipher::encipherBytes(bytes);
    QCOMPARE(QString::fromLatin1(bytes), FieldCipher::encipher(alphabet));
}

void tst_StoreText::fieldCipher_roundTripsEveryCharacter()
{
    const QString alphabet = QString::fromLatin1(FieldCipher::kAlphabet);
    QString every;
    for (int u = 0; u < 0x10000; ++u)
        every.append(QChar(char16_t(u)));
    const QString enciphered = FieldCipher::encipher(every);
    QCOMPARE(enciphered.size(), every.size());
    QCOMPARE(FieldCipher::decipher(enciphered), every);
    for (int u = 0; u < 0x10000; ++u) {
        const QChar c { char16_t(u) };
        if (!alphabet.contains(c))
            QCOMPARE(enciphered[u], c);
        else
            QVERIFY(alphabet.contains(enciphered[u]));
    }

    // The byte forms agree with the character forms on every byte.
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    QByteArray enBytes = bytes;
    FieldCipher::encipherBytes(enBytes);
    QCOMPARE(QString::fromLatin1(enBytes), FieldCipher::encipher(QString::fromLatin1(bytes)));
    FieldCipher::decipherBytes(enBytes);
    QCOMPARE(enBytes, bytes);

    // The one-character walk gives the same line, and FieldDecipher hands back the last character.
    const QString line = u"Mail:!https://x.org/a:!Bob:!p4ss:!:!05-17-2002 14:03:59:!"_s;
    QString out;
    for (QChar c : line)
        FieldCipher::FieldEncipherChar(c, out);
    QCOMPARE(out, FieldCipher::encipher(line));
    QString back = u"kept"_s;
    QCOMPARE(FieldCipher::FieldDecipher(out, back), out.back());
    QCOMPARE(back, u"kept"_s + line);
}

void tst_StoreText::lineCipher_isTheFormulaAndItsOwnInverse_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("one byte") << QByteArray("k");
    QTest::newRow("three bytes") << QByteArray("abc");
    QTest::newRow("high bytes") << QByteArray("\xe9\xff\x01\x80", 4);
}

void tst_StoreText::lineCipher_isTheFormulaAndItsOwnInverse()
{
    QFETCH(QByteArray, key);
    QByteArray text;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b)
            text.append(char(b));
    const QByteArray cipher = LineCipher(text, key);
    QCOMPARE(cipher.size(), text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto k = uchar(key[i % key.size()]);
        QCOMPARE(uchar(cipher[i]), uchar(255 - (k ^ uchar(text[i]))));
    }
    QCOMPARE(LineCipher(cipher, key), text);

    // Every call starts again at the key's first byte; a byte equal to its key byte becomes 255.
    QCOMPARE(LineCipher(key, key), QByteArray(key.size(), '\xff'));
    QCOMPARE(LineCipher(text.first(1), key), cipher.first(1));
    // The result is appended; an empty key or text adds nothing.
    QByteArray out = "x";
    LineCipher(text.first(2), key, out);
    QCOMPARE(out, QByteArray("x") + cipher.first(2));
    LineCipher(text, QByteArrayView(), out);
    LineCipher(QByteArrayView(), key, out);
    QCOMPARE(out.size(), 3);
}

void tst_StoreText::recordLine_buildsTheLineWithClockDate()
{
    FakeClock clock(QDateTime(QDate(2002, 5, 17), QTime(14, 3, 59)));
    const QString line = RecordLine::BuildRecordLine({ u"Service"_s, {}, u"Username"_s, u"Password"_s, {} });
    QCOMPARE(line, u"Service:!:!Username:!Password:!:!05-17-2002 14:03:59:!"_s);
    QCOMPARE(RecordLine::recordDate(QDateTime(QDate(2031, 1, 2), QTime(3, 4, 5))), u"01-02-2031 03:04:05"_s);
}

void tst_StoreText::recordLine_split_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<Values>("values");
    QTest::newRow("full") << u"A:!B:!C:!D:!E:!F:!"_s << Values { u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s, u"F"_s };
    QTest::newRow("empty path and info") << u"S:!:!U:!P:!:!05-17-2002 14:03:59:!"_s
                                         << Values { u"S"_s, {}, u"U"_s, u"P"_s, {}, u"05-17-2002 14:03:59"_s };
    QTest::newRow("single colons and marks")
        << u"a:b!:!!x:!:y:!p!:!i:!d:!"_s << Values { u"a:b!"_s, u"!x"_s, u":y"_s, u"p!"_s, u"i"_s, u"d"_s };
    QTest::newRow("value ending in colon") << u"a::!b:!"_s << Values { u"a:"_s, u"b"_s, {}, {}, {}, {} };
    QTest::newRow("older form without final separator")
        << u"A:!C:!D:!E:!XY"_s << Values { u"A"_s, {}, u"C"_s, u"D"_s, u"E"_s, {} };
    QTest::newRow("one stray character after the end") << u"A:!B:!x"_s << Values { u"A"_s, u"B"_s, {}, {}, {}, {} };
    QTest::newRow("short line") << u"A:!B:!"_s << Values { u"A"_s, u"B"_s, {}, {}, {}, {} };
    QTest::newRow("no separator is its service") << u"just text"_s << Values { u"just text"_s, {}, {}, {}, {}, {} };
    QTest::newRow("more than six values")
        << u"1:!2:!3:!4:!5:!6:!7:!8:!"_s << Values { u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s };
    QTest::newRow("empty") << QString() << Values {};
}

void tst_StoreText::recordLine_split()
{
    QFETCH(QString, line);
    QFETCH(Values, values);
    QCOMPARE(RecordLine::split(line), values);
    // A field read from the list is what the grid shows in that column.
    for (int n = 1; n <= RecordLine::kFieldCount; ++n)
        QCOMPARE(RecordLine::field(line, n), values[size_t(n - 1)]);
}

void tst_StoreText::checkFileable_data()
{
    QTest::addColumn<RecordLine::Texts>("texts");
    QTest::addColumn<QStringList>("mentions"); // empty: fileable
    const RecordLine::Texts good { u"Bank"_s, u"https://bank.example/?a=1,b=\"2\""_s, u" bob "_s, u"p:a!s€ÿ"_s, {} };
    QTest::newRow("colons, marks, commas, quotes, Windows-1252") << good << QStringList();
    auto with = [&](int field, const QString &value) {
        RecordLine::Texts t = good;
        t[size_t(field)] = value;
        return t;
    };
    QTest::newRow("separator in info") << with(4, u"a:!b"_s) << QStringList { u"Info"_s, u":!"_s };
    QTest::newRow("CR in path") << with(1, u"a\rb"_s) << QStringList { u"Path"_s, u"line break"_s };
    QTest::newRow("LF in service") << with(0, u"a\nb"_s) << QStringList { u"Service"_s, u"line break"_s };
    QTest::newRow("Greek letter in username")
        << with(2, u"ab\u03c8"_s) << QStringList { u"Username"_s, u"\"\u03c8\""_s, u"U+03C8"_s };
    QTest::newRow("emoji named whole") << with(3, u"x\U0001F600"_s)
                                       << QStringList { u"Password"_s, u"\"\U0001F600\""_s, u"U+1F600"_s };
}

void tst_StoreText::checkFileable()
{
    QFETCH(RecordLine::Texts, texts);
    QFETCH(QStringList, mentions);
    const std::optional<QString> why = RecordLine::checkFileable(texts);
    QCOMPARE(why.has_value(), !mentions.isEmpty());
    for (const QString &m : mentions)
        QVERIFY2(why->contains(m), qPrintable(*why));
}

void tst_StoreText::recordList_order_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("services without regard to case")
        << QStringList { u"beta:!:!u:!p:!:!d:!"_s, u"Alpha:!:!u:!p:!:!d:!"_s, u"gamma:!:!u:!p:!:!d:!"_s }
        << QStringList { u"Alpha:!:!u:!p:!:!d:!"_s, u"beta:!:!u:!p:!:!d:!"_s, u"gamma:!:!u:!p:!:!d:!"_s };
    // The whole line would put "ab-x" before "ab" ("-" sorts before ":"); the grid shows Services in order.
    QTest::newRow("one service the beginning of another")
        << QStringList { u"ab-x:!:!u:!p:!:!d:!"_s, u"abc:!:!u:!p:!:!d:!"_s, u"ab:!:!z:!p:!:!d:!"_s }
        << QStringList { u"ab:!:!z:!p:!:!d:!"_s, u"ab-x:!:!u:!p:!:!d:!"_s, u"abc:!:!u:!p:!:!d:!"_s };
    QTest::newRow("equal services by the whole line, then exactly")
        << QStringList { u"Mail:!:!zed:!p:!:!d:!"_s, u"mail:!:!Bob:!p:!:!d:!"_s, u"MAIL:!:!bob:!p:!:!d:!"_s }
        << QStringList { u"MAIL:!:!bob:!p:!:!d:!"_s, u"mail:!:!Bob:!p:!:!d:!"_s, u"Mail:!:!zed:!p:!:!d:!"_s };
    QTest::newRow("letters beyond ASCII, in either case")
        << QStringList { u"Œuvre:!:!u:!p:!:!d:!"_s, u"éclair:!:!u:!p:!:!d:!"_s, u"Zed:!:!u:!p:!:!d:!"_s,
               u"ÉCLAIR:!:!b:!p:!:!d:!"_s, u"œuvre:!:!a:!p:!:!d:!"_s }
        << QStringList { u"Zed:!:!u:!p:!:!d:!"_s, u"ÉCLAIR:!:!b:!p:!:!d:!"_s, u"éclair:!:!u:!p:!:!d:!"_s,
               u"œuvre:!:!a:!p:!:!d:!"_s, u"Œuvre:!:!u:!p:!:!d:!"_s };
}

void tst_StoreText::recordList_order()
{
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    RecordList assigned;
    assigned.assign(input);
    QCOMPARE(assigned.items(), expected);
    RecordList inserted;
    for (const QString &line : input)
        inserted.insert(line);
    QCOMPARE(inserted.items(), expected);
}

void tst_StoreText::recordList_randomEdits_keepOrderAndFindEqualLines()
{
    // Few distinct Services and case variants, so ties and prefixes are everywhere.
    QRandomGenerator random(7);
    const QStringList services { u"a"_s, u"A"_s, u"ab"_s, u"aB-"_s, u"b"_s, u"B b"_s };
    auto randomLine = [&]() -> QString {
        return services[random.bounded(int(services.size()))] + u":!:!"_s + (random.bounded(2) ? u"u"_s : u"U"_s)
            + QString::number(random.bounded(4)) + u":!p:!:!d:!"_s;
    };
    RecordList list;
    QStringList plain;
    for (int i = 0; i < 400; ++i) {
        const QString line = randomLine();
        const qsizetype at = list.insert(line);
        QCOMPARE(list.item(at), line);
        plain.append(line);
        if (i % 5 == 4) {
            const qsizetype from = random.bounded(int(list.count()));
            const QString replacement = randomLine();
            plain.removeOne(list.item(from));
            plain.append(replacement);
            const qsizetype expected = list.replacementIndex(from, replacement);
            QCOMPARE(list.replace(from, replacement), expected);
            QCOMPARE(list.item(expected), replacement);
        }
    }
    const QStringList items = list.items();
    QVERIFY(std::is_sorted(items.cbegin(), items.cend(), &RecordList::lessThan));
    std::shuffle(plain.begin(), plain.end(), std::mt19937(3));
    RecordList assigned;
    assigned.assign(plain);
    QCOMPARE(assigned.items(), list.items());

    for (int i = 0; i < 200; ++i) {
        const QString probe = randomLine();
        const bool ignoringCase = std::any_of(
            items.cbegin(), items.cend(), [&](const QString &l) { return l.compare(probe, Qt::CaseInsensitive) == 0; });
        QCOMPARE(list.containsIgnoringCase(probe), ignoringCase);
        QCOMPARE(list.containsExactly(probe), items.contains(probe));
    }
}

void tst_StoreText::model_presentsListWithMaskedPassword()
{
    RecordTableModel model;
    model.setLines({ u"b:!p:!u:!12345:!i:!d:!"_s, u"a:!:!u:!:!:!d:!"_s, u"c:!x"_s });
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 6);
    const QStringList headers { u"Service"_s, u"Path"_s, u"Username"_s, u"Password"_s, u"Info"_s, QString() };
    for (int c = 0; c < 6; ++c)
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
    auto cell = [&](int r, int c) { return model.data(model.index(r, c)).toString(); };
    for (int r = 0; r < 3; ++r)
        QCOMPARE(cell(r, 0), RecordLine::field(model.List1().item(r), 1));
    QCOMPARE(cell(1, 3), u"*****"_s);
    QCOMPARE(cell(0, 3), QString());
    QCOMPARE(cell(1, 5), u"d"_s);
    // A line without its final separator still has its own row; nothing is left over from the row above.
    QCOMPARE(cell(2, 0), u"c"_s);
    QCOMPARE(cell(2, 2), QString());
}

void tst_StoreText::model_staysConsistentThroughEveryChange()
{
    RecordTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setLines({ u"beta:!:!u:!p:!:!d:!"_s, u"Alpha:!:!u:!p:!:!d:!"_s, u"gamma:!:!u:!p:!:!d:!"_s });
    QCOMPARE(model.insertLine(u"Delta:!:!u:!p:!:!d:!"_s), 2);

    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    // A Replace that changes the Service moves the record to its place at once.
    QCOMPARE(model.replaceLine(0, u"zeta:!:!u:!p:!:!d:!"_s), 3);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(model.data(model.index(3, 0)).toString(), u"zeta"_s);
    QCOMPARE(model.replaceLine(3, u"Able:!:!u:!p:!:!d:!"_s), 0);
    QCOMPARE(model.replaceLine(0, u"Able:!:!v:!p:!:!d:!"_s), 0);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(model.data(model.index(0, 2)).toString(), u"v"_s);
    QStringList services;
    for (int r = 0; r < model.rowCount(); ++r)
        services.append(model.data(model.index(r, 0)).toString());
    QCOMPARE(services, (QStringList { u"Able"_s, u"beta"_s, u"Delta"_s, u"gamma"_s }));

    model.removeLine(1);
    model.removeLine(7); // out of range: nothing
    QCOMPARE(model.rowCount(), 3);
    model.setLines({});
    QCOMPARE(model.rowCount(), 0);
}

void tst_StoreText::finder_findsInGridOrder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("back");
    QTest::addColumn<int>("row");
    // Rows: 0 Alpha, 1 beta, 2 Delta (the older form: its Path comes last), 3 Gamma.
    QTest::newRow("path of the older form") << u"old.example"_s << 0 << false << 2;
    QTest::newRow("not across fields") << u"alphaa.example"_s << 0 << false << -1;
    QTest::newRow("not across records") << u"onebeta"_s << 0 << false << -1;
    QTest::newRow("empty text") << QString() << 0 << false << -1;
    QTest::newRow("back from before the first") << u"a"_s << -1 << true << 3;
    QTest::newRow("from past the last") << u"a"_s << 4 << false << 0;
}

void tst_StoreText::finder_findsInGridOrder()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(bool, back);
    QFETCH(int, row);
    RecordTableModel model;
    model.setLines({ u"Gamma:!:!carl:!alpha:!Ärger:!d:!"_s, u"Delta:!dave:!pw:!info:!old.example:!xy"_s,
        u"Alpha:!a.example:!ann:!secret:!note one:!d:!"_s, u"beta:!https://Bank.example:!bob:!pw:!:!d:!"_s });
    const RecordFinder finder(model);
    QCOMPARE(finder.find(text, from, back ? RecordFinder::Direction::Backward : RecordFinder::Direction::Forward), row);
}

void tst_StoreText::finder_followsEveryChangeOfTheRecords()
{
    // A finder that searches all along finds, after each change, what Qt's own search without regard to
    // case finds in the grid's order; words also stand in the passwords, where they are never found.
    QRandomGenerator random(11);
    const QStringList words { u"Mail"_s, u"bank"_s, u"Forum"_s, u"mAIL.example"_s, u"forge"_s, u"Ärger"_s };
    auto word = [&] { return words[random.bounded(int(words.size()))]; };
    auto line = [&]() -> QString {
        return word() + u":!"_s + word() + u":!u:!"_s + word() + u" "_s + word() + u":!"_s + word() + u":!d:!"_s;
    };
    RecordTableModel model;
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines.append(line());
    model.setLines(lines);
    auto expected = [&](const QString &text, int from, int step, bool service) {
        const int count = model.rowCount();
        for (int i = 0; i < count; ++i) {
            const int row = ((from + step * i) % count + count) % count;
            const Values values = RecordLine::split(model.List1().item(row));
            bool holds = values[RecordLine::Service].startsWith(text, Qt::CaseInsensitive);
            for (const int field : { 0, 1, 2, 4 })
                holds = holds || (!service && values[field].contains(text, Qt::CaseInsensitive));
            if (holds)
                return row;
        }
        return -1;
    };
    const RecordFinder finder(model);
    finder.prepare();
    for (int change = 0; change < 120; ++change) {
        const int row = random.bounded(model.rowCount());
        switch (change % 3) {
        case 0:
            model.insertLine(line());
            break;
        case 1:
            model.replaceLine(row, line());
            break;
        default:
            model.removeLine(row);
            break;
        }
        for (const QString &text : words + QStringList { u"ail"_s, u"m"_s, u"ÄRG"_s, u"k fo"_s }) {
            const int from = random.bounded(model.rowCount() + 1);
            QCOMPARE(finder.find(text, from), expected(text, from, 1, false));
            QCOMPARE(finder.find(text, from, RecordFinder::Direction::Backward), expected(text, from, -1, false));
            QCOMPARE(finder.findService(text, from), expected(text, from, 1, true));
        }
    }
}

QTEST_GUILESS_MAIN(tst_StoreText)
#include "tst_store_text.moc"
