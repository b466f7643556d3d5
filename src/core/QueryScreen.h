#pragma once

#include "core/ChartData.h"
#include "core/DbConnection.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <memory>

class Ui;

// The query screens of the back office (sales figures, stock alerts, the cash journal) without
// their widgets: the dates "从" rq1 and "至" rq2 (today when the screen opens; a screen may do
// without them), "查询" running the screen's statements, the grid over their result, "导出" to
// a workbook and "打印" as a ruled table, and a chart of the result where the screen has one.
class QueryScreen {
public:
    static const QString Rq1, Rq2; // "rq1", "rq2"

    struct Column {
        QString field;
        QString caption;
        int width = 90; // on screen, in pixels
    };

    explicit QueryScreen(Ui& ui, bool hasDates = true);
    virtual ~QueryScreen();
    QueryScreen(const QueryScreen&) = delete;
    QueryScreen& operator=(const QueryScreen&) = delete;

    // Opens the screen's connection and sets both dates to today. False, with the reason shown,
    // when the screen cannot work.
    bool create();
    Ui& ui() const { return m_ui; }
    DbConnection& db() { return m_db; }
    bool hasDates() const { return m_hasDates; }

    // Field texts ("yyyy-MM-dd" for the dates). The window writes the pickers with setText.
    QString text(const QString& field) const;
    void setText(const QString& field, const QString& text);

    virtual QString printTitle() const = 0;
    virtual QList<Column> columns() const = 0;

    // "查询": checks the dates and runs the screen's statements. False when nothing could be
    // listed (the reason has been shown); the grid is then empty.
    bool query();
    bool isQueried() const { return m_queried; }

    // The grid's statement after a query; a grid reads it a page at a time.
    QString resultSql() const { return m_sql; }
    const QVariantMap& resultParams() const { return m_params; }
    // Every row of the result (for export and printing), read on first use after each query.
    // Null when there is no result or it could not be read (the reason has been shown).
    Query* result();

    const ChartData& chart() const { return m_chart; }

    // "导出": refused with "请先查询" before any query, else every row into a workbook.
    bool exportGrid();

protected:
    // The screen's own statements over the dates' texts; on success they call setResult (and
    // setChart), on failure they answer false with the engine's text in `error`.
    virtual bool run(const QString& rq1, const QString& rq2, QString* error) = 0;
    void setResult(const QString& sql, const QVariantMap& params);
    void setChart(const ChartData& chart) { m_chart = chart; }
    // What "导出" says before any query.
    virtual QString notQueriedMessage() const;

private:
    bool checkDate(const QString& field, const QString& label);
    void clearResult();

    Ui& m_ui;
    DbConnection m_db;
    bool m_hasDates;
    QHash<QString, QString> m_fields;
    bool m_queried = false;
    QString m_sql;
    QVariantMap m_params;
    std::unique_ptr<Query> m_result;
    ChartData m_chart;
};
