// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserFrame.h"

#include "browser/BrowserClock.h"
#include "browser/BrowserPictures.h"
#include "browser/MiniBrowser.h"
#include "browser/MouseEvents.h"
#include "browser/WindowMover.h"
#include "common/Clipboard.h"
#include "common/Twips.h"
#include "common/WindowSystem.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

namespace {
const QColor kBarColour(0x1f, 0x3b, 0x63);
constexpr int kGripHideTicks = 50;
/** How long a compositor may take to confirm the normal state before the window takes its size all the same. */
constexpr int kStateWaitMs = 1000;
const QString kTrayCaption = u"ClipBoard holds"_s;

void placeAt(QWidget *widget, const TwipsRect &rect)
{
    place(widget, rect.left, rect.top, rect.width, rect.height);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text = {})
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

/** A picture button of the title bar, white on the bar. */
QLabel *makePicture(QWidget *parent, const QString &name, const QString &toolTip)
{
    QLabel *label = makeLabel(parent, name);
    label->setToolTip(toolTip);
    label->setAccessibleName(toolTip); // a screen reader sees no picture
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}
} // namespace

BrowserFrame::BrowserFrame(MiniBrowser *window, const WindowParts &parts)
    : QObject(window)
    , m_window(window)
    , m_parts(parts)
{
    buildTitleBar();
    buildQuitButton();

    Frame1 = new QFrame(window);
    Frame1->setObjectName(u"Frame1"_s);
    Frame1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Frame1->setMouseTracking(true);
    // Its rim is its own, not the title bar's that it covers in theatre mode.
    Frame1->setAutoFillBackground(true);

    Image6 = makePicture(window, u"Image6"_s, u"Leave theatre mode"_s);
    Image6->hide();

    buildTray();

    Picture2 = makeLabel(window, u"Picture2"_s);
    Picture2->setCursor(Qt::SizeFDiagCursor);
    Picture2->hide();

    buildMenu();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(u"Timer2"_s);
    Timer2->setSingleShot(true);
    Timer3 = new BrowserClock(this);
    Timer3->setObjectName(u"Timer3"_s);
}

BrowserFrame::~BrowserFrame() = default;

void BrowserFrame::setTrayStatus(const QString &text)
{
    ClipStatLbl->setText(text);
}

void BrowserFrame::buildTitleBar()
{
    lblbar = makeLabel(m_window, u"lblbar"_s);
    lblbar->setAutoFillBackground(true);
    setColour(lblbar, QPalette::Window, kBarColour);

    Label1 = makeLabel(m_window, u"Label1"_s, u"CorvoBrowser"_s);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    setColour(Label1, QPalette::WindowText, Qt::white);
    setColour(m_parts.Label3, QPalette::WindowText, Qt::white);

    Image2 = makePicture(m_window, u"Image2"_s, u"Window menu"_s);
    Image4 = makePicture(m_window, u"Image4"_s, u"Minimize"_s);
    Image5 = makePicture(m_window, u"Image5"_s, u"Maximize"_s);
    Image7 = makePicture(m_window, u"Image7"_s, u"Restore"_s);
    Image7->hide();
    closebtn = makePicture(m_window, u"closebtn"_s, u"Close"_s);
}

void BrowserFrame::buildQuitButton()
{
    QWidget *bar = m_parts.PictureBar;
    Image1 = makePicture(bar, u"Image1"_s, u"Quit"_s);
    Image1->setMouseTracking(true);
    place(Image1, 7680, 30, 240, 240);
    // A frame of four lines around the button: top, left, bottom, right.
    const std::array<TwipsRect, 4> lines { TwipsRect { 7650, 15, 300, 15 }, TwipsRect { 7650, 15, 15, 270 },
        TwipsRect { 7650, 270, 300, 15 }, TwipsRect { 7935, 15, 15, 270 } };
    for (int index = 0; index < 4; ++index) {
        auto *line = new QWidget(bar);
        line->setObjectName(u"Line1_%1"_s.arg(index));
        line->setAutoFillBackground(true);
        const bool light = index < 2;
        setColour(line, QPalette::Window, light ? QColor(Qt::white) : bar->palette().color(QPalette::Dark));
        placeAt(line, lines[index]);
        line->hide();
        Line1[index] = line;
    }
}

