#include "stock/StockAlerts.h"

const QString StockAlerts::Xian = QStringLiteral("xian");
const QString StockAlerts::Shang = QStringLiteral("shang");

// Both limits stand in the grid, lower first, so either list shows where a product sits between
// them; the radio button says which one the list compares with.
const QueryScreenSpec& StockAlerts::screenSpec()
{
    using F = GridColumn::Format;
    static const QueryScreenSpec spec = [] {
        QueryScreenSpec s;
        s.formName = QStringLiteral("Tspkcbj_form");
        s.caption = QStringLiteral("商品库存表报警");
        s.banner = QStringLiteral("商品库存报警");
        s.printTitle = QStringLiteral("商品库存报警表");
        s.columns = {
            {QStringLiteral("spbh"), QStringLiteral("商品编号"), 100},
            {QStringLiteral("spmc"), QStringLiteral("商品名称"), 200},
            {QStringLiteral("spxh"), QStringLiteral("商品型号"), 100},
            {QStringLiteral("spgg"), QStringLiteral("商品规格"), 100},
            {QStringLiteral("splb"), QStringLiteral("商品类别"), 90},
            {QStringLiteral("kucun2"), QStringLiteral("库存下限"), 80, F::Number},
            {QStringLiteral("kucun1"), QStringLiteral("库存上限"), 80, F::Number},
            {QStringLiteral("sl"), QStringLiteral("现有库存"), 80, F::Number},
        };
        s.hasDates = false;
        s.hasChart = false;
        return s;
    }();
    return spec;
}

StockAlerts::StockAlerts(Ui& ui) : QueryScreen(screenSpec(), ui) {}

StockAlerts::~StockAlerts() = default;

// The product screens keep the upper limit in kucun1 ("库存上限") and the lower limit in kucun2
// ("库存下限"); each list compares the stock with the limit it is named after. A product without
// a stock row, or without that limit, is not listed.
QString StockAlerts::statement(bool upper)
{
    return QStringLiteral("select a.spbh,a.spmc,a.spxh,a.spgg,a.splb,a.kucun2,a.kucun1,b.sl from spinfo a,kucun b "
                          "where %1 and a.spbh=b.spbh order by a.spbh")
        .arg(upper ? QStringLiteral("b.sl>=a.kucun1") : QStringLiteral("b.sl<=a.kucun2"));
}

bool StockAlerts::run(const QString&, const QString&, QString*)
{
    setResult(statement(m_upper));
    return true;
}
