#pragma once

#include "core/RecordForm.h"

#include <QVariantMap>

// The add dialog 商品新增 and the edit dialog 商品修改. A new product gets its stock row in the same
// transaction; a number that had been deleted gets its old stock row back rather than a second
// one. Both dialogs propose the pinyin code from the name while the person has not typed one.
class ProductForm : public RecordForm {
public:
    ProductForm(Mode mode, Ui& ui);

    void edited(const QString& field, const QString& text) override;

    // Whether the pinyin code shown is the dialog's proposal (true) or the person's own.
    bool pinyinProposed() const { return m_pinyinProposed; }

protected:
    bool checkAdd() override;
    bool writeAdd() override;
    bool checkEdit() override;
    bool writeEdit() override;
    void fill() override;
    void resetFields() override;

private:
    // The prices and stock limits as numbers, checked; false with a message naming the field and
    // what was typed, the focus in that field.
    bool readFigures();
    // The name, number, texts and figures bound to a statement of the spinfo columns.
    void bindProduct(class Query& q) const;
    void propose();

    QVariantMap m_figures;
    bool m_pinyinProposed = false;
};
