#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"
#include "core/PagedQuery.h"

#include <memory>

// The stock alert screen without its widgets: the products whose stock has reached the lower
// limit (time to reorder) or the upper limit (overstocked) kept in the product master.
class StockAlerts : public FormState {
public:
    // The two radio buttons; "下限" is chosen at first.
    static const QString Xian, Shang;
    static const QString Export, Print, Search, Close;

    static QString printTitle() { return QStringLiteral("商品库存报警表"); }

    explicit StockAlerts(Ui& ui);
    ~StockAlerts() override;

    bool create();

    // The radio buttons; choosing one does not search again.
    void setUpperList(bool upper) { m_upper = upper; }
    bool upperList() const { return m_upper; }

    // "查询": the list the radio buttons choose; the grid's columns follow the result.
    bool search();
    // The statement of the lower-limit or the upper-limit list.
    static QString statement(bool upper);
    // The columns of the last search (none before the first).
    const GridColumns& columns() const { return m_columns; }
    // The rows of the last search, read a page at a time; a new search makes new rows.
    PagedQuery& rows() { return *m_rows; }
    bool searched() const { return m_searched; }

    bool exportRows();
    bool print();

private:
    // Every row of the last search, for the workbook and the printer.
    bool readAll(Query& all);

    std::unique_ptr<PagedQuery> m_rows;
    bool m_searched = false;
    bool m_searchedUpper = false;
    GridColumns m_columns;
    bool m_upper = false;
};
