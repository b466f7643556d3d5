#include "masterdata/ProductForm.h"

#include "core/DbConnection.h"
#include "core/TextUtil.h"
#include "core/Ui.h"
#include "masterdata/Pinyin.h"
#include "masterdata/ProductCatalogue.h"

#include <cmath>

namespace {

const QString kNumber = QStringLiteral("spbh");
const QString kName = QStringLiteral("spmc");
const QString kBarcode = QStringLiteral("tiaoma");
const QString kPinyin = QStringLiteral("pinma");

// The text columns of spinfo that take the field of the same name as typed.
const QStringList& textFields()
{
    static const QStringList list{QStringLiteral("spmc"),  QStringLiteral("spxh"), QStringLiteral("spgg"),
                                  QStringLiteral("splb"),  QStringLiteral("spjl"), QStringLiteral("changjia"),
                                  QStringLiteral("beizhu")};
    return list;
}

} // namespace

ProductForm::ProductForm(Mode mode, Ui& ui) : RecordForm(ProductCatalogue::record(), mode, ui)
{
    // The readings are ready by the time the person has typed the number.
    Pinyin::prepare();
}

void ProductForm::resetFields()
{
    RecordForm::resetFields();
    m_pinyinProposed = false;
}

void ProductForm::fill()
{
    RecordForm::fill();
    m_pinyinProposed = false;
    if (text(kPinyin).isEmpty())
        propose();
}

void ProductForm::propose()
{
    setText(kPinyin, Pinyin::initials(text(kName)));
    m_pinyinProposed = true;
}

void ProductForm::edited(const QString& field, const QString& text)
{
    RecordForm::edited(field, text);
    if (field == kPinyin) {
        // The person's own code stays; emptied, the field takes proposals again.
        m_pinyinProposed = false;
    } else if (field == kName && (m_pinyinProposed || this->text(kPinyin).isEmpty())) {
        propose();
    }
}

bool ProductForm::readFigures()
{
    m_figures.clear();
    for (const ProductCatalogue::Figure& f : ProductCatalogue::figures()) {
        const QString typed = text(f.field).trimmed();
        double value = 0;
        QString problem;
        if (typed.isEmpty()) {
            value = 0; // an emptied figure is saved as 0
        } else if (!TextUtil::toNumber(typed, &value)) {
            problem = QStringLiteral("%1“%2”不是数字，请重新输入").arg(f.label, typed);
        } else if (f.whole && value != std::trunc(value)) {
            problem = QStringLiteral("%1“%2”不是整数，请重新输入").arg(f.label, typed);
        } else if (value < 0 || value > (f.whole ? double(ProductCatalogue::kMaxLimit) : ProductCatalogue::kMaxPrice)) {
            problem = QStringLiteral("%1“%2”超出范围（0 至 %3），请重新输入")
                          .arg(f.label, typed,
                               f.whole ? QString::number(ProductCatalogue::kMaxLimit)
                                       : TextUtil::money(ProductCatalogue::kMaxPrice));
        }
        if (!problem.isEmpty()) {
            ui().showMessage(problem);
            focus(f.field, true);
            return false;
        }
        if (f.whole)
            m_figures.insert(f.field, qlonglong(value));
        else
            m_figures.insert(f.field, TextUtil::roundTo(value, 2));
    }
    return true;
}

void ProductForm::bindProduct(Query& q) const
{
    const QString number = mode() == Mode::Add ? text(kNumber).trimmed() : currentKey();
    q.bind(kNumber, number);
    for (const QString& f : textFields())
        q.bind(f, text(f));
    q.bind(kPinyin, text(kPinyin).trimmed());
    // Without a barcode of its own the product is scanned by its number.
    const QString barcode = text(kBarcode).trimmed();
    q.bind(kBarcode, barcode.isEmpty() ? number : barcode);
    for (auto it = m_figures.cbegin(); it != m_figures.cend(); ++it)
        q.bind(it.key(), it.value());
}

bool ProductForm::checkAdd()
{
    const QString number = text(kNumber).trimmed();
    if (number.isEmpty()) {
        ui().showMessage(QStringLiteral("商品编号不能为空"));
        focus(kNumber);
        return false;
    }
    Query q(db());
    q.setSql(QStringLiteral("select * from spinfo where spbh=:SPBH"));
    q.bind(kNumber, number);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (!q.isEmpty()) {
        ui().showMessage(QStringLiteral("编号重复，请重新输入"));
        focus(kNumber);
        return false;
    }
    if (text(kName).isEmpty()) {
        ui().showMessage(QStringLiteral("商品名称不能为空，请重新输入"));
        focus(kName);
        return false;
    }
    return readFigures();
}

bool ProductForm::writeAdd()
{
    QString error;
    const bool written = write(
        [&](QString* failure) {
            Query q(db());
            q.setSql(kind().insertSql);
            bindProduct(q);
            if (!execute(q, failure))
                return false;
            // A deleted product leaves its stock row behind; the number added again takes that row
            // over (its quantity stays), so sales and stock-in never find two rows for one product.
            Query stock(db());
            stock.setSql(QStringLiteral("select ID from kucun where spbh=:SPBH"));
            stock.bind(kNumber, text(kNumber).trimmed());
            if (!stock.open()) {
                *failure = stock.lastError();
                return false;
            }
            Query w(db());
            if (stock.isEmpty()) {
                w.add(QStringLiteral("insert into kucun(spbh,spmc,spxh,spgg,splb,spjl,jinjia,shoujia)"));
                w.add(QStringLiteral("values(:SPBH,:SPMC,:SPXH,:SPGG,:SPLB,:SPJL,:JINJIA,:shoujia)"));
            } else {
                w.add(QStringLiteral("update kucun set spmc=:SPMC,spxh=:SPXH,spgg=:SPGG,splb=:SPLB,spjl=:SPJL,"
                                     "jinjia=:JINJIA,shoujia=:shoujia"));
                w.add(QStringLiteral("  where spbh=:SPBH"));
            }
            bindProduct(w);
            w.bind(QStringLiteral("shoujia"), m_figures.value(QStringLiteral("sale1")));
            return execute(w, failure);
        },
        &error);
    if (!written) {
        saveFailed(error);
        return false;
    }
    return true;
}

bool ProductForm::checkEdit()
{
    if (text(kName).isEmpty()) {
        ui().showMessage(QStringLiteral("商品名称不能为空，请重新输入"));
        focus(kName);
        return false;
    }
    return readFigures();
}

bool ProductForm::writeEdit()
{
    Query q(db());
    q.setSql(kind().updateSql);
    bindProduct(q);
    if (!q.execute()) {
        saveFailed(q.lastError());
        return false;
    }
    return true;
}
