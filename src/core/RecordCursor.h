#pragma once

#include "core/DbConnection.h"

#include <QString>

// The rows an edit dialog browses with 首条 … 末条: a query read whole, positioned on one row.
// The dialog opens it on the code the list handed over (compared without regard to letter case)
// and, after a save, reads it again and comes back to the same code.
class RecordCursor {
public:
    // `keyField` is the column that names a row ("lbbh", "spbh", "hykh").
    RecordCursor(DbConnection& db, const QString& sql, const QString& keyField);

    // Runs the query; the cursor stands on the first row. False with the engine's text.
    bool open();
    // Runs the query again and comes back to the row of the current code (the first row when
    // that row has gone).
    bool reload();
    bool isEmpty() const { return m_query.isEmpty(); }
    int count() const { return m_query.recordCount(); }
    int position() const { return m_query.position(); }

    bool first() { return m_query.first(); }
    bool prior() { return m_query.prior(); }
    // At the last row 下条 stays there, as it does at the first row for 上条.
    bool next();
    bool last() { return m_query.last(); }
    // Moves to the first row whose code equals `code` without regard to letter case; the
    // cursor stays where it was when there is none.
    bool moveTo(const QString& code);

    QString key() const;
    QString text(const QString& field) const { return m_query.text(field); }
    QVariant value(const QString& field) const { return m_query.value(field); }
    const Query& query() const { return m_query; }
    QString lastError() const { return m_query.lastError(); }

private:
    QString m_sql;
    QString m_keyField;
    Query m_query;
};
