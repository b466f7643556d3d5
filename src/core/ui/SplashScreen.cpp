#include "core/ui/SplashScreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tflash_form"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(600, 440);

    auto* edition = new QLabel(QStringLiteral("（单机版 V1.0）"), this);
    edition->setObjectName(QStringLiteral("Label1"));
    QFont f = edition->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    edition->setFont(f);
    edition->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    edition->adjustSize();
    edition->move((width() - edition->width()) / 2, 250);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void SplashScreen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(38, 120, 84));
    sky.setColorAt(1.0, QColor(14, 62, 46));
    p.fillRect(rect(), sky);

    // A lake ("翠湖") of soft rings behind the title.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(255, 255, 255, 14 + i * 4));
        const int rx = 260 - i * 36;
        const int ry = 70 - i * 10;
        p.drawEllipse(QPoint(width() / 2, 360), rx, ry);
    }

    QFont title = font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 3.0);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(0, 120, width(), 90), Qt::AlignCenter, QStringLiteral("翠湖超市收银系统"));

    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 1.0);
    p.setFont(small);
    p.setPen(QColor(220, 240, 230));
    p.drawText(QRect(0, 205, width(), 30), Qt::AlignCenter, QStringLiteral("收银 · 进货 · 库存 · 会员 · 统计"));
    p.drawText(QRect(0, height() - 40, width(), 30), Qt::AlignCenter, QStringLiteral("翠湖软件"));

    p.setPen(QPen(QColor(255, 255, 255, 120), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

void SplashScreen::showFor(int ms)
{
    SplashScreen splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    splash.hide();
}
