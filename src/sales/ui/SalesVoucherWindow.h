#pragma once

#include "core/ui/WidgetUi.h"
#include "sales/SalesVoucher.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;
class QueryTableModel;

// The cashier's screen "商品销售" (and "商品销售退货" with the return kind): binds its
// controls to a SalesVoucher, forwards the keys and shows the voucher again after each one.
class SalesVoucherWindow : public QDialog {
    Q_OBJECT
public:
    SalesVoucherWindow(const SaleKind& kind, QWidget* parent = nullptr);
    ~SalesVoucherWindow() override;

    SalesVoucher& voucher() { return m_voucher; }
    bool isReady() const { return m_ready; }
    // Most of the screen: the cashier works in this window all day.
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    QLineEdit* addField(const QString& name, bool readOnly);
    bool handleKey(QObject* watched, QKeyEvent* key);
    QString fieldOf(QObject* watched) const;
    // Reads what the person typed into the voucher, runs an operation, shows the result.
    void run(const std::function<void()>& operation);
    void pullFields();
    void refresh();
    void checkout();
    void tick();

    WidgetUi m_ui{this};
    SalesVoucher m_voucher;
    bool m_ready = false;
    bool m_busy = false;

    QHash<QString, QLineEdit*> m_edits;
    QComboBox* m_ck = nullptr;
    QTableView* m_grid = nullptr;
    QueryTableModel* m_model = nullptr;
    QLabel* m_clock = nullptr;
    QTimer* m_timer = nullptr;
};
