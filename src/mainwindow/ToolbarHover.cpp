// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ToolbarHover.h"

#include "common/AppFolders.h"
#include "common/AppInfo.h"
#include "common/ClickLabel.h"
#include "common/Shell.h"
#include "common/Twips.h"
#include "mainwindow/InfoEdit.h"

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTableView>

namespace {
/** Puts line from (x1, y1) to (x2, y2), both ends included, in twips; thickness pixels across. */
void placeLine(QFrame *line, int x1, int y1, int x2, int y2, int thickness = 1)
{
    const QPoint from(Twips::toPixels(x1), Twips::toPixels(y1));
    QPoint to(Twips::toPixels(x2), Twips::toPixels(y2));
    if (y1 == y2)
        to.ry() += thickness - 1;
    else
        to.rx() += thickness - 1;
    line->setGeometry(QRect(from, to));
}

void setColour(QFrame *line, const QColor &colour)
{
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
}

int twips(int pixels)
{
    return Twips::fromPixels(pixels);
}
} // namespace

ToolbarHover::ToolbarHover(const Controls &controls)
    : QObject(controls.window)
    , m_ui(controls)
{
    const Controls &ui = m_ui;
    for (int n = 0; n < 9; ++n) {
        connect(ui.Image1[n], &ClickLabel::hovered, this, [this, n] { DrawButtonFrame(n); });
        connect(ui.Image1[n], &ClickLabel::pressed, this, [this, n] { Image1_MouseDown(n); });
    }
    connect(ui.Image1[5], &ClickLabel::clicked, this, &ToolbarHover::mnuHelp_Click);
    connect(ui.mnuHelp, &QAction::triggered, this, &ToolbarHover::mnuHelp_Click);
    connect(ui.Image1[8], &ClickLabel::clicked, this, &ToolbarHover::webPage_Click);

    for (ClickLabel *label : { ui.fields.Label4, ui.fields.Label1, ui.fields.Label2, ui.fields.Label5 })
        connect(label, &ClickLabel::hovered, this, [this, label] { Label_MouseMove(label); });

    // The lines are drawn over their frame and never take the mouse: a move over one is a move over the frame.
    for (QFrame *line : ui.Line1)
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (QFrame *line : ui.Line2)
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
    setColour(ui.Line2[0], kUnderlineColour);
    setColour(ui.Line2[1], kWhite);

    ui.window->centralWidget()->installEventFilter(this);
    ui.Frame3->installEventFilter(this);
    ui.Grid1->installEventFilter(this);
    ui.Grid1->viewport()->installEventFilter(this);
    ui.Grid1->viewport()->setMouseTracking(true);
    for (QWidget *box : ui.fields.boxes.Text1)
        box->installEventFilter(this);
    ui.fields.boxes.infoBox()->viewport()->installEventFilter(this);
}

QColor ToolbarHover::buttonShadow() const
{
    return m_ui.window->palette().color(QPalette::Dark);
}

void ToolbarHover::DrawButtonFrame(int n)
{
    const Controls &ui = m_ui;
    const QWidget *button = ui.Image1[n];
    const int L = twips(button->x());
    const int W = twips(button->width());
    colourFrame(kWhite, buttonShadow());
    placeLine(ui.Line1[0], L - 40, 60, L + W + 40, 60);
    placeLine(ui.Line1[1], L + W + 40, 60, L + W + 40, 645);
    placeLine(ui.Line1[3], L - 40, 60, L - 40, 645);
    placeLine(ui.Line1[2], L - 40, 645, L + W + 50, 645);
    for (QFrame *line : ui.Line1) {
        line->raise();
        line->show();
    }
}

void ToolbarHover::Image1_MouseDown(int)
{
    colourFrame(buttonShadow(), kWhite);
}

void ToolbarHover::colourFrame(const QColor &topLeft, const QColor &bottomRight)
{
    const Controls &ui = m_ui;
    setColour(ui.Line1[0], topLeft);
    setColour(ui.Line1[3], topLeft);
    setColour(ui.Line1[1], bottomRight);
    setColour(ui.Line1[2], bottomRight);
}

void ToolbarHover::hideButtonFrame()
{
    for (QFrame *line : m_ui.Line1)
        line->hide();
}

void ToolbarHover::Label_MouseMove(QLabel *label)
{
    const Controls &ui = m_ui;
    const int left = twips(label->x());
    const int right = twips(ui.fields.Label2->x() + ui.fields.Label2->width()) + 20;
    const int y = twips(label->y() + label->height()) + 40;
    // Both lines on the same place: the white one lies over the upper half of the blue, which reads as an
    // engraved underline.
    placeLine(ui.Line2[0], left, y, right, y, 2);
    placeLine(ui.Line2[1], left, y, right, y, 1);
    ui.Line2[0]->show();
    ui.Line2[1]->show();
    ui.Line2[1]->raise();
}

void ToolbarHover::hideUnderline()
{
    for (QFrame *line : m_ui.Line2)
        line->hide();
}

void ToolbarHover::mnuHelp_Click()
{
    shellOpen(AppFolders::helpPage());
}

void ToolbarHover::webPage_Click()
{
    shellOpen(AppInfo::webPage);
}

bool ToolbarHover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseMove)
        return QObject::eventFilter(watched, event);
    const Controls &ui = m_ui;
    const QPoint position = static_cast<QMouseEvent *>(event)->position().toPoint();
    if (watched == ui.Frame3) {
        // The toolbar's empty part; a disabled button passes its moves on and counts as empty too.
        const QWidget *child = ui.Frame3->childAt(position);
        if (!child || !child->isEnabled())
            hideButtonFrame();
    } else if (watched == m_ui.window->centralWidget()) {
        if (!m_ui.window->centralWidget()->childAt(position))
            hideUnderline();
    } else {
        // The grid or one of the edit boxes.
        hideUnderline();
    }
    return QObject::eventFilter(watched, event);
}
