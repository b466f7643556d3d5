#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"

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

    const Query& rows() const { return m_rows; }

private:
    Query m_rows;
};
