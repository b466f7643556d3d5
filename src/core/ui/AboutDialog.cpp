#include "core/ui/AboutDialog.h"

#include "core/ui/SplashScreen.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Tabout_form"));
    setWindowTitle(QStringLiteral("超市收银系统"));
    setFixedSize(600, 440);

    auto* version = new QLabel(QStringLiteral("版本：翠湖超市收银软件1.0"), this);
    version->setObjectName(QStringLiteral("Label1"));
    QFont f = version->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.4);
    version->setFont(f);
    version->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    version->adjustSize();
    version->move((width() - version->width()) / 2, 250);
    // Clicks on the label close the box as well.
    version->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AboutDialog::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    SplashScreen::paintPicture(p, rect());
}

void AboutDialog::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    accept();
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Escape:
        accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
