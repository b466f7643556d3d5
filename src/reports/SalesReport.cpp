#include "reports/SalesReport.h"

SalesReport::SalesReport(const ReportKind& kind, Ui& ui) : QueryScreen(ui), m_kind(kind) {}

QList<QueryScreen::Column> SalesReport::columns() const
{
    return m_kind.columns;
}

bool SalesReport::run(const QString& rq1, const QString& rq2, QString* error)
{
    SalesFigures::Result r;
    if (!m_kind.fill(db(), rq1, rq2, &r, error))
        return false;
    setResult(r.sql, r.params);
    setChart(r.chart);
    return true;
}
