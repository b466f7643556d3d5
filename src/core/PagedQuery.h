#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

class DbConnection;

// The rows behind a grid, read a page at a time. A shop may hold a hundred thousand products
// or a million sales lines, so a grid asks for the row count and then reads only the rows it
// paints. A grid with a filter field narrows its rows by the filter columns (a "contains" test
// on each, % and _ taken literally); the filter goes into the statement, so only matching rows
// are read.
//
// Counting the rows of a "contains" filter reads the whole table. A filter that finds many rows
// (the first letter typed into a list of a hundred thousand products) is therefore not counted
// when it is set: the rows known to exist (knownCount) are shown at once, and the exact number
// is read the first time count() is asked for it (the grid scrolled to its end, 末条).
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

    // The number of rows; reads it first when the filter's rows were not counted yet.
    int count() const;
    // The rows known to exist without counting: the exact number once it has been read.
    int knownCount() const { return m_count; }
    bool countKnown() const { return m_countExact; }
    // Told when the known number of rows changes from `before` to `after` (the exact number was
    // read): first `changing`, then the number changes, then `changed`. One listener; a new one
    // replaces it. It must stay callable as long as these rows exist, or be replaced.
    struct CountListener {
        std::function<void(int before, int after)> changing;
        std::function<void()> changed;
    };
    void setCountListener(const CountListener& listener) { m_listener = listener; }
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
    // At most kHeldWhole + 1 matching rows in the query's order, read in one pass that stops at
    // the limit: a filter that finds few is read whole, one that finds many stops early. Empty
    // when the query's order cannot stand outside its rows.
    QString cappedStatement() const;
    // Reads the first kHeldWhole + 1 rows of a filter; false with `tried` false when the query
    // cannot be read this way.
    bool loadCapped(bool* tried);
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
    // Rows known to exist; exact unless a filter found more than kHeldWhole and was not
    // counted yet.
    mutable int m_count = 0;
    mutable bool m_countExact = true;
    mutable QString m_error;
    CountListener m_listener;
    QStringList m_columns;
    QHash<int, QVector<QVector<QVariant>>> m_pages;
    bool m_whole = false; // every row of the result is in m_pages[0]
    bool m_narrowed = false;
    QList<int> m_pageOrder; // least recently read first; a few pages are kept
};
