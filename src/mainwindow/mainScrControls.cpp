// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mainScrControls.h"

#include "common/ClickLabel.h"
#include "common/ElidedLabel.h"
#include "common/Twips.h"
#include "mainwindow/EntryPlaces.h"
#include "mainwindow/InfoEdit.h"
#include "store/RecordFields.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {
template <typename Widget> Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QFrame *frame(QWidget *parent, const QString &name)
{
    auto *f = named(new QFrame(parent), name);
    f->setMouseTracking(true);
    return f;
}

QFrame *line(QWidget *parent, const QString &name)
{
    auto *l = named(new QFrame(parent), name);
    l->setAutoFillBackground(true);
    l->hide();
    return l;
}

void placeAt(QWidget *widget, const EntryPlaces::Place &at)
{
    place(widget, at.left, at.top, at.width, at.height);
}

/** Grows a label to its text where the interface font needs more room than its place gives. */
void fitText(QWidget *widget)
{
    const QSize hint = widget->sizeHint();
    widget->resize(qMax(widget->width(), hint.width()), qMax(widget->height(), hint.height()));
}

QAction *entry(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction *checkable(QMenu *menu, const QString &name, const QString &caption, bool checked = false)
{
    QAction *action = entry(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}
} // namespace

void mainScrControls::setUp(QMainWindow *window)
{
    auto *client = named(new QWidget(window), u"client"_s);
    client->setMouseTracking(true);
    window->setCentralWidget(client);

    // In this order, which is also the order the controls stack in and Tab goes through them.
    buildToolbar(client);
    buildClipboardPanel(client);
    buildEntryArea(client);
    buildGrid(client);
    buildMenus(window);
}

void mainScrControls::buildToolbar(QWidget *client)
{
    // Nine picture buttons, left to right 0 1 2 3 8 4 5 6 7, and the rule under them.
    Frame3 = frame(client, u"Frame3"_s);
    Frame3->setFrameShape(QFrame::StyledPanel);
    Frame3->setFrameShadow(QFrame::Raised);
    place(Frame3, 75, 15, 5340, 675);
    static const std::array<int, 9> lefts = { 60, 640, 1200, 1765, 2910, 3500, 4120, 4790, 2370 };
    static const std::array<QString, 9> pictures = { u"add"_s, u"replace"_s, u"trash"_s, u"reset"_s, u"password"_s,
        u"help"_s, u"capture"_s, u"quit"_s, u"web"_s };
    static const std::array<QString, 9> tips = { u"Add"_s, u"Replace"_s, u"Trash"_s, u"Reset"_s, u"Create a Password"_s,
        u"Help"_s, u"Capture from other application"_s, u"Quit"_s, u"Corvane on the web: news and new versions"_s };
    for (int n = 0; n < 9; ++n) {
        Image1[n] = named(new ClickLabel(Frame3), u"Image1_%1"_s.arg(n));
        place(Image1[n], lefts[n], 120, 480, 480);
        Image1[n]->setSvg(u":/icons/%1.svg"_s.arg(pictures[n]));
        Image1[n]->setToolTip(tips[n]);
        Image1[n]->setAccessibleName(tips[n]); // a screen reader sees no picture
        Image1[n]->setCursor(Qt::PointingHandCursor);
    }
    for (int n = 0; n < 3; ++n)
        Image1[n]->setEnabled(false);
    for (int n = 0; n < 4; ++n)
        Line1[n] = line(Frame3, u"Line1_%1"_s.arg(n));

    Frame1 = frame(client, u"Frame1"_s);
    Frame1->setFrameShape(QFrame::HLine);
    Frame1->setFrameShadow(QFrame::Sunken);
    place(Frame1, -30, 705, 7950, 30);
}

void mainScrControls::buildClipboardPanel(QWidget *client)
{
    Picture1 = frame(client, u"Picture1"_s);
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setFrameShadow(QFrame::Sunken);
    place(Picture1, 5910, 45, 1800, 645);
    Label6 = named(new QLabel(u"ClipBoard holds"_s, Picture1), u"Label6"_s);
    place(Label6, 375, 60, 1170, 180);
    fitText(Label6);
    ClipStatLbl = named(new ElidedLabel(Picture1), u"ClipStatLbl"_s);
    place(ClipStatLbl, 120, 360, 1560, 225);
    // A status longer than the panel is wide ("Password is Hidden (not shown)") takes two lines under the caption.
    ClipStatLbl->allowTwoLines(QPoint(Label6->x(), Label6->geometry().bottom() + 1));
    for (int n = 0; n < 2; ++n) {
        Image3[n] = named(new ClickLabel(Picture1), u"Image3_%1"_s.arg(n));
        place(Image3[n], 45, 30, 240, 270);
        Image3[n]->setSvg(n == 0 ? u":/icons/clip-empty.svg"_s : u":/icons/clip-full.svg"_s);
    }
    Image3[1]->hide();
    // For screen readers, which see no picture.
    for (ClickLabel *indicator : Image3)
        indicator->setAccessibleName(u"Clipboard indicator"_s);
    Image3[0]->setAccessibleDescription(u"The clipboard is empty"_s);
    Image3[1]->setAccessibleDescription(u"The clipboard holds text; click to empty it"_s);
}

void mainScrControls::buildEntryArea(QWidget *client)
{
    Frame2 = frame(client, u"Frame2"_s);
    Frame2->setFrameShape(QFrame::StyledPanel);
    placeAt(Frame2, EntryPlaces::kFrame);
    auto label = [this](const QString &name, RecordLine::Field field) {
        auto *l = named(new ClickLabel(RecordFields::all[field].name.toString(), Frame2), name);
        placeAt(l, EntryPlaces::kLabels[field]);
        fitText(l);
        return l;
    };
    Label4 = label(u"Label4"_s, RecordLine::Service);
    Label1 = label(u"Label1"_s, RecordLine::Username);
    Label2 = label(u"Label2"_s, RecordLine::Password);
    Label5 = label(u"Label5"_s, RecordLine::Path);

    for (int i = 0; i < 4; ++i) {
        auto *box = named(new QLineEdit(Frame2), u"Text1_%1"_s.arg(i));
        box->setMouseTracking(true);
        Text1[i] = box;
    }
    Text1[4] = named(new InfoEdit(Frame2), u"Text1_4"_s);
    // A masked password shows one "*" per character.
    Text1[3]->setStyleSheet(u"QLineEdit { lineedit-password-character: 42; }"_s);
    for (size_t field = 0; field < Text1.size(); ++field)
        placeAt(Text1[field], EntryPlaces::kBoxes[field]);
    // Each label names its box for screen readers; the Info box has no label on screen.
    Label4->setBuddy(Text1[0]);
    Label1->setBuddy(Text1[2]);
    Label2->setBuddy(Text1[3]);
    Label5->setBuddy(Text1[1]);
    Text1[4]->setAccessibleName(RecordFields::all[RecordLine::Info].name.toString());
    // Tab order: Service, Username, Password, Path, Info.
    QWidget::setTabOrder(Text1[0], Text1[2]);
    QWidget::setTabOrder(Text1[2], Text1[3]);
    QWidget::setTabOrder(Text1[3], Text1[1]);
    QWidget::setTabOrder(Text1[1], Text1[4]);
    for (int n = 0; n < 2; ++n)
        Line2[n] = line(Frame2, u"Line2_%1"_s.arg(n));

    Check1 = named(new QCheckBox(u"H"_s, client), u"Check1"_s);
    Check1->setToolTip(u"Hide/Show Password"_s);
    // The gap between the Password and Info boxes is narrow: a small indicator leaves room for the "H".
    Check1->setStyleSheet(u"QCheckBox { spacing: 0px; } QCheckBox::indicator { width: 9px; height: 9px; }"_s);
    place(Check1, 3460, 1515, 255, 345);
    Check1->raise();
}

void mainScrControls::buildGrid(QWidget *client)
{
    Grid1 = named(new RecordGrid(client), u"Grid1"_s);
    Grid1->setAccessibleName(u"Records"_s);
    place(Grid1, 105, 2370, 7650, 3180);
    Grid1->setMouseTracking(true);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setWordWrap(false);
    Grid1->setTabKeyNavigation(false);
    Grid1->verticalHeader()->hide();
    Grid1->verticalHeader()->setDefaultSectionSize(Grid1->fontMetrics().height() + 6);
    Grid1->horizontalHeader()->setHighlightSections(false);
    Grid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void mainScrControls::buildMenus(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();
    mnuFileTop = named(bar->addMenu(u"&File"_s), u"mnuFileTop"_s);
    mnuBackupDB = entry(mnuFileTop, u"mnuBackupDB"_s, u"Back up Database"_s);
    mnuRestoreDB = entry(mnuFileTop, u"mnuRestoreDB"_s, u"Restore Database"_s);
    mnuImport = entry(mnuFileTop, u"mnuImport"_s, u"&Import..."_s);
    mnuExport = entry(mnuFileTop, u"mnuExport"_s, u"Ex&port..."_s);
    mnuFileTop->addSeparator();
    mnuCorvoBrowser = entry(mnuFileTop, u"mnuCorvoBrowser"_s, u"Corvo Browser"_s);
    mnuFileTop->addSeparator();
    mnuLock = entry(mnuFileTop, u"mnuLock"_s, u"&Lock"_s);
    mnuLock->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuExit = entry(mnuFileTop, u"mnuExit"_s, u"E&xit"_s);

    mnuEditTop = named(bar->addMenu(u"&Edit"_s), u"mnuEditTop"_s);
    mnuUndo = entry(mnuEditTop, u"mnuUndo"_s, u"&Undo"_s);
    mnuEditTop->addSeparator();
    mnuAdd = entry(mnuEditTop, u"mnuAdd"_s, u"&Add"_s);
    mnuReplace = entry(mnuEditTop, u"mnuReplace"_s, u"R&eplace"_s);
    mnuRemove = entry(mnuEditTop, u"mnuRemove"_s, u"Remo&ve"_s);
    mnuReset = entry(mnuEditTop, u"mnuReset"_s, u"&Reset"_s);
    mnuEditTop->addSeparator();
    mnuCapture = checkable(mnuEditTop, u"mnuCapture"_s, u"&Capture"_s);
    mnuEditTop->addSeparator();
    mnuClearClip = entry(mnuEditTop, u"mnuClearClip"_s, u"Clear Clipboard"_s);
    mnuEditTop->addSeparator();
    mnuFind = entry(mnuEditTop, u"mnuFind"_s, u"&Find..."_s);
    mnuFind->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::Key_F3) });
    for (QAction *action : { mnuUndo, mnuAdd, mnuReplace, mnuRemove })
        action->setEnabled(false);

    mnuPreferencesTop = named(bar->addMenu(u"&Preferences"_s), u"mnuPreferencesTop"_s);
    mnuOnTop = checkable(mnuPreferencesTop, u"mnuOnTop"_s, u"&Top Most"_s);
    ResetSize = entry(mnuPreferencesTop, u"ResetSize"_s, u"Reset to &Normal Size"_s);
    mnuPreferencesTop->addSeparator();
    mnuAutoComplete = checkable(mnuPreferencesTop, u"mnuAutoComplete"_s, u"&Auto Complete"_s, true);
    mnuShowPass = entry(mnuPreferencesTop, u"mnuShowPass"_s, u"Show &Password"_s);
    mnuPreferencesTop->addSeparator();
    mnuSecurity = entry(mnuPreferencesTop, u"mnuSecurity"_s, u"&Set Password"_s);
    mnuPreferencesTop->addSeparator();
    mnuLang = entry(mnuPreferencesTop, u"mnuLang"_s, u"Set &Language"_s);
    mnuLang->setEnabled(false);
    mnuPreferencesTop->addSeparator();
    mnuHideDisplay = checkable(mnuPreferencesTop, u"mnuHideDisplay"_s, u"&Hide Display"_s);
    mnuAutoHide = checkable(mnuPreferencesTop, u"mnuAutoHide"_s, u"&Auto Hide"_s);

    mnuHelpTop = named(bar->addMenu(u"&Help"_s), u"mnuHelpTop"_s);
    mnuHelp = entry(mnuHelpTop, u"mnuHelp"_s, u"&Contents"_s);
    mnuAbout = entry(mnuHelpTop, u"mnuAbout"_s, u"A&bout"_s);

    // "URLMenu", the pop-up of the Path label.
    TmnuUrl = named(new QMenu(u"URLMenu"_s, window), u"TmnuUrl"_s);
    mnuCopyToClip = entry(TmnuUrl, u"mnuCopyToClip"_s, u"Copy to Clipboard"_s);
    mnuBrowse = named(TmnuUrl->addMenu(u"Browse"_s), u"mnuBrowse"_s);
    CorvaneIE = entry(mnuBrowse, u"CorvaneIE"_s, u"Corvane Browser"_s);
    mnuExternalIE = entry(mnuBrowse, u"mnuExternalIE"_s, u"External Browser"_s);
}
