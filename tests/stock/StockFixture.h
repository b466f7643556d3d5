#pragma once

// What the back-office tests share: the day they run on, products to add to a shop, and a
// goods-voucher desk (a demonstration shop, a scripted person and one voucher screen) with the
// steps a storekeeper takes on it.

#include "core/Clock.h"
#include "core/LoginUser.h"
#include "stock/GoodsVoucher.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDateTime>
#include <QVariant>

#include <memory>

namespace StockFixture {

// Every back-office test runs on 2024-03-05 at 14:05:09 with the storekeeper logged in.
inline void startDay()
{
    Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
    LoginUser::set(QStringLiteral("003"), QStringLiteral("库管老李"));
}

inline void endDay()
{
    Clock::reset();
    LoginUser::reset();
}

// A product with its purchase and retail price; with a stock row when `stock` is valid.
inline bool addProduct(TestShop& shop, const QString& spbh, const QString& name, const QVariant& jinjia,
                       const QVariant& sale1, const QVariant& stock, const QString& pinma = QString(),
                       const QString& tiaoma = QString())
{
    const QVariantMap v{{QStringLiteral("SPBH"), spbh},     {QStringLiteral("SPMC"), name},
                        {QStringLiteral("JINJIA"), jinjia}, {QStringLiteral("SALE1"), sale1},
                        {QStringLiteral("PINMA"), pinma},   {QStringLiteral("TIAOMA"), tiaoma}};
    if (!shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,spgg,splb,spjl,jinjia,sale1,pinma,tiaoma) "
                                  "values(:SPBH,:SPMC,'1kg','测试','袋',:JINJIA,:SALE1,:PINMA,:TIAOMA)"),
                   v))
        return false;
    if (!stock.isValid())
        return true;
    return shop.exec(QStringLiteral("insert into kucun(spbh,spmc,sl,shoujia) values(:SPBH,:SPMC,:SL,:SALE1)"),
                     {{QStringLiteral("SPBH"), spbh},
                      {QStringLiteral("SPMC"), name},
                      {QStringLiteral("SL"), stock},
                      {QStringLiteral("SALE1"), sale1}});
}

// Types a code into a goods voucher's product field and presses Enter, then the quantity,
// Enter, the price (where it can be typed), Enter, Enter on "回车保存".
inline void enterLine(GoodsVoucher& voucher, const QString& code, const QString& quantity,
                      const QString& price = QString())
{
    voucher.setText(GoodsVoucher::Spmc, code);
    voucher.enterPressed(GoodsVoucher::Spmc);
    voucher.setText(GoodsVoucher::Sl, quantity);
    voucher.enterPressed(GoodsVoucher::Sl);
    if (!price.isNull())
        voucher.setText(GoodsVoucher::Jinjia, price);
    voucher.enterPressed(GoodsVoucher::Jinjia);
    voucher.enterPressed(GoodsVoucher::Hcbc);
}

// The supplier (where the kind has one) and "保存单据".
inline bool saveVoucher(GoodsVoucher& voucher, const GoodsKind& kind,
                        const QString& supplier = QStringLiteral("昆明惠民食品批发部"))
{
    if (kind.hasSupplier)
        voucher.setText(GoodsVoucher::Gys, supplier);
    return voucher.saveVoucher();
}

// A demonstration shop with one goods-voucher screen of the given kind, created and ready.
struct Desk {
    TestShop shop{true};
    ScriptedUi ui;
    const GoodsKind& kind;
    std::unique_ptr<GoodsVoucher> voucher;

    explicit Desk(const GoodsKind& k) : kind(k) { voucher = std::make_unique<GoodsVoucher>(kind, ui); }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    bool open() { return shop.isValid() && voucher->create(); }

    // Types a code into the product field and presses Enter, then the quantity, Enter, the price
    // (where it can be typed), Enter, Enter on "回车保存". True when a line was written.
    bool enter(const QString& code, const QString& quantity, const QString& price = QString())
    {
        const int before = lines();
        enterLine(*voucher, code, quantity, price);
        return lines() == before + 1;
    }

    // The supplier (where the kind has one) and "保存单据".
    bool save(const QString& supplier = QStringLiteral("昆明惠民食品批发部"))
    {
        return saveVoucher(*voucher, kind, supplier);
    }

    QString number() const { return voucher->text(GoodsVoucher::Djbh); }
    double value(const QString& sql) { return shop.scalar(sql).toDouble(); }
    double stock(const QString& spbh)
    {
        return value(QStringLiteral("select sl from kucun where spbh='%1'").arg(spbh));
    }
    // Lines of this kind under any number.
    int lines() { return shop.count(kind.lineTable); }
    int headers() { return shop.count(kind.voucher.headerTable); }
};

} // namespace StockFixture
