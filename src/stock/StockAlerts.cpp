#include "stock/StockAlerts.h"

#include "core/Ui.h"
#include "core/export/ExportDBGrid.h"
#include "core/print/GridPrint.h"

const QString StockAlerts::Xian = QStringLiteral("xian");
const QString StockAlerts::Shang = QStringLiteral("shang");
const QString StockAlerts::Export = QStringLiteral("ToolButton10");
const QString StockAlerts::Print = QStringLiteral("ToolButton1");
const QString StockAlerts::Search = QStringLiteral("ToolButton3");
const QString StockAlerts::Close = QStringLiteral("ToolButton5");

StockAlerts::StockAlerts(Ui& ui) : FormState(ui), m_rows(std::make_unique<PagedQuery>(db(), QString())) {}

StockAlerts::~StockAlerts() = default;

bool StockAlerts::create()
{
    return openConnection();
}

// The product screens keep the upper limit in kucun1 ("库存上限") and the lower limit in kucun2
// ("库存下限"); each list compares the stock with the limit it is named after.
QString StockAlerts::statement(bool upper)
{
    if (upper)
        return QStringLiteral("select a.spbh,a.spmc,a.spxh,a.spgg,a.splb,a.kucun1,b.sl from spinfo a,kucun b "
                              "where b.sl>=a.kucun1 and a.spbh=b.spbh");
    return QStringLiteral("select a.spbh,a.spmc,a.spxh,a.spgg,a.splb,a.kucun2,b.sl from spinfo a,kucun b "
                          "where b.sl<=a.kucun2 and a.spbh=b.spbh");
}

bool StockAlerts::search()
{
    using F = GridColumn::Format;
    m_columns.clear();
    m_searched = false;
    // In product order, so the grid can read the rows a page at a time.
    m_rows = std::make_unique<PagedQuery>(db(), statement(m_upper) + QStringLiteral(" order by a.spbh"));
    if (!m_rows->reload()) {
        dbError(m_rows->lastError());
        return false;
    }
    m_searched = true;
    m_searchedUpper = m_upper;
    m_columns = GridColumns{
        {QStringLiteral("spbh"), QStringLiteral("商品编号"), 100, F::Text},
        {QStringLiteral("spmc"), QStringLiteral("商品名称"), 200, F::Text},
        {QStringLiteral("spxh"), QStringLiteral("商品型号"), 100, F::Text},
        {QStringLiteral("spgg"), QStringLiteral("商品规格"), 100, F::Text},
        {QStringLiteral("splb"), QStringLiteral("商品类别"), 90, F::Text},
        {m_upper ? QStringLiteral("kucun1") : QStringLiteral("kucun2"),
         m_upper ? QStringLiteral("库存上限") : QStringLiteral("库存下限"), 80, F::Number},
        {QStringLiteral("sl"), QStringLiteral("现有库存"), 80, F::Number},
    };
    return true;
}

bool StockAlerts::readAll(Query& all)
{
    if (!m_searched)
        return true; // an unopened query: the export says there is nothing to export
    all.setSql(statement(m_searchedUpper) + QStringLiteral(" order by a.spbh"));
    if (!all.open()) {
        dbError(all.lastError());
        return false;
    }
    return true;
}

bool StockAlerts::exportRows()
{
    Query all(db());
    return readAll(all) && ExportDBGrid(ui(), all, m_columns);
}

bool StockAlerts::print()
{
    Query all(db());
    return readAll(all) && GridPrint::print(ui(), printTitle(), m_columns, all);
}
