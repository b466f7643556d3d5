#pragma once

#include "core/ui/WidgetUi.h"
#include "stock/GoodsVoucher.h"

#include <QDialog>

#include <functional>

class FormBuilder;
class QComboBox;
class QLineEdit;
class QTableView;
class QueryTableModel;

// The goods voucher screen: stock-in, return to supplier or scrap, as its kind says. A modal
// dialog; its controls carry the described object names, the logic does the work.
class GoodsVoucherWindow : public QDialog {
    Q_OBJECT
public:
    GoodsVoucherWindow(const GoodsKind& kind, QWidget* parent = nullptr);
    ~GoodsVoucherWindow() override;

    GoodsVoucher& logic() { return m_voucher; }
    bool isReady() const { return m_ready; }

    // Runs an operation of the logic and shows the screen again.
    void run(const std::function<void()>& operation);

public Q_SLOTS:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    QLineEdit* addLine(const QString& name, bool readOnly);
    void refresh();

    WidgetUi m_ui;
    GoodsVoucher m_voucher;
    FormBuilder* m_form = nullptr;
    QComboBox* m_ck = nullptr;
    QTableView* m_grid = nullptr;
    QueryTableModel* m_model = nullptr;
    bool m_ready = false;
    bool m_closing = false;
};
