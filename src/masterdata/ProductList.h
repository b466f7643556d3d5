#pragma once

#include "core/RecordList.h"

// The product list 商品信息管理: the rows of spinfo with a filter on number, name, barcode and
// pinyin code; deleting keeps a product that has stock; the price change of the grid's context
// menu moves the retail price and the stock row's selling price together.
class ProductList : public RecordList {
public:
    explicit ProductList(Ui& ui);

    // "当前商品调价": asks for the new retail price of the current product.
    bool changePrice();

protected:
    bool mayDelete(const QString& key) override;
};
