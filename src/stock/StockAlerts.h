#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"

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
    const Query& rows() const { return m_rows; }

    bool exportRows();
    bool print();

private:
    Query m_rows;
    GridColumns m_columns;
    bool m_upper = false;
};
