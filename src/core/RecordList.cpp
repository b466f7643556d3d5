#include "core/RecordList.h"

#include "core/Ui.h"
#include "core/report/Report.h"

RecordList::RecordList(const ListKind& kind, Ui& ui)
    : FormState(ui), m_kind(kind), m_rows(db(), kind.query, kind.filterFields)
{
}

RecordList::~RecordList() = default;

bool RecordList::create()
{
    if (!openConnection())
        return false;
    return readRows(QString());
}

bool RecordList::readRows(const QString& keepKey)
{
    m_current = 0;
    if (!m_rows.reload()) {
        dbError(m_rows.lastError());
        return false;
    }
    if (!keepKey.isEmpty())
        moveToKey(keepKey);
    return true;
}

bool RecordList::reload()
{
    return readRows(currentKey());
}

void RecordList::setCurrent(int row)
{
    // Moving among the rows known needs no count of a long filtered list.
    const int rows = row < m_rows.knownCount() ? m_rows.knownCount() : count();
    m_current = qBound(0, row, qMax(0, rows - 1));
}

void RecordList::first()
{
    setCurrent(0);
}

void RecordList::prior()
{
    setCurrent(m_current - 1);
}

void RecordList::next()
{
    setCurrent(m_current + 1);
}

void RecordList::last()
{
    setCurrent(count() - 1);
}

bool RecordList::moveToKey(const QString& key)
{
    const int row = m_rows.find(m_kind.keyField, key, true);
    if (row < 0)
        return false;
    m_current = row;
    return true;
}

bool RecordList::moveToValue(const QString& field, const QString& value)
{
    if (field.compare(m_kind.keyField, Qt::CaseInsensitive) == 0)
        return moveToKey(value);
    // The code of the first matching row in the list's order, then its place.
    Query q(db());
    q.setSql(QStringLiteral("select %1 as k from (%2) where %3 = :V collate nocase order by %1 limit 1")
                 .arg(m_kind.keyField, m_kind.query.section(QStringLiteral(" order by "), 0, 0), field));
    q.bind(QStringLiteral("V"), value);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (q.isEmpty())
        return false;
    return moveToKey(q.text(QStringLiteral("k")));
}

bool RecordList::setFilter(const QString& filter)
{
    m_current = 0;
    if (!m_rows.setFilter(filter)) {
        dbError(m_rows.lastError());
        return false;
    }
    return true;
}

bool RecordList::mayDelete(const QString&)
{
    return true;
}

bool RecordList::deleteRecord(const QString& key)
{
    Query q(db());
    q.setSql(m_kind.deleteSql);
    q.bind(m_kind.keyField, key);
    if (!q.execute()) {
        dbError(q.lastError());
        return false;
    }
    return true;
}

bool RecordList::removeCurrent()
{
    if (!hasRows())
        return false;
    const QString key = currentKey();
    if (!ask(QStringLiteral("确实要删除该记录吗?")))
        return false;
    if (!mayDelete(key) || !deleteRecord(key))
        return false;
    ui().showMessage(QStringLiteral("删除成功"));
    const int keep = m_current;
    if (!readRows(QString()))
        return false;
    setCurrent(keep);
    return true;
}

bool RecordList::print()
{
    return print(m_kind.reportFile);
}

bool RecordList::print(const QString& reportFile)
{
    if (reportFile.isEmpty())
        return false;
    // The report reads every row of the list, not only the pages on screen.
    Query q(db());
    q.setSql(m_kind.query);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    Report report(ui());
    report.setConnection(m_kind.reportConnection, q);
    report.setPreviewTitle(m_kind.reportTitle, true);
    if (!m_kind.reportSetupTitle.isEmpty())
        report.setSetupTitle(m_kind.reportSetupTitle);
    return report.run(reportFile);
}
