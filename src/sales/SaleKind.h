#pragma once

#include "core/VoucherNumber.h"

#include <QString>

// What differs between selling and taking goods back. The sales screen and the return screen
// are one screen, the checkout and the refund one dialog; each reads its words, tables, keys
// and the direction of every posting from its kind.
struct SaleKind {
    VoucherNumber::Kind voucher; // prefix and header table
    QString lineTable;           // "xiaoshoudrecord"

    // The voucher screen.
    QString screenForm;     // "Tspxs_form"
    QString screenCaption;  // window caption
    QString screenTitle;    // banner title
    QString checkoutButton; // "收款（PgDn）"
    QString noLinesMessage; // PgDn on a voucher without lines
    QString memberPrompt;   // "Txtts2_form"
    QString productPicker;  // "Tsphelp2_form"

    // The checkout dialog.
    QString checkoutForm;    // "Tskgz_form"
    QString checkoutCaption; // "收款过账"
    QString amountLabel;     // "收款"
    QString confirmButton;   // "确认收款"

    // The receipt: "退款清单" and "付款:" instead of "购物清单" and "收款:".
    bool refundReceipt = false;

    // Directions of the posting: +1 raises, -1 lowers.
    int stockSign = -1;
    int cashSign = 1;
    int memberSign = 1;

    // Quantities, prices and the amount tendered are 0 or more (a line's quantity above 0): a
    // sale never takes goods back or pays money out; the return screen keeps its own signs.
    bool positiveAmounts = true;
    // F9 with no posted voucher of this kind to print again.
    QString nothingToReprint;

    // The header keeps the amount still open (held vouchers); returns are never held.
    bool writesOpenAmount = true;
    bool canHold = true;       // F5 holds, F6 recalls; otherwise F5 voids and F6 does nothing
    bool hasClock = true;      // the one-second clock in the banner
    bool readsSettings = true; // jia (price read-only) and ku (stock check off); otherwise price read-only, no check
    // Enter in the quantity and price fields act on the current product even when the entry is empty.
    bool enterWithoutName = false;
    // After a line found by pinyin code the quantity and price show "0" instead of being emptied.
    bool pinyinLeavesZero = false;
    // Drawing a number also selects the first warehouse again and writes the operator.
    bool numberResetsHeader = true;

    static const SaleKind& sale();
    static const SaleKind& salesReturn();
};
