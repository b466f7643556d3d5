#pragma once

#include "accounts/ShiftHandover.h"
#include "core/ui/WidgetUi.h"

#include <QDialog>

#include <functional>

class FormBuilder;
class QTableView;
class QWidget;
class QueryTableModel;

// The shift handover screen "交班结算": the cash box, the takings handed over, the adjustment
// panel and the last changes of the cash box. A modal dialog.
class ShiftHandoverWindow : public QDialog {
    Q_OBJECT
public:
    explicit ShiftHandoverWindow(QWidget* parent = nullptr);
    ~ShiftHandoverWindow() override;

    ShiftHandover& logic() { return m_logic; }

    void run(const std::function<void()>& operation);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();

    WidgetUi m_ui;
    ShiftHandover m_logic;
    FormBuilder* m_form = nullptr;
    QWidget* m_panel = nullptr;
    QTableView* m_audit = nullptr;
    QueryTableModel* m_auditModel = nullptr;
    bool m_ready = false;
};
