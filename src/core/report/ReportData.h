#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Query;

// The rows a screen hands to a report under a connection name ("splbRvDataSetConnection1").
// They are copied when handed over, so the report prints what the screen showed at that moment.
struct ReportDataSet {
    QStringList columns;
    QVector<QVector<QVariant>> rows;

    static ReportDataSet fromQuery(const Query& query);

    int rowCount() const { return int(rows.size()); }
    int columnIndex(const QString& name) const;
    QVariant value(int row, const QString& column) const;
};

// Connections by name; names are compared without regard to case.
class ReportData {
public:
    void set(const QString& connection, const ReportDataSet& rows);
    bool contains(const QString& connection) const;
    // An unknown connection reads as an empty set.
    const ReportDataSet& get(const QString& connection) const;

private:
    QHash<QString, ReportDataSet> m_sets;
};
