#pragma once

#include "accounts/Settlement.h"
#include "core/ui/WidgetUi.h"

#include <QDialog>

#include <functional>

class FormBuilder;
class QComboBox;
class QDateEdit;
class QTableView;
class QueryTableModel;

// The supplier settlement screen: payables or return receivables, as its kind says. A modal
// dialog; its controls carry the described object names, the logic does the work.
class SettlementWindow : public QDialog {
    Q_OBJECT
public:
    SettlementWindow(const SettlementKind& kind, QWidget* parent = nullptr);
    ~SettlementWindow() override;

    Settlement& logic() { return m_logic; }
    QTableView* vouchersGrid() const { return m_list; }
    QTableView* linesGrid() const { return m_lines; }

    // Runs an operation of the logic and shows the screen again.
    void run(const std::function<void()>& operation);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    void refresh();
    // A search makes a new list: the grid gets a model over it.
    void showList();

    WidgetUi m_ui;
    Settlement m_logic;
    FormBuilder* m_form = nullptr;
    QDateEdit* m_rq1 = nullptr;
    QDateEdit* m_rq2 = nullptr;
    QComboBox* m_lx = nullptr;
    QTableView* m_list = nullptr;
    QTableView* m_lines = nullptr;
    QueryTableModel* m_listModel = nullptr;
    QueryTableModel* m_linesModel = nullptr;
    PagedQuery* m_shownList = nullptr;
    bool m_ready = false;
    bool m_refreshing = false;
};
