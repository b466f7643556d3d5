#pragma once

#include "core/RecordForm.h"
#include "core/ui/WidgetUi.h"

#include <QDialog>
#include <QStyle>

#include <functional>
#include <memory>

class FormBuilder;
class QToolButton;
class QPushButton;

// The add and edit dialogs of every master-data family: modal, centred on the main window,
// entries built from the family's field table. The add dialog has 确认 and 关闭; the edit
// dialog a tool bar 保存, 首条, 上条, 下条, 末条, 关闭.
class RecordDialog : public QDialog {
    Q_OBJECT
public:
    // Makes the dialog's logic with the dialog's own Ui port.
    using LogicFactory = std::function<std::unique_ptr<RecordForm>(Ui& ui)>;

    // `key` is the code the list hands to an edit dialog.
    RecordDialog(const LogicFactory& makeLogic, const QString& key, QWidget* parent = nullptr);
    ~RecordDialog() override;

    RecordForm& logic() { return *m_logic; }
    bool isReady() const { return m_ready; }
    FormBuilder* form() const { return m_form; }

    // Runs an action of the logic and shows the result.
    void run(const std::function<void()>& action);
    void refresh();

    // Opens a dialog modally, centred on the window that asks.
    static void exec(const LogicFactory& makeLogic, const QString& key, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:

    WidgetUi m_ui;
    std::unique_ptr<RecordForm> m_logic;
    FormBuilder* m_form = nullptr;
    bool m_ready = false;
};
