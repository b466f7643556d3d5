#pragma once

#include <QHash>
#include <QIcon>
#include <QKeySequence>
#include <QString>
#include <QStyle>
#include <QToolBar>

#include <functional>

class QToolButton;

// One button of a screen's tool bar.
struct Tool {
    QString name;                // object name ("add", "ToolButton3", …)
    QString text;                // the caption under the picture, also its accessible name
    QStyle::StandardPixmap icon; // the standard picture
    std::function<void()> action;
    QKeySequence key = {};       // the key that presses it anywhere on the screen
    QString hint = {};           // tool tip and status tip; none: the caption
    QIcon picture = {};          // the screen's own picture instead of the standard one
};

// The tool bar of every back-office screen: captions under pictures, buttons that never take
// the focus from the entry being typed in (so each has a key of its own, active while the
// focus is anywhere on the screen), the caption as the accessible name and the key as the
// accessible description, so screen readers tell both.
class ToolBar : public QToolBar {
    Q_OBJECT
public:
    // `screen` is the window whose keys the buttons answer.
    explicit ToolBar(QWidget* screen, QWidget* parent = nullptr);

    QToolButton* add(const Tool& tool);
    QToolButton* button(const QString& name) const { return m_buttons.value(name); }
    const QHash<QString, QToolButton*>& buttons() const { return m_buttons; }

private:
    QWidget* m_screen;
    QHash<QString, QToolButton*> m_buttons;
};

// The "…" button beside an entry that opens a list to pick from; F4 in the entry presses it,
// as in the pickers of other programs.
class PickButton {
public:
    static QToolButton* make(const QString& name, const QString& accessibleName, QWidget* entry,
                             const std::function<void()>& pick, QWidget* parent);
};
