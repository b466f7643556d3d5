#include "core/ui/QueryTableModel.h"

#include <QHeaderView>
#include <QPointer>
#include <QTableView>

QueryTableModel::QueryTableModel(PagedQuery& rows, const GridColumns& columns, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows), m_columns(visibleColumns(columns))
{
    // The rows counted later, by the grid or by the screen, are added to the grid. The rows may
    // outlive this model (a screen drops its old grid later) or go first: the listener asks
    // whether the model is still there and never touches the rows when the model goes.
    const QPointer<QueryTableModel> self(this);
    PagedQuery::CountListener listener;
    listener.changing = [self](int before, int after) {
        if (!self)
            return;
        if (after > before) {
            self->m_change = Change::Insert;
            self->beginInsertRows(QModelIndex(), before, after - 1);
        } else {
            self->m_change = Change::Remove;
            self->beginRemoveRows(QModelIndex(), after, before - 1);
        }
    };
    listener.changed = [self] {
        if (!self)
            return;
        if (self->m_change == Change::Insert)
            self->endInsertRows();
        else if (self->m_change == Change::Remove)
            self->endRemoveRows();
        self->m_change = Change::None;
    };
    m_rows.setCountListener(listener);
}

int QueryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.knownCount();
}

bool QueryTableModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_rows.countKnown();
}

void QueryTableModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        m_rows.count();
}

int QueryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return QVariant();
    const GridColumn& column = m_columns.at(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column.effectiveAlignment());
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    const QString text = column.display(m_rows.value(index.row(), column.field));
    if (!m_failureSent && !m_rows.lastError().isEmpty()) {
        m_failureSent = true;
        Q_EMIT readFailed(m_rows.lastError());
    }
    return text;
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()) {
        if (role == Qt::DisplayRole)
            return m_columns.at(section).caption;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool QueryTableModel::refilter(const QString& filter)
{
    beginResetModel();
    const bool ok = m_rows.setFilter(filter);
    m_failureSent = !ok; // the caller reports a failed filter itself
    endResetModel();
    return ok;
}

void QueryTableModel::reset()
{
    beginResetModel();
    m_failureSent = !m_rows.lastError().isEmpty();
    endResetModel();
}

void QueryTableModel::setUpGrid(QTableView* grid, const GridColumns& columns)
{
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setAlternatingRowColors(true);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setHighlightSections(false);
    const GridColumns shown = visibleColumns(columns);
    const QFontMetrics fm = grid->fontMetrics();
    for (int c = 0; c < shown.size(); ++c)
        grid->setColumnWidth(c, std::max(shown.at(c).width, fm.horizontalAdvance(shown.at(c).caption) + 24));
}

GridColumns QueryTableModel::columnsAsShown(const QTableView* grid, const GridColumns& columns)
{
    GridColumns shown = visibleColumns(columns);
    for (int c = 0; c < shown.size(); ++c)
        shown[c].width = grid->columnWidth(c);
    return shown;
}
