#pragma once

// What the till's tests share: the day they run on, products to add to a shop, and a counter
// (a demonstration shop, a scripted person and one sales or return screen) with the steps a
// cashier takes on it.

#include "core/Clock.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"
#include "sales/Checkout.h"
#include "sales/SalesVoucher.h"
#include "schema/Setup.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDateTime>
#include <QFile>
#include <QVariant>

#include <memory>

namespace SalesFixture {

// Every till test runs on 2024-03-05 at 14:05:09 with the demonstration cashier logged in.
inline void startDay()
{
    Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
    LoginUser::set(QStringLiteral("002"), QStringLiteral("收银员小王"));
}

inline void endDay()
{
    Clock::reset();
    LoginUser::reset();
}

// The EAN-13 barcode of twelve digits and their check digit.
inline QString barcodeOf(const char* twelve)
{
    const QString code = QString::fromLatin1(twelve);
    return code + QString::number(Setup::ean13CheckDigit(code));
}

// A product with its prices, pinyin code and barcode; with a stock row when `stock` is valid.
inline bool addProduct(TestShop& shop, const QString& spbh, const QString& name, const QVariant& sale1,
                       const QVariant& sale2, const QString& pinma, const QString& tiaoma, const QVariant& stock)
{
    const QVariantMap v{{QStringLiteral("SPBH"), spbh},   {QStringLiteral("SPMC"), name},
                        {QStringLiteral("SALE1"), sale1}, {QStringLiteral("SALE2"), sale2},
                        {QStringLiteral("PINMA"), pinma}, {QStringLiteral("TIAOMA"), tiaoma}};
    if (!shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,sale1,sale2,pinma,tiaoma) "
                                  "values(:SPBH,:SPMC,:SALE1,:SALE2,:PINMA,:TIAOMA)"),
                   v))
        return false;
    if (!stock.isValid())
        return true;
    return shop.exec(QStringLiteral("insert into kucun(spbh,spmc,sl) values(:SPBH,:SPMC,:SL)"),
                     {{QStringLiteral("SPBH"), spbh}, {QStringLiteral("SPMC"), name}, {QStringLiteral("SL"), stock}});
}

// Types a code into a sales or return screen's entry and presses Enter; true when a line was
// added.
inline bool scan(SalesVoucher& voucher, const QString& code)
{
    voucher.setText(SalesVoucher::Spmc, code);
    voucher.enterPressed(SalesVoucher::Spmc);
    return voucher.text(SalesVoucher::Spmc).isEmpty();
}

// PgDn on the screen, then the amount tendered (or paid out), Enter, and the confirm button.
inline CheckoutAnswer pay(SalesVoucher& voucher, const SaleKind& kind, Ui& ui, const QString& amount,
                          const QString& method = QStringLiteral("现金"))
{
    CheckoutAnswer result;
    voucher.startCheckout([&](const SaleHandover& h) {
        Checkout c(kind, h, ui);
        if (!c.create())
            return CheckoutAnswer{};
        c.setText(Checkout::Zf, method);
        c.setText(Checkout::Sk, amount);
        c.enterPressed(Checkout::Sk);
        if (c.postSale())
            result = c.answer();
        return result;
    });
    return result;
}

// A demonstration shop with a spool file as the receipt device and one screen of the given
// kind. The screen is created but not opened: a test arranges the shop first, then calls
// voucher->create().
struct Counter {
    TestShop shop{true};
    ScriptedUi ui;
    const SaleKind& kind;
    std::unique_ptr<SalesVoucher> voucher;

    explicit Counter(const SaleKind& k) : kind(k)
    {
        qputenv("POS_RECEIPT_DEVICE", spoolFile().toUtf8());
        voucher = std::make_unique<SalesVoucher>(kind, ui);
    }
    ~Counter() { qunsetenv("POS_RECEIPT_DEVICE"); }
    Counter(const Counter&) = delete;
    Counter& operator=(const Counter&) = delete;

    // Types a code into the entry and presses Enter; true when a line was added.
    bool scan(const QString& code) { return SalesFixture::scan(*voucher, code); }

    // "…", a quantity, Enter, Enter.
    void pick(const QString& spbh, const QString& name, const QString& quantity)
    {
        ui.pickAnswers.enqueue(QStringList{spbh, name});
        voucher->pickProduct();
        voucher->setText(SalesVoucher::Sl, quantity);
        voucher->enterPressed(SalesVoucher::Sl);
        voucher->enterPressed(SalesVoucher::Shoujia);
    }

    // PgDn, then the amount tendered (or paid out), Enter, and the confirm button.
    CheckoutAnswer pay(const QString& amount, const QString& method = QStringLiteral("现金"))
    {
        return SalesFixture::pay(*voucher, kind, ui, amount, method);
    }

    // PgDn with a checkout that is left at once; true when the screen opened it.
    bool checkoutOpens()
    {
        bool opened = false;
        voucher->startCheckout([&](const SaleHandover&) {
            opened = true;
            return CheckoutAnswer{};
        });
        return opened;
    }

    double number(const QString& sql) { return shop.scalar(sql).toDouble(); }
    double box() { return number(QStringLiteral("select je from boxje")); }
    double stock(const QString& spbh)
    {
        return number(QStringLiteral("select sl from kucun where spbh='%1'").arg(spbh));
    }
    // The lines of this kind of voucher in the database, under any number.
    int lines() { return shop.count(kind.lineTable); }

    QString spoolFile() const { return shop.file(QStringLiteral("printer.spool")); }
    QByteArray spool() const
    {
        QFile f(spoolFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray billBytes() const
    {
        QFile f(shop.file(QStringLiteral("bill.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString bill() const { return TextUtil::fromGbk(billBytes()); }
};

} // namespace SalesFixture
