#pragma once

#include "core/DbConnection.h"
#include "core/FormState.h"
#include "sales/SaleHandover.h"
#include "sales/SaleKind.h"

#include <QString>
#include <QStringList>

class Ui;

// The checkout dialog (and, with the return kind, the refund dialog) without its widgets:
// the amount due, the payment method, the amount tendered and the change, and the posting of
// the voucher. Posting writes the header, the member, the cash box and the stock in one
// transaction; the receipt and the drawer follow once the sale is safely written.
class Checkout : public FormState {
public:
    // Field names, the same as the controls' object names.
    static const QString Zf, Hj, Sk, Zhao, Button1;

    Checkout(const SaleKind& kind, const SaleHandover& handover, Ui& ui);
    ~Checkout() override;

    // Opens the dialog's connection and reads the settings; false, with the reason shown,
    // when the dialog cannot work.
    bool create();
    const SaleKind& kind() const { return m_kind; }
    const SaleHandover& handover() const { return m_handover; }

    // "现金" and "银行卡".
    static QStringList paymentMethods();

    // The window writes what the person types. A new amount tendered clears the change, so a
    // change worked out for an earlier amount is never posted with a later one.
    void setText(const QString& field, const QString& value) override;


    // The dialog became the active window: speaks the amount due when the shop wants it.
    void activate();
    bool speaksAmount() const { return m_speak; }

    // Enter in a field: the field order, and the change on Enter in the amount tendered.
    void enterPressed(const QString& field) override;
    // Any key in the change field moves on to the confirm button.
    void keyInChange();
    // Enter in the amount tendered.
    void computeChange();

    // "确认收款" / "确认付款". True once the voucher is posted; the answer then holds the next number.
    bool postSale();
    bool posted() const { return m_answer.posted; }
    CheckoutAnswer answer() const { return m_answer; }

private:
    bool readSettings();
    bool writePosting(double due, double tendered, double change, double discount, QString* error, bool* refused);
    void printReceipt();
    // The amount tendered (paid out for a refund) within what a cashier can mean; otherwise
    // the reason is shown.
    bool tenderedAllowed(double amount);

    const SaleKind& m_kind;
    SaleHandover m_handover;
    bool m_speak = false;
    bool m_drawer = false;
    CheckoutAnswer m_answer;
};
