#pragma once

#include "core/FormState.h"

// The stocktaking dialog without its widgets: one stock row at a time, in product-number order,
// with the counted quantity typed over the recorded one. Every count is kept with the quantity
// it replaced, so shrinkage stays visible.
class StockCount : public FormState {
public:
    static const QString Spbh, Spmc, Spxh, Spgg, Splb, Spjl, Jinjia, Shoujia, Gys, Sl;
    static const QString Save, First, Prior, Next, Last, Close;

    explicit StockCount(Ui& ui);
    ~StockCount() override;

    // Opens on the stock row of a product number (letter case aside). False when the screen
    // cannot work.
    bool create(const QString& spbh);
    bool hasRow() const { return m_id.isValid(); }

    // Typing in the quantity field.
    void quantityEdited(const QString& text);

    void first();
    void prior();
    void next();
    void last();

    // "保存".
    bool save();

private:
    bool load(const QString& where, const QVariantMap& params, const QString& order);
    bool reloadCurrent();

    QVariant m_id; // the stock row shown
};
