#include "masterdata/ProductList.h"

#include "core/DbConnection.h"
#include "core/TextUtil.h"
#include "core/Ui.h"
#include "masterdata/ProductCatalogue.h"

ProductList::ProductList(Ui& ui) : RecordList(ProductCatalogue::list(), ui) {}

bool ProductList::mayDelete(const QString& key)
{
    // A product still in stock stays; its stock row stays in every case.
    Query q(db());
    q.setSql(QStringLiteral("select * from kucun where spbh=:SPBH"));
    q.bind(QStringLiteral("SPBH"), key);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    for (bool more = q.first(); more; more = q.next()) {
        if (q.number(QStringLiteral("sl")) > 0) {
            ui().showMessage(QStringLiteral("该商品有库存不能删除"));
            return false;
        }
    }
    return true;
}

bool ProductList::changePrice()
{
    if (!hasRows())
        return false;
    const QString key = currentKey();
    const QString answer = prompt(QStringLiteral("Txtts1_form"));
    if (answer == None)
        return false;
    double price = 0;
    if (!TextUtil::toNumber(answer, &price)) {
        ui().showMessage(QStringLiteral("售价“%1”不是数字，请重新输入").arg(answer.trimmed()));
        return false;
    }
    // Zero or less is taken as a change of mind.
    if (price <= 0)
        return false;
    if (price > ProductCatalogue::kMaxPrice) {
        ui().showMessage(QStringLiteral("售价“%1”超出范围（0 至 %2），请重新输入")
                             .arg(answer.trimmed(), TextUtil::money(ProductCatalogue::kMaxPrice)));
        return false;
    }
    price = TextUtil::roundTo(price, 2);
    QString error;
    const bool written = write(
        [&](QString* failure) {
            Query q(db());
            q.add(QStringLiteral("update spinfo set sale1=:SALE1"));
            q.add(QStringLiteral("  where spbh=:SPBH"));
            q.bind(QStringLiteral("SALE1"), price);
            q.bind(QStringLiteral("SPBH"), key);
            if (!execute(q, failure))
                return false;
            q.clear();
            q.add(QStringLiteral("update kucun set shoujia=:SHOUJIA"));
            q.add(QStringLiteral("  where spbh=:SPBH"));
            q.bind(QStringLiteral("SHOUJIA"), price);
            q.bind(QStringLiteral("SPBH"), key);
            return execute(q, failure);
        },
        &error);
    if (!written) {
        dbError(error);
        return false;
    }
    ui().showMessage(QStringLiteral("修改完毕"));
    return true;
}
