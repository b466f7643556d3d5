#pragma once

// For window tests: answers the modal windows (dialogs, message boxes, file dialogs) that an
// action opens and waits in, and types text of any script into a widget.
//
// Two ways to answer: `when` runs one step on the next modal window that matches, for a test
// that knows which single window comes next; a `Script` stays on for the whole test, records
// and accepts every message box and runs its expected steps in order, each on its window.

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <memory>

namespace ModalDriver {

// Makes `window` the application's active window, as a person's click on it would, and waits
// until it is. (isActiveWindow() would already say yes for a dialog while its parent is active.)
inline void activate(QWidget* window)
{
    QPointer<QWidget> alive(window);
    QDeadlineTimer deadline(2000);
    while (alive && QApplication::activeWindow() != window && !deadline.hasExpired()) {
        window->activateWindow();
        QTest::qWait(10);
    }
    if (alive && QApplication::activeWindow() != window)
        qWarning("ModalDriver: the window never became active");
}

using Match = std::function<bool(QWidget*)>;
using Step = std::function<void(QWidget*)>;

// Runs `step` on `modal` from a fresh timer, so that the step may itself open further modal
// windows. A failed check inside the step closes the window, so the test does not wait on it.
inline void runStep(QWidget* modal, const Step& step)
{
    modal->setProperty("modalDriverStep", true);
    QPointer<QWidget> guard(modal);
    QTimer::singleShot(0, modal, [step, guard] {
        if (!guard)
            return;
        // Keys go where a person's would: to the window once it is the active one, not to
        // the screen still active under it (whose keys would act there instead).
        activate(guard);
        if (!guard)
            return;
        step(guard);
        if (!guard)
            return;
        guard->setProperty("modalDriverStep", false);
        if (QTest::currentTestFailed() && guard->isVisible()) {
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
                dialog->reject();
            else
                guard->close();
        }
    });
}

// Runs `step` on the first modal window that `match` accepts, polling until one shows or
// `timeoutMs` passes. Schedule it before the action that opens (and waits in) the window.
inline void when(const Match& match, const Step& step, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, match, step, deadline] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && match(w)) {
            timer->stop();
            timer->deleteLater();
            runStep(w, step);
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
inline void whenForm(const QString& formName, const Step& step)
{
    when([formName](QWidget* w) { return w->objectName() == formName; }, step);
}

// Closes the next modal window, whatever it is.
inline void closeNext()
{
    when([](QWidget*) { return true; }, [](QWidget* w) { w->close(); });
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

inline bool isMessageBox(QWidget* w)
{
    return qobject_cast<QMessageBox*>(w) != nullptr;
}

// The next message box: its text goes to `seen`, then OK (or Yes) is pressed.
inline void acceptBox(QString* seen = nullptr)
{
    when(isMessageBox, [seen](QWidget* w) {
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
    when(isMessageBox, [seen, count](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        if (seen)
            seen->append(box->text());
        // The next box is looked for once this one has gone.
        QTimer::singleShot(0, [seen, count] { acceptBoxes(seen, count - 1); });
        pressOk(box);
    });
}

// Answers the modal windows of a whole test: every message box is recorded in `messages` and
// accepted (OK, or Yes); the expected steps run in order, each on its window once that window
// is the active modal one. With `closeOthers`, any other dialog is recorded in `closed` (as
// "objectName/title") and closed at once.
class Script {
public:
    QStringList messages;
    QStringList closed;

    explicit Script(bool closeOthers = false) : m_closeOthers(closeOthers)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    // The next step runs on the window with this object name.
    void expect(const QString& formName, Step step)
    {
        expect([formName](QWidget* w) { return w->objectName() == formName; }, std::move(step));
    }
    // The next step runs on the window `match` accepts.
    void expect(Match match, Step step) { m_steps.append({std::move(match), std::move(step)}); }
    // Every expected step has run.
    bool done() const { return m_steps.isEmpty(); }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->property("modalDriverStep").toBool())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            pressOk(box);
            return;
        }
        if (!m_steps.isEmpty() && m_steps.first().first(modal)) {
            if (modal->isActiveWindow())
                runStep(modal, m_steps.takeFirst().second);
            return;
        }
        if (m_closeOthers && modal->isVisible()) {
            closed << modal->objectName() + QLatin1Char('/') + modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    }

    QList<QPair<Match, Step>> m_steps;
    QTimer m_timer;
    bool m_closeOthers = false;
};

// Types text of any script into a widget, one key event per character: Latin characters as
// their keys, others (Chinese) as text.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// A window's child by object name; a missing one is reported, so the failed check that follows
// says which.
template <typename T> T* child(QWidget* parent, const QString& name)
{
    T* w = parent->findChild<T*>(name);
    if (!w)
        qWarning("no child %s", qPrintable(name));
    return w;
}

// Replaces an entry's text as a person does: select all, then type.
inline void retype(QWidget* widget, const QString& text)
{
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    typeText(widget, text);
}

} // namespace ModalDriver
