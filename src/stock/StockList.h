#pragma once

#include "core/FormState.h"
#include "core/GridColumn.h"

// The stocktaking list without its widgets: every stock row in product-number order, with the
// difference its last count made (counted − recorded), so shrinkage shows at a glance. The grid
// reads the statement a page at a time; printing hands every row to the report.
class StockList : public FormState {
public:
    static const QString Edit, Refresh, Print, First, Prior, Next, Last, Close;

    static const GridColumns& columns();
    // The list's statement.
    static QString statement();

    explicit StockList(Ui& ui);
    ~StockList() override;

    bool create();

    // "打印": the report "sppd.rav" over the whole list.
    bool print();
};
