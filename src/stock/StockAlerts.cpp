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

StockAlerts::StockAlerts(Ui& ui) : FormState(ui), m_rows(db()) {}

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
    const Qt::Alignment centred = Qt::AlignCenter;
    m_columns.clear();
    m_rows.close();
    m_rows.clear();
    m_rows.add(statement(m_upper));
    if (!m_rows.open()) {
        dbError(m_rows.lastError());
        return false;
    }
    m_columns = GridColumns{
        {QStringLiteral("spbh"), QStringLiteral("商品编号"), 100, F::Text, centred},
        {QStringLiteral("spmc"), QStringLiteral("商品名称"), 200, F::Text, centred},
        {QStringLiteral("spxh"), QStringLiteral("商品型号"), 100, F::Text, centred},
        {QStringLiteral("spgg"), QStringLiteral("商品规格"), 100, F::Text, centred},
        {QStringLiteral("splb"), QStringLiteral("商品类别"), 90, F::Text, centred},
        {m_upper ? QStringLiteral("kucun1") : QStringLiteral("kucun2"),
         m_upper ? QStringLiteral("库存上限") : QStringLiteral("库存下限"), 80, F::Number, centred},
        {QStringLiteral("sl"), QStringLiteral("现有库存"), 80, F::Number, centred},
    };
    return true;
}

bool StockAlerts::exportRows()
{
    return ExportDBGrid(ui(), m_rows, m_columns);
}

bool StockAlerts::print()
{
    return GridPrint::print(ui(), printTitle(), m_columns, m_rows);
}
