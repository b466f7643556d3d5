#include "SalesFixture.h"

#include <QTest>

using namespace SalesFixture;

// Taking payment and posting a sale: the change, the header, the member, the cash box, the
// stock, the receipt and the drawer, and what happens when something fails on the way.
class CheckoutTest : public QObject {
    Q_OBJECT

    using V = SalesVoucher;
    using C = Checkout;

    // A demonstration shop with a product at 12.5 (stock 5), one at 12.7 and one at 100, a
    // spool file as the receipt device, and a sales screen.
    struct Till : Counter {
        Till() : Counter(SaleKind::sale())
        {
            shop.exec(QStringLiteral(
                "insert into spinfo(spbh,spmc,spxh,sale1,sale2) values('8001','半打鸡蛋','6只',12.5,12.5)"));
            shop.exec(QStringLiteral("insert into kucun(spbh,spmc,sl) values('8001','半打鸡蛋',5)"));
            shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,sale1,sale2) values('8002','礼盒',12.7,12.7)"));
            shop.exec(QStringLiteral("insert into kucun(spbh,spmc,sl) values('8002','礼盒',50)"));
            shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,sale1,sale2) values('8003','百元礼券',100,100)"));
            shop.exec(QStringLiteral("insert into kucun(spbh,spmc,sl) values('8003','百元礼券',50)"));
        }
    };

