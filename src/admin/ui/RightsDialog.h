#pragma once

#include "admin/UserScreens.h"
#include "core/ui/WidgetUi.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// The rights dialog Tqxsz_form: "全部菜单" and "可使用的菜单" side by side with the four moves
// between them, 确认 (Enter) and 退出 (Esc).
class RightsDialog : public QDialog {
    Q_OBJECT
public:
    RightsDialog(const QString& userNumber, QWidget* parent = nullptr);

    bool isReady() const { return m_ready; }
    RightsForm& logic() { return m_logic; }

    // Opens the dialog for a user, modally, centred on the window that asks.
    static void exec(const QString& userNumber, QWidget* parent);

private:
    QListWidget* makeList(const QString& name, const QString& caption);
    QPushButton* makeButton(const QString& name, const QString& text);
    QList<int> selectedRows(QListWidget* list) const;
    void run(const std::function<void()>& action);
    void refresh();

    WidgetUi m_ui;
    RightsForm m_logic;
    bool m_ready = false;
    QLabel* m_user = nullptr;
    QListWidget* m_all = nullptr;
    QListWidget* m_usable = nullptr;
    QHash<QString, QPushButton*> m_buttons;
};
