// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Splash.h"

#include "common/AppInfo.h"
#include "common/ClickLabel.h"
#include "common/Shell.h"
#include "common/Twips.h"
#include "i18n/Language.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString kMakers = u"The Corvane developers"_s;
}

Splash::Splash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , Image1(new QLabel(this))
    , lblProduct(new QLabel(AppInfo::title, this))
    , lblVersion(new QLabel(AppInfo::versionLine, this))
    , lblRelease(new QLabel(u"Version "_s + AppInfo::version, this))
    , Label1(new QLabel(this))
    , Label2(new QLabel(this))
    , Label3(new QLabel(kMakers, this))
    , Label4(new QLabel(u"Keeps your logins on your own computer."_s, this))
    , Label5(new ClickLabel(u"Close this window"_s, this))
    , lblWeb(new ClickLabel(QString(AppInfo::webPage).remove(u"https://"_s).remove(u'/'), this))
    , imgWeb(new ClickLabel(this))
    , Timer1(new QTimer(this))
{
    setObjectName(u"Splash"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(AppInfo::title);
    nameControls();
    setFixedSize(Twips::toPixels(6300), Twips::toPixels(3300));
    paintBackground();
    placeTitle();
    placeLinks();
    connectHandlers();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Form_Load();
}

void Splash::nameControls()
{
    for (auto [widget, name] : { std::pair<QObject *, QString> { Image1, u"Image1"_s }, { lblProduct, u"lblProduct"_s },
             { lblVersion, u"lblVersion"_s }, { lblRelease, u"lblRelease"_s }, { Label1, u"Label1"_s },
             { Label2, u"Label2"_s }, { Label3, u"Label3"_s }, { Label4, u"Label4"_s }, { Label5, u"Label5"_s },
             { lblWeb, u"lblWeb"_s }, { imgWeb, u"imgWeb"_s }, { Timer1, u"Timer1"_s } })
        widget->setObjectName(name);
}

void Splash::paintBackground()
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xf4, 0xf7, 0xfa));
    colours.setColor(QPalette::WindowText, QColor(0x1c, 0x2b, 0x3a));
    setPalette(colours);
}

/** The logo, the product's name and the lines under it. */
void Splash::placeTitle()
{
    const QIcon logo(u":/icons/corvane.svg"_s);
    Image1->setPixmap(logo.pixmap(Twips::toPixels(1440), Twips::toPixels(1440)));
    place(Image1, 300, 300, 1440, 1440);

    QFont big = font();
    big.setPointSize(20);
    big.setBold(true);
    lblProduct->setFont(big);
    place(lblProduct, 2040, 300, 3900, 600);
    place(lblVersion, 2040, 900, 3900, 240);
    place(Label1, 2040, 1200, 3900, 240);
    place(Label2, 2040, 1440, 3900, 240);
    place(Label3, 2040, 1800, 3900, 240);
    place(Label4, 2040, 2040, 3900, 240);
    // Which release is installed is what a user opens the About box for.
    place(lblRelease, 2040, 2280, 3900, 240);
    lblRelease->hide();
}

/** The web page's link and picture, and "Close this window". */
void Splash::placeLinks()
{
    imgWeb->setSvg(u":/icons/web.svg"_s);
    place(imgWeb, 300, 2760, 240, 240);
    QFont link = font();
    link.setUnderline(true);
    lblWeb->setFont(link);
    lblWeb->setStyleSheet(u"color: #1f5fa8;"_s);
    place(lblWeb, 600, 2760, 2700, 240);
    for (ClickLabel *clickable : { lblWeb, imgWeb, Label5 })
        clickable->setCursor(Qt::PointingHandCursor);
    place(Label5, 4200, 2760, 1800, 240);
    Label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label5->hide();
}

void Splash::connectHandlers()
{
    Timer1->setInterval(4000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &Splash::Timer1_Timer);
    connect(lblWeb, &ClickLabel::clicked, this, &Splash::lblWeb_Click);
    connect(imgWeb, &ClickLabel::clicked, this, &Splash::lblWeb_Click);
    connect(Label5, &ClickLabel::clicked, this, &Splash::Label5_Click);
}

void Splash::Form_Load()
{
    using Language::Entry;
    if (!Language::isEnglish()) {
        Label3->setText(Language::entry(Entry::SplashMakers));
        Label1->setText(Language::entry(Entry::SplashTitleLine1));
        Label2->setText(Language::entry(Entry::SplashTitleLine2));
        Label5->setText(Language::entry(Entry::SplashClose));
        Label4->setText(Language::entry(Entry::SplashCredit) + u" - "_s + AppInfo::versionLine + u", "_s + kMakers);
    }
    // The timer runs from the load unless the window is the About box.
    if (!Label5->isVisibleTo(this))
        Timer1->start();
}

void Splash::showAsAbout()
{
    Label5->show();
    lblRelease->show();
    Timer1->stop();
    show();
    raise();
    activateWindow();
}

void Splash::Timer1_Timer()
{
    // Once only: a click while the hand-over runs (the owner being asked) must not run it again.
    if (m_handedOver)
        return;
    m_handedOver = true;
    Timer1->stop();
    // The splash is gone before the main window's load asks anything.
    hide();
    Q_EMIT handOver();
    close();
}

void Splash::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    Timer1_Timer();
}

void Splash::lblWeb_Click()
{
    shellOpen(AppInfo::webPage);
}

void Splash::Label5_Click()
{
    close();
}

void Splash::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // A frameless window needs an edge of its own to stand out from the desktop.
    QPainter painter(this);
    painter.setPen(QColor(0x2e, 0x5f, 0x8a));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
