#include "sales/SaleKind.h"

namespace {

SaleKind makeSale()
{
    SaleKind k;
    k.voucher = VoucherNumber::sale();
    k.lineTable = QStringLiteral("xiaoshoudrecord");
    k.screenForm = QStringLiteral("Tspxs_form");
    k.screenCaption = QStringLiteral("商品销售");
    k.screenTitle = QStringLiteral("商品销售单");
    k.checkoutButton = QStringLiteral("收款（PgDn）");
    k.noLinesMessage = QStringLiteral("还没有销售商品");
    k.memberPrompt = QStringLiteral("Txtts2_form");
    k.productPicker = QStringLiteral("Tsphelp2_form");
    k.checkoutForm = QStringLiteral("Tskgz_form");
    k.checkoutCaption = QStringLiteral("收款过账");
    k.amountLabel = QStringLiteral("收款");
    k.confirmButton = QStringLiteral("确认收款");
    k.nothingToReprint = QStringLiteral("还没有已过账的销售单，没有小票可以重打");
    return k;
}

SaleKind makeReturn()
{
    SaleKind k;
    k.voucher = VoucherNumber::salesReturn();
    k.lineTable = QStringLiteral("xiaoshoudrecordth");
    k.screenForm = QStringLiteral("Tspxsth_form");
    k.screenCaption = QStringLiteral("商品销售退货");
    k.screenTitle = QStringLiteral("商品销售退货单");
    k.checkoutButton = QStringLiteral("退款（PgDn）");
    k.noLinesMessage = QStringLiteral("还没有录入退货商品");
    k.memberPrompt = QStringLiteral("Txtts3_form");
    k.productPicker = QStringLiteral("Tsphelp5_form");
    k.checkoutForm = QStringLiteral("Tskgzth_form");
    k.checkoutCaption = QStringLiteral("销售退款");
    k.amountLabel = QStringLiteral("付款");
    k.confirmButton = QStringLiteral("确认付款");
    k.refundReceipt = true;
    k.positiveAmounts = false;
    k.nothingToReprint = QStringLiteral("还没有已过账的退货单，没有小票可以重打");
    k.stockSign = 1;
    k.cashSign = -1;
    k.memberSign = -1;
    k.writesOpenAmount = false;
    k.canHold = false;
    k.hasClock = false;
    k.readsSettings = false;
    k.enterWithoutName = true;
    k.pinyinLeavesZero = true;
    k.numberResetsHeader = false;
    return k;
}

} // namespace

const SaleKind& SaleKind::sale()
{
    static const SaleKind k = makeSale();
    return k;
}

const SaleKind& SaleKind::salesReturn()
{
    static const SaleKind k = makeReturn();
    return k;
}
