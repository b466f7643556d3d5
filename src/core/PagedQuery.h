#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class DbConnection;

// The rows behind a grid, read a page at a time. A shop may hold a hundred thousand products
// or a million sales lines, so a grid asks for the row count and then reads only the rows it
// paints. A grid with a filter field narrows its rows by the filter columns (a "contains" test
// on each, % and _ taken literally); the filter goes into the statement, so only matching rows
// are read.
class PagedQuery {
public:
    static constexpr int kPageSize = 200;
    // A filtered result this small is read whole; a filter typed on from it (one that contains
    // the filter before) narrows it in memory instead of reading the table again.
    static constexpr int kHeldWhole = 2000;

    // The columns a product filter looks in: number, name, barcode, pinyin code.
    static QStringList productFilterFields();

    PagedQuery(DbConnection& db, const QString& query, const QStringList& filterFields = {});

    // Values bound to the query's own named parameters (dates of a query screen).
    void bind(const QString& name, const QVariant& value);

    // Runs the query afresh with the filter (an empty filter shows every row).
    // False with the engine's text in lastError() when the statement fails.
    bool setFilter(const QString& filter);
    // Runs the query afresh with the same filter.
    bool reload() { return setFilter(m_filter); }
    // Forgets the rows without reading anything: none until the next reload.
    void clear();
    // Whether the last setFilter narrowed the rows held in memory (no statement ran).
    bool narrowedInMemory() const { return m_narrowed; }
    QString filter() const { return m_filter; }
    bool filterable() const { return !m_filterFields.isEmpty(); }

    int count() const { return m_count; }
    // A field of a row; reads the row's page when it is not held yet. A row past the end, or an
    // unknown field, reads as empty.
    QVariant value(int row, const QString& field);
    QString text(int row, const QString& field);
    // Several fields of a row, in order; empty texts when the row does not exist.
    QStringList texts(int row, const QStringList& fields);

    // The row whose `field` equals `value`, compared without regard to letter case; the first
    // such row in the query's order, or -1. The query must be ordered by `field` when
    // `orderedBy` is true, which lets a hundred thousand rows be searched by one count.
    int find(const QString& field, const QString& value, bool orderedBy = false);

    QString lastError() const { return m_error; }

    // The statements used, for the tests: the select of one page and the count.
    QString pageStatement() const;
    QString countStatement() const;

private:
    bool loadPage(int page);
    // Every row of the filtered result (at most `limit` when it is above 0) into memory.
    bool loadWhole(int limit);
    QString wholeStatement() const;
    // The held rows that also match a filter that contains the current one; false (nothing
    // changed) when a filter column holds something other than text.
    bool narrow(const QString& filter);
    // The base query split around its "order by" so a filter can go in between.
    void splitQuery();
    QString whereClause() const;
    QString filteredHead() const;
    void bindAll(class Query& q) const;

    DbConnection& m_db;
    QString m_query;
    QStringList m_filterFields;
    QHash<QString, QVariant> m_binds;
    QString m_head;  // select … from … [where …]
    QString m_order; // " order by …" or empty
    bool m_headHasWhere = false;
    QString m_filter;
    int m_count = 0;
    QString m_error;
    QStringList m_columns;
    QHash<int, QVector<QVector<QVariant>>> m_pages;
    bool m_whole = false; // every row of the result is in m_pages[0]
    bool m_narrowed = false;
    QList<int> m_pageOrder; // least recently read first; a few pages are kept
};
