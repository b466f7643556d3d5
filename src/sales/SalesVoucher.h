#pragma once

#include "core/GridColumn.h"
#include "core/VoucherForm.h"
#include "sales/SaleHandover.h"
#include "sales/SaleKind.h"

#include <QString>
#include <QStringList>

#include <functional>

class Ui;

// The cashier's voucher screen (and, with the return kind, the return screen) without its
// widgets: the texts of its fields, the lines of the voucher and every operation the keys
// start. After each operation the window shows the texts again and puts the focus where
// focusField() says, selecting the field's text when focusSelectAll() is true.
class SalesVoucher : public VoucherForm {
public:
    // The till's own fields, the same as the controls' object names (the others are every
    // voucher's).
    static const QString Kh, Shoujia;
    static const QString NonMember; // "非会员"
    static const QString Member;    // "会员"

    // The grid's columns in their order.
    static const GridColumns& gridColumns();

    SalesVoucher(const SaleKind& kind, Ui& ui);
    ~SalesVoucher() override;

    // Opens the screen's connection, reads the settings and draws the first number. False,
    // with the reason shown, when the screen cannot work.
    bool create();
    const SaleKind& kind() const { return m_kind; }

    bool priceReadOnly() const { return m_priceReadOnly; }
    bool discountReadOnly() const { return m_discountReadOnly; }
    bool stockCheckOff() const { return m_stockCheckOff; }
    // The found member's card, empty for none.
    QString memberCard() const { return m_memberCard; }

    // "现在时间是:" and the current date and time, for the banner clock.
    static QString clockText();

    // Enter in any field: the field order and the entry path.
    void enterPressed(const QString& field) override;
    // The function keys as this kind of screen binds them.
    void pressF5();
    void pressF6();

    bool enterProductCode();
    void enterQuantity();
    bool addPickedProduct();
    bool holdVoucher();
    void recallVoucher();
    void deleteLine();
    void voidVoucher();
    void findMember();
    void editDiscount();
    // F9: prints the receipt of the last posted voucher of this kind again, from the database,
    // with "重打" under the title; nothing is written.
    void reprintReceipt();

    // When no number can be drawn (the day's 9999 vouchers are used), the screen holds no
    // voucher and refuses every action until it is closed; this says why (empty otherwise).
    QString noNumberReason() const { return m_noNumber; }
    // PgDn: hands the voucher to the checkout and, when it was posted, starts the next voucher.
    bool startCheckout(const CheckoutRunner& checkout);
    // The handover as the screen holds it now.
    SaleHandover handover() const;

protected:
    // True (with the message shown) when the screen has no number to work on.
    bool refused() override;

private:
    // Where the price in the entry came from, for the message when the product has none.
    enum class PriceSource { Typed, Retail, Member };

    bool addLine();
    bool amountsAllowed(const QString& quantityText, double quantity, const QString& priceText, double price);
    bool discountAllowed(double* discount);
    // Whether the current number's header is paid already; false when the statement fails.
    bool readPosted(bool* posted, QString* error);
    // Runs `write` in one transaction unless the voucher was paid meanwhile: a paid voucher is
    // never changed again, so then nothing is written, the cashier is told and the screen moves
    // on to a new number. False when nothing was written (a failure is shown).
    bool writeUnlessPosted(const std::function<bool(QString* error)>& body);
    // Moves on to the next number with these totals (the lines left under it, if any, shown).
    void startNextVoucher(const QString& totals);
    bool stockAllows(bool* allowed);
    bool drawNumber();
    bool lookupMember(const QString& column, const QString& value);

    const SaleKind& m_kind;

    bool m_priceReadOnly = true;
    bool m_discountReadOnly = true;
    bool m_stockCheckOff = false;
    QString m_memberCard;
    PriceSource m_priceSource = PriceSource::Typed;
    QString m_noNumber;
};
