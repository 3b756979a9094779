// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "TestFolders.h"
#include "i18n/Dictionaryfrm.h"
#include "i18n/LangSelect.h"
#include "i18n/Language.h"
#include "i18n/LanguageFiles.h"

#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList selectedTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected())
            texts.append(list->item(i)->text());
    }
    return texts;
}
} // namespace

class tst_I18n : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Language::setCurrentLanguage(Language::English); }
    void cleanup() { Language::setCurrentLanguage(Language::English); }

    void parseTable_keepsCommasQuotesAndAccessKeys();
    void text_englishUntilAnotherLanguageIsCurrent();
    void englishTable_listsExactlyTheEntriesRead();
    void readChoice_data();
    void readChoice();
    void listing_data();
    void listing();
    void langSelect_listsAndSelectsStoredChoiceInItsLanguage();
    void langSelect_strayFileStopsListingAndFallsBackToEnglish();
    void langSelect_okWritesChoiceAndStaysOpen();
    void langSelect_cancelOrFrameCloseShowsMainWindow();
    void dictionary_clickShowsIndex();
};

void tst_I18n::parseTable_keepsCommasQuotesAndAccessKeys()
{
    const QByteArray file = "# Deutsch\r\n"
                            "5=Dienst\r\n"
                            "16=&Hinzuf\xfcgen, sofort\r\n"
                            "\r\n"
                            "not an entry\r\n"
                            "20=Sprache \"w\xe4hlen\" = jetzt\n"
                            "99999999999=too big\r\n";
    const QStringList table = LanguageFiles::parseTable(file);
    QCOMPARE(table.size(), 21);
    QCOMPARE(table.at(5), u"Dienst"_s);
    QCOMPARE(table.at(16), u"&Hinzufügen, sofort"_s);
    QCOMPARE(table.at(20), u"Sprache \"wählen\" = jetzt"_s);
    QVERIFY(table.at(6).isEmpty());
}

void tst_I18n::text_englishUntilAnotherLanguageIsCurrent()
{
    TestFolders folders;
    TestFolders::write(folders.shipped() + u"/intl/Deutsch.dat"_s, "68=Schon da, wirklich\r\n");
    using Language::Entry;
    QCOMPARE(Language::text(Entry::IdenticalRecordMessage, u"There is an identical record already filed"_s),
        u"There is an identical record already filed"_s);

    Language::setCurrentLanguage(u"Deutsch"_s);
    QVERIFY(!Language::isEnglish());
    QCOMPARE(Language::text(Entry::IdenticalRecordMessage, u"x"_s), u"Schon da, wirklich"_s);
    QCOMPARE(Language::text(Entry::NoChangesMessage, u"There were no changes"_s), QString()); // not in the table
    QCOMPARE(Language::entry(Entry(-1)), QString());

    // Compared exactly: "english" is another language, and one without a file.
    Language::setCurrentLanguage(u"english"_s);
    QCOMPARE(Language::text(Entry::IdenticalRecordMessage, u"x"_s), QString());
}

void tst_I18n::englishTable_listsExactlyTheEntriesRead()
{
    QFile file(QStringLiteral(CORVANE_ENGLISH_TABLE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<int> listed;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (const qsizetype equals = line.indexOf('='); equals > 0 && !line.startsWith('#'))
            listed.append(line.left(equals).toInt());
    }
    QList<int> read;
    for (const Language::Entry entry : Language::allEntries)
        read.append(static_cast<int>(entry));
    QCOMPARE(listed, read);
}

void tst_I18n::readChoice_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("choice");
    QTest::newRow("plain") << QByteArray("Espanol\r\n") << u"Espanol"_s;
    QTest::newRow("comma ends the field") << QByteArray("Deutsch, Swiss\r\n") << u"Deutsch"_s;
    QTest::newRow("leading spaces") << QByteArray("   Deutsch\r\n") << u"Deutsch"_s;
    QTest::newRow("quoted") << QByteArray("\"Deutsch, Swiss\"\r\n") << u"Deutsch, Swiss"_s;
    QTest::newRow("no line end") << QByteArray("Deutsch") << u"Deutsch"_s;
    QTest::newRow("LF line end") << QByteArray("Deutsch\nOther\n") << u"Deutsch"_s;
}

void tst_I18n::readChoice()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, choice);
    TestFolders folders;
    TestFolders::write(folders.appPath(u"lang.dat"_s), content);
    QCOMPARE(LanguageFiles::readChoice(folders.appPath(u"lang.dat"_s)).value_or(u"<none>"_s), choice);
    QVERIFY(!LanguageFiles::readChoice(folders.appPath(u"missing.dat"_s)));
}

void tst_I18n::listing_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("complete");
    QTest::newRow("two languages") << QStringList { u"Espanol.dat"_s, u"Deutsch.dat"_s }
                                   << QStringList { u"Deutsch"_s, u"Espanol"_s } << true;
    QTest::newRow("first .dat counts") << QStringList { u"my.data.dat"_s } << QStringList { u"my"_s } << true;
    QTest::newRow("stray file stops it") << QStringList { u"Deutsch.dat"_s, u"notes.txt"_s, u"Zulu.dat"_s }
                                         << QStringList { u"Deutsch"_s } << false;
    QTest::newRow("upper case .DAT") << QStringList { u"Deutsch.DAT"_s } << QStringList() << false;
}

