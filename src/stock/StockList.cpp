#include "stock/StockList.h"

#include "core/Ui.h"
#include "core/report/Report.h"

const QString StockList::Edit = QStringLiteral("ToolButton3");
const QString StockList::Refresh = QStringLiteral("ToolButton10");
const QString StockList::Print = QStringLiteral("ToolButton1");
const QString StockList::First = QStringLiteral("ToolButton6");
const QString StockList::Prior = QStringLiteral("ToolButton4");
const QString StockList::Next = QStringLiteral("ToolButton7");
const QString StockList::Last = QStringLiteral("ToolButton8");
const QString StockList::Close = QStringLiteral("ToolButton5");

const GridColumns& StockList::columns()
{
    using F = GridColumn::Format;
    static const GridColumns list{
        {QStringLiteral("spbh"), QStringLiteral("商品编号"), 90},
        {QStringLiteral("spmc"), QStringLiteral("商品名称"), 180},
        {QStringLiteral("spxh"), QStringLiteral("商品型号"), 80},
        {QStringLiteral("spgg"), QStringLiteral("商品规格"), 80},
        {QStringLiteral("splb"), QStringLiteral("商品类别"), 80},
        {QStringLiteral("spjl"), QStringLiteral("计量单位"), 60},
        {QStringLiteral("jinjia"), QStringLiteral("进价"), 70, F::Money},
        {QStringLiteral("sl"), QStringLiteral("数量"), 70, F::Number},
        {QStringLiteral("shoujia"), QStringLiteral("售价"), 70, F::Money},
        {QStringLiteral("jine"), QStringLiteral("金额"), 90, F::Money},
        {QStringLiteral("pdce"), QStringLiteral("上次盘点差异"), 90, F::Number},
        {QStringLiteral("beizhu"), QStringLiteral("备注"), 100},
        {QStringLiteral("gys"), QStringLiteral("供应商"), 150},
        {QStringLiteral("ckmc"), QStringLiteral("仓库名称"), 80},
    };
    return list;
}

// The difference of the latest count of each product, found through the count records' index
// on (product, key).
QString StockList::statement()
{
    return QStringLiteral("select a.*,b.pdsl-b.yssl as pdce from kucun a left join pdjl b "
                          "on b.ID=(select max(c.ID) from pdjl c where c.spbh=a.spbh) order by a.spbh");
}

StockList::StockList(Ui& ui) : FormState(ui) {}

StockList::~StockList() = default;

bool StockList::create()
{
    return openConnection();
}

bool StockList::print()
{
    Query rows(db());
    rows.setSql(statement());
    if (!rows.open()) {
        dbError(rows.lastError());
        return false;
    }
    Report report(ui());
    report.setConnection(QStringLiteral("sppdRvDataSetConnection1"), rows);
    report.setPreviewTitle(QStringLiteral("商品盘点"), true);
    report.setSetupTitle(QStringLiteral("商品盘点"));
    report.setProjectFile(QStringLiteral("sppd.rav"));
    bool shown = false;
    if (report.open())
        shown = report.execute();
    report.close();
    return shown;
}
