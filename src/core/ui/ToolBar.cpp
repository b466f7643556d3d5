#include "core/ui/ToolBar.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QToolButton>
#include <QWidget>

ToolBar::ToolBar(QWidget* screen, QWidget* parent) : QToolBar(parent ? parent : screen), m_screen(screen)
{
    setObjectName(QStringLiteral("ToolBar1"));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(24, 24));
}

QToolButton* ToolBar::add(const Tool& tool)
{
    auto* b = new QToolButton(this);
    b->setObjectName(tool.name);
    b->setText(tool.text);
    b->setAccessibleName(tool.text);
    b->setToolTip(tool.hint.isEmpty() ? tool.text : tool.hint);
    b->setStatusTip(tool.hint);
    b->setIcon(tool.picture.isNull() ? style()->standardIcon(tool.icon) : tool.picture);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::NoFocus);
    if (tool.action)
        connect(b, &QToolButton::clicked, this, tool.action);
    if (!tool.key.isEmpty()) {
        b->setAccessibleDescription(tool.key.toString(QKeySequence::NativeText));
        auto* shortcut = new QShortcut(tool.key, m_screen);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        // A disabled or hidden button does not answer its key either.
        connect(shortcut, &QShortcut::activated, b, [b] {
            if (b->isEnabled() && b->isVisibleTo(b->window()))
                b->click();
        });
    }
    addWidget(b);
    m_buttons.insert(tool.name, b);
    return b;
}

namespace {

// Presses the "…" button when F4 is typed in its entry.
class PickKey : public QObject {
public:
    PickKey(QToolButton* button, QObject* parent) : QObject(parent), m_button(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4
            && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && m_button->isEnabled()) {
            m_button->click();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QToolButton* m_button;
};

} // namespace

QToolButton* PickButton::make(const QString& name, const QString& accessibleName, QWidget* entry,
                              const std::function<void()>& pick, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(QStringLiteral("…"));
    b->setAccessibleName(accessibleName);
    b->setAccessibleDescription(QStringLiteral("F4"));
    b->setToolTip(accessibleName + QStringLiteral(" (F4)"));
    b->setFocusPolicy(Qt::NoFocus);
    QObject::connect(b, &QToolButton::clicked, b, pick);
    if (entry)
        entry->installEventFilter(new PickKey(b, entry));
    return b;
}
