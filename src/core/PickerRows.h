#pragma once

#include "core/Ui.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class DbConnection;

// The rows a picker shows. A shop may hold a hundred thousand products, so the rows are not
// read all at once: the picker asks for the row count and then reads the rows it paints,
// a page at a time. A filterable picker narrows its rows by product number, name, barcode
// or pinyin code; the filter goes into the statement, so only matching rows are read.
class PickerRows {
public:
    static constexpr int kPageSize = 200;

    PickerRows(DbConnection& db, const PickerSpec& spec);

    // Runs the picker's query afresh with the filter (an empty filter shows every row).
    // False with the engine's text in lastError() when the statement fails.
    bool setFilter(const QString& filter);
    QString filter() const { return m_filter; }

    int count() const { return m_count; }
    // A field of a row as text; reads the row's page when it is not held yet.
    QString text(int row, const QString& field);
    QVariant value(int row, const QString& field);
    // The answer fields of a row, in order; empty texts when the row does not exist
    // (an empty grid answers empty texts, not "~").
    QStringList answers(int row);

    QString lastError() const { return m_error; }

    // The statements used, for the tests: the select of one page and the count.
    QString pageStatement() const;
    QString countStatement() const;

private:
    bool loadPage(int page);
    // The base query split around its "order by" so a filter can go in between.
    void splitQuery();
    QString whereClause() const;

    DbConnection& m_db;
    PickerSpec m_spec;
    QString m_head;  // select … from … [where …]
    QString m_order; // " order by …" or empty
    bool m_headHasWhere = false;
    QString m_filter;
    int m_count = 0;
    QString m_error;
    QStringList m_columns;
    QHash<int, QVector<QVector<QVariant>>> m_pages;
    QList<int> m_pageOrder; // least recently read first; a few pages are kept
};
