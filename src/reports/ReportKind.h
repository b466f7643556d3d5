#pragma once

#include "core/QueryScreen.h"
#include "reports/SalesFigures.h"

#include <QList>
#include <QString>

// What differs between the three sales figures screens: the profit query, the ranking and the
// profit statement are one query screen; each reads its names, its grid columns, its printed
// title and the statements it runs from its kind.
struct ReportKind {
    using Column = QueryScreen::Column;
    using Fill = bool (*)(DbConnection& db, const QString& rq1, const QString& rq2, SalesFigures::Result* result,
                          QString* error);

    QString formName;   // "Tspxsly_form"
    QString caption;    // window caption
    QString banner;     // the banner's title
    QString printTitle; // the grid print's title
    QList<Column> columns;
    Fill fill = nullptr;

    static const ReportKind& profitQuery();
    static const ReportKind& ranking();
    static const ReportKind& statement();
    static const QList<const ReportKind*>& all();
};
