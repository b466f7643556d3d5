#include "accounts/Settlement.h"
#include "stock/StockFixture.h"

#include <QTest>

using namespace StockFixture;

Q_DECLARE_METATYPE(const SettlementKind*)

// Supplier settlement: the search with its filters, partial payments, the owed amount after a
// discount, returns, and the refusals that keep the voucher, the journal and the payment
// record together.
class SettlementTest : public QObject {
    Q_OBJECT

    using S = Settlement;

    struct Office {
        TestShop shop{true};
        ScriptedUi ui;
        const SettlementKind& kind;
        Settlement screen;

        explicit Office(const SettlementKind& k) : kind(k), screen(k, ui) {}
        bool open() { return shop.isValid() && screen.create(); }

        // A saved voucher as the goods voucher screen leaves it.
        bool voucher(const QString& djbh, const QString& rq, const QString& supplier, double total, double discount = 1)
        {
            return shop.exec(QStringLiteral("insert into %1(djbh,rq,sj,gysmc,zdy,zhekou,hjje,zkje,qkje,hkje) "
                                            "values(:DJBH,:RQ,'09:00:00',:GYS,'库管老李',:ZK,:HJ,:ZKJE,:ZKJE,0)")
                                 .arg(kind.headerTable),
                             {{QStringLiteral("DJBH"), djbh},
                              {QStringLiteral("RQ"), rq},
                              {QStringLiteral("GYS"), supplier},
                              {QStringLiteral("ZK"), discount},
                              {QStringLiteral("HJ"), total},
                              {QStringLiteral("ZKJE"), total * discount}});
        }
        // Settles the selected voucher with an amount, answering the confirmation with OK.
        bool settle(const QString& amount)
        {
            screen.setText(S::Fkje, amount);
            ui.confirms << true;
            return screen.settle();
        }
        double value(const QString& sql) { return shop.scalar(sql).toDouble(); }
        double header(const QString& column, const QString& djbh)
        {
            return value(QStringLiteral("select %1 from %2 where djbh='%3'").arg(column, kind.headerTable, djbh));
        }
        QStringList listed()
        {
            QStringList numbers;
            for (int i = 0; i < screen.vouchers().count(); ++i)
                numbers << screen.vouchers().text(i, QStringLiteral("djbh"));
            return numbers;
        }
    };

    static void addKinds()
    {
        QTest::addColumn<const SettlementKind*>("kind");
        QTest::newRow("payables") << &SettlementKind::payables();
        QTest::newRow("receivables") << &SettlementKind::receivables();
    }

private Q_SLOTS:
    void init() { startDay(); }
    void cleanup() { endDay(); }

