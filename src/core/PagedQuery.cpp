#include "core/PagedQuery.h"

#include "core/DbConnection.h"

#include <QRegularExpression>

#include <limits>

namespace {

constexpr int kPagesKept = 8;

// The filter text as a "contains" pattern for like; its own % and _ are taken literally.
QString likePattern(const QString& filter)
{
    QString escaped;
    escaped.reserve(filter.size() + 2);
    for (const QChar c : filter) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace

QStringList PagedQuery::productFilterFields()
{
    return {QStringLiteral("spbh"), QStringLiteral("spmc"), QStringLiteral("tiaoma"), QStringLiteral("pinma")};
}

PagedQuery::PagedQuery(DbConnection& db, const QString& query, const QStringList& filterFields)
    : m_db(db), m_query(query), m_filterFields(filterFields)
{
    splitQuery();
}

void PagedQuery::bind(const QString& name, const QVariant& value)
{
    QString key = name.toUpper();
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    m_binds.insert(key, value);
}

void PagedQuery::splitQuery()
{
    const QString sql = m_query.trimmed();
    static const QRegularExpression orderBy(QStringLiteral("\\s+order\\s+by\\s+"),
                                            QRegularExpression::CaseInsensitiveOption);
    qsizetype at = -1;
    for (auto it = orderBy.globalMatch(sql); it.hasNext();)
        at = it.next().capturedStart();
    if (at >= 0) {
        m_head = sql.left(at);
        m_order = QLatin1Char(' ') + sql.mid(at).trimmed();
    } else {
        m_head = sql;
    }
    static const QRegularExpression where(QStringLiteral("\\bwhere\\b"), QRegularExpression::CaseInsensitiveOption);
    m_headHasWhere = where.match(m_head).hasMatch();
}

QString PagedQuery::whereClause() const
{
    if (m_filterFields.isEmpty() || m_filter.isEmpty())
        return QString();
    QStringList tests;
    for (const QString& f : m_filterFields)
        tests << QStringLiteral("%1 like :FILTER escape '\\'").arg(f);
    return (m_headHasWhere ? QStringLiteral(" and (") : QStringLiteral(" where (")) +
           tests.join(QStringLiteral(" or ")) + QLatin1Char(')');
}

QString PagedQuery::filteredHead() const
{
    return m_head + whereClause();
}

QString PagedQuery::pageStatement() const
{
    return filteredHead() + m_order + QStringLiteral(" limit :LIMIT offset :OFFSET");
}

QString PagedQuery::countStatement() const
{
    return QStringLiteral("select count(*) as n from (") + filteredHead() + QLatin1Char(')');
}

void PagedQuery::bindAll(Query& q) const
{
    for (auto it = m_binds.cbegin(); it != m_binds.cend(); ++it)
        q.bind(it.key(), it.value());
    if (!m_filter.isEmpty())
        q.bind(QStringLiteral("FILTER"), likePattern(m_filter));
}

bool PagedQuery::setFilter(const QString& filter)
{
    const QString next = m_filterFields.isEmpty() ? QString() : filter.trimmed();
    const bool typingOn = !m_filter.isEmpty() && next != m_filter && next.contains(m_filter) && m_error.isEmpty();
    // Typing on in the filter field: the rows of the longer filter are among those held.
    m_narrowed = typingOn && m_whole && narrow(next);
    if (m_narrowed)
        return true;
    const int before = m_countExact ? m_count : std::numeric_limits<int>::max();
    m_filter = next;
    clear();

    if (!m_filter.isEmpty()) {
        bool tried = false;
        if (loadCapped(&tried))
            return true;
        if (tried)
            return false;
    }

    // Typing on from a result of modest size, the new one is likely small enough to be read
    // whole at once, which saves counting it first.
    if (typingOn && before <= 10 * kHeldWhole) {
        if (!loadWhole(kHeldWhole + 1))
            return false;
        if (m_count <= kHeldWhole) {
            m_whole = true;
            return true;
        }
        m_pages.clear();
        m_pageOrder.clear();
        m_count = 0;
    }

    // Without a filter the first page is read first: a result shorter than a page (a voucher's
    // lines, a small code table) is counted by it, with no statement of its own.
    if (m_filter.isEmpty()) {
        if (!loadPage(0))
            return false;
        const int firstPage = int(m_pages.value(0).size());
        if (firstPage < kPageSize) {
            m_count = firstPage;
            return true;
        }
    }

    Query q(m_db);
    q.close();
    q.clear();
    q.add(countStatement());
    bindAll(q);
    if (!q.open()) {
        m_error = q.lastError();
        return false;
    }
    m_count = q.integer(QStringLiteral("n"));
    const bool whole = !m_filter.isEmpty() && m_count <= kHeldWhole;
    if (m_count > 0 && !(whole ? loadWhole(0) : loadPage(0))) {
        m_count = 0;
        return false;
    }
    m_whole = whole;
    return true;
}

QString PagedQuery::cappedStatement() const
{
    if (m_order.contains(QLatin1Char('.')))
        return QString();
    return QStringLiteral("select * from (") + filteredHead() + QStringLiteral(" limit %1)").arg(kHeldWhole + 1) +
           m_order;
}

bool PagedQuery::loadCapped(bool* tried)
{
    *tried = false;
    const QString capped = cappedStatement();
    if (capped.isEmpty())
        return false;
    Query q(m_db);
    q.add(capped);
    bindAll(q);
    if (!q.open()) {
        // An order the engine does not take outside the rows: read the usual way.
        return false;
    }
    *tried = true;
    const QVector<QVector<QVariant>> rows = q.rows();
    if (rows.size() <= kHeldWhole) {
        m_columns = q.columns();
        m_pages.insert(0, rows);
        m_pageOrder.append(0);
        m_count = int(rows.size());
        m_whole = true;
        return true;
    }
    // Many rows: the first page in order, and the number when it is asked for.
    m_count = kHeldWhole + 1;
    m_countExact = false;
    if (!loadPage(0)) {
        m_count = 0;
        m_countExact = true;
        return false;
    }
    return true;
}

int PagedQuery::count() const
{
    if (m_countExact)
        return m_count;
    Query q(m_db);
    q.add(countStatement());
    bindAll(q);
    if (!q.open()) {
        // The rows known stay; the grid reports the failure on its next read.
        m_error = q.lastError();
        m_countExact = true;
        return m_count;
    }
    const int before = m_count;
    const int after = q.integer(QStringLiteral("n"));
    if (m_listener.changing && after != before)
        m_listener.changing(before, after);
    m_count = after;
    m_countExact = true;
    if (m_listener.changed && after != before)
        m_listener.changed();
    return m_count;
}

void PagedQuery::clear()
{
    m_whole = false;
    m_narrowed = false;
    m_pages.clear();
    m_pageOrder.clear();
    m_columns.clear();
    m_count = 0;
    m_countExact = true;
    m_error.clear();
}

QString PagedQuery::wholeStatement() const
{
    // A filter that finds few rows reads the table once and sorts what it found: the order
    // goes outside the filtered rows (which the engine then does not merge back into a walk
    // along the order's index, reading every row through it). An order naming a table's
    // column (a.spbh) only works inside.
    if (m_order.contains(QLatin1Char('.')))
        return filteredHead() + m_order;
    return QStringLiteral("select * from (") + filteredHead() + QStringLiteral(" limit -1)") + m_order;
}

bool PagedQuery::loadWhole(int limit)
{
    const QString tail = limit > 0 ? QStringLiteral(" limit %1").arg(limit) : QString();
    Query q(m_db);
    bool read = false;
    // Should the order not work outside the filtered rows, it goes back inside.
    for (const QString& statement : {wholeStatement(), filteredHead() + m_order}) {
        q.close();
        q.clear();
        q.add(statement + tail);
        bindAll(q);
        read = q.open();
        if (read)
            break;
    }
    if (!read) {
        m_error = q.lastError();
        return false;
    }
    m_columns = q.columns();
    m_pages.insert(0, q.rows());
    m_pageOrder.append(0);
    m_count = q.recordCount(); // the rows as read, should the table have changed since the count
    return true;
}

namespace {

// A "contains" test as the statement's like makes it: letter case is ignored for a to z only.
QString foldAscii(const QString& text)
{
    QString folded = text;
    for (QChar& c : folded)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return folded;
}

} // namespace

bool PagedQuery::narrow(const QString& filter)
{
    if (m_count == 0) {
        m_filter = filter; // nothing matched, and nothing will on typing on
        return true;
    }
    QList<int> columns;
    for (const QString& f : m_filterFields) {
        int found = -1;
        for (int c = 0; c < m_columns.size() && found < 0; ++c)
            if (m_columns.at(c).compare(f, Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            return false; // a filter column not among the result's: only the statement can test it
        columns << found;
    }
    const QString wanted = foldAscii(filter);
    const QVector<QVector<QVariant>>& held = m_pages.value(0);
    QVector<QVector<QVariant>> kept;
    for (const QVector<QVariant>& row : held) {
        bool match = false;
        for (const int c : columns) {
            const QVariant& v = row.value(c);
            if (v.isNull())
                continue;
            // A number compared as text reads differently here than in the engine.
            if (v.typeId() != QMetaType::QString)
                return false;
            if (foldAscii(v.toString()).contains(wanted)) {
                match = true;
                break;
            }
        }
        if (match)
            kept.push_back(row);
    }
    m_filter = filter;
    m_pages.insert(0, kept);
    m_count = int(kept.size());
    return true;
}

bool PagedQuery::loadPage(int page)
{
    if (m_pages.contains(page)) {
        m_pageOrder.removeOne(page);
        m_pageOrder.append(page);
        return true;
    }
    Query q(m_db);
    q.close();
    q.clear();
    q.add(pageStatement());
    bindAll(q);
    q.bind(QStringLiteral("LIMIT"), kPageSize);
    q.bind(QStringLiteral("OFFSET"), qlonglong(page) * kPageSize);
    if (!q.open()) {
        m_error = q.lastError();
        return false;
    }
    if (m_columns.isEmpty())
        m_columns = q.columns();
    m_pages.insert(page, q.rows());
    m_pageOrder.append(page);
    while (m_pageOrder.size() > kPagesKept)
        m_pages.remove(m_pageOrder.takeFirst());
    return true;
}

QVariant PagedQuery::value(int row, const QString& field)
{
    if (row < 0 || (row >= m_count && row >= count()))
        return QVariant();
    const int page = m_whole ? 0 : row / kPageSize;
    if (!m_whole && !loadPage(page))
        return QVariant();
    const QVector<QVector<QVariant>>& rows = m_pages.value(page);
    const int inPage = m_whole ? row : row % kPageSize;
    if (inPage >= rows.size())
        return QVariant(); // the table shrank since it was counted
    int col = -1;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).compare(field, Qt::CaseInsensitive) == 0) {
            col = c;
            break;
        }
    }
    if (col < 0 || col >= rows.at(inPage).size())
        return QVariant();
    return rows.at(inPage).at(col);
}

QString PagedQuery::text(int row, const QString& field)
{
    return Query::variantText(value(row, field));
}

QStringList PagedQuery::texts(int row, const QStringList& fields)
{
    QStringList out;
    for (const QString& field : fields)
        out << text(row, field);
    return out;
}

int PagedQuery::find(const QString& field, const QString& value, bool orderedBy)
{
    if (m_count == 0)
        return -1;
    // The stored spelling of the value: the value as given (which an index finds at once),
    // else found without regard to case.
    Query q(m_db);
    for (const QString& test :
         {QStringLiteral(") where %1 = :KEY"), QStringLiteral(") where %1 = :KEY collate nocase")}) {
        q.close();
        q.clear();
        q.add(QStringLiteral("select %1 as k from (").arg(field) + filteredHead() + test.arg(field) +
              QStringLiteral(" limit 1"));
        bindAll(q);
        q.bind(QStringLiteral("KEY"), value);
        if (!q.open()) {
            m_error = q.lastError();
            return -1;
        }
        if (!q.isEmpty())
            break;
    }
    if (q.isEmpty())
        return -1;
    const QVariant stored = q.value(QStringLiteral("k"));
    if (orderedBy) {
        // In a list ordered by the field, the row is preceded by exactly the smaller values.
        q.close();
        q.clear();
        q.add(QStringLiteral("select count(*) as n from (") + filteredHead() +
              QStringLiteral(") where %1 < :KEY").arg(field));
        bindAll(q);
        q.bind(QStringLiteral("KEY"), stored);
        if (q.open()) {
            const int row = q.integer(QStringLiteral("n"));
            if (Query::variantText(this->value(row, field)) == Query::variantText(stored))
                return row;
        }
    }
    // Otherwise the rows are read page by page until the value turns up.
    const QString wanted = Query::variantText(stored);
    for (int row = 0; row < count(); ++row)
        if (text(row, field) == wanted)
            return row;
    return -1;
}
