#include "stock/GoodsKind.h"

namespace {

GoodsKind makeStockIn()
{
    GoodsKind k;
    k.voucher = VoucherNumber::stockIn();
    k.lineTable = QStringLiteral("jinhuodanrecord");
    k.screenForm = QStringLiteral("Tsprk_form");
    k.screenCaption = QStringLiteral("商品入库");
    k.screenTitle = QStringLiteral("商品入库单");
    k.stockSign = 1;
    k.hasSupplier = true;
    k.supplierPicker = QStringLiteral("Tsphelp6_form");
    k.productPicker = QStringLiteral("Tsphelp7_form");
    k.priceEditable = false;
    k.owesAmount = true;
    k.reportFile = QStringLiteral("sprk.rav");
    k.reportConnection = QStringLiteral("sprk");
    k.previewTitle = QStringLiteral("Report Preview");
    k.setupTitle = QStringLiteral("Output Options");
    k.previewMaximised = false;
    return k;
}

GoodsKind makeSupplierReturn()
{
    GoodsKind k;
    k.voucher = VoucherNumber::supplierReturn();
    k.lineTable = QStringLiteral("jinhuodanrecordth");
    k.screenForm = QStringLiteral("Tsprkth_form");
    k.screenCaption = QStringLiteral("商品入库退货");
    k.screenTitle = QStringLiteral("商品入库退货单");
    k.stockSign = -1;
    k.hasSupplier = true;
    k.supplierPicker = QStringLiteral("Tsphelp8_form");
    k.productPicker = QStringLiteral("Tsphelp4_form");
    k.priceEditable = false;
    // A return is settled like a stock-in voucher, the other way round: it owes what the
    // supplier has to pay back.
    k.owesAmount = true;
    k.reportFile = QStringLiteral("sprkth.rav");
    k.reportConnection = QStringLiteral("sprkth");
    k.previewTitle = QStringLiteral("商品入库退货单");
    k.setupTitle = QStringLiteral("商品入库退货单");
    k.previewMaximised = true;
    return k;
}

GoodsKind makeScrap()
{
    GoodsKind k;
    k.voucher = VoucherNumber::scrap();
    k.lineTable = QStringLiteral("jinhuodanrecordbf");
    k.screenForm = QStringLiteral("Tspbf_form");
    k.screenCaption = QStringLiteral("商品报废");
    k.screenTitle = QStringLiteral("商品报废单");
    k.stockSign = -1;
    k.hasSupplier = false;
    k.productPicker = QStringLiteral("Tsphelp16_form");
    k.priceEditable = true;
    k.owesAmount = false;
    k.reportFile = QStringLiteral("sprkbf.rav");
    k.reportConnection = QStringLiteral("spbf");
    k.previewTitle = QStringLiteral("商品报废单");
    k.setupTitle = QStringLiteral("商品报废单");
    k.previewMaximised = true;
    return k;
}

} // namespace

const GoodsKind& GoodsKind::stockIn()
{
    static const GoodsKind k = makeStockIn();
    return k;
}

const GoodsKind& GoodsKind::supplierReturn()
{
    static const GoodsKind k = makeSupplierReturn();
    return k;
}

const GoodsKind& GoodsKind::scrap()
{
    static const GoodsKind k = makeScrap();
    return k;
}
