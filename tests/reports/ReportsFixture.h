#pragma once

// What the sales figures tests share: products and sales lines written straight into a shop.

#include "support/TestShop.h"

#include <QString>
#include <QVariantMap>

namespace ReportsFixture {

struct Line {
    const char* rq;
    const char* spbh;
    double sl;
    double sale1;
    double zhekouje; // the line after the voucher discount
};

inline bool addProduct(TestShop& shop, const QString& spbh, const QString& spmc, double jinjia)
{
    return shop.exec(
        QStringLiteral("insert into spinfo(spbh,spmc,spxh,spgg,splb,spjl,jinjia,sale1) "
                       "values(:SPBH,:SPMC,'500ml','瓶装','饮料','瓶',:JINJIA,1)"),
        {{QStringLiteral("SPBH"), spbh}, {QStringLiteral("SPMC"), spmc}, {QStringLiteral("JINJIA"), jinjia}});
}

inline bool addLine(TestShop& shop, const Line& l, const QString& table = QStringLiteral("xiaoshoudrecord"))
{
    const QString spbh = QString::fromLatin1(l.spbh);
    return shop.exec(
        QStringLiteral(
            "insert into %1(spbh,spmc,spxh,spgg,splb,spjl,sl,sale1,jine,zhekou,zhekouje,rq,djbh) "
            "values(:SPBH,:SPMC,'500ml','瓶装','饮料','瓶',:SL,:SALE1,:JINE,0.9,:ZK,:RQ,'XS0120240301'||:SPBH)")
            .arg(table),
        {{QStringLiteral("SPBH"), spbh},
         {QStringLiteral("SPMC"), QStringLiteral("商品") + spbh},
         {QStringLiteral("SL"), l.sl},
         {QStringLiteral("SALE1"), l.sale1},
         {QStringLiteral("JINE"), l.sale1 * l.sl},
         {QStringLiteral("ZK"), l.zhekouje},
         {QStringLiteral("RQ"), QString::fromLatin1(l.rq)}});
}

// A small shop: three products (the third deleted from the catalogue after selling), sales lines
// from 2024-02-29 to 2024-03-06 (a paid sale with a discount, a held one), and a return.
inline bool smallShop(TestShop& shop)
{
    if (!shop.isValid() || !addProduct(shop, QStringLiteral("1001"), QStringLiteral("商品1001"), 2.5) ||
        !addProduct(shop, QStringLiteral("1002"), QStringLiteral("商品1002"), 1.25) ||
        !addProduct(shop, QStringLiteral("1003"), QStringLiteral("商品1003"), 4))
        return false;
    const Line lines[] = {
        {"2024-02-29", "1001", 1, 3.5, 3.5},  // before the range
        {"2024-03-01", "1001", 2, 3.5, 6.3},  // paid, with a discount
        {"2024-03-03", "1002", 1, 2, 2},      // held
        {"2024-03-05", "1001", 3, 3.5, 10.5}, // the last day
        {"2024-03-05", "1003", 5, 6, 30},     // a product since deleted
        {"2024-03-06", "1002", 4, 2, 8},      // after the range
    };
    for (const Line& l : lines)
        if (!addLine(shop, l))
            return false;
    return addLine(shop, {"2024-03-03", "1001", 1, 3.5, 3.5}, QStringLiteral("xiaoshoudrecordth")) &&
           shop.exec(QStringLiteral("delete from spinfo where spbh='1003'"));
}

} // namespace ReportsFixture
