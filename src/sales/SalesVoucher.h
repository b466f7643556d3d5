#pragma once

#include "core/DbConnection.h"
#include "core/FormState.h"
#include "core/GridColumn.h"
#include "sales/SaleHandover.h"
#include "sales/SaleKind.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Ui;

// The cashier's voucher screen (and, with the return kind, the return screen) without its
// widgets: the texts of its fields, the lines of the voucher and every operation the keys
// start. After each operation the window shows the texts again and puts the focus where
// focusField() says, selecting the field's text when focusSelectAll() is true.
class SalesVoucher : public FormState {
public:
    // Field names, the same as the controls' object names.
    static const QString Djbh, Czy, Rq, Ck, Zhekou, Kh, Spmc, Sl, Shoujia, Hjsl, Hjje;
    static const QString NonMember; // "非会员"
    static const QString Member;    // "会员"

    struct Product {
        QString spbh, spmc, spxh, spgg, splb, spjl;
        QString sale1, sale2; // as texts; empty when the product has no such price
    };

    // The grid's columns in their order.
    static const GridColumns& gridColumns();

    // Letters A–Z / a–z only (a text that is blank after trimming counts too).
    static bool isPinyinCode(const QString& text);

    SalesVoucher(const SaleKind& kind, Ui& ui);
    ~SalesVoucher() override;

    // Opens the screen's connection, reads the settings and draws the first number. False,
    // with the reason shown, when the screen cannot work.
    bool create();
    const SaleKind& kind() const { return m_kind; }

    // Field texts. The window writes what the person types with setText.
    QStringList warehouses() const { return m_warehouses; }
    bool priceReadOnly() const { return m_priceReadOnly; }
    bool discountReadOnly() const { return m_discountReadOnly; }
    bool stockCheckOff() const { return m_stockCheckOff; }
    // The found member's card, empty for none.
    QString memberCard() const { return m_memberCard; }
    bool hasCurrentProduct() const { return m_hasProduct; }
    const Product& currentProduct() const { return m_product; }

    // The window reports a focus moved by the mouse or Tab.

    // The voucher's lines as the grid shows them (no rows while the grid is unloaded).
    bool gridLoaded() const { return m_gridLoaded; }
    const Query& lines() const { return m_grid; }
    int currentLine() const { return m_currentLine; }
    void setCurrentLine(int row);

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
    void pickProduct();
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

private:
    // Where the price in the entry came from, for the message when the product has none.
    enum class PriceSource { Typed, Retail, Member };

    bool addLine();
    bool amountsAllowed(const QString& quantityText, double quantity, const QString& priceText, double price);
    bool discountAllowed(double* discount);
    // True (with the message shown) when the screen has no number to work on.
    bool refusedWithoutNumber();
    // Whether the current number's header is paid already; false when the statement fails.
    bool readPosted(bool* posted, QString* error);
    // A paid voucher is never changed again: says so and moves on to a new number.
    void leavePostedVoucher();
    bool lookupProduct(const QString& sql, const QString& param, const QString& value, bool* found);
    bool stockAllows(bool* allowed);
    bool reloadGrid();
    bool reloadTotals();
    bool drawNumber();
    void showLeftoverLines();
    void unloadGrid();
    bool lookupMember(const QString& column, const QString& value);

    const SaleKind& m_kind;
    Query m_grid;

    QStringList m_warehouses;
    bool m_priceReadOnly = true;
    bool m_discountReadOnly = true;
    bool m_stockCheckOff = false;
    QString m_memberCard;
    Product m_product;
    bool m_hasProduct = false;
    PriceSource m_priceSource = PriceSource::Typed;
    QString m_noNumber;
    bool m_gridLoaded = false;
    int m_currentLine = 0;
};
