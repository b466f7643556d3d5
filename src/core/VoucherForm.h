#pragma once

#include "core/FormState.h"
#include "core/PagedQuery.h"
#include "core/VoucherNumber.h"

#include <QString>
#include <QStringList>

class Query;

// What every voucher screen holds (the till's sale and return, the three goods vouchers): the
// header fields, the lines written under the voucher's number as the grid shows them with their
// totals, the selected line, the warehouses, and the product the entry row found by its code or
// by the product picker. Each screen adds its own keys, checks and postings.
class VoucherForm : public FormState {
public:
    // Fields every voucher has, the same as the controls' object names.
    static const QString Djbh, Czy, Rq, Ck, Zhekou, Spmc, Sl, Hjsl, Hjje;

    // The product of the entry row, its columns as texts (empty when the product has none).
    struct Product {
        QString spbh, spmc, spxh, spgg, splb, spjl, jinjia, sale1, sale2;
    };

    // Letters A–Z / a–z only (a text that is blank after trimming counts too).
    static bool isPinyinCode(const QString& text);

    ~VoucherForm() override;

    QStringList warehouses() const { return m_warehouses; }
    bool hasCurrentProduct() const { return m_hasProduct; }
    const Product& currentProduct() const { return m_product; }

    // The voucher's lines as the grid shows them (no rows while the grid is unloaded), each
    // with its row id "rid", which tells two lines of one product apart.
    bool gridLoaded() const { return m_gridLoaded; }
    PagedQuery& lines() { return m_grid; }
    int currentLine() const { return m_currentLine; }
    void setCurrentLine(int row) { m_currentLine = row; }

    // "…" beside the product: the product picker; the name it returns goes into the entry, the
    // number it returns becomes the current product (none after a cancelled picker) and the
    // quantity is next.
    void pickProduct();

protected:
    // `voucher` names the header table, `lineTable` the lines, `productPicker` the picker's form.
    VoucherForm(Ui& ui, const VoucherNumber::Kind& voucher, const QString& lineTable, const QString& productPicker);

    const VoucherNumber::Kind& voucherKind() const { return m_voucherKind; }
    const QString& lineTable() const { return m_lineTable; }

    // True, with the reason shown, when the screen takes no action now; never by default.
    virtual bool refused() { return false; }

    // Reads the warehouses' names ("select * from ckinfo"); a failure is shown.
    bool readWarehouses();
    // A new voucher's header: today, no discount, the first warehouse.
    void startHeader();

    // Looks `code` up in one column of the products; with `anyCase` letter case does not count
    // and a product matching exactly comes first. The first product found becomes the current
    // one; none found leaves no current product. False (the error shown) when the statement fails.
    bool lookupProduct(const QString& column, const QString& code, bool anyCase, bool* found);
    void forgetProduct();
    // Binds the current product's SPBH, SPMC, SPXH, SPGG, SPLB and SPJL, the columns a line
    // copies from it.
    void bindProduct(Query& q) const;

    // The lines under the number in the Djbh field, read again; the selected line stays within them.
    bool reloadGrid();
    // Hjsl and Hjje: the sums of the lines' quantities and amounts.
    bool reloadTotals();
    void unloadGrid();
    // How many lines stand under `number`; false (the error shown) when the count fails.
    bool lineCount(const QString& number, int* count);
    // Lines already under the number in Djbh (left by a screen that was closed without saving,
    // holding or paying) are shown at once, so they are seen and can be taken off instead of
    // counting towards this voucher unseen. `found` says whether there were any.
    void showLeftoverLines(bool* found = nullptr);

private:
    VoucherNumber::Kind m_voucherKind;
    QString m_lineTable;
    QString m_productPicker;
    PagedQuery m_grid;
    bool m_gridLoaded = false;
    int m_currentLine = 0;
    QStringList m_warehouses;
    Product m_product;
    bool m_hasProduct = false;
};
