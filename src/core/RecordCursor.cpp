#include "core/RecordCursor.h"

RecordCursor::RecordCursor(DbConnection& db, const QString& sql, const QString& keyField)
    : m_keyField(keyField), m_rows(db, sql)
{
}

bool RecordCursor::open()
{
    m_pos = 0;
    return m_rows.reload();
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

bool RecordCursor::first()
{
    if (isEmpty())
        return false;
    m_pos = 0;
    return true;
}

bool RecordCursor::prior()
{
    if (m_pos <= 0)
        return false;
    --m_pos;
    return true;
}

bool RecordCursor::next()
{
    if (m_pos + 1 >= count())
        return false;
    ++m_pos;
    return true;
}

bool RecordCursor::last()
{
    if (isEmpty())
        return false;
    m_pos = count() - 1;
    return true;
}

bool RecordCursor::moveTo(const QString& code)
{
    // Browse queries are ordered by their code, which lets the row be found by counting.
    const int row = m_rows.find(m_keyField, code, true);
    if (row < 0)
        return false;
    m_pos = row;
    return true;
}

QString RecordCursor::key() const
{
    return isEmpty() ? QString() : m_rows.text(m_pos, m_keyField);
}
