#pragma once

#include "core/ChartData.h"

#include <QString>
#include <QVariantMap>

class DbConnection;

// The statements behind the three sales figures of the back office. Each takes the range as
// the texts "yyyy-MM-dd" of its two dates (compared as text with the stored rq, both bounds
// included) and hands back the statement that lists the result in the grid and the chart's
// figures. Every sales line in the range counts, whether its sale was paid, held or never
// finished; returns are not subtracted; the purchase price is the product's price now; lines
// of products no longer in the catalogue are left out of the profit figures.
namespace SalesFigures {

struct Result {
    QString sql;        // the grid's statement
    QVariantMap params; // its parameters by name
    ChartData chart;
};

// Every sales line of the range with its purchase price and profit, by date and then in the
// order the lines were written. The chart: sales amount and profit per day.
bool profitQuery(DbConnection& db, const QString& rq1, const QString& rq2, Result* result, QString* error);

// Quantity sold per product, every product listed, best sellers first; products with equal
// quantities by product number, those that sold nothing at 0 at the end. The scratch table
// spxsph is emptied and filled again. The chart: the 20 best sellers.
bool ranking(DbConnection& db, const QString& rq1, const QString& rq2, Result* result, QString* error);

// The five totals of the range and the profit computed from them, as one row of the scratch
// table zhlr (emptied and filled again). The chart: the five totals and the profit.
bool statement(DbConnection& db, const QString& rq1, const QString& rq2, Result* result, QString* error);

// The figures of the statement.
struct Totals {
    double sr1 = 0; // sales after discount
    double zc1 = 0; // refunds to customers
    double zc2 = 0; // paid to suppliers
    double sr2 = 0; // refunds from suppliers
    double zc3 = 0; // scrapped goods
    double zhlr = 0;
};
bool statementTotals(DbConnection& db, const QString& rq1, const QString& rq2, Totals* totals, QString* error);

// How many best sellers the ranking's chart shows.
constexpr int ChartedBestSellers = 20;
// A range of at most this many days charts every day, those without sales at 0; a longer one
// only the days with sales.
constexpr int ChartedDaysFilled = 3660;

} // namespace SalesFigures
