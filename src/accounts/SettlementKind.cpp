#include "accounts/SettlementKind.h"

namespace {

SettlementKind makePayables()
{
    SettlementKind k;
    k.screenForm = QStringLiteral("Trkyf_form");
    k.screenCaption = QStringLiteral("入库应付");
    k.headerTable = QStringLiteral("jinhuodan");
    k.lineTable = QStringLiteral("jinhuodanrecord");
    k.openStatus = QStringLiteral("未付");
    k.settledStatus = QStringLiteral("已付");
    k.allStatus = QStringLiteral("全部");
    k.listTab = QStringLiteral("入库单");
    k.linesTab = QStringLiteral("入库单明细表");
    k.numberLabel = QStringLiteral("入库单编号");
    k.amountLabel = QStringLiteral("本次结清应付");
    k.searchButton = QStringLiteral("BitBtn1");
    k.supplierPicker = QStringLiteral("Tsphelp9_form");
    k.movement = &Journal::supplierPayment;
    k.paymentTable = QStringLiteral("jine");
    return k;
}

SettlementKind makeReceivables()
{
    SettlementKind k;
    k.screenForm = QStringLiteral("Tthys_form");
    k.screenCaption = QStringLiteral("退货应收");
    k.headerTable = QStringLiteral("jinhuodanth");
    k.lineTable = QStringLiteral("jinhuodanrecordth");
    k.openStatus = QStringLiteral("未收");
    k.settledStatus = QStringLiteral("已收");
    k.allStatus = QStringLiteral("全部");
    k.listTab = QStringLiteral("退货单");
    k.linesTab = QStringLiteral("退货单明细表");
    k.numberLabel = QStringLiteral("退货单编号");
    k.amountLabel = QStringLiteral("本次结清应收");
    k.searchButton = QStringLiteral("Button1");
    k.supplierPicker = QStringLiteral("Tsphelp10_form");
    k.movement = &Journal::supplierRefund;
    k.paymentTable = QStringLiteral("jine2");
    return k;
}

} // namespace

const SettlementKind& SettlementKind::payables()
{
    static const SettlementKind k = makePayables();
    return k;
}

const SettlementKind& SettlementKind::receivables()
{
    static const SettlementKind k = makeReceivables();
    return k;
}
