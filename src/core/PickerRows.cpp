#include "core/PickerRows.h"

#include "core/DbConnection.h"

#include <QRegularExpression>

namespace {

// The columns a product filter looks in: number, name, barcode, pinyin code.
const char* const kFilterFields[] = {"spbh", "spmc", "tiaoma", "pinma"};

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

PickerRows::PickerRows(DbConnection& db, const PickerSpec& spec) : m_db(db), m_spec(spec)
{
    splitQuery();
}

void PickerRows::splitQuery()
{
    const QString sql = m_spec.query.trimmed();
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

QString PickerRows::whereClause() const
{
    if (!m_spec.filterable || m_filter.isEmpty())
        return QString();
    QStringList tests;
    for (const char* f : kFilterFields)
        tests << QStringLiteral("%1 like :FILTER escape '\\'").arg(QLatin1String(f));
    return (m_headHasWhere ? QStringLiteral(" and (") : QStringLiteral(" where (")) +
           tests.join(QStringLiteral(" or ")) + QLatin1Char(')');
}

QString PickerRows::pageStatement() const
{
    return m_head + whereClause() + m_order + QStringLiteral(" limit :LIMIT offset :OFFSET");
}

QString PickerRows::countStatement() const
{
    return QStringLiteral("select count(*) as n from (") + m_head + whereClause() + QLatin1Char(')');
}

bool PickerRows::setFilter(const QString& filter)
{
    m_filter = m_spec.filterable ? filter.trimmed() : QString();
    m_pages.clear();
    m_pageOrder.clear();
    m_columns.clear();
    m_count = 0;
    m_error.clear();

    Query q(m_db);
    q.close();
    q.clear();
    q.add(countStatement());
    if (!m_filter.isEmpty())
        q.bind(QStringLiteral("FILTER"), likePattern(m_filter));
    if (!q.open()) {
        m_error = q.lastError();
        return false;
    }
    m_count = q.integer(QStringLiteral("n"));
    if (m_count > 0 && !loadPage(0)) {
        m_count = 0;
        return false;
    }
    return true;
}

bool PickerRows::loadPage(int page)
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
    if (!m_filter.isEmpty())
        q.bind(QStringLiteral("FILTER"), likePattern(m_filter));
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

QVariant PickerRows::value(int row, const QString& field)
{
    if (row < 0 || row >= m_count)
        return QVariant();
    const int page = row / kPageSize;
    if (!loadPage(page))
        return QVariant();
    const QVector<QVector<QVariant>>& rows = m_pages.value(page);
    const int inPage = row % kPageSize;
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

QString PickerRows::text(int row, const QString& field)
{
    return Query::variantText(value(row, field));
}

QStringList PickerRows::answers(int row)
{
    QStringList out;
    for (const QString& field : m_spec.answerFields)
        out << text(row, field);
    return out;
}