void tst_I18n::listing()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, names);
    QFETCH(bool, complete);
    TestFolders folders;
    for (const QString &file : files)
        TestFolders::write(folders.shipped() + u"/intl/"_s + file, "3=x\r\n");
    const LanguageFiles::Listing listing = LanguageFiles::listLanguages(folders.shipped() + u"/intl"_s);
    QCOMPARE(listing.names, names);
    QCOMPARE(listing.complete, complete);
    QVERIFY(!LanguageFiles::listLanguages(folders.root() + u"/nowhere"_s).complete);
}

void tst_I18n::langSelect_listsAndSelectsStoredChoiceInItsLanguage()
{
    TestFolders folders;
    TestFolders::write(folders.shipped() + u"/intl/Deutsch.dat"_s, "20=Sprache\r\n41=Gut\r\n");
    TestFolders::write(folders.shipped() + u"/intl/Espanol.dat"_s, "20=Idioma\r\n41=Vale\r\n");
    TestFolders::write(folders.appPath(u"lang.dat"_s), "Espanol\r\n");
    QWidget main;
    LangSelect dialog(&main);
    QCOMPARE(itemTexts(dialog.List1), (QStringList { u"English"_s, u"Deutsch"_s, u"Espanol"_s }));
    QCOMPARE(selectedTexts(dialog.List1), QStringList { u"Espanol"_s });
    QCOMPARE(Language::CurrentLanguage(), u"Espanol"_s);
    QCOMPARE(dialog.windowTitle(), u"Idioma"_s);
    QCOMPARE(dialog.Command1->text(), u"Vale"_s);
    QCOMPARE(dialog.Command2->text(), u"Cancel"_s);
    QCOMPARE(dialog.Frame1->title(), u"Supported languages "_s);
}

void tst_I18n::langSelect_strayFileStopsListingAndFallsBackToEnglish()
{
    TestFolders folders;
    TestFolders::write(folders.shipped() + u"/intl/Deutsch.dat"_s, "20=Sprache\r\n");
    TestFolders::write(folders.shipped() + u"/intl/notes.txt"_s, "");
    TestFolders::write(folders.shipped() + u"/intl/Zulu.dat"_s, "");
    TestFolders::write(folders.appPath(u"lang.dat"_s), "Deutsch\r\n");
    Language::setCurrentLanguage(u"Zulu"_s);
    QWidget main;
    LangSelect dialog(&main);
    QCOMPARE(itemTexts(dialog.List1), (QStringList { u"English"_s, u"Deutsch"_s }));
    QVERIFY(selectedTexts(dialog.List1).isEmpty());
    QCOMPARE(Language::CurrentLanguage(), u"English"_s);
    QCOMPARE(dialog.windowTitle(), u"Language"_s);
}

void tst_I18n::langSelect_okWritesChoiceAndStaysOpen()
{
    TestFolders folders;
    TestFolders::write(folders.shipped() + u"/intl/Deutsch.dat"_s, "20=Sprache\r\n");
    QWidget main;
    auto *dialog = new LangSelect(&main);
    dialog->show();
    QVERIFY(Language::isEnglish());

    dialog->List1->item(1)->setSelected(true);
    dialog->Command1->click();
    QCOMPARE(Language::CurrentLanguage(), u"Deutsch"_s);
    QCOMPARE(TestFolders::read(folders.appPath(u"lang.dat"_s)), "Deutsch\r\n");
    QVERIFY(dialog->isVisible());

    dialog->List1->clearSelection();
    dialog->List1->item(0)->setSelected(true);
    dialog->Command1->click();
    QVERIFY(Language::isEnglish());
    QCOMPARE(TestFolders::read(folders.appPath(u"lang.dat"_s)), "English\r\n");

    // With nothing selected, Ok does nothing.
    dialog->List1->clearSelection();
    TestFolders::write(folders.appPath(u"lang.dat"_s), "Deutsch\r\n");
    dialog->Command1->click();
    QCOMPARE(TestFolders::read(folders.appPath(u"lang.dat"_s)), "Deutsch\r\n");
    delete dialog;
}

void tst_I18n::langSelect_cancelOrFrameCloseShowsMainWindow()
{
    TestFolders folders;
    for (bool byFrame : { false, true }) {
        QWidget main;
        QPointer<LangSelect> dialog = new LangSelect(&main);
        dialog->show();
        main.hide();
        if (byFrame)
            dialog->close();
        else
            dialog->Command2->click();
        QVERIFY(main.isVisible());
        QTRY_VERIFY(dialog.isNull()); // unloaded
    }
}

void tst_I18n::dictionary_clickShowsIndex()
{
    TestFolders folders;
    TestFolders::write(folders.shipped() + u"/intl/Deutsch.dat"_s, "0=Null\r\n2=Zwei\r\n");
    Language::setCurrentLanguage(u"Deutsch"_s);
    Dictionaryfrm form;
    QCOMPARE(form.List1->count(), 3);
    QCOMPARE(form.List1->item(2)->text(), u"Zwei"_s);
    form.show();
    const QRect rect = form.List1->visualItemRect(form.List1->item(2));
    QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(form.List1->toolTip(), u"2"_s);
}

QTEST_MAIN(tst_I18n)
#include "tst_i18n.moc"