void BrowserFrame::buildTray()
{
    Picture1 = new QFrame(m_window);
    Picture1->setObjectName(u"Picture1"_s);
    Picture1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Picture1->setAutoFillBackground(true);
    Picture1->hide();
    Label6 = makeLabel(Picture1, u"Label6"_s, kTrayCaption);
    ClipStatLbl = makeLabel(Picture1, u"ClipStatLbl"_s);
    for (int index = 0; index < 2; ++index) {
        Image3[index] = makePicture(Picture1, u"Image3_%1"_s.arg(index), {});
        Image3[index]->hide();
    }
    for (QLabel *indicator : Image3)
        indicator->setAccessibleName(u"Clipboard indicator"_s);
    Image3[0]->setToolTip(u"The clipboard is empty"_s);
    Image3[1]->setToolTip(u"The clipboard holds text; click to empty it"_s);
}

void BrowserFrame::buildMenu()
{
    TmnuMenu = new QMenu(m_window);
    TmnuMenu->setObjectName(u"TmnuMenu"_s);
    TmnuMenu->setAccessibleName(u"Window menu"_s);
    auto entry = [this](const QString &name, const QString &text) {
        QAction *action = TmnuMenu->addAction(text);
        action->setObjectName(name);
        return action;
    };
    mnutheather = entry(u"mnutheather"_s, u"&Theater Mode"_s);
    mnuCorvomode = entry(u"mnuCorvomode"_s, u"&Corvo Mode"_s);
    TmnuMenu->addSeparator();
    mnuRestoreSize = entry(u"mnuRestoreSize"_s, u"&Restore"_s);
    mnuMinimize = entry(u"mnuMinimize"_s, u"Mi&nimize"_s);
    mnuMaximize = entry(u"mnuMaximize"_s, u"Ma&ximize"_s);
    TmnuMenu->addSeparator();
    mnuClipbtray = entry(u"mnuClipbtray"_s, u"Clipboard Tray"_s);
    mnuClipbtray->setCheckable(true);
    TmnuMenu->addSeparator();
    mnuExit = entry(u"mnuExit"_s, u"&Close        Alt+F4"_s);
}

void BrowserFrame::finishBuilding(QWidget *page)
{
    m_page = page;
    // Bottom to top: the title bar strip under its controls, the page's
    // frame over the bar (theatre mode lets it cover the top), then the
    // theatre button, the tray and the grip over the page.
    lblbar->lower();
    Frame1->raise();
    Image6->raise();
    Picture1->raise();
    Picture2->raise();
    m_parts.Text1->raise();

    // Clicks on controls stop there; only the window's bare area is the window's own click.
    for (QObject *child : m_window->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            widget->setAttribute(Qt::WA_NoMousePropagation);
    }

    const int clockPixels = ClipStatLbl->fontMetrics().horizontalAdvance(u"00:00:00"_s);
    m_layout.setClockRoom(Twips::fromPixels(clockPixels) + 60);
    const int captionPixels = Label6->fontMetrics().horizontalAdvance(kTrayCaption);
    m_layout.setCaptionRoom(Twips::fromPixels(captionPixels) + 30);

    connectHandlers();
    applyLayout();
    drawPictures();
    updateIndicator();
}

