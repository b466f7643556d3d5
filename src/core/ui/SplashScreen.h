#pragma once

#include <QWidget>

class QPainter;

// The picture shown while the till starts: borderless, 600 × 440, centred on the desktop, with
// the edition in bold over it.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

    // Shows the splash, paints it at once, waits `ms` milliseconds (handling window events)
    // and closes it.
    static void showFor(int ms);

    // The program's picture, shared with the about box: the name on a green lake.
    static void paintPicture(QPainter& painter, const QRect& area, bool withTitle = true);

protected:
    void paintEvent(QPaintEvent* event) override;
};
