// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "common/Accessibility.h"
#include "common/ElidedLabel.h"
#include "common/Twips.h"

#include <QAccessible>
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