    // 40 then 60 on a voucher of 100: paid and owed move together, each settlement writes its
    // journal row and its payment record, and the status lists follow.
    void partialPayments_data() { addKinds(); }
    void partialPayments()
    {
        QFETCH(const SettlementKind*, kind);
        Office t(*kind);
        QVERIFY(t.open());
        QCOMPARE(t.screen.text(S::Rq1), QStringLiteral("2024-03-05"));
        QVERIFY(
            t.voucher(QStringLiteral("X1"), QStringLiteral("2024-03-05"), QStringLiteral("昆明惠民食品批发部"), 100));
        t.screen.setText(S::Lx, kind->openStatus);
        QVERIFY(t.screen.search());
        QCOMPARE(t.listed(), QStringList{QStringLiteral("X1")});
        QCOMPARE(t.screen.text(S::Fkje), QStringLiteral("100"));
        QCOMPARE(t.screen.voucherLines().count(), 0);

        QVERIFY(t.settle(QStringLiteral("40")));
        QCOMPARE(t.ui.confirmTexts.last(), QStringLiteral("确实要结算该单据吗?"));
        QCOMPARE(t.ui.lastText(), QStringLiteral("结算成功"));
        QCOMPARE(t.header(QStringLiteral("hkje"), QStringLiteral("X1")), 40.0);
        QCOMPARE(t.header(QStringLiteral("qkje"), QStringLiteral("X1")), 60.0);
        // The list was searched again: still open, the amount field offers the rest.
        QCOMPARE(t.listed(), QStringList{QStringLiteral("X1")});
        QCOMPARE(t.screen.text(S::Fkje), QStringLiteral("60"));

        QVERIFY(t.settle(QStringLiteral("60")));
        QCOMPARE(t.header(QStringLiteral("hkje"), QStringLiteral("X1")), 100.0);
        QCOMPARE(t.header(QStringLiteral("qkje"), QStringLiteral("X1")), 0.0);
        QCOMPARE(t.listed(), QStringList());
        t.screen.setText(S::Lx, kind->settledStatus);
        QVERIFY(t.screen.search());
        QCOMPARE(t.listed(), QStringList{QStringLiteral("X1")});

        const bool pay = kind == &SettlementKind::payables();
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 2);
        QCOMPARE(t.shop.scalar(QStringLiteral("select neirong from xjls")).toString(),
                 pay ? QStringLiteral("入库应付款") : QStringLiteral("退货应收款"));
        QCOMPARE(t.value(QStringLiteral("select ye from xjls order by rowid desc limit 1")), pay ? -100.0 : 100.0);
        QCOMPARE(t.value(QStringLiteral("select sum(jiaje) from xjls")), pay ? 0.0 : 100.0);
        QCOMPARE(t.value(QStringLiteral("select sum(jianje) from xjls")), pay ? -100.0 : 0.0);
        QCOMPARE(t.shop.scalar(QStringLiteral("select shuoming from xjls")).toString(),
                 (pay ? QStringLiteral("付") : QStringLiteral("收退货")) + QStringLiteral("昆明惠民食品批发部"));
        QCOMPARE(t.shop.scalar(QStringLiteral("select czy from xjls")).toString(), QStringLiteral("库管老李"));
        QCOMPARE(t.shop.scalar(QStringLiteral("select sj from xjls")).toString(),
                 QStringLiteral("2024-03-05 14:05:09"));
        QCOMPARE(t.shop.count(kind->paymentTable), 2);
        QCOMPARE(t.value(QStringLiteral("select sum(jine) from %1").arg(kind->paymentTable)), 100.0);
        QCOMPARE(t.shop.count(pay ? QStringLiteral("jine2") : QStringLiteral("jine")), 0);
    }

    // A voucher of 100 saved with discount 0.9 owes 90: paying 90 settles it.
    void discountedVoucher()
    {
        Desk desk(GoodsKind::stockIn());
        QVERIFY(desk.open());
        QVERIFY(addProduct(desk.shop, QStringLiteral("8001"), QStringLiteral("整箱货"), 10.0, 15.0, 0));
        desk.voucher->newVoucher();
        desk.voucher->setText(GoodsVoucher::Zhekou, QStringLiteral("0.9"));
        QVERIFY(desk.enter(QStringLiteral("8001"), QStringLiteral("10")));
        QVERIFY(desk.save());

        ScriptedUi ui;
        Settlement screen(SettlementKind::payables(), ui);
        QVERIFY(screen.create());
        QVERIFY(screen.search());
        QCOMPARE(screen.text(S::Fkje), QStringLiteral("90"));
        screen.setText(S::Fkje, QStringLiteral("100"));
        ui.confirms << true;
        QVERIFY(!screen.settle());
        QCOMPARE(ui.lastText(), QStringLiteral("结算金额“100”不正确，应大于0且不超过欠款金额90.00"));
        screen.setText(S::Fkje, QStringLiteral("90"));
        QVERIFY(screen.settle());
        QCOMPARE(desk.value(QStringLiteral("select hkje from jinhuodan")), 90.0);
        QCOMPARE(desk.value(QStringLiteral("select qkje from jinhuodan")), 0.0);
        screen.setText(S::Lx, QStringLiteral("已付"));
        QVERIFY(screen.search());
        QCOMPARE(screen.vouchers().count(), 1);
        screen.setText(S::Lx, QStringLiteral("未付"));
        QVERIFY(screen.search());
        QCOMPARE(screen.vouchers().count(), 0);
    }

    // The amount field offers what the voucher owes as saved, fractions of a cent included
    // (quantities by weight, discounts); that amount settles the voucher in full.
    void offeredAmountSettles_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("discount");
        QTest::addColumn<QString>("offered");
        QTest::newRow("1.16 at 0.9: 1.044, rounds down") << 1.16 << 0.9 << QStringLiteral("1.044");
        QTest::newRow("1.15 at 0.9: 1.035, rounds up") << 1.15 << 0.9 << QStringLiteral("1.035");
        QTest::newRow("10.05 at 0.9: 9.045 plus a binary rest") << 10.05 << 0.9 << QStringLiteral("9.045");
        QTest::newRow("3.333 at 1") << 3.333 << 1.0 << QStringLiteral("3.333");
    }
    void offeredAmountSettles()
    {
        QFETCH(double, total);
        QFETCH(double, discount);
        QFETCH(QString, offered);
        Office t(SettlementKind::payables());
        QVERIFY(t.open());
        QVERIFY(t.voucher(QStringLiteral("A1"), QStringLiteral("2024-03-05"), QStringLiteral("甲"), total, discount));
        QVERIFY(t.screen.search());
        QCOMPARE(t.screen.text(S::Fkje), offered);
        t.ui.confirms << true;
        QVERIFY2(t.screen.settle(), qPrintable(t.ui.lastText()));
        QCOMPARE(t.header(QStringLiteral("qkje"), QStringLiteral("A1")), 0.0);
        QCOMPARE(t.header(QStringLiteral("hkje"), QStringLiteral("A1")), offered.toDouble());
        t.screen.setText(S::Lx, QStringLiteral("已付"));
        QVERIFY(t.screen.search());
        QCOMPARE(t.listed(), QStringList{QStringLiteral("A1")});
    }

    // A return saved by the return voucher screen owes what the supplier pays back: it shows
    // under "未收" with that amount, and the refund goes into jine2 and raises the journal.
    void savedReturn()
    {
        Desk desk(GoodsKind::supplierReturn());
        QVERIFY(desk.open());
        desk.voucher->newVoucher();
        QVERIFY(desk.enter(QStringLiteral("1001"), QStringLiteral("10"))); // 1.6 each
        QVERIFY(desk.save(QStringLiteral("云南日化用品配送中心")));

        ScriptedUi ui;
        Settlement screen(SettlementKind::receivables(), ui);
        QVERIFY(screen.create());
        screen.setText(S::Lx, QStringLiteral("未收"));
        QVERIFY(screen.search());
        QCOMPARE(screen.vouchers().count(), 1);
        QCOMPARE(screen.text(S::Fkje), QStringLiteral("16"));
        QCOMPARE(screen.voucherLines().count(), 1);
        QCOMPARE(screen.voucherLines().text(0, QStringLiteral("spbh")), QStringLiteral("1001"));
        ui.confirms << true;
        QVERIFY(screen.settle());
        QCOMPARE(desk.value(QStringLiteral("select qkje from jinhuodanth")), 0.0);
        QCOMPARE(desk.value(QStringLiteral("select jine from jine2")), 16.0);
        QCOMPARE(desk.value(QStringLiteral("select ye from xjls")), 16.0);
        QCOMPARE(desk.shop.scalar(QStringLiteral("select shuoming from xjls")).toString(),
                 QStringLiteral("收退货云南日化用品配送中心"));
    }

    // The search: period bounds included, the supplier and number filters trimmed, the status.
    void search_data()
    {
        QTest::addColumn<QString>("gys");
        QTest::addColumn<QString>("rkd");
        QTest::addColumn<QString>("lx");
        QTest::addColumn<QStringList>("listed");
        const QString a = QStringLiteral("甲供应商");
        QTest::newRow("everything of the period")
            << QString() << QString() << QString()
            << QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("B1"), QStringLiteral("C1")};
        QTest::newRow("supplier, blanks trimmed") << QStringLiteral(" 甲供应商 ") << QString() << QString()
                                                  << QStringList{QStringLiteral("A1"), QStringLiteral("A2")};
        QTest::newRow("number") << QString() << QStringLiteral(" A2") << QString() << QStringList{QStringLiteral("A2")};
        QTest::newRow("unpaid") << QString() << QString() << QStringLiteral("未付")
                                << QStringList{QStringLiteral("A1"), QStringLiteral("B1")};
        QTest::newRow("paid") << QString() << QString() << QStringLiteral("已付") << QStringList{QStringLiteral("A2")};
        QTest::newRow("all") << QString() << QString() << QStringLiteral("全部")
                             << QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("B1"),
                                            QStringLiteral("C1")};
        QTest::newRow("a status typed that is not an item")
            << QString() << QString() << QStringLiteral("未")
            << QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("B1"), QStringLiteral("C1")};
        QTest::newRow("blank supplier matches nobody")
            << QStringLiteral("  ") << QString() << QString() << QStringList();
    }
    void search()
    {
        QFETCH(QString, gys);
        QFETCH(QString, rkd);
        QFETCH(QString, lx);
        QFETCH(QStringList, listed);
        Office t(SettlementKind::payables());
        QVERIFY(t.open());
        QVERIFY(t.voucher(QStringLiteral("A0"), QStringLiteral("2024-02-29"), QStringLiteral("甲供应商"), 10));
        QVERIFY(t.voucher(QStringLiteral("A1"), QStringLiteral("2024-03-01"), QStringLiteral("甲供应商"), 10));
        QVERIFY(t.voucher(QStringLiteral("A2"), QStringLiteral("2024-03-03"), QStringLiteral("甲供应商"), 20));
        QVERIFY(t.voucher(QStringLiteral("B1"), QStringLiteral("2024-03-05"), QStringLiteral("乙供应商"), 30));
        QVERIFY(t.voucher(QStringLiteral("B2"), QStringLiteral("2024-03-06"), QStringLiteral("乙供应商"), 30));
        QVERIFY(t.shop.exec(QStringLiteral("update jinhuodan set hkje=20,qkje=0 where djbh='A2'")));
        // A voucher without an owed amount (as older returns were saved) shows without a status only.
        QVERIFY(t.voucher(QStringLiteral("C1"), QStringLiteral("2024-03-05"), QStringLiteral("丙供应商"), 40));
        QVERIFY(t.shop.exec(QStringLiteral("update jinhuodan set hkje=null,qkje=null where djbh='C1'")));
        t.screen.setText(S::Rq1, QStringLiteral("2024-03-01"));
        t.screen.setText(S::Gys, gys);
        t.screen.setText(S::Rkd, rkd);
        t.screen.setText(S::Lx, lx);
        QVERIFY(t.screen.search());
        QCOMPARE(t.listed(), listed);
        QCOMPARE(t.screen.currentRow(), listed.isEmpty() ? -1 : 0);
        QCOMPARE(t.screen.text(S::Fkje),
                 listed.isEmpty() ? QString() : t.screen.vouchers().text(0, QStringLiteral("qkje")));
    }

    // Moving in the list refills the amount with the selected voucher's owed amount.
    void navigation()
    {
        Office t(SettlementKind::payables());
        QVERIFY(t.open());
        QVERIFY(t.voucher(QStringLiteral("A1"), QStringLiteral("2024-03-05"), QStringLiteral("甲"), 10));
        QVERIFY(t.voucher(QStringLiteral("A2"), QStringLiteral("2024-03-05"), QStringLiteral("甲"), 20));
        QVERIFY(t.voucher(QStringLiteral("A3"), QStringLiteral("2024-03-05"), QStringLiteral("甲"), 30));
        QVERIFY(t.screen.search());
        t.screen.last();
        QCOMPARE(t.screen.text(S::Fkje), QStringLiteral("30"));
        t.screen.next();
        QCOMPARE(t.screen.currentRow(), 2);
        t.screen.prior();
        QCOMPARE(t.screen.text(S::Fkje), QStringLiteral("20"));
        t.screen.first();
        QCOMPARE(t.screen.text(S::Fkje), QStringLiteral("10"));
        t.screen.setText(S::Fkje, QStringLiteral("5"));
        t.screen.setCurrentRow(1);
        QVERIFY(t.settle(QStringLiteral("5")));
        QCOMPARE(t.header(QStringLiteral("qkje"), QStringLiteral("A2")), 15.0);
        QCOMPARE(t.header(QStringLiteral("qkje"), QStringLiteral("A1")), 10.0);
    }

    // An amount that is not a number, not above 0 or above what is owed is refused with the owed
    // amount named; so is a settlement with nothing selected. Nothing is written.
    void refusals_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        const QString rule = QStringLiteral("结算金额“%1”不正确，应大于0且不超过欠款金额60.00");
        QTest::newRow("empty") << QString() << rule.arg(QString());
        QTest::newRow("not a number") << QStringLiteral("六十") << rule.arg(QStringLiteral("六十"));
        QTest::newRow("zero") << QStringLiteral("0") << rule.arg(QStringLiteral("0"));
        QTest::newRow("negative") << QStringLiteral("-5") << rule.arg(QStringLiteral("-5"));
        QTest::newRow("more than owed") << QStringLiteral("60.01") << rule.arg(QStringLiteral("60.01"));
        QTest::newRow("not finite") << QStringLiteral("inf") << rule.arg(QStringLiteral("inf"));
    }
    void refusals()
    {
        QFETCH(QString, amount);
        QFETCH(QString, message);
        Office t(SettlementKind::payables());
        QVERIFY(t.open());
        QVERIFY(t.voucher(QStringLiteral("A1"), QStringLiteral("2024-03-05"), QStringLiteral("甲"), 100));
        QVERIFY(t.shop.exec(QStringLiteral("update jinhuodan set hkje=40,qkje=60")));
        QVERIFY(t.screen.search());
        t.screen.setText(S::Fkje, amount);
        QVERIFY(!t.screen.settle());
        QCOMPARE(t.ui.texts(), QStringList{message});
        QCOMPARE(t.screen.focusField(), S::Fkje);
        QVERIFY(t.ui.confirmTexts.isEmpty());
        QCOMPARE(t.header(QStringLiteral("hkje"), QStringLiteral("A1")), 40.0);
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 0);
        QCOMPARE(t.shop.count(QStringLiteral("jine")), 0);
    }

    void nothingToSettle()
    {
        Office t(SettlementKind::receivables());
        QVERIFY(t.open());
        t.screen.setText(S::Fkje, QStringLiteral("10"));
        QVERIFY(!t.screen.settle());
        QCOMPARE(t.ui.lastText(), QStringLiteral("请先查询并选中要结算的单据"));

        // Settled already, or cancelled at the question: nothing written.
        QVERIFY(t.voucher(QStringLiteral("T1"), QStringLiteral("2024-03-05"), QStringLiteral("甲"), 10));
        QVERIFY(t.screen.search());
        t.ui.confirms << false;
        t.screen.setText(S::Fkje, QStringLiteral("10"));
        QVERIFY(!t.screen.settle());
        QCOMPARE(t.header(QStringLiteral("qkje"), QStringLiteral("T1")), 10.0);
        QVERIFY(t.settle(QStringLiteral("10")));
        t.screen.setText(S::Fkje, QStringLiteral("10"));
        QVERIFY(!t.screen.settle());
        QCOMPARE(t.ui.lastText(), QStringLiteral("单据“T1”已经结清，欠款金额为0.00"));
        QCOMPARE(t.shop.count(QStringLiteral("jine2")), 1);
    }

    // A failure in the payment record undoes the voucher update and the journal row.
    void settlementIsOneTransaction()
    {
        Office t(SettlementKind::payables());
        QVERIFY(t.open());
        QVERIFY(t.voucher(QStringLiteral("A1"), QStringLiteral("2024-03-05"), QStringLiteral("甲"), 100));
        QVERIFY(t.shop.exec(QStringLiteral("create trigger closed before insert on jine "
                                           "begin select raise(abort,'账期已结'); end")));
        QVERIFY(t.screen.search());
        QVERIFY(!t.settle(QStringLiteral("30")));
        QCOMPARE(t.ui.shown.last().kind, QStringLiteral("error"));
        QVERIFY(t.ui.lastText().contains(QStringLiteral("账期已结")));
        QCOMPARE(t.header(QStringLiteral("qkje"), QStringLiteral("A1")), 100.0);
        QCOMPARE(t.header(QStringLiteral("hkje"), QStringLiteral("A1")), 0.0);
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 0);
    }

    void supplierPicker_data() { addKinds(); }
    void supplierPicker()
    {
        QFETCH(const SettlementKind*, kind);
        Office t(*kind);
        QVERIFY(t.open());
        t.ui.pickAnswers << QStringList{QStringLiteral("昆明惠民食品批发部")} << QStringList{QStringLiteral("~")};
        t.screen.pickSupplier();
        QCOMPARE(t.ui.pickers.last().formName, kind->supplierPicker);
        QCOMPARE(t.screen.text(S::Gys), QStringLiteral("昆明惠民食品批发部"));
        t.screen.pickSupplier();
        QCOMPARE(t.screen.text(S::Gys), QStringLiteral("昆明惠民食品批发部"));
    }
};

QTEST_GUILESS_MAIN(SettlementTest)
#include "tst_settlement.moc"
