#include "reports/SalesReport.h"

SalesReport::SalesReport(const ReportKind& kind, Ui& ui) : QueryScreen(kind.spec, ui), m_kind(kind) {}

bool SalesReport::run(const QString& rq1, const QString& rq2, QString* error)
{
    SalesFigures::Result r;
    if (!m_kind.fill(db(), rq1, rq2, &r, error))
        return false;
    setResult(r.sql, r.params);
    setChart(r.chart);
    return true;
}
