#include "core/RecordCursor.h"

RecordCursor::RecordCursor(DbConnection& db, const QString& sql, const QString& keyField)
    : m_sql(sql), m_keyField(keyField), m_query(db)
{
}

bool RecordCursor::open()
{
    m_query.close();
    m_query.clear();
    m_query.add(m_sql);
    if (!m_query.open())
        return false;
    m_query.first();
    return true;
}

bool RecordCursor::reload()
{
    const QString code = key();
    if (!open())
        return false;
    if (!code.isEmpty())
        moveTo(code);
    return true;
}

bool RecordCursor::next()
{
    if (m_query.position() + 1 >= m_query.recordCount())
        return false;
    return m_query.next();
}

bool RecordCursor::moveTo(const QString& code)
{
    const int col = m_query.columnIndex(m_keyField);
    if (col < 0)
        return false;
    const auto& rows = m_query.rows();
    for (int r = 0; r < rows.size(); ++r) {
        if (Query::variantText(rows.at(r).value(col)).compare(code, Qt::CaseInsensitive) == 0)
            return m_query.setPosition(r);
    }
    return false;
}

QString RecordCursor::key() const
{
    return m_query.isEmpty() ? QString() : m_query.text(m_keyField);
}
