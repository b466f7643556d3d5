#pragma once

#include "core/ChartData.h"
#include "core/FormState.h"
#include "core/GridColumn.h"
#include "core/PagedQuery.h"

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class QPainter;
class QRectF;

// What one query screen is: its names, its grid's columns, its printed title and whether it has
// the two dates and a chart.
struct QueryScreenSpec {
    QString formName;   // "Tspxsly_form"
    QString caption;    // window caption
    QString banner;     // the title on the banner picture
    QString printTitle; // the grid print's title
    GridColumns columns;
    bool hasDates = true;  // "从" rq1 and "至" rq2, today when the screen opens
    bool hasChart = false; // a chart of the result beside the grid
    // What 导出 and 打印 say before any query.
    QString notQueried = QStringLiteral("请先查询");
};

// The query screens of the back office (sales figures, stock alerts, the cash journal) without
// their widgets: the dates, "查询" running the screen's own statements, the grid over their
// result read a page at a time, "导出" of every row to a workbook, "打印" as a ruled table (with
// the chart on a page of its own), and the chart's figures. A screen is a subclass that says
// what "查询" runs.
class QueryScreen : public FormState {
public:
    static const QString Rq1, Rq2; // "rq1", "rq2"
    // Draws the chart into the part of a printed page it is given.
    using ChartPainter = std::function<void(QPainter&, const QRectF&)>;

    QueryScreen(const QueryScreenSpec& spec, Ui& ui);
    ~QueryScreen() override;

    const QueryScreenSpec& spec() const { return m_spec; }

    // Opens the screen's connection and sets both dates to today; Enter in "从" moves to "至",
    // Enter there runs "查询". False, with the reason shown, when the screen cannot work.
    bool create();

    // "查询": checks the dates ("yyyy-MM-dd") and runs the screen's statements. False when
    // nothing new could be listed (the reason has been shown).
    bool query();
    bool isQueried() const { return m_queried; }
    // Counts the queries run, so a window knows when to show a new result.
    int generation() const { return m_generation; }

    // The grid's rows, a page at a time; null before the first query. A grid keeps its share
    // of them while it shows them: the next query, or a message shown during it, never leaves
    // the grid reading rows that are gone.
    PagedQuery* rows() { return m_rows.get(); }
    std::shared_ptr<PagedQuery> sharedRows() const { return m_rows; }
    // The grid's statement and its parameters.
    QString resultSql() const { return m_sql; }
    const QVariantMap& resultParams() const { return m_params; }
    // Every row of the result (export, printing), read on first use after each query. Null when
    // there is no result or it could not be read (the reason has been shown).
    Query* result();
    const ChartData& chart() const { return m_chart; }

    // "导出": refused before any query, else every row into a workbook headed by the captions.
    bool exportGrid();
    // "打印": refused before any query, else the rows with the columns as the grid shows them,
    // followed by a page with the chart when there is one to draw.
    bool print(const GridColumns& shown, const ChartPainter& chart = {});

protected:
    // The screen's own statements over the texts of the two dates (empty without dates). On
    // success they call setResult (and setChart); on failure they answer false with the
    // engine's words in `error`.
    virtual bool run(const QString& rq1, const QString& rq2, QString* error) = 0;
    void setResult(const QString& sql, const QVariantMap& params = {});
    void setChart(const ChartData& chart) { m_chart = chart; }

private:
    bool checkDate(const QString& field, const QString& label);
    void clearResult();
    bool refuseBeforeQuery();

    QueryScreenSpec m_spec;
    bool m_queried = false;
    int m_generation = 0;
    QString m_sql;
    QVariantMap m_params;
    std::shared_ptr<PagedQuery> m_rows;
    std::unique_ptr<Query> m_result;
    ChartData m_chart;
};
