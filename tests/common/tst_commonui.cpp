// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "common/Accessibility.h"
#include "common/Clipboard.h"
#include "common/ElidedLabel.h"
#include "common/Twips.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;

class tst_CommonUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twips_fifteenPerPixelAt96Dpi();
    void place_setsGeometryInTwips();
    void fakeMessages_recordsAndAnswers();
    void elidedLabel_keepsWholeTextAndShowsItWhenCut();
    void clipboard_clearOwnValue_leavesOtherCopies_data();
    void clipboard_clearOwnValue_leavesOtherCopies();
    void accessibility_windowIsADialogWithItsMenu();
};

void tst_CommonUi::twips_fifteenPerPixelAt96Dpi()
{
    if (qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()) != 96)
        QSKIP("the screen is not at 96 logical dots per inch");
    QCOMPARE(Twips::toPixels(15), 1);
    QCOMPARE(Twips::toPixels(7980), 532);
    QCOMPARE(Twips::fromPixels(420), 6300);
}

void tst_CommonUi::place_setsGeometryInTwips()
{
    QWidget parent;
    QWidget child(&parent);
    place(&child, 975, 30, 2445, 360);
    QCOMPARE(child.geometry(),
        QRect(Twips::toPixels(975), Twips::toPixels(30), Twips::toPixels(2445), Twips::toPixels(360)));
}

void tst_CommonUi::fakeMessages_recordsAndAnswers()
{
    FakeMessages messages;
    messages.queue(MessageAnswer::Yes);
    QCOMPARE(showMessage(nullptr, MessageIcon::None, u"T"_s, u"Q?"_s, MessageButtons::YesNo), MessageAnswer::Yes);
    QCOMPARE(showMessage(nullptr, MessageIcon::Critical, u"E"_s, u"Bad"_s), MessageAnswer::Ok);
    QVERIFY(messages.unexpected().isEmpty());
    // No queued answer for a choice: the safe answer at once, and the test can see it.
    QCOMPARE(
        showMessage(nullptr, MessageIcon::None, u"T"_s, u"Sure?"_s, MessageButtons::OkCancel), MessageAnswer::Cancel);
    QCOMPARE(messages.unexpected(), QStringList { u"T: Sure?"_s });
    QCOMPARE(messages.texts(), (QStringList { u"Q?"_s, u"Bad"_s, u"Sure?"_s }));
    QCOMPARE(messages.shown.at(1).icon, MessageIcon::Critical);
}

void tst_CommonUi::elidedLabel_keepsWholeTextAndShowsItWhenCut()
{
    QWidget panel;
    panel.resize(120, 40);
    ElidedLabel label(&panel);
    label.move(8, 20);
    label.setText(u"Short"_s);
    label.fitText(panel.width());
    QCOMPARE(label.width(), label.sizeHint().width());
    QVERIFY(label.toolTip().isEmpty());

    const QString status = u"Password is Hidden (not shown) and then some more words"_s;
    label.setText(status);
    label.fitText(panel.width());
    QCOMPARE(label.text(), status);
    QCOMPARE(label.geometry().right() + 1, panel.width());
    QCOMPARE(label.toolTip(), status);

    // Allowed two lines, a text one line cannot hold takes them, whole where two hold it; a short one is back in place.
    QFont interfaceFont = panel.font();
    interfaceFont.setPointSize(8);
    panel.setFont(interfaceFont);
    label.allowTwoLines(QPoint(25, 2));
    label.setText(u"Password is Hidden (not shown)"_s);
    label.fitText(panel.width());
    QCOMPARE(label.shownLines().size(), 2);
    QCOMPARE(label.shownLines().join(u' '), label.text());
    QCOMPARE(label.pos(), QPoint(25, 2));
    label.setText(u"Short"_s);
    label.fitText(panel.width());
    QCOMPARE(label.shownLines(), QStringList { u"Short"_s });
    QCOMPARE(label.pos(), QPoint(8, 20));
}

void tst_CommonUi::clipboard_clearOwnValue_leavesOtherCopies_data()
{
    QTest::addColumn<bool>("secret");
    QTest::addColumn<QString>("copiedSince"); // by another program, after Corvane's copy
    QTest::newRow("field copy") << false << QString();
    QTest::newRow("password") << true << QString();
    QTest::newRow("another program's copy since") << true << u"theirs"_s;
}

void tst_CommonUi::clipboard_clearOwnValue_leavesOtherCopies()
{
    QFETCH(bool, secret);
    QFETCH(QString, copiedSince);
    secret ? Clipboard::setSecretText(u"s3cret"_s) : Clipboard::setText(u"s3cret"_s);
    if (!copiedSince.isEmpty())
        QGuiApplication::clipboard()->setText(copiedSince);
    QCOMPARE(Clipboard::clearOwnValue(), copiedSince.isEmpty());
    QCOMPARE(Clipboard::text(), copiedSince);
}

void tst_CommonUi::accessibility_windowIsADialogWithItsMenu()
{
    Accessibility::install();
    QWidget window(nullptr, Qt::Dialog);
    auto *menu = new QMenu(&window);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&window);
    QCOMPARE(iface->role(), QAccessible::Dialog);
    QCOMPARE(iface->child(0)->object(), menu);
    QCOMPARE(iface->indexOfChild(iface->child(0)), 0);
}

QTEST_MAIN(tst_CommonUi)
#include "tst_commonui.moc"
