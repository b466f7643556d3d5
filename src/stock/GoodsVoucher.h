#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"
#include "core/PagedQuery.h"
#include "stock/GoodsKind.h"

#include <QSet>
#include <QString>

// The goods voucher screen without its widgets: stock-in, return to supplier or scrap, as its
// kind says. Lines are written as they are entered; the header and every stock change are
// written together when the voucher is saved.
class GoodsVoucher : public FormState {
public:
    // Fields, the same as the controls' object names.
    static const QString Djbh, Czy, Rq, Ck, Zhekou, Gys, Spmc, Sl, Jinjia, Hjsl, Hjje;
    // Buttons.
    static const QString Xzdj, Bcdj, DeleteLine, PrintVoucher, Close, Hcbc, SupplierButton, ProductButton;

    struct Product {
        QString spbh, spmc, spxh, spgg, splb, spjl, jinjia, sale1;
    };

    // The lines grid.
    static const GridColumns& gridColumns();

    GoodsVoucher(const GoodsKind& kind, Ui& ui);
    ~GoodsVoucher() override;

    // Opens the connection and reads the warehouses. False, with the reason shown, when the
    // screen cannot work.
    bool create();
    const GoodsKind& kind() const { return m_kind; }
    QStringList warehouses() const { return m_warehouses; }

    // An unsaved voucher is open: after "新增单据" until it is saved.
    bool voucherOpen() const { return m_open; }
    bool hasCurrentProduct() const { return m_hasProduct; }
    const Product& currentProduct() const { return m_product; }

    // The voucher's lines as the grid shows them (no rows while the grid is closed).
    bool gridLoaded() const { return m_gridLoaded; }
    PagedQuery& lines() { return m_grid; }
    int currentLine() const { return m_currentLine; }
    void setCurrentLine(int row) { m_currentLine = row; }

    void enterPressed(const QString& field) override;

    void newVoucher();
    bool enterProductCode();
    void pickProduct();
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
    bool lookupProduct(const QString& column, const QString& code, bool* found);
    bool reloadGrid();
    bool reloadTotals();
    void closeGrid();
    bool headerExists(const QString& number, bool* exists);
    bool readNumber(const QString& field, const QString& caption, double* value);
    bool writeStock(const Query& line, QString* error);

    const GoodsKind& m_kind;
    PagedQuery m_grid;
    Query m_header;
    QStringList m_warehouses;
    Product m_product;
    bool m_hasProduct = false;
    bool m_gridLoaded = false;
    int m_currentLine = 0;
    bool m_open = false;
    // Numbers that lines were written under and that are not saved yet.
    QSet<QString> m_unsaved;
};
