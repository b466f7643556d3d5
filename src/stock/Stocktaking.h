#pragma once

#include "core/RecordForm.h"
#include "core/RecordList.h"

// Stocktaking: the list of every stock row (with the difference its last count made, so
// shrinkage shows at a glance) and the dialog that overwrites one product's quantity with the
// counted one. Every count is kept with the quantity it replaced, who counted and when.
namespace Stocktaking {

// The list screen "商品库存盘点" and its report.
const ListKind& list();
// The count dialog "商品盘点库存修改".
const RecordKind& record();

} // namespace Stocktaking

// The count dialog's logic: only the quantity can be typed; saving writes the stock row and
// the count record together.
class StockCount : public RecordForm {
public:
    static const QString Spbh, Spmc, Spxh, Spgg, Splb, Spjl, Jinjia, Shoujia, Gys, Sl;

    explicit StockCount(Ui& ui);
    ~StockCount() override;

    // Enter walks the fields round, from the quantity back to the number; it never saves.
    void enterPressed(const QString& field) override;

protected:
    bool checkEdit() override;
    bool writeEdit() override;

private:
    double m_counted = 0;
    double m_retail = 0;
};
