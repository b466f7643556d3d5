#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"
#include "core/PagedQuery.h"

// The cash journal screen without its widgets: the journal rows of a period, exported to a
// workbook or printed as a grid.
class CashJournal : public FormState {
public:
    static const QString Rq1, Rq2;
    static const QString Search, Export, Print, Close;

    static const GridColumns& columns();
    static QString printTitle() { return QStringLiteral("现金流水账"); }

    explicit CashJournal(Ui& ui);
    ~CashJournal() override;

    bool create();
    // "查询": the rows of the period, both days included, in the order they were added.
    bool search();
    // "导出": a failure (nothing queried yet, a file that cannot be written) says "先查询后打印".
    bool exportRows();
    // "打印".
    bool print();

    // The rows of the last search, read a page at a time.
    PagedQuery& rows() { return m_rows; }
    bool searched() const { return m_searched; }

private:
    // Every row of the last search, for the workbook and the printer.
    bool readAll(Query& all);

    PagedQuery m_rows;
    bool m_searched = false;
};
