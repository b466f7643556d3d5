#pragma once

#include "core/QueryScreen.h"
#include "reports/SalesFigures.h"

#include <QList>

// What differs between the three sales figures screens: the profit query, the ranking and the
// profit statement are one query screen with a chart; each reads its names, its grid columns,
// its printed title and the statements it runs from its kind.
struct ReportKind {
    using Fill = bool (*)(DbConnection& db, const QString& rq1, const QString& rq2, SalesFigures::Result* result,
                          QString* error);

    QueryScreenSpec spec;
    Fill fill = nullptr;

    static const ReportKind& profitQuery();
    static const ReportKind& ranking();
    static const ReportKind& statement();
    static const QList<const ReportKind*>& all();
};
