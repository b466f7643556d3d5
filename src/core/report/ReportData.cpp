#include "core/report/ReportData.h"

#include "core/DbConnection.h"

ReportDataSet ReportDataSet::fromQuery(const Query& query)
{
    ReportDataSet set;
    if (query.isOpen()) {
        set.columns = query.columns();
        set.rows = query.rows();
    }
    return set;
}

int ReportDataSet::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant ReportDataSet::value(int row, const QString& column) const
{
    const int c = columnIndex(column);
    if (row < 0 || row >= rows.size() || c < 0 || c >= rows.at(row).size())
        return {};
    return rows.at(row).at(c);
}

void ReportData::set(const QString& connection, const ReportDataSet& rows)
{
    m_sets.insert(connection.toLower(), rows);
}

bool ReportData::contains(const QString& connection) const
{
    return m_sets.contains(connection.toLower());
}

const ReportDataSet& ReportData::get(const QString& connection) const
{
    static const ReportDataSet empty;
    const auto it = m_sets.constFind(connection.toLower());
    return it == m_sets.constEnd() ? empty : *it;
}