void BrowserFrame::connectHandlers()
{
    connect(MouseEvents::watch(Image5), &MouseEvents::clicked, this, &BrowserFrame::Image5_Click);
    connect(MouseEvents::watch(Image7), &MouseEvents::clicked, this, &BrowserFrame::Image7_Click);
    connect(MouseEvents::watch(Image4), &MouseEvents::clicked, this, &BrowserFrame::Image4_Click);
    connect(MouseEvents::watch(Image6), &MouseEvents::clicked, this, &BrowserFrame::Image6_Click);
    connect(MouseEvents::watch(Image2), &MouseEvents::clicked, this, &BrowserFrame::Image2_Click);
    connect(MouseEvents::watch(closebtn), &MouseEvents::clicked, this, &BrowserFrame::closeWindow);
    for (QLabel *indicator : Image3)
        connect(MouseEvents::watch(indicator), &MouseEvents::clicked, this, &BrowserFrame::Image3_Click);

    auto *mover = new WindowMover(m_window);
    for (QWidget *bar :
        { static_cast<QWidget *>(lblbar), static_cast<QWidget *>(Label1), static_cast<QWidget *>(m_parts.Label3) }) {
        connect(MouseEvents::watch(bar), &MouseEvents::doubleClicked, this, &BrowserFrame::lblbar_DblClick);
        if (bar != m_parts.Label3)
            mover->watch(bar);
    }

    MouseEvents *quit = MouseEvents::watch(Image1);
    connect(quit, &MouseEvents::clicked, this, &BrowserFrame::closeWindow);
    connect(quit, &MouseEvents::moved, this, &BrowserFrame::Image1_MouseMove);
    connect(quit, &MouseEvents::pressed, this, &BrowserFrame::Image1_MouseDown);

    MouseEvents *frame = MouseEvents::watch(Frame1);
    connect(frame, &MouseEvents::moved, this, &BrowserFrame::Frame1_MouseMove);
    connect(frame, &MouseEvents::clicked, this, &BrowserFrame::Frame1_Click);
    connect(MouseEvents::watch(m_window), &MouseEvents::clicked, this, &BrowserFrame::Frame1_Click);

    MouseEvents *grip = MouseEvents::watch(Picture2);
    connect(grip, &MouseEvents::pressed, this, &BrowserFrame::Picture2_MouseDown);
    connect(grip, &MouseEvents::released, this, &BrowserFrame::Picture2_MouseUp);
    connect(grip, &MouseEvents::moved, this, &BrowserFrame::Picture2_MouseMove);

    connect(Timer2, &QTimer::timeout, this, &BrowserFrame::Timer2_Timer);
    connect(Timer3, &BrowserClock::ticked, this, &BrowserFrame::Timer3_Timer);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &BrowserFrame::updateIndicator);

    connect(mnutheather, &QAction::triggered, this, &BrowserFrame::mnutheather_Click);
    connect(mnuCorvomode, &QAction::triggered, this, &BrowserFrame::mnuCorvomode_Click);
    connect(mnuRestoreSize, &QAction::triggered, this, &BrowserFrame::mnuRestoreSize_Click);
    connect(mnuMinimize, &QAction::triggered, this, &BrowserFrame::mnuMinimize_Click);
    connect(mnuMaximize, &QAction::triggered, this, &BrowserFrame::Image5_Click);
    connect(mnuClipbtray, &QAction::triggered, this, &BrowserFrame::mnuClipbtray_Click);
    connect(mnuExit, &QAction::triggered, this, &BrowserFrame::closeWindow);
    // The key the "&Close" entry names, also where no window manager handles it.
    auto *altF4 = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), m_window);
    connect(altF4, &QShortcut::activated, this, &BrowserFrame::closeWindow);
}

