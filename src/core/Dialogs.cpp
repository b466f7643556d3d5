#include "core/Dialogs.h"

namespace Dialogs {

namespace {

const QString kSystemPrompt = QStringLiteral("系统提示");

GridColumns productColumns()
{
    return {
        {QStringLiteral("spbh"), QStringLiteral("商品编号")},   {QStringLiteral("spmc"), QStringLiteral("商品名称")},
        {QStringLiteral("spxh"), QStringLiteral("型号")},       {QStringLiteral("spgg"), QStringLiteral("规格")},
        {QStringLiteral("splb"), QStringLiteral("类别")},       {QStringLiteral("spjl"), QStringLiteral("计量单位")},
        {QStringLiteral("changjia"), QStringLiteral("生产厂家")}, {QStringLiteral("pinma"), QStringLiteral("拼音码")},
        {QStringLiteral("tiaoma"), QStringLiteral("条形码")},
    };
}

GridColumns supplierColumns()
{
    return {{QStringLiteral("gysbh"), QStringLiteral("供应商编号")}, {QStringLiteral("gysmc"), QStringLiteral("供应商名称")}};
}

QList<PromptSpec> prompts()
{
    const QString member = QStringLiteral("请输入会员卡号或手机号");
    return {
        {QStringLiteral("Txtts1_form"), kSystemPrompt, QStringLiteral("请输入该商品的售价"), QStringLiteral("0.00"),
         QStringLiteral("pshoujia")},
        {QStringLiteral("Txtts2_form"), kSystemPrompt, member, QStringLiteral("0"), QStringLiteral("phyxx")},
        {QStringLiteral("Txtts3_form"), kSystemPrompt, member, QStringLiteral("0"), QStringLiteral("phyxx")},
        {QStringLiteral("Txtts4_form"), kSystemPrompt, member, QStringLiteral("0"), QStringLiteral("phyxx")},
    };
}

QList<PickerSpec> pickers()
{
    const QString products = QStringLiteral("select * from spinfo order by spbh");
    const QString suppliers = QStringLiteral("select * from gysxx ");
    const QStringList productAnswers = {QStringLiteral("spbh"), QStringLiteral("spmc")};
    const QString findProduct = QStringLiteral("商品查找");
    const QString findSupplier = QStringLiteral("供应商查找");
    QList<PickerSpec> list;
    for (const char* name : {"Tsphelp2_form", "Tsphelp5_form", "Tsphelp7_form", "Tsphelp4_form", "Tsphelp16_form"})
        list << PickerSpec{QString::fromLatin1(name), findProduct, products, productColumns(), productAnswers, true};
    // Held sales: a header that posting has not completed yet (posting writes the amount
    // tendered). Whatever its total, even 0, a held sale stays in the list.
    list << PickerSpec{QStringLiteral("Tsphelp3_form"),
                       QStringLiteral("销售单查找"),
                       QStringLiteral("select * from xiaoshoud where lkje is null"),
                       {{QStringLiteral("rq"), QStringLiteral("日期")},
                        {QStringLiteral("sj"), QStringLiteral("时间")},
                        {QStringLiteral("djbh"), QStringLiteral("单据编号")},
                        {QStringLiteral("qkje"), QStringLiteral("合计金额")}},
                       {QStringLiteral("djbh")},
                       false};
    list << PickerSpec{QStringLiteral("Tsphelp6_form"), findSupplier, suppliers, supplierColumns(),
                       {QStringLiteral("gysbh"), QStringLiteral("gysmc")}, false};
    list << PickerSpec{QStringLiteral("Tsphelp8_form"), findSupplier, suppliers, supplierColumns(),
                       {QStringLiteral("gysbh"), QStringLiteral("gysmc")}, false};
    list << PickerSpec{QStringLiteral("Tsphelp9_form"), findSupplier, suppliers, supplierColumns(),
                       {QStringLiteral("gysmc")}, false};
    list << PickerSpec{QStringLiteral("Tsphelp10_form"), findSupplier, suppliers, supplierColumns(),
                       {QStringLiteral("gysmc")}, false};
    return list;
}

} // namespace

PromptSpec prompt(const QString& formName)
{
    for (const PromptSpec& p : prompts()) {
        if (p.formName == formName)
            return p;
    }
    return {};
}

PickerSpec picker(const QString& formName)
{
    for (const PickerSpec& p : pickers()) {
        if (p.formName == formName)
            return p;
    }
    return {};
}

QStringList promptNames()
{
    QStringList names;
    for (const PromptSpec& p : prompts())
        names << p.formName;
    return names;
}

QStringList pickerNames()
{
    QStringList names;
    for (const PickerSpec& p : pickers())
        names << p.formName;
    return names;
}

} // namespace Dialogs
