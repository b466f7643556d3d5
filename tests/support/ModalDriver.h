#pragma once

// For window tests: answers modal windows (dialogs, message boxes) that an action opens and
// waits in, by running a step on each once it is the active modal window.

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace ModalDriver {

// Makes `window` the application's active window, as a person's click on it would, and waits
// until it is. (isActiveWindow() would already say yes for a dialog while its parent is active.)
inline void activate(QWidget* window)
{
    QDeadlineTimer deadline(2000);
    while (QApplication::activeWindow() != window && !deadline.hasExpired()) {
        window->activateWindow();
        QTest::qWait(10);
    }
    if (QApplication::activeWindow() != window)
        qWarning("ModalDriver: the window never became active");
}

// Runs `step` on the first modal window that `match` accepts, polling until one shows or
// `timeoutMs` passes. Schedule it before the action that opens (and waits in) the window.
inline void when(const std::function<bool(QWidget*)>& match, const std::function<void(QWidget*)>& step,
                 int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, match, step, deadline] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && match(w)) {
            timer->stop();
            timer->deleteLater();
            // Keys go where a person's would: to the window once it is the active one, not to
            // the screen still active under it (whose keys would act there instead).
            activate(w);
            step(w);
            return;
        }
        if (deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// The next modal window with this object name.
inline void whenForm(const QString& formName, const std::function<void(QWidget*)>& step)
{
    when([formName](QWidget* w) { return w->objectName() == formName; }, step);
}

// Presses a message box's OK (or Yes) button.
inline void pressOk(QMessageBox* box)
{
    for (QAbstractButton* b : box->buttons()) {
        const QMessageBox::ButtonRole role = box->buttonRole(b);
        if (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole) {
            b->click();
            return;
        }
    }
    box->accept();
}

// The next message box: its text goes to `seen`, then OK (or Yes) is pressed.
inline void acceptBox(QString* seen = nullptr)
{
    when([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
         [seen](QWidget* w) {
             auto* box = static_cast<QMessageBox*>(w);
             if (seen)
                 *seen = box->text();
             pressOk(box);
         });
}

// The next message box: its text goes to `seen`, then it is cancelled (Escape).
inline void rejectBox(QString* seen = nullptr)
{
    when([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
         [seen](QWidget* w) {
             auto* box = static_cast<QMessageBox*>(w);
             if (seen)
                 *seen = box->text();
             box->reject();
         });
}

// The next `count` message boxes, one after the other (a question and then its answer): each
// text is appended to `seen` and the box accepted.
inline void acceptBoxes(QStringList* seen, int count)
{
    if (count <= 0)
        return;
    when([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
         [seen, count](QWidget* w) {
             auto* box = static_cast<QMessageBox*>(w);
             if (seen)
                 seen->append(box->text());
             // The next box is looked for once this one has gone.
             QTimer::singleShot(0, [seen, count] { acceptBoxes(seen, count - 1); });
             pressOk(box);
         });
}

// Types text of any script into the focused-to widget, one key event per character (keyClicks
// only knows the Latin keyboard).
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace ModalDriver
