#pragma once

#include <QWidget>

// The picture shown while the till starts: borderless, 600 × 440, centred on the desktop, with
// the edition in bold over it.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

    // Shows the splash, paints it at once, waits `ms` milliseconds (handling window events)
    // and closes it.
    static void showFor(int ms);

protected:
    void paintEvent(QPaintEvent* event) override;
};