private Q_SLOTS:
    void init() { startDay(); }
    void cleanup() { endDay(); }

    // A negative amount tendered is refused on Enter already, and posting it writes nothing.
    void negativeTenderedOnEnter()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8001")));
        Checkout c(SaleKind::sale(), t.voucher->handover(), t.ui);
        QVERIFY(c.create());
        c.setText(C::Sk, QStringLiteral("-50"));
        c.enterPressed(C::Sk);
        QCOMPARE(t.ui.texts(),
                 QStringList{QStringLiteral("收款金额“-50”不对：收款金额必须在0到99999999.99之间，请重新输入")});
        QCOMPARE(c.text(C::Zhao), QString());
        QCOMPARE(c.focusField(), C::Sk);
        QVERIFY(!c.postSale());
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 0);
        QCOMPARE(t.box(), 0.0);
    }

    // The change on Enter in "收款": the shortest decimal form, negative when too little.
    void change_data()
    {
        QTest::addColumn<QString>("tendered");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("message");
        QTest::newRow("100 for 12.5") << QStringLiteral("100") << QStringLiteral("87.5") << C::Zhao << QString();
        QTest::newRow("10 for 12.5") << QStringLiteral("10") << QStringLiteral("-2.5") << C::Zhao << QString();
        QTest::newRow("exact") << QStringLiteral("12.50") << QStringLiteral("0") << C::Zhao << QString();
        QTest::newRow("empty keeps the change") << QString() << QStringLiteral("5") << C::Zhao << QString();
        QTest::newRow("not a number") << QStringLiteral("1O0") << QString() << C::Sk
                                      << QStringLiteral("收款金额“1O0”不是数字，请重新输入");
    }
    void change()
    {
        QFETCH(QString, tendered);
        QFETCH(QString, change);
        QFETCH(QString, focus);
        QFETCH(QString, message);
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        SaleHandover h;
        h.total = QStringLiteral("12.5");
        Checkout c(SaleKind::sale(), h, t.ui);
        QVERIFY(c.create());
        QCOMPARE(c.text(C::Hj), QStringLiteral("12.5"));
        QCOMPARE(c.text(C::Zf), QStringLiteral("现金"));
        QCOMPARE(c.focusField(), C::Sk);
        if (tendered.isEmpty())
            c.setText(C::Zhao, QStringLiteral("5"));
        c.setText(C::Sk, tendered);
        c.enterPressed(C::Sk);
        QCOMPARE(c.text(C::Zhao), change);
        QCOMPARE(c.focusField(), focus);
        QCOMPARE(t.ui.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        c.keyInChange();
        QCOMPARE(c.focusField(), C::Button1);
    }

    // The header, the cash box, the receipt and the drawer for both payment methods.
    void post_data()
    {
        QTest::addColumn<QString>("tendered");
        QTest::addColumn<QString>("method");
        QTest::addColumn<double>("change");
        QTest::newRow("cash 100") << QStringLiteral("100") << QStringLiteral("现金") << 87.5;
        QTest::newRow("bank card") << QStringLiteral("12.5") << QStringLiteral("银行卡") << 0.0;
        QTest::newRow("too little") << QStringLiteral("10") << QStringLiteral("现金") << -2.5;
    }
    void post()
    {
        QFETCH(QString, tendered);
        QFETCH(QString, method);
        QFETCH(double, change);
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("update boxje set je=200")));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8001")));
        const CheckoutAnswer a = t.pay(tendered, method);
        QVERIFY2(a.posted, qPrintable(t.ui.texts().join(QLatin1Char('|'))));
        QCOMPARE(a.nextNumber, QStringLiteral("XS01202403050002"));
        QVERIFY(t.ui.shown.isEmpty());

        Query q(t.shop.db());
        q.setSql(QStringLiteral("select * from xiaoshoud"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.text(QStringLiteral("djbh")), QStringLiteral("XS01202403050001"));
        QCOMPARE(q.number(QStringLiteral("hjje")), 12.5);
        QCOMPARE(q.number(QStringLiteral("zhje")), 12.5);
        QCOMPARE(q.number(QStringLiteral("qkje")), 0.0);
        QCOMPARE(q.number(QStringLiteral("lkje")), tendered.toDouble());
        QCOMPARE(q.number(QStringLiteral("zhaoje")), change);
        QCOMPARE(q.text(QStringLiteral("fkfs")), method);
        QCOMPARE(q.text(QStringLiteral("xm")), QStringLiteral("收银员小王"));
        QCOMPARE(q.text(QStringLiteral("rq")), QStringLiteral("2024-03-05"));
        QCOMPARE(q.text(QStringLiteral("sj")), QStringLiteral("14:05:09"));
        QCOMPARE(q.text(QStringLiteral("khmc")), QStringLiteral("非会员"));
        QCOMPARE(q.text(QStringLiteral("ckmc")), QStringLiteral("主仓库"));
        QCOMPARE(q.number(QStringLiteral("hjsl")), 1.0);
        QCOMPARE(t.box(), 212.5); // the cash box follows the till whatever the payment
        QCOMPARE(t.stock(QStringLiteral("8001")), 4.0);

        const QString bill = t.bill();
        QVERIFY(bill.startsWith(QStringLiteral("        翠湖超市购物清单\r\n")));
        QVERIFY(bill.contains(QStringLiteral("\r\n收款:%1\r\n").arg(TextUtil::money(tendered.toDouble()))));
        QVERIFY(bill.contains(QStringLiteral("\r\n找还:%1\r\n").arg(TextUtil::money(change))));
        QVERIFY(bill.contains(QStringLiteral("单号:XS01202403050001\r\n")));
        // The receipt, then the drawer kick (qx = 1 in the demonstration shop).
        QVERIFY(!t.billBytes().isEmpty());
        QCOMPARE(t.spool(), t.billBytes() + QByteArray("\x1b\x70\x00\x3c\xff", 5));

        // The screen moved on.
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050002"));
        QCOMPARE(t.voucher->text(V::Hjje), QString());
    }

    void noDrawerWithoutSetting()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("update xtsz set qx=0")));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8001")));
        QVERIFY(t.pay(QStringLiteral("20")).posted);
        QVERIFY(!t.billBytes().isEmpty());
        QCOMPARE(t.spool(), t.billBytes());
    }

    // Points and accumulated amount of a member.
    void member_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("units");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<int>("js");
        QTest::addColumn<double>("ljje");
        QTest::addColumn<double>("ljjf");
        QTest::newRow("100, 0.9, js 1") << QStringLiteral("8003") << 1 << QStringLiteral("0.9") << 1 << 90.0 << 100.0;
        QTest::newRow("12.7, js 2") << QStringLiteral("8002") << 1 << QStringLiteral("1") << 2 << 12.7 << 25.0;
        QTest::newRow("25.4, js 1") << QStringLiteral("8002") << 2 << QStringLiteral("1") << 1 << 25.4 << 25.0;
    }
    void member()
    {
        QFETCH(QString, code);
        QFETCH(int, units);
        QFETCH(QString, discount);
        QFETCH(int, js);
        QFETCH(double, ljje);
        QFETCH(double, ljjf);
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("update jfjs set js=:JS"), {{QStringLiteral("JS"), js}}));
        QVERIFY(t.shop.exec(QStringLiteral("update hyinfo set ljje=10,ljjf=3")));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(QStringLiteral("88000001"));
        t.voucher->findMember();
        t.voucher->editDiscount();
        t.voucher->setText(V::Zhekou, discount);
        t.voucher->enterPressed(V::Zhekou);
        for (int i = 0; i < units; ++i)
            QVERIFY(t.scan(code));
        QVERIFY(t.pay(QStringLiteral("200")).posted);
        QCOMPARE(t.number(QStringLiteral("select ljje from hyinfo where hykh='88000001'")), 10 + ljje);
        QCOMPARE(t.number(QStringLiteral("select ljjf from hyinfo where hykh='88000001'")), 3 + ljjf);
        QCOMPARE(t.shop.scalar(QStringLiteral("select khmc from xiaoshoud")).toString(), QStringLiteral("会员"));

        // The next sale on the screen is a walk-in sale again.
        QVERIFY(t.scan(code));
        QVERIFY(t.pay(QStringLiteral("200")).posted);
        QCOMPARE(t.number(QStringLiteral("select ljjf from hyinfo where hykh='88000001'")), 3 + ljjf);
    }

    // Several lines of one product lower its stock one after another; a product without a
    // stock row stays without one.
    void stock()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("update xtsz set ku=1")));
        QVERIFY(t.shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,sale1,sale2) values('8009','散装糖果',3,3)")));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8001")));
        QVERIFY(t.scan(QStringLiteral("8001")));
        QVERIFY(t.scan(QStringLiteral("8009")));
        t.voucher->setText(V::Spmc, QStringLiteral("8002"));
        QVERIFY(t.scan(QStringLiteral("8002")));
        QVERIFY(t.pay(QStringLiteral("50")).posted);
        QCOMPARE(t.stock(QStringLiteral("8001")), 3.0);
        QCOMPARE(t.stock(QStringLiteral("8002")), 49.0);
        QCOMPARE(t.shop.count(QStringLiteral("kucun"), QStringLiteral("spbh='8009'")), 0);
    }

    // A held voucher that is recalled and paid keeps its one header, completed, and leaves
    // the held list.
    void heldVoucherPaid()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8002")));
        t.voucher->setText(V::Ck, QStringLiteral("门店货架"));
        t.voucher->holdVoucher();
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("qkje>0")), 1);

        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("XS01202403050001")});
        t.voucher->recallVoucher();
        QVERIFY(t.scan(QStringLiteral("8002")));
        LoginUser::set(QStringLiteral("001"), QStringLiteral("系统管理员"));
        t.voucher->setText(V::Czy, LoginUser::name());
        QVERIFY(t.pay(QStringLiteral("30")).posted);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 1);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("qkje>0")), 0);
        Query q(t.shop.db());
        q.setSql(QStringLiteral("select * from xiaoshoud"));
        QVERIFY(q.open());
        QCOMPARE(q.text(QStringLiteral("xm")), QStringLiteral("收银员小王"));
        QCOMPARE(q.text(QStringLiteral("ckmc")), QStringLiteral("门店货架"));
        QCOMPARE(q.text(QStringLiteral("hjje")), QStringLiteral("25.4"));
        QCOMPARE(q.text(QStringLiteral("zhaoje")), QStringLiteral("4.6"));
        QCOMPARE(q.number(QStringLiteral("qkje")), 0.0);
        QCOMPARE(q.number(QStringLiteral("hjsl")), 2.0);
    }

    // 5 tendered for 0.2 leaves (5 - 4.8) - 0.2 a hair above zero in floating point; the
    // stored open amount is kept to the fen, so the paid voucher never shows as held.
    void openAmountKeptToTheFen()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(
            t.shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,sale1,sale2) values('8004','塑料袋',0.2,0.2)")));
        QVERIFY(t.shop.exec(QStringLiteral("insert into kucun(spbh,spmc,sl) values('8004','塑料袋',100)")));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8004")));
        QVERIFY((5.0 - 4.8) - 0.2 > 0);
        QVERIFY(t.pay(QStringLiteral("5")).posted);
        QCOMPARE(t.shop.scalar(QStringLiteral("select zhaoje from xiaoshoud")).toDouble(), 4.8);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("qkje>0")), 0);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("qkje=0")), 1);
    }

    // The next number is the greatest of the day plus one, whatever was inserted last.
    void nextNumberAfterPosting()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(
            QStringLiteral("insert into xiaoshoud(djbh,rq,qkje,lkje) values('XS01202403050009','2024-03-05',0,1)")));
        QVERIFY(t.shop.exec(
            QStringLiteral("insert into xiaoshoud(djbh,rq,qkje,lkje) values('XS01202403050004','2024-03-05',0,1)")));
        QVERIFY(t.voucher->create());
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050005"));
        QVERIFY(t.scan(QStringLiteral("8001")));
        QCOMPARE(t.pay(QStringLiteral("20")).nextNumber, QStringLiteral("XS01202403050010"));
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050010"));
    }

    // Amounts that are not numbers are refused before anything is written.
    void refusals_data()
    {
        QTest::addColumn<QString>("tendered");
        QTest::addColumn<bool>("pressEnter");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty, Enter moves on") << QString() << true << QStringLiteral("请输入收款金额");
        QTest::newRow("blank") << QStringLiteral("  ") << false << QStringLiteral("请输入收款金额");
        QTest::newRow("not a number") << QStringLiteral("二十") << false
                                      << QStringLiteral("收款金额“二十”不是数字，请重新输入");
        QTest::newRow("change not worked out")
            << QStringLiteral("20") << false << QStringLiteral("还没有计算找还金额，请在收款金额处按回车");
        const QString badAmount = QStringLiteral("收款金额“%1”不对：收款金额必须在0到99999999.99之间，请重新输入");
        QTest::newRow("negative") << QStringLiteral("-50") << false << badAmount.arg(QStringLiteral("-50"));
        QTest::newRow("beyond any till") << QStringLiteral("1e308") << false << badAmount.arg(QStringLiteral("1e308"));
        QTest::newRow("infinite") << QStringLiteral("inf") << false
                                  << QStringLiteral("收款金额“inf”不是数字，请重新输入");
    }
    void refusals()
    {
        QFETCH(QString, tendered);
        QFETCH(bool, pressEnter);
        QFETCH(QString, message);
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8001")));
        const SaleHandover h = t.voucher->handover();
        Checkout c(SaleKind::sale(), h, t.ui);
        QVERIFY(c.create());
        c.setText(C::Sk, tendered);
        if (pressEnter) {
            c.enterPressed(C::Sk);
            QCOMPARE(c.focusField(), C::Zhao);
        }
        QVERIFY(!c.postSale());
        QVERIFY(!c.posted());
        QCOMPARE(t.ui.texts(), QStringList{message});
        QCOMPARE(c.focusField(), C::Sk);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 0);
        QCOMPARE(t.box(), 0.0);
        QCOMPARE(t.stock(QStringLiteral("8001")), 5.0);
        QVERIFY(!QFile::exists(t.shop.file(QStringLiteral("bill.txt"))));

        // A change worked out for an earlier amount goes when the amount changes.
        c.setText(C::Sk, QStringLiteral("20"));
        c.enterPressed(C::Sk);
        QCOMPARE(c.text(C::Zhao), QStringLiteral("7.5"));
        c.setText(C::Sk, QStringLiteral("50"));
        QCOMPARE(c.text(C::Zhao), QString());
    }

    // A failure part-way leaves nothing written; the second press applies everything once.
    void atomicPosting()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(QStringLiteral("88000001"));
        t.voucher->findMember();
        QVERIFY(t.scan(QStringLiteral("8001")));
        QVERIFY(t.scan(QStringLiteral("8002")));
        // The second stock update fails, after header, member, cash box and the first line.
        QVERIFY(t.shop.exec(QStringLiteral("create trigger fail_stock before update on kucun when old.spbh='8002' "
                                           "begin select raise(abort,'磁盘已满'); end")));
        const SaleHandover h = t.voucher->handover();
        Checkout c(SaleKind::sale(), h, t.ui);
        QVERIFY(c.create());
        c.setText(C::Sk, QStringLiteral("50"));
        c.enterPressed(C::Sk);
        QVERIFY(!c.postSale());
        QCOMPARE(t.ui.shown.size(), 1);
        QCOMPARE(t.ui.shown.last().kind, QStringLiteral("error"));
        QVERIFY(t.ui.lastText().contains(QStringLiteral("磁盘已满")));
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 0);
        QCOMPARE(t.box(), 0.0);
        QCOMPARE(t.stock(QStringLiteral("8001")), 5.0);
        QCOMPARE(t.number(QStringLiteral("select ljjf from hyinfo")), 0.0);
        QVERIFY(t.spool().isEmpty());

        QVERIFY(t.shop.exec(QStringLiteral("drop trigger fail_stock")));
        QVERIFY(c.postSale());
        QVERIFY(c.postSale()); // pressed again: nothing more
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 1);
        QCOMPARE(t.box(), 25.2);
        QCOMPARE(t.stock(QStringLiteral("8001")), 4.0);
        QCOMPARE(t.stock(QStringLiteral("8002")), 49.0);
        QCOMPARE(t.number(QStringLiteral("select ljjf from hyinfo")), 25.0);

        // A second checkout of the same voucher (another screen on the same number) is refused.
        ScriptedUi other;
        Checkout again(SaleKind::sale(), h, other);
        QVERIFY(again.create());
        again.setText(C::Sk, QStringLiteral("50"));
        again.enterPressed(C::Sk);
        QVERIFY(!again.postSale());
        QCOMPARE(other.texts(), QStringList{QStringLiteral("单据XS01202403050001已经过账，不能再次过账")});
        QCOMPARE(t.box(), 25.2);
        QCOMPARE(t.stock(QStringLiteral("8001")), 4.0);
    }

    // A printer that cannot be opened gets the short message, one that fails on the way the
    // error box; either way the sale stays posted, bill.txt stays for a reprint, the drawer
    // stays shut and the screen moves to the next number.
    void printerFails_data()
    {
        QTest::addColumn<QString>("device"); // in the shop's folder, or absolute
        QTest::addColumn<QString>("kind");
        QTest::newRow("cannot be opened") << QStringLiteral("no-such-folder/lp0") << QStringLiteral("message");
        QTest::newRow("takes no bytes") << QStringLiteral("/dev/full") << QStringLiteral("error");
    }
    void printerFails()
    {
        QFETCH(QString, device);
        QFETCH(QString, kind);
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        if (device.startsWith(QLatin1Char('/')) && !QFile::exists(device))
            QSKIP("no such device here");
        const QString path = device.startsWith(QLatin1Char('/')) ? device : t.shop.file(device);
        qputenv("POS_RECEIPT_DEVICE", path.toUtf8());
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8001")));
        const CheckoutAnswer a = t.pay(QStringLiteral("20"));
        QVERIFY(a.posted);
        QCOMPARE(t.ui.shown.size(), 1); // one report, and no second one from the drawer
        QCOMPARE(t.ui.shown.last().kind, kind);
        QCOMPARE(t.ui.lastText() == QStringLiteral("文件打开错误"), kind == QStringLiteral("message"));
        QCOMPARE(a.nextNumber, QStringLiteral("XS01202403050002"));
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050002"));
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("qkje=0")), 1);
        QCOMPARE(t.box(), 12.5);
        QVERIFY(t.bill().contains(QStringLiteral("合计:12.50")));
    }

    void voiceSetting()
    {
        Till t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        SaleHandover h;
        h.total = QStringLiteral("12.5");
        Checkout speaking(SaleKind::sale(), h, t.ui);
        QVERIFY(speaking.create());
        QVERIFY(speaking.speaksAmount());
        speaking.activate(); // no sound files here: nothing to report
        QVERIFY(t.ui.shown.isEmpty());
        QVERIFY(t.shop.exec(QStringLiteral("update xtsz set qt1=0")));
        Checkout quiet(SaleKind::sale(), h, t.ui);
        QVERIFY(quiet.create());
        QVERIFY(!quiet.speaksAmount());
    }
};

QTEST_GUILESS_MAIN(CheckoutTest)
#include "tst_checkout.moc"
