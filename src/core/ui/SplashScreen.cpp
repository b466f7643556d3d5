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
    paintPicture(p, rect());
}

void SplashScreen::paintPicture(QPainter& p, const QRect& area, bool withTitle)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, area.top(), 0, area.bottom());
    sky.setColorAt(0.0, QColor(38, 120, 84));
    sky.setColorAt(1.0, QColor(14, 62, 46));
    p.fillRect(area, sky);

    // A lake ("翠湖") of soft rings below the title.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(255, 255, 255, 14 + i * 4));
        const int rx = area.width() * 13 / 30 - i * 36;
        const int ry = area.height() * 7 / 44 - i * 10;
        p.drawEllipse(QPoint(area.center().x(), area.top() + area.height() * 9 / 11), rx, ry);
    }

    if (withTitle) {
        QFont title = QApplication::font();
        title.setBold(true);
        title.setPointSizeF(title.pointSizeF() * 3.0);
        p.setFont(title);
        p.setPen(QColor(255, 255, 255));
        p.drawText(QRect(area.left(), area.top() + 120, area.width(), 90), Qt::AlignCenter,
                   QStringLiteral("翠湖超市收银系统"));

        QFont small = QApplication::font();
        p.setFont(small);
        p.setPen(QColor(220, 240, 230));
        p.drawText(QRect(area.left(), area.top() + 205, area.width(), 30), Qt::AlignCenter,
                   QStringLiteral("收银 · 进货 · 库存 · 会员 · 统计"));
        p.drawText(QRect(area.left(), area.bottom() - 40, area.width(), 30), Qt::AlignCenter,
                   QStringLiteral("翠湖软件"));
    }

    p.setPen(QPen(QColor(255, 255, 255, 120), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(1, 1, -2, -2));
    p.restore();
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
