#include "reports/ReportKind.h"

namespace {

using Column = ReportKind::Column;

Column col(const char* field, const char* caption, int width)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), width};
}

ReportKind makeProfitQuery()
{
    ReportKind k;
    k.formName = QStringLiteral("Tspxsly_form");
    k.caption = QStringLiteral("商品销售利润表");
    k.banner = QStringLiteral("商品销售利润查询");
    k.printTitle = QStringLiteral("销售利润查询");
    k.columns = {col("rq", "日期", 86),        col("spmc", "商品名称", 150), col("spxh", "商品型号", 80),
                 col("spgg", "商品规格", 80),  col("splb", "商品类别", 80),  col("sl", "销售数量", 70),
                 col("sale1", "销售单价", 70), col("jine", "销售金额", 80),  col("jinjia", "商品进价", 70),
                 col("c1", "采购金额", 80),    col("c2", "单价利润", 70),    col("c3", "销售利润", 80)};
    k.fill = &SalesFigures::profitQuery;
    return k;
}

ReportKind makeRanking()
{
    ReportKind k;
    k.formName = QStringLiteral("Tspxsph_form");
    k.caption = QStringLiteral("商品销售情况表");
    k.banner = QStringLiteral("商品销售情况查询");
    k.printTitle = QStringLiteral("商品销售查询");
    k.columns = {col("spbh", "商品编号", 90), col("spmc", "商品名称", 160), col("spxh", "商品型号", 90),
                 col("spgg", "商品规格", 90), col("splb", "商品类别", 90),  col("spjl", "商品计量", 70),
                 col("spsl", "销售数量", 80)};
    k.fill = &SalesFigures::ranking;
    return k;
}

ReportKind makeStatement()
{
    ReportKind k;
    k.formName = QStringLiteral("Tlrtj_form");
    k.caption = QStringLiteral("商品销售利润统计");
    k.banner = QStringLiteral("商品销售利润统计");
    // The print names the screen's own list.
    k.printTitle = QStringLiteral("商品销售利润统计");
    k.columns = {col("sr1", "商品销售额", 100),   col("sr2", "供应商退货额", 100), col("zc1", "商品销售退款额", 110),
                 col("zc2", "供应商应付额", 100), col("zc3", "商品损坏金额", 100), col("zhlr", "利润", 100)};
    k.fill = &SalesFigures::statement;
    return k;
}

} // namespace

const ReportKind& ReportKind::profitQuery()
{
    static const ReportKind k = makeProfitQuery();
    return k;
}

const ReportKind& ReportKind::ranking()
{
    static const ReportKind k = makeRanking();
    return k;
}

const ReportKind& ReportKind::statement()
{
    static const ReportKind k = makeStatement();
    return k;
}

const QList<const ReportKind*>& ReportKind::all()
{
    static const QList<const ReportKind*> list{&profitQuery(), &ranking(), &statement()};
    return list;
}
