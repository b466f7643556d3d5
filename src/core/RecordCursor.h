#pragma once

#include "core/PagedQuery.h"

#include <QString>
#include <QVariant>

class DbConnection;

// The rows an edit dialog browses with 首条 … 末条, positioned on one row. The rows are read a
// page at a time, so a dialog over a hundred thousand products opens at once. The dialog opens
// it on the code the list handed over (compared without regard to letter case) and, after a
// save, reads it again and comes back to the same code.
class RecordCursor {
public:
    // `keyField` is the column that names a row ("lbbh", "spbh", "hykh").
    RecordCursor(DbConnection& db, const QString& sql, const QString& keyField);

    // Runs the query; the cursor stands on the first row. False with the engine's text.
    bool open();
    // Runs the query again and comes back to the row of the current code (the first row when
    // that row has gone).
    bool reload();
    bool isEmpty() const { return m_rows.count() == 0; }
    int count() const { return m_rows.count(); }
    int position() const { return m_pos; }

    bool first();
    // At the first row 上条 stays there, as it does at the last row for 下条.
    bool prior();
    bool next();
    bool last();
    // Moves to the first row whose code equals `code` without regard to letter case; the
    // cursor stays where it was when there is none.
    bool moveTo(const QString& code);

    QString key() const;
    QString text(const QString& field) const { return m_rows.text(m_pos, field); }
    QVariant value(const QString& field) const { return m_rows.value(m_pos, field); }
    QString lastError() const { return m_rows.lastError(); }

private:
    QString m_keyField;
    // Reading a page is not a change the dialog sees, so the const readers may do it.
    mutable PagedQuery m_rows;
    int m_pos = 0;
};
