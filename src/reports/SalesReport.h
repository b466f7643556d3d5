#pragma once

#include "core/QueryScreen.h"
#include "reports/ReportKind.h"

// One of the three sales figures screens, as its kind describes it.
class SalesReport : public QueryScreen {
public:
    SalesReport(const ReportKind& kind, Ui& ui);

    const ReportKind& kind() const { return m_kind; }

protected:
    bool run(const QString& rq1, const QString& rq2, QString* error) override;

private:
    const ReportKind& m_kind;
};