void BrowserFrame::Form_Resize()
{
    if (m_applying)
        return;
    if (m_sizeOnceNormal && !(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        sizeOnceNormal();
        return;
    }
    const QSize size = m_window->size();
    const TwipsRect &window = m_layout.geometry().window;
    if (size == QSize(Twips::toPixels(window.width), Twips::toPixels(window.height)))
        return; // the size the layout asked for
    m_layout.windowResized(Twips::fromPixels(size.width()), Twips::fromPixels(size.height()));
    applyLayout();
}

void BrowserFrame::windowMoved()
{
    if (m_applying)
        return;
    const QPoint pos = m_window->pos() - screenOrigin();
    const TwipsRect &window = m_layout.geometry().window;
    if (pos != QPoint(Twips::toPixels(window.left), Twips::toPixels(window.top)))
        m_layout.windowMoved(Twips::fromPixels(pos.x()), Twips::fromPixels(pos.y()));
}

void BrowserFrame::Image5_Click()
{
    m_layout.toggleMaximize(workArea());
    followWindowState();
    applyLayout();
}

void BrowserFrame::Image7_Click()
{
    m_layout.restoreButton();
    followWindowState();
    applyLayout();
}

void BrowserFrame::Image4_Click()
{
    m_window->showMinimized();
}

void BrowserFrame::Image6_Click()
{
    m_layout.leaveTheatre();
    followWindowState();
    applyLayout();
}

void BrowserFrame::Image2_Click()
{
    TmnuMenu->popup(QCursor::pos());
}

void BrowserFrame::lblbar_DblClick()
{
    m_layout.hideGrip();
    Image5_Click();
}

void BrowserFrame::Image3_Click()
{
    Clipboard::clear();
}

void BrowserFrame::Image1_MouseMove()
{
    for (QWidget *line : Line1)
        line->show();
}

void BrowserFrame::Image1_MouseDown()
{
    // Pressed look: the shadow on top and left, white at the bottom and right.
    const QColor shadow = m_parts.PictureBar->palette().color(QPalette::Dark);
    for (int index = 0; index < 4; ++index)
        setColour(Line1[index], QPalette::Window, index < 2 ? shadow : QColor(255, 255, 255));
}

void BrowserFrame::Frame1_MouseMove()
{
    if (m_layout.geometry().picture2Shown)
        return;
    m_layout.showGrip();
    Picture2->show();
    scheduleGripHide();
}

void BrowserFrame::Frame1_Click()
{
    m_layout.normalLayout();
    followWindowState();
    applyLayout();
}

void BrowserFrame::Picture2_MouseDown()
{
    GripDragging = true;
    Timer2->stop();
}

void BrowserFrame::Picture2_MouseUp()
{
    m_layout.hideGrip();
    Picture2->hide();
    GripDragging = false;
}

void BrowserFrame::Picture2_MouseMove(QPoint pos)
{
    if (!GripDragging)
        return;
    m_layout.gripStep(Twips::fromPixels(pos.x()), Twips::fromPixels(pos.y()));
    applyLayout();
}

void BrowserFrame::scheduleGripHide()
{
    if (GripDragging || Timer2->isActive())
        return;
    // The count goes on while the grip is hidden, so a grip shown after a
    // long pause hides at the next tick.
    Timer2->start(int(qMax<qint64>(GripCounter::kTickMs, GripTicks.msUntil(kGripHideTicks))));
}

void BrowserFrame::Timer2_Timer()
{
    if (!m_layout.geometry().picture2Shown || GripDragging)
        return;
    if (GripTicks.value() < kGripHideTicks) {
        scheduleGripHide();
        return;
    }
    GripTicks.reset();
    m_layout.hideGrip();
    Picture2->hide();
}

void BrowserFrame::Timer3_Timer(const QString &time)
{
    ClipStatLbl->setText(time);
}

void BrowserFrame::updateIndicator()
{
    const bool empty = Clipboard::text().isEmpty();
    Image3[0]->setVisible(empty);
    Image3[1]->setVisible(!empty);
}

void BrowserFrame::mnutheather_Click()
{
    m_layout.theatreLayout(workArea());
    followWindowState();
    applyLayout();
}

void BrowserFrame::mnuCorvomode_Click()
{
    Image6_Click();
}

void BrowserFrame::mnuRestoreSize_Click()
{
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    Image7_Click();
}

void BrowserFrame::mnuMinimize_Click()
{
    m_layout.minimizing();
    m_window->showMinimized();
}

void BrowserFrame::mnuClipbtray_Click()
{
    const bool show = !m_layout.geometry().picture1Shown;
    m_layout.setTrayShown(show);
    mnuClipbtray->setChecked(show);
    Picture1->setVisible(show);
}

void BrowserFrame::closeWindow()
{
    m_window->close();
}

TwipsRect BrowserFrame::workArea() const
{
    const QScreen *screen = m_window->screen();
    // The available geometry leaves out the panels a desktop keeps along the screen's edges.
    const QRect area
        = screen ? screen->availableGeometry().translated(-screen->geometry().topLeft()) : QRect(0, 0, 1024, 768);
    return { Twips::fromPixels(area.left()), Twips::fromPixels(area.top()), Twips::fromPixels(area.width()),
        Twips::fromPixels(area.height()) };
}

QPoint BrowserFrame::screenOrigin() const
{
    const QScreen *screen = m_window->screen();
    return screen ? screen->geometry().topLeft() : QPoint();
}

void BrowserFrame::followWindowState()
{
    if (!WindowSystem::isNativeWayland())
        return;
    const Qt::WindowStates states = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    const Qt::WindowState wanted = m_layout.isTheatre() ? Qt::WindowFullScreen
        : m_layout.isMaximized()                        ? Qt::WindowMaximized
                                                        : Qt::WindowNoState;
    if ((m_window->windowState() & states) == wanted)
        return;
    // The size the compositor gives comes back through Form_Resize, which lays the controls out for it.
    if (wanted == Qt::WindowNoState) {
        showNormal();
        return;
    }
    if (wanted == Qt::WindowFullScreen)
        m_window->showFullScreen();
    else
        m_window->showMaximized();
    // Meanwhile, and for good where the compositor keeps the window's size, the window has the size it has.
    m_layout.windowResized(Twips::fromPixels(m_window->width()), Twips::fromPixels(m_window->height()));
}

void BrowserFrame::showNormal()
{
    // The window takes its normal size once the compositor has confirmed the normal state: a size that the
    // state it has confirmed does not allow ends the connection. Its answer is a size of its own (the size
    // the window had before), which Form_Resize replaces by the layout's.
    if (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        m_sizeOnceNormal = true;
        QTimer::singleShot(kStateWaitMs, this, &BrowserFrame::sizeOnceNormal);
    }
    m_window->showNormal();
}

void BrowserFrame::sizeOnceNormal()
{
    if (!std::exchange(m_sizeOnceNormal, false))
        return;
    applyLayout();
}

void BrowserFrame::applyLayout()
{
    const FrameGeometry &g = m_layout.geometry();
    m_applying = true;
    const QSize size(Twips::toPixels(g.window.width), Twips::toPixels(g.window.height));
    if (!WindowSystem::isNativeWayland()) {
        const QPoint origin = screenOrigin();
        m_window->setGeometry(QRect(
            QPoint(origin.x() + Twips::toPixels(g.window.left), origin.y() + Twips::toPixels(g.window.top)), size));
    } else if (!m_sizeOnceNormal
        && !(m_window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // The compositor places the window, and sizes it while it is maximized or full screen.
        m_window->resize(size);
    }
    placeAt(lblbar, g.lblbar);
    placeAt(Label1, g.label1);
    placeAt(m_parts.Label3, g.label3);
    placeAt(m_parts.Text1, g.text1);
    placeAt(Image2, g.image2);
    placeAt(Image4, g.image4);
    placeAt(Image5, g.image5);
    placeAt(Image7, g.image7);
    placeAt(closebtn, g.closebtn);
    placeAt(m_parts.PictureBar, g.pictureBar);
    placeAt(Frame1, g.frame1);
    placeAt(m_page, g.webBrowser1);
    placeAt(Image6, g.image6);
    placeAt(Picture2, g.picture2);
    placeAt(Picture1, g.picture1);
    placeAt(Label6, g.label6);
    Label6->setText(Label6->fontMetrics().elidedText(kTrayCaption, Qt::ElideRight, Label6->width()));
    placeAt(ClipStatLbl, g.clipStatLbl);
    placeAt(Image3[0], g.image3);
    placeAt(Image3[1], g.image3);

    Image5->setVisible(g.image5Shown);
    Image7->setVisible(g.image7Shown);
    Image6->setVisible(g.image6Shown);
    Picture1->setVisible(g.picture1Shown);
    Picture2->setVisible(g.picture2Shown);
    m_applying = false;

    if (m_layout.takeClipStatEmptied())
        ClipStatLbl->clear();
    if (m_layout.clockRunning())
        Timer3->start();
    else
        Timer3->stop();
}

void BrowserFrame::drawPictures()
{
    BrowserPictures::show(Image2, u"menu"_s);
    BrowserPictures::show(Image4, u"minimize"_s);
    BrowserPictures::show(Image5, u"maximize"_s);
    BrowserPictures::show(Image7, u"restore"_s);
    BrowserPictures::show(closebtn, u"close"_s);
    BrowserPictures::show(Image1, u"quit"_s);
    BrowserPictures::show(Image6, u"leave-theatre"_s);
    BrowserPictures::show(Picture2, u"grip"_s);
    BrowserPictures::show(Image3[0], u"clipboard-empty"_s);
    BrowserPictures::show(Image3[1], u"clipboard-full"_s);
}
