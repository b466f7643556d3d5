#include "SalesFixture.h"

#include <QTest>

using namespace SalesFixture;

// Goods brought back: the return screen and the refund, the sale's road run backwards.
class SalesReturnTest : public QObject {
    Q_OBJECT

    using V = SalesVoucher;
    using C = Checkout;

    // A demonstration shop, a spool file as the receipt device, and a return screen.
    struct Return : Counter {
        Return() : Counter(SaleKind::salesReturn()) {}
        CheckoutAnswer refund(const QString& paid, const QString& method = QStringLiteral("现金"))
        {
            return pay(paid, method);
        }
    };

private Q_SLOTS:
    void init() { startDay(); }
    void cleanup() { endDay(); }

    // No settings: the price is always read-only and the stock never checked.
    void creation()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("update xtsz set jia=0, ku=0")));
        QVERIFY(t.shop.exec(QStringLiteral("insert into xiaoshoud(djbh,rq) values('XS01202403050001','2024-03-05')")));
        QVERIFY(t.voucher->create());
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XT01202403050001"));
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("非会员"));
        QCOMPARE(t.voucher->text(V::Zhekou), QStringLiteral("1"));
        QCOMPARE(t.voucher->text(V::Ck), QStringLiteral("主仓库"));
        QVERIFY(t.voucher->priceReadOnly());
        // The lighter (5005) has no stock and is taken back all the same.
        QVERIFY(t.scan(QStringLiteral("5005")));
        QCOMPARE(t.lines(), 1);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("1"));
        QVERIFY(t.ui.shown.isEmpty());
    }

    // Stock up, cash box down whatever the payment method, a refund receipt and the drawer.
    void refund_data()
    {
        QTest::addColumn<QString>("method");
        QTest::newRow("cash") << QStringLiteral("现金");
        QTest::newRow("bank card") << QStringLiteral("银行卡");
    }
    void refund()
    {
        QFETCH(QString, method);
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("update kucun set sl=3 where spbh='1001'")));
        QVERIFY(t.shop.exec(QStringLiteral("update boxje set je=100")));
        QVERIFY(t.voucher->create());
        t.pick(QStringLiteral("1001"), QStringLiteral("可口可乐"), QStringLiteral("2"));
        QCOMPARE(t.ui.pickers.last().formName, QStringLiteral("Tsphelp5_form"));
        QVERIFY(t.scan(QStringLiteral("nfsq")));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("7"));
        const CheckoutAnswer a = t.refund(QStringLiteral("7"), method);
        QVERIFY2(a.posted, qPrintable(t.ui.texts().join(QLatin1Char('|'))));
        QCOMPARE(a.nextNumber, QStringLiteral("XT01202403050002"));
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XT01202403050002"));
        QVERIFY(t.ui.shown.isEmpty());

        QCOMPARE(t.stock(QStringLiteral("1001")), 5.0);
        QCOMPARE(t.stock(QStringLiteral("1003")), 241.0);
        QCOMPARE(t.box(), 93.0);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 0);
        QCOMPARE(t.shop
                     .scalar(QStringLiteral("select count(*) from xiaoshoudth where djbh='XT01202403050001' and hjje=7 "
                                            "and zhje=7 and qkje is null and lkje=7 and zhaoje=0 and fkfs=:F and "
                                            "xm='收银员小王' and khmc='非会员' and ckmc='主仓库' and hjsl=3"),
                             {{QStringLiteral("F"), method}})
                     .toInt(),
                 1);

        // The refund receipt, byte for byte, then the drawer kick.
        QFile golden(QStringLiteral(POS_TEST_DATA "/refund_receipt.txt"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        const QByteArray expected = golden.readAll();
        QCOMPARE(t.billBytes(), expected);
        QCOMPARE(t.spool(), expected + QByteArray("\x1b\x70\x00\x3c\xff", 5));
    }

    // A member's return lowers the accumulated amount and the points, below zero if need be.
    void memberReturn()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(
            t.shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,sale1,sale2) values('8003','百元礼券',100,100)")));
        QVERIFY(t.shop.exec(QStringLiteral("update hyinfo set ljje=150,ljjf=30")));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(QStringLiteral("88000001"));
        t.voucher->findMember();
        QCOMPARE(t.ui.prompts.last().formName, QStringLiteral("Txtts3_form"));
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("会员"));
        QVERIFY(t.scan(QStringLiteral("8003")));
        QVERIFY(t.refund(QStringLiteral("100")).posted);
        QCOMPARE(t.number(QStringLiteral("select ljje from hyinfo")), 50.0);
        QCOMPARE(t.number(QStringLiteral("select ljjf from hyinfo")), -70.0);
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("非会员"));
        QVERIFY(t.voucher->memberCard().isEmpty());
    }

    // F5 voids after the question, F6 does nothing; PgDn without lines is refused.
    void keys()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("1001")));
        t.voucher->pressF6();
        QVERIFY(t.ui.pickers.isEmpty());
        QVERIFY(t.ui.unexpected.isEmpty());

        t.ui.confirms.enqueue(false);
        t.voucher->pressF5();
        QCOMPARE(t.ui.confirmTexts, QStringList{QStringLiteral("确实作废此单吗?")});
        QCOMPARE(t.lines(), 1);
        t.ui.confirms.enqueue(true);
        t.voucher->pressF5();
        QCOMPARE(t.lines(), 0);
        QCOMPARE(t.ui.lastText(), QStringLiteral("操作成功"));
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XT01202403050001"));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("0"));
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudth")), 0);

        QVERIFY(!t.checkoutOpens());
        QCOMPARE(t.ui.lastText(), QStringLiteral("还没有录入退货商品"));
    }

    // After a picked product, a quantity and Enter twice add it again with an empty entry.
    void enterTwiceReAdds()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.pick(QStringLiteral("2003"), QStringLiteral("奥利奥饼干"), QStringLiteral("1"));
        QCOMPARE(t.voucher->text(V::Spmc), QString());
        t.voucher->setText(V::Sl, QStringLiteral("3"));
        t.voucher->enterPressed(V::Sl);
        QCOMPARE(t.voucher->text(V::Shoujia), QStringLiteral("7.9"));
        t.voucher->enterPressed(V::Shoujia);
        QCOMPARE(t.lines(), 2);
        QCOMPARE(t.voucher->text(V::Hjsl), QStringLiteral("4"));
        QVERIFY(t.ui.shown.isEmpty());
    }

    // A pinyin-code line leaves "0" in quantity and price; the next scan sets them again.
    void pinyinLeavesZero()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("KKKL")));
        QCOMPARE(t.voucher->text(V::Sl), QStringLiteral("0"));
        QCOMPARE(t.voucher->text(V::Shoujia), QStringLiteral("0"));
        QVERIFY(t.scan(QStringLiteral("1002")));
        QCOMPARE(t.voucher->text(V::Sl), QString());
        QCOMPARE(t.voucher->text(V::Shoujia), QString());
        QCOMPARE(t.number(QStringLiteral("select sum(sl) from xiaoshoudrecordth")), 2.0);
    }

    // The refusals the sales screen makes, on the return screen's words and tables.
    void refusals()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        // Enter in the price with no product at all, even with an empty entry.
        t.voucher->setText(V::Shoujia, QStringLiteral("3"));
        t.voucher->enterPressed(V::Shoujia);
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("请先输入商品编码或用“…”选择商品")});
        // A discount that is not a number.
        t.ui.clear();
        t.voucher->editDiscount();
        t.voucher->setText(V::Zhekou, QStringLiteral("0,9"));
        t.voucher->enterPressed(V::Zhekou);
        QVERIFY(!t.scan(QStringLiteral("1001")));
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("折扣“0,9”不是数字，请按F12修改折扣")});
        QCOMPARE(t.lines(), 0);
        // PgDn on a new voucher.
        t.ui.clear();
        QVERIFY(!t.checkoutOpens());
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("还没有录入退货商品")});
    }

    // An amount paid out or a change that is not a number writes nothing.
    void refundAmountRefused_data()
    {
        QTest::addColumn<QString>("paid");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QString() << QStringLiteral("请输入付款金额");
        QTest::newRow("not a number") << QStringLiteral("七元") << QStringLiteral("付款金额“七元”不是数字，请重新输入");
        QTest::newRow("beyond any till")
            << QStringLiteral("-1e308")
            << QStringLiteral("付款金额“-1e308”不对：付款金额必须在-99999999.99到99999999.99之间，请重新输入");
    }
    void refundAmountRefused()
    {
        QFETCH(QString, paid);
        QFETCH(QString, message);
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("1001")));
        Checkout c(SaleKind::salesReturn(), t.voucher->handover(), t.ui);
        QVERIFY(c.create());
        c.setText(C::Sk, paid);
        QVERIFY(!c.postSale());
        QCOMPARE(t.ui.texts(), QStringList{message});
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudth")), 0);
        QCOMPARE(t.box(), 0.0);
        QCOMPARE(t.stock(QStringLiteral("1001")), 120.0);
    }

    // One transaction: a failure leaves nothing; posting the same return twice is refused.
    void atomicRefund()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(QStringLiteral("13888000001"));
        t.voucher->findMember();
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.scan(QStringLiteral("1002")));
        QVERIFY(t.shop.exec(QStringLiteral("create trigger fail_stock before update on kucun when old.spbh='1002' "
                                           "begin select raise(abort,'磁盘已满'); end")));
        const SaleHandover h = t.voucher->handover();
        Checkout c(SaleKind::salesReturn(), h, t.ui);
        QVERIFY(c.create());
        c.setText(C::Sk, QStringLiteral("5"));
        c.enterPressed(C::Sk);
        QVERIFY(!c.postSale());
        QVERIFY(t.ui.lastText().contains(QStringLiteral("磁盘已满")));
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudth")), 0);
        QCOMPARE(t.box(), 0.0);
        QCOMPARE(t.stock(QStringLiteral("1001")), 120.0);
        QCOMPARE(t.number(QStringLiteral("select ljjf from hyinfo")), 0.0);

        QVERIFY(t.shop.exec(QStringLiteral("drop trigger fail_stock")));
        QVERIFY(c.postSale());
        QCOMPARE(t.box(), -4.6); // two member prices of 2.3
        QCOMPARE(t.stock(QStringLiteral("1001")), 121.0);
        QCOMPARE(t.number(QStringLiteral("select ljjf from hyinfo")), -4.0);

        ScriptedUi other;
        Checkout again(SaleKind::salesReturn(), h, other);
        QVERIFY(again.create());
        again.setText(C::Sk, QStringLiteral("5"));
        again.enterPressed(C::Sk);
        QVERIFY(!again.postSale());
        QCOMPARE(other.texts(), QStringList{QStringLiteral("单据XT01202403050001已经过账，不能再次过账")});
        QCOMPARE(t.box(), -4.6);
        QCOMPARE(t.stock(QStringLiteral("1001")), 121.0);
    }

    // The return screen keeps its own signs but refuses what no one can mean.
    void returnAmounts()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.pick(QStringLiteral("1001"), QStringLiteral("可口可乐"), QStringLiteral("1e308"));
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("数量“1e308”不对：数量最多9999，请重新输入")});
        QCOMPARE(t.lines(), 0);
        t.ui.clear();
        t.pick(QStringLiteral("1001"), QStringLiteral("可口可乐"), QStringLiteral("-1"));
        QVERIFY2(t.ui.shown.isEmpty(), qPrintable(t.ui.texts().join(QLatin1Char('|'))));
        QCOMPARE(t.lines(), 1);
    }

    // Lines left by a return screen that was closed show at once on the next one.
    void leftoverLinesShown()
    {
        Return t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("insert into xiaoshoudrecordth(spbh,spmc,sl,sale1,jine,djbh,rq) "
                                           "values('1001','可口可乐',1,2.5,2.5,'XT01202403050001','2024-03-05')")));
        QVERIFY(t.voucher->create());
        QVERIFY(t.voucher->gridLoaded());
        QCOMPARE(t.voucher->lines().count(), 1);
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("2.5"));
    }
};

QTEST_GUILESS_MAIN(SalesReturnTest)
#include "tst_salesreturn.moc"
