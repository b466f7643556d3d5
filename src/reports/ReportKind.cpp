#include "reports/ReportKind.h"

namespace {

GridColumn text(const char* field, const char* caption, int width)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), width, GridColumn::Format::Text, Qt::Alignment()};
}

GridColumn number(const char* field, const char* caption, int width)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), width, GridColumn::Format::Number, Qt::Alignment()};
}

// Amounts show two decimals on screen and on paper; the workbook keeps the figures as they are.
GridColumn money(const char* field, const char* caption, int width)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), width, GridColumn::Format::Money, Qt::Alignment()};
}

QueryScreenSpec spec(const char* form, const char* caption, const char* banner, const char* printTitle,
                     const GridColumns& columns)
{
    QueryScreenSpec s;
    s.formName = QString::fromLatin1(form);
    s.caption = QString::fromUtf8(caption);
    s.banner = QString::fromUtf8(banner);
    s.printTitle = QString::fromUtf8(printTitle);
    s.columns = columns;
    s.hasDates = true;
    s.hasChart = true;
    return s;
}

ReportKind makeProfitQuery()
{
    return {spec("Tspxsly_form", "商品销售利润表", "商品销售利润查询", "销售利润查询",
                 {text("rq", "日期", 86), text("spmc", "商品名称", 150), text("spxh", "商品型号", 80),
                  text("spgg", "商品规格", 80), text("splb", "商品类别", 80), number("sl", "销售数量", 70),
                  money("sale1", "销售单价", 70), money("jine", "销售金额", 80), money("jinjia", "商品进价", 70),
                  money("c1", "采购金额", 80), money("c2", "单价利润", 70), money("c3", "销售利润", 80)}),
            &SalesFigures::profitQuery};
}

ReportKind makeRanking()
{
    return {spec("Tspxsph_form", "商品销售情况表", "商品销售情况查询", "商品销售查询",
                 {text("spbh", "商品编号", 90), text("spmc", "商品名称", 160), text("spxh", "商品型号", 90),
                  text("spgg", "商品规格", 90), text("splb", "商品类别", 90), text("spjl", "商品计量", 70),
                  number("spsl", "销售数量", 80)}),
            &SalesFigures::ranking};
}

ReportKind makeStatement()
{
    // The print names the screen's own list.
    return {
        spec("Tlrtj_form", "商品销售利润统计", "商品销售利润统计", "商品销售利润统计",
             {money("sr1", "商品销售额", 100), money("sr2", "供应商退货额", 100), money("zc1", "商品销售退款额", 110),
              money("zc2", "供应商应付额", 100), money("zc3", "商品损坏金额", 100), money("zhlr", "利润", 100)}),
        &SalesFigures::statement};
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
