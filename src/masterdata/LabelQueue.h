#pragma once

#include "core/RecordList.h"

// The label screen 商品条码: a queue of labels in spinfotm, one row per label, kept until it is
// emptied. Products go in by number (so many labels of one product) or by the start of their
// number (one label each); the queue prints as product labels (bq1.rav) or shelf labels (bq2.rav).
// The screen's two entries are the product number `spbh` and the number of labels `sl`.
class LabelQueue : public RecordList {
public:
    static const QString Number;   // "spbh"
    static const QString Quantity; // "sl"
    // More labels of one product at once is a slip of the finger (100000 for 10).
    static constexpr int kMaxLabels = 1000;

    static const ListKind& listKind();

    // Enter in the number moves to the quantity; in the quantity it adds the labels.
    explicit LabelQueue(Ui& ui);

    // 加入编号: `sl` labels of the product numbered `spbh`.
    bool addByNumber();
    // 查找编号: one label for every product whose number starts with what the person types.
    bool addByPrefix();
    // 删除数据: the current label only, without asking.
    bool removeCurrent() override;
    // 清空数据: every label, after asking.
    bool clearAll();
    // 商品标签 and 货架标签.
    bool printProductLabels() { return print(QStringLiteral("bq1.rav")); }
    bool printShelfLabels() { return print(QStringLiteral("bq2.rav")); }
};
