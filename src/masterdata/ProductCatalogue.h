#pragma once

#include "core/RecordForm.h"
#include "core/RecordList.h"

// The product catalogue: the list 商品信息管理 and its add and edit dialogs, described the way the
// code tables are, as a list kind and a record kind.
namespace ProductCatalogue {

const ListKind& list();
const RecordKind& record();

// The figures of a product, with the label the person sees beside each.
struct Figure {
    QString field; // "jinjia"
    QString label; // "进价"
    bool whole = false; // a stock limit: a whole number; otherwise a price kept to the cent
};
const QList<Figure>& figures();

// Highest price and stock limit a person may type; anything larger is a slip of the finger.
constexpr double kMaxPrice = 99999999.99;
constexpr int kMaxLimit = 999999999;

} // namespace ProductCatalogue
