#pragma once

#include "core/VoucherNumber.h"

#include <QString>

// What differs between the three goods vouchers: receiving goods from a supplier, sending goods
// back to a supplier and writing goods off. The three screens are one screen; each reads its
// words, tables, pickers, report and the direction of the stock change from its kind.
struct GoodsKind {
    VoucherNumber::Kind voucher; // prefix and header table
    QString lineTable;           // "jinhuodanrecord"

    QString screenForm;    // "Tsprk_form"
    QString screenCaption; // window caption, also the main-menu command's screen
    QString screenTitle;   // the title label

    // Stock change of every line at saving: +1 raises, -1 lowers.
    int stockSign = 1;

    // A supplier field with its picker, required at saving ("请输入供应商"); without one the
    // header is saved with an empty supplier and Enter in the discount goes to the product.
    bool hasSupplier = true;
    QString supplierPicker; // "Tsphelp6_form"
    QString productPicker;  // "Tsphelp7_form"

    // The purchase price can be typed over; otherwise it is the product master's price.
    bool priceEditable = false;

    // The saved header owes its discounted amount (qkje = zkje, hkje = 0), which supplier
    // settlement pays or collects; a scrap voucher owes nothing.
    bool owesAmount = true;

    // The voucher print: the report file and its data connections (lines, header, settings).
    QString reportFile;       // "sprk.rav"
    QString reportConnection; // "sprk": sprkRvDataSetConnection1 … 3
    // The report engine's windows: the preview's title and the printer set-up's; the preview
    // may open maximised.
    QString previewTitle;
    QString setupTitle;
    bool previewMaximised = false;

    QString connectionName(int n) const
    {
        return reportConnection + QStringLiteral("RvDataSetConnection") + QString::number(n);
    }

    static const GoodsKind& stockIn();
    static const GoodsKind& supplierReturn();
    static const GoodsKind& scrap();
};
