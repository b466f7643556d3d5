#pragma once

#include "core/GridColumn.h"
#include "core/VoucherForm.h"
#include "stock/GoodsKind.h"

#include <QSet>
#include <QString>

// The goods voucher screen without its widgets: stock-in, return to supplier or scrap, as its
// kind says. Lines are written as they are entered; the header and every stock change are
// written together when the voucher is saved.
class GoodsVoucher : public VoucherForm {
public:
    // The goods vouchers' own fields, the same as the controls' object names (the others are
    // every voucher's).
    static const QString Gys, Jinjia;
    // Buttons.
    static const QString Xzdj, Bcdj, DeleteLine, PrintVoucher, Close, Hcbc, SupplierButton, ProductButton;

    // The lines grid.
    static const GridColumns& gridColumns();

    GoodsVoucher(const GoodsKind& kind, Ui& ui);
    ~GoodsVoucher() override;

    // Opens the connection and reads the warehouses. False, with the reason shown, when the
    // screen cannot work.
    bool create();
    const GoodsKind& kind() const { return m_kind; }

    // An unsaved voucher is open: after "新增单据" until it is saved.
    bool voucherOpen() const { return m_open; }

    void enterPressed(const QString& field) override;

    void newVoucher();
    bool enterProductCode();
    void pickSupplier();
    void enterQuantity();
    bool addLine();
    bool deleteLine();
    bool saveVoucher();
    bool printVoucher();
    // Closing the screen: lines entered under a number that was never saved are given up only
    // when the person agrees. False keeps the screen open.
    bool mayClose();

private:
    bool headerExists(const QString& number, bool* exists);
    bool readNumber(const QString& field, const QString& caption, double* value);
    bool writeStock(const Query& line, QString* error);

    const GoodsKind& m_kind;
    Query m_header;
    bool m_open = false;
    // Numbers that lines were written under and that are not saved yet.
    QSet<QString> m_unsaved;
};
