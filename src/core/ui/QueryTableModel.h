#pragma once

#include "core/GridColumn.h"
#include "core/PagedQuery.h"

#include <QAbstractTableModel>

class QTableView;

// A grid's view of a paged query: it reads only the rows it is asked to paint, so a list of a
// hundred thousand rows opens at once. Columns, captions, formats and alignments come from the
// screen's column description. A filter that finds many rows shows the rows known to exist;
// the rest are counted when the grid is scrolled to its end (or the screen asks for the last
// row) and added then.
class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    QueryTableModel(PagedQuery& rows, const GridColumns& columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const GridColumns& columns() const { return m_columns; }
    // Runs the query again with a new filter and tells the grid.
    bool refilter(const QString& filter);
    // Tells the grid that the rows were read again by their owner.
    void reset();

    // The standard look of a read-only grid of these columns: whole rows selected, fixed row
    // heights (a hundred thousand rows stay quick to scroll), the declared widths.
    static void setUpGrid(QTableView* grid, const GridColumns& columns);
    // The columns with the widths the grid shows now (grid printing prints what is on screen).
    static GridColumns columnsAsShown(const QTableView* grid, const GridColumns& columns);

Q_SIGNALS:
    // A page could not be read while the grid was painted; sent once per reload.
    void readFailed(const QString& error) const;

private:
    PagedQuery& m_rows;
    GridColumns m_columns; // the visible ones
    mutable bool m_failureSent = false;
    enum class Change { None, Insert, Remove } m_change = Change::None;
};
