#pragma once

#include "core/ui/WidgetUi.h"
#include "sales/Checkout.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QLineEdit;
class QPushButton;

// "收款过账" (and "销售退款" with the return kind): the amount due, the payment method, the
// amount tendered and the change, in large type for the cashier and the customer.
class CheckoutDialog : public QDialog {
    Q_OBJECT
public:
    CheckoutDialog(const SaleKind& kind, const SaleHandover& handover, QWidget* parent = nullptr);
    ~CheckoutDialog() override;

    // Shows the dialog modally and answers posted or not.
    static CheckoutAnswer run(const SaleKind& kind, const SaleHandover& handover, QWidget* parent);

    Checkout& checkout() { return m_checkout; }
    bool isReady() const { return m_ready; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pullFields();
    void refresh();
    void confirm();

    WidgetUi m_ui{this};
    Checkout m_checkout;
    bool m_ready = false;
    bool m_speaking = false;
    QComboBox* m_zf = nullptr;
    QHash<QString, QLineEdit*> m_edits;
    QPushButton* m_confirm = nullptr;
    QPushButton* m_back = nullptr;
};
