#include "masterdata/ProductCatalogue.h"

#include "core/PagedQuery.h"

namespace ProductCatalogue {

namespace {

using Format = GridColumn::Format;

FormField line(const char* name, const QString& label, const QString& start = QString())
{
    FormField f;
    f.name = QString::fromLatin1(name);
    f.label = label;
    f.start = start;
    return f;
}

FormField choice(const char* name, const QString& label, const QString& query, const char* column)
{
    FormField f = line(name, label);
    f.kind = FormField::Kind::Choice;
    f.choiceQuery = query;
    f.choiceColumn = QString::fromLatin1(column);
    return f;
}

// The fields of both dialogs in screen order, which is also the order Enter walks them in.
// The edit dialog shows the number and the retail price read-only: the number names the row,
// and the retail price changes only through the list's price change, which also moves the stock
// row's selling price.
FormFields fields(bool edit)
{
    const QString zero = QStringLiteral("0");
    FormField number = line("spbh", QStringLiteral("商品编号"));
    number.readOnly = edit;
    FormField retail = line("sale1", QStringLiteral("零售价"), zero);
    retail.readOnly = edit;
    return {number,
            line("tiaoma", QStringLiteral("条形码")),
            line("spmc", QStringLiteral("商品名称")),
            line("spxh", QStringLiteral("型  号")),
            line("spgg", QStringLiteral("规   格")),
            choice("splb", QStringLiteral("类  别"), QStringLiteral("select * from splb order by lbbh"), "lbmc"),
            choice("spjl", QStringLiteral("计量单位"), QStringLiteral("select * from spjl order by jlbh"), "jlmc"),
            line("changjia", QStringLiteral("生产厂家")),
            line("jinjia", QStringLiteral("进价"), zero),
            retail,
            line("sale2", QStringLiteral("会员价"), zero),
            line("sale3", QStringLiteral("批发价"), zero),
            line("kucun1", QStringLiteral("库存上限"), zero),
            line("kucun2", QStringLiteral("库存下限"), zero),
            choice("beizhu", QStringLiteral("供应商"), QStringLiteral("select * from gysxx order by gysbh"), "gysmc"),
            line("pinma", QStringLiteral("拼音码"))};
}

} // namespace

const ListKind& list()
{
    static const ListKind kind = [] {
        ListKind k;
        k.formName = QStringLiteral("Tspxx_form");
        k.caption = QStringLiteral("商品信息管理");
        k.query = QStringLiteral("select * from spinfo order by spbh");
        k.keyField = QStringLiteral("spbh");
        const Format money = Format::Money;
        const Format number = Format::Number;
        k.columns = {
            {QStringLiteral("spbh"), QStringLiteral("商品编号"), 100},
            {QStringLiteral("tiaoma"), QStringLiteral("条码"), 120},
            {QStringLiteral("spmc"), QStringLiteral("商品名称"), 180},
            {QStringLiteral("spxh"), QStringLiteral("型号"), 80},
            {QStringLiteral("spgg"), QStringLiteral("规格"), 80},
            {QStringLiteral("splb"), QStringLiteral("类别"), 80},
            {QStringLiteral("spjl"), QStringLiteral("计量单位"), 70},
            {QStringLiteral("jinjia"), QStringLiteral("进价"), 70, money},
            {QStringLiteral("sale1"), QStringLiteral("零售价"), 70, money},
            {QStringLiteral("sale2"), QStringLiteral("会员价"), 70, money},
            {QStringLiteral("sale3"), QStringLiteral("批发价"), 70, money},
            {QStringLiteral("kucun1"), QStringLiteral("库存上限"), 70, number},
            {QStringLiteral("kucun2"), QStringLiteral("库存下限"), 70, number},
            {QStringLiteral("changjia"), QStringLiteral("生产厂家"), 140},
            // The supplier chosen in the dialogs is kept in beizhu.
            {QStringLiteral("beizhu"), QStringLiteral("供应商"), 140},
            {QStringLiteral("pinma"), QStringLiteral("拼音码"), 80},
        };
        k.filterFields = PagedQuery::productFilterFields();
        k.filterHint = QStringLiteral("商品编号、名称、条码或拼音码");
        k.deleteSql = QStringLiteral("delete from spinfo where spbh=:SPBH");
        k.reportFile = QStringLiteral("spxx.rav");
        k.reportConnection = QStringLiteral("spxxRvDataSetConnection1");
        k.reportTitle = QStringLiteral("商品信息打印");
        return k;
    }();
    return kind;
}

const RecordKind& record()
{
    static const RecordKind kind = [] {
        RecordKind k;
        k.keyField = QStringLiteral("spbh");
        k.browseQuery = QStringLiteral("select * from spinfo order by spbh");
        k.insertSql = QStringLiteral("insert into spinfo(spbh,spmc,spxh,spgg,splb,spjl,jinjia,sale1,\n"
                                     "sale2,sale3,kucun1,kucun2,changjia,pinma,beizhu,tiaoma)\n"
                                     "values(:SPBH,:SPMC,:SPXH,:SPGG,:SPLB,:SPJL,:JINJIA,:SALE1,:SALE2,:SALE3,"
                                     ":KUCUN1,:KUCUN2,:CHANGJIA,\n"
                                     ":PINMA,:BEIZHU,:TIAOMA)");
        k.updateSql = QStringLiteral(
            "update spinfo set spmc=:SPMC,spxh=:SPXH,spgg=:SPGG,splb=:SPLB,spjl=:SPJL,jinjia=:JINJIA,sale1=:SALE1,\n"
            "sale2=:SALE2,sale3=:SALE3,kucun1=:KUCUN1,kucun2=:KUCUN2,changjia=:CHANGJIA,pinma=:PINMA,beizhu=:BEIZHU,"
            "tiaoma=:TIAOMA\n"
            "  where spbh=:SPBH");
        k.addForm = QStringLiteral("Tspxz_form");
        k.addCaption = QStringLiteral("商品新增");
        k.addFields = fields(false);
        k.editForm = QStringLiteral("Tspxg_form");
        k.editCaption = QStringLiteral("商品修改");
        k.editFields = fields(true);
        // Enter in the last field presses 确认 when it is enabled and otherwise stays; on the
        // edit dialog it stays.
        k.addEnterWraps = false;
        k.editEnterWraps = false;
        k.saveNeedsChange = false;
        return k;
    }();
    return kind;
}

const QList<Figure>& figures()
{
    static const QList<Figure> list{
        {QStringLiteral("jinjia"), QStringLiteral("进价")},       {QStringLiteral("sale1"), QStringLiteral("零售价")},
        {QStringLiteral("sale2"), QStringLiteral("会员价")},      {QStringLiteral("sale3"), QStringLiteral("批发价")},
        {QStringLiteral("kucun1"), QStringLiteral("库存上限"), true}, {QStringLiteral("kucun2"), QStringLiteral("库存下限"), true},
    };
    return list;
}

} // namespace ProductCatalogue
