#include "SalesFixture.h"

#include "core/Dialogs.h"

#include <QTest>

#include <functional>

using namespace SalesFixture;

// The cashier's voucher screen: finding products, lines and totals, member prices, hold,
// recall, delete and void, and the numbers they draw.
class SalesVoucherTest : public QObject {
    Q_OBJECT

    using V = SalesVoucher;

    // A demonstration shop and a sales screen on it.
    struct Sale : Counter {
        Sale() : Counter(SaleKind::sale()) {}
        // The lines under the screen's current number.
        int voucherLines()
        {
            return shop.count(kind.lineTable, QStringLiteral("djbh='%1'").arg(voucher->text(V::Djbh)));
        }
    };

private Q_SLOTS:
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void creation()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050001"));
        QCOMPARE(t.voucher->text(V::Rq), QStringLiteral("2024-03-05"));
        QCOMPARE(t.voucher->text(V::Czy), QStringLiteral("收银员小王"));
        QCOMPARE(t.voucher->text(V::Zhekou), QStringLiteral("1"));
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("非会员"));
        QCOMPARE(t.voucher->warehouses(), (QStringList{QStringLiteral("主仓库"), QStringLiteral("门店货架")}));
        QCOMPARE(t.voucher->text(V::Ck), QStringLiteral("主仓库"));
        QCOMPARE(t.voucher->text(V::Hjje), QString());
        QCOMPARE(t.voucher->focusField(), V::Spmc);
        QVERIFY(!t.voucher->gridLoaded());
        QVERIFY(!t.voucher->priceReadOnly()); // demo settings: jia = 0

        QVERIFY(t.shop.exec(QStringLiteral("update xtsz set jia=1")));
        SalesVoucher locked(SaleKind::sale(), t.ui);
        QVERIFY(locked.create());
        QVERIFY(locked.priceReadOnly());
        QVERIFY(t.ui.shown.isEmpty());
    }

    void isPinyinCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pinyin");
        QTest::newRow("letters") << QStringLiteral("kkl") << true;
        QTest::newRow("upper and lower") << QStringLiteral("KsF") << true;
        QTest::newRow("blanks around") << QStringLiteral(" ab ") << true;
        QTest::newRow("blank only") << QStringLiteral("   ") << true;
        QTest::newRow("letter and digit") << QStringLiteral("kk1") << false;
        QTest::newRow("digits") << QStringLiteral("1001") << false;
        QTest::newRow("inner blank") << QStringLiteral("a b") << false;
        QTest::newRow("chinese") << QStringLiteral("可乐") << false;
    }
    void isPinyinCode()
    {
        QFETCH(QString, text);
        QFETCH(bool, pinyin);
        QCOMPARE(SalesVoucher::isPinyinCode(text), pinyin);
    }

    // Product number first, then barcode; letters only: pinyin code and nothing else.
    void lookupOrder_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("spbh"); // empty: not found
        QTest::newRow("product number") << QStringLiteral("1001") << QStringLiteral("1001");
        QTest::newRow("barcode") << barcodeOf("690000100200") << QStringLiteral("1002");
        QTest::newRow("number beats barcode") << QStringLiteral("7777") << QStringLiteral("7777");
        QTest::newRow("pinyin code") << QStringLiteral("BSKL") << QStringLiteral("1002");
        QTest::newRow("pinyin code, any case") << QStringLiteral("bskl") << QStringLiteral("1002");
        QTest::newRow("letters are never a number") << QStringLiteral("kkl") << QString();
        QTest::newRow("letters and a digit: barcode") << QStringLiteral("kk1") << QStringLiteral("9002");
        QTest::newRow("unknown") << QStringLiteral("123456") << QString();
    }
    void lookupOrder()
    {
        QFETCH(QString, code);
        QFETCH(QString, spbh);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        // 7777 is one product's number and another's barcode; "kkl" is a product number only.
        QVERIFY(addProduct(t.shop, QStringLiteral("7777"), QStringLiteral("编号商品"), 1.0, 1.0, QStringLiteral("BHSP"),
                           QStringLiteral("111"), 5));
        QVERIFY(addProduct(t.shop, QStringLiteral("9001"), QStringLiteral("条码商品"), 1.0, 1.0, QStringLiteral("TMSP"),
                           QStringLiteral("7777"), 5));
        QVERIFY(addProduct(t.shop, QStringLiteral("kkl"), QStringLiteral("字母编号"), 1.0, 1.0, QStringLiteral("ZMBH"),
                           QStringLiteral("222"), 5));
        QVERIFY(addProduct(t.shop, QStringLiteral("9002"), QStringLiteral("字母条码"), 1.0, 1.0, QStringLiteral("KK"),
                           QStringLiteral("kk1"), 5));
        QVERIFY(t.voucher->create());
        const bool added = t.scan(code);
        if (spbh.isEmpty()) {
            QVERIFY(!added);
            QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("查无此商品，请重新输入")});
            QCOMPARE(t.voucher->text(V::Spmc), code);
            QCOMPARE(t.voucher->focusField(), V::Spmc);
            QVERIFY(t.voucher->focusSelectAll());
            QCOMPARE(t.voucherLines(), 0);
        } else {
            QVERIFY2(added, qPrintable(t.ui.texts().join(QLatin1Char('|'))));
            QCOMPARE(t.shop.scalar(QStringLiteral("select spbh from xiaoshoudrecord")).toString(), spbh);
        }
    }

    // Scanning one code three times: three lines of 1, totals 3 and three times the price.
    void threeScans()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        const QString code = barcodeOf("690000100100");
        for (int i = 0; i < 3; ++i)
            QVERIFY(t.scan(code));
        QCOMPARE(t.voucher->text(V::Hjsl), QStringLiteral("3"));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("7.5"));
        QVERIFY(t.voucher->gridLoaded());
        QCOMPARE(t.voucher->lines().count(), 3);
        QCOMPARE(t.voucher->lines().text(0, QStringLiteral("spmc")), QStringLiteral("可口可乐"));
        QCOMPARE(t.voucher->text(V::Sl), QString());
        QCOMPARE(t.voucher->text(V::Shoujia), QString());
        QCOMPARE(t.voucher->focusField(), V::Spmc);
        QCOMPARE(t.shop
                     .scalar(QStringLiteral("select count(*) from xiaoshoudrecord where djbh='XS01202403050001' and "
                                            "sl=1 and sale1=2.5 and jine=2.5 and zhekou=1 and zhekouje=2.5 and "
                                            "rq='2024-03-05' and spgg='330ml' and splb='饮料' and spjl='瓶'"))
                     .toInt(),
                 3);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 0); // no header until hold or checkout
        QVERIFY(t.ui.shown.isEmpty());
    }

    // Only zero or negative stock is refused, and not at all with ku = 1.
    void stockCheck_data()
    {
        QTest::addColumn<QVariant>("stock"); // invalid: no stock row
        QTest::addColumn<int>("ku");
        QTest::addColumn<bool>("added");
        QTest::newRow("no stock row") << QVariant() << 0 << false;
        QTest::newRow("stock 0") << QVariant(0.0) << 0 << false;
        QTest::newRow("stock -2") << QVariant(-2.0) << 0 << false;
        QTest::newRow("stock 0.5") << QVariant(0.5) << 0 << true;
        QTest::newRow("no stock row, ku 1") << QVariant() << 1 << true;
        QTest::newRow("stock 0, ku 1") << QVariant(0.0) << 1 << true;
    }
    void stockCheck()
    {
        QFETCH(QVariant, stock);
        QFETCH(int, ku);
        QFETCH(bool, added);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(addProduct(t.shop, QStringLiteral("8001"), QStringLiteral("测试商品"), 3.0, 2.8, QStringLiteral("CS"),
                           QStringLiteral("8001x"), stock));
        QVERIFY(t.shop.exec(QStringLiteral("update xtsz set ku=:KU"), {{QStringLiteral("KU"), ku}}));
        QVERIFY(t.voucher->create());
        QCOMPARE(t.scan(QStringLiteral("8001")), added);
        QCOMPARE(t.voucherLines(), added ? 1 : 0);
        if (!added) {
            QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("该商品库存为零不能销售")});
            QCOMPARE(t.voucher->text(V::Spmc), QStringLiteral("8001"));
            QVERIFY(t.voucher->focusSelectAll());
        } else {
            QVERIFY(t.ui.shown.isEmpty());
        }
    }

    // The member price applies to products scanned after the member was found, never to a
    // product added through the picker.
    void memberPrice()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("1001"))); // before the member: 2.5
        t.ui.promptAnswers.enqueue(QStringLiteral("88000001"));
        t.voucher->findMember();
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("会员"));
        QCOMPARE(t.voucher->memberCard(), QStringLiteral("88000001"));
        QVERIFY(t.scan(QStringLiteral("1001"))); // 2.3

        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("1002"), QStringLiteral("百事可乐")});
        t.voucher->pickProduct();
        QCOMPARE(t.ui.pickers.last().formName, QStringLiteral("Tsphelp2_form"));
        QCOMPARE(t.voucher->text(V::Spmc), QStringLiteral("百事可乐"));
        QCOMPARE(t.voucher->focusField(), V::Sl);
        t.voucher->setText(V::Sl, QStringLiteral("2"));
        t.voucher->enterPressed(V::Sl);
        QCOMPARE(t.voucher->text(V::Shoujia), QStringLiteral("2.5"));
        QCOMPARE(t.voucher->focusField(), V::Shoujia);
        t.voucher->enterPressed(V::Shoujia);
        QCOMPARE(t.voucher->text(V::Spmc), QString());

        Query q(t.shop.db());
        q.setSql(QStringLiteral("select spbh,sl,sale1,jine from xiaoshoudrecord order by ID"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 3);
        const QStringList expected{QStringLiteral("1001 1 2.5 2.5"), QStringLiteral("1001 1 2.3 2.3"),
                                   QStringLiteral("1002 2 2.5 5")};
        for (int r = 0; r < 3; ++r) {
            QStringList got;
            for (const char* c : {"spbh", "sl", "sale1", "jine"})
                got << q.text(r, QString::fromLatin1(c));
            QCOMPARE(got.join(QLatin1Char(' ')), expected[r]);
        }
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("9.8"));
    }

    // The discount is stored on each line; the totals are undiscounted.
    void discountPerLine()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(addProduct(t.shop, QStringLiteral("8001"), QStringLiteral("十元商品"), 10.0, 9.0, QStringLiteral("SY"),
                           QStringLiteral("8001x"), 50));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.voucher->discountReadOnly());
        t.voucher->editDiscount();
        QVERIFY(!t.voucher->discountReadOnly());
        QCOMPARE(t.voucher->focusField(), V::Zhekou);
        QVERIFY(t.voucher->focusSelectAll());
        t.voucher->setText(V::Zhekou, QStringLiteral("0.9"));
        t.voucher->enterPressed(V::Zhekou);
        QVERIFY(t.voucher->discountReadOnly());
        QCOMPARE(t.voucher->focusField(), V::Spmc);
        QVERIFY(t.scan(QStringLiteral("8001")));
        // Quantity 2 through the quantity field.
        t.voucher->setText(V::Sl, QStringLiteral("2"));
        t.voucher->setText(V::Spmc, QStringLiteral("十元商品"));
        t.voucher->enterPressed(V::Sl);
        t.voucher->enterPressed(V::Shoujia);
        QCOMPARE(t.shop
                     .scalar(QStringLiteral("select count(*) from xiaoshoudrecord where spbh='8001' and sl=2 and "
                                            "jine=20 and zhekou=0.9 and abs(zhekouje-18)<1e-9"))
                     .toInt(),
                 1);
        QCOMPARE(t.shop.scalar(QStringLiteral("select zhekou from xiaoshoudrecord where spbh='1001'")).toDouble(), 1.0);
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("32.5"));
        QCOMPARE(t.voucher->text(V::Hjsl), QStringLiteral("4"));
    }

    // The Enter order of the header fields.
    void enterOrder_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("next");
        QTest::newRow("djbh") << V::Djbh << V::Czy;
        QTest::newRow("czy") << V::Czy << V::Rq;
        QTest::newRow("rq") << V::Rq << V::Ck;
        QTest::newRow("ck") << V::Ck << V::Zhekou;
        QTest::newRow("zhekou") << V::Zhekou << V::Spmc;
        QTest::newRow("kh") << V::Kh << V::Spmc;
        QTest::newRow("empty spmc") << V::Spmc << V::Sl;
        QTest::newRow("sl") << V::Sl << V::Shoujia;
    }
    void enterOrder()
    {
        QFETCH(QString, field);
        QFETCH(QString, next);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.voucher->setFocusField(field);
        t.voucher->enterPressed(field);
        QCOMPARE(t.voucher->focusField(), next);
        QVERIFY(t.ui.shown.isEmpty());
    }

    // F7 removes every line of the selected product; with the last product gone both totals
    // are empty and PgDn has nothing to take payment for.
    void deleteLine()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        for (const char* code : {"1001", "1002", "1001"})
            QVERIFY(t.scan(QString::fromLatin1(code)));
        t.ui.confirms.enqueue(false);
        t.voucher->setCurrentLine(2);
        t.voucher->deleteLine();
        QCOMPARE(t.voucherLines(), 3);

        t.ui.confirms.enqueue(true);
        t.voucher->setCurrentLine(2);
        t.voucher->deleteLine();
        QCOMPARE(t.ui.confirmTexts.last(), QStringLiteral("确实要删除该记录吗?"));
        QCOMPARE(t.voucherLines(), 1);
        QCOMPARE(t.voucher->text(V::Hjsl), QStringLiteral("1"));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("2.5"));

        t.ui.confirms.enqueue(true);
        t.voucher->setCurrentLine(0);
        t.voucher->deleteLine();
        QCOMPARE(t.voucherLines(), 0);
        QCOMPARE(t.voucher->text(V::Hjsl), QString());
        QCOMPARE(t.voucher->text(V::Hjje), QString());
        QVERIFY(!t.checkoutOpens());
        QCOMPARE(t.ui.lastText(), QStringLiteral("还没有销售商品"));
    }

    // Hold writes a header and starts the next number; recall brings the voucher back; holding
    // it again keeps one header; void deletes it all and gives the number back.
    void holdRecallVoid()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(!t.voucher->holdVoucher()); // nothing loaded: nothing happens
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 0);

        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.scan(QStringLiteral("2003")));
        t.voucher->pressF5();
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050002"));
        QCOMPARE(t.voucher->text(V::Hjsl), QStringLiteral("0"));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("0"));
        QVERIFY(!t.voucher->gridLoaded());
        QCOMPARE(t.shop
                     .scalar(QStringLiteral(
                         "select count(*) from xiaoshoud where djbh='XS01202403050001' and "
                         "hjje=10.4 and zhje=10.4 and qkje=10.4 and xm='收银员小王' and "
                         "rq='2024-03-05' and sj='14:05:09' and khmc='非会员' and ckmc='主仓库' and hjsl=2"))
                     .toInt(),
                 1);

        // PgDn on the empty voucher after a hold ("0" in the total).
        QVERIFY(!t.checkoutOpens());
        QCOMPARE(t.ui.lastText(), QStringLiteral("还没有销售商品"));

        // Recall, add a line, hold again: still one header, with the new total.
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("XS01202403050001")});
        t.voucher->pressF6();
        QCOMPARE(t.ui.pickers.last().formName, QStringLiteral("Tsphelp3_form"));
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050001"));
        QCOMPARE(t.voucher->lines().count(), 2);
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("10.4"));
        QVERIFY(t.scan(QStringLiteral("1001")));
        t.voucher->pressF5();
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("djbh='XS01202403050001'")), 1);
        QCOMPARE(t.shop.scalar(QStringLiteral("select qkje from xiaoshoud where djbh='XS01202403050001'")).toDouble(),
                 12.9);
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050002"));

        // A cancelled recall changes nothing.
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("~")});
        t.voucher->recallVoucher();
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050002"));

        // Void of the recalled voucher: header and lines go, and its number comes back as the
        // day's last.
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("XS01202403050001")});
        t.voucher->recallVoucher();
        t.ui.confirms.enqueue(false);
        t.voucher->voidVoucher();
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 1);
        t.ui.confirms.enqueue(true);
        t.voucher->voidVoucher();
        QCOMPARE(t.ui.confirmTexts.last(), QStringLiteral("确实作废此单吗?"));
        QCOMPARE(t.ui.lastText(), QStringLiteral("操作成功"));
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), 0);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050001"));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("0"));
        QVERIFY(t.ui.unexpected.isEmpty());
    }

    // Lines left by a screen that was closed show as soon as the number is drawn again.
    void leftoverLinesShown()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.scan(QStringLiteral("1002")));
        // Closed without hold or payment, and the screen opened again.
        t.voucher = std::make_unique<SalesVoucher>(SaleKind::sale(), t.ui);
        QVERIFY(t.voucher->create());
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050001"));
        QVERIFY(t.voucher->gridLoaded());
        QCOMPARE(t.voucher->lines().count(), 2);
        QCOMPARE(t.voucher->text(V::Hjsl), QStringLiteral("2"));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("5"));
        t.ui.confirms.enqueue(true);
        t.voucher->voidVoucher();
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);
        QVERIFY(!t.voucher->gridLoaded());
    }

    // A line needs a product, and every number it stores must be one: otherwise a clear
    // message and nothing written.
    void addLineRefusals_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("message");
        QTest::newRow("quantity") << QStringLiteral("abc") << QStringLiteral("2.5") << QStringLiteral("1")
                                  << QStringLiteral("数量“abc”不是数字，请重新输入");
        QTest::newRow("empty quantity") << QString() << QStringLiteral("2.5") << QStringLiteral("1")
                                        << QStringLiteral("数量“”不是数字，请重新输入");
        QTest::newRow("price") << QStringLiteral("1") << QStringLiteral("2,5") << QStringLiteral("1")
                               << QStringLiteral("售价“2,5”不是数字，请重新输入");
        QTest::newRow("discount") << QStringLiteral("1") << QStringLiteral("2.5") << QStringLiteral("九折")
                                  << QStringLiteral("折扣“九折”不是数字，请按F12修改折扣");
    }
    void addLineRefusals()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, discount);
        QFETCH(QString, message);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.voucher->setText(V::Zhekou, discount);
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("1001"), QStringLiteral("可口可乐")});
        t.voucher->pickProduct();
        t.voucher->setText(V::Sl, quantity);
        t.voucher->setText(V::Shoujia, price);
        t.voucher->enterPressed(V::Shoujia);
        QCOMPARE(t.ui.texts(), QStringList{message});
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);
        QCOMPARE(t.voucher->text(V::Spmc), QStringLiteral("可口可乐"));
        QCOMPARE(t.voucher->text(V::Sl), quantity);
        QCOMPARE(t.voucher->text(V::Shoujia), price);
    }

    void noMemberPriceRefused()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(addProduct(t.shop, QStringLiteral("8001"), QStringLiteral("无会员价"), 3.0, QVariant(),
                           QStringLiteral("WHYJ"), QStringLiteral("8001x"), 5));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(QStringLiteral("13888000001"));
        t.voucher->findMember();
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("会员"));
        QVERIFY(!t.scan(QStringLiteral("8001")));
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("该商品没有会员价，不能按会员价销售")});
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);
    }

    // Enter in the price after a cancelled picker: no product behind the name, no line.
    void priceWithoutProduct()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.voucher->setText(V::Spmc, QStringLiteral("可口可乐"));
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("~"), QStringLiteral("~")});
        t.voucher->pickProduct();
        QVERIFY(!t.voucher->hasCurrentProduct());
        QCOMPARE(t.voucher->text(V::Spmc), QStringLiteral("可口可乐"));
        t.voucher->setText(V::Sl, QStringLiteral("1"));
        t.voucher->enterPressed(V::Sl);
        QCOMPARE(t.voucher->text(V::Shoujia), QString());
        t.voucher->setText(V::Shoujia, QStringLiteral("2.5"));
        t.voucher->enterPressed(V::Shoujia);
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("请先输入商品编码或用“…”选择商品")});
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);

        // With an empty entry the sales screen ignores Enter in the price field.
        t.ui.clear();
        t.voucher->setText(V::Spmc, QString());
        t.voucher->enterPressed(V::Shoujia);
        QVERIFY(t.ui.shown.isEmpty());
    }

    // Eleven characters search by mobile number, two and more by card, one or none is refused.
    void memberPrompt_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("kh");
        QTest::addColumn<QStringList>("messages");
        const QString bad = QStringLiteral("输入的条件不正确，请重新输入");
        const QString none = QStringLiteral("查无此信息");
        QTest::newRow("card") << std::optional<QString>(QStringLiteral("88000001")) << QStringLiteral("会员")
                              << QStringList{};
        QTest::newRow("mobile") << std::optional<QString>(QStringLiteral("13888000001")) << QStringLiteral("会员")
                                << QStringList{};
        QTest::newRow("card of 11 is a mobile")
            << std::optional<QString>(QStringLiteral("88000001000")) << QStringLiteral("非会员") << QStringList{none};
        QTest::newRow("unknown card") << std::optional<QString>(QStringLiteral("12")) << QStringLiteral("非会员")
                                      << QStringList{none};
        QTest::newRow("untouched 0") << std::optional<QString>(QStringLiteral("0")) << QStringLiteral("非会员")
                                     << QStringList{bad};
        QTest::newRow("退出") << std::optional<QString>(QStringLiteral("~")) << QStringLiteral("非会员")
                              << QStringList{bad};
        QTest::newRow("close box") << std::optional<QString>() << QStringLiteral("非会员") << QStringList{bad};
        QTest::newRow("empty") << std::optional<QString>(QString()) << QStringLiteral("非会员")
                               << QStringList{none, bad};
    }
    void memberPrompt()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, kh);
        QFETCH(QStringList, messages);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(answer);
        t.voucher->findMember();
        QCOMPARE(t.ui.prompts.last().formName, QStringLiteral("Txtts2_form"));
        QCOMPARE(t.voucher->text(V::Kh), kh);
        QCOMPARE(t.voucher->memberCard().isEmpty(), kh != QStringLiteral("会员"));
        QCOMPARE(t.ui.texts(), messages);
    }

    // After a posted checkout: the next number, empty totals, no discount and no member.
    void afterPostedCheckout()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(QStringLiteral("88000001"));
        t.voucher->findMember();
        t.voucher->editDiscount();
        t.voucher->setText(V::Zhekou, QStringLiteral("0.9"));
        t.voucher->enterPressed(V::Zhekou);
        QVERIFY(t.scan(QStringLiteral("1001")));
        SaleHandover seen;
        QVERIFY(t.voucher->startCheckout([&](const SaleHandover& h) {
            seen = h;
            return CheckoutAnswer{true, QStringLiteral("XS01202403050007")};
        }));
        QCOMPARE(seen.total, QStringLiteral("2.3"));
        QCOMPARE(seen.memberCard, QStringLiteral("88000001"));
        QCOMPARE(seen.voucherNumber, QStringLiteral("XS01202403050001"));
        QCOMPARE(seen.customer, QStringLiteral("会员"));
        QCOMPARE(seen.date, QStringLiteral("2024-03-05"));
        QCOMPARE(seen.quantity, QStringLiteral("1"));
        QCOMPARE(seen.operatorName, QStringLiteral("收银员小王"));
        QCOMPARE(seen.discount, QStringLiteral("0.9"));
        QCOMPARE(seen.warehouse, QStringLiteral("主仓库"));

        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050007"));
        QCOMPARE(t.voucher->text(V::Hjje), QString());
        QCOMPARE(t.voucher->text(V::Hjsl), QString());
        QCOMPARE(t.voucher->text(V::Zhekou), QStringLiteral("1"));
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("非会员"));
        QVERIFY(t.voucher->memberCard().isEmpty());
        QVERIFY(!t.voucher->gridLoaded());
        QCOMPARE(t.voucher->handover().memberCard, QStringLiteral("~"));

        // Not posted: the screen stays as it was.
        QVERIFY(t.scan(QStringLiteral("1002")));
        QVERIFY(!t.voucher->startCheckout([](const SaleHandover&) { return CheckoutAnswer{}; }));
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403050007"));
        QCOMPARE(t.voucher->text(V::Hjje), QStringLiteral("2.5"));
        QVERIFY(t.voucher->gridLoaded());
    }

    // Amounts a cashier cannot mean are refused with the field and the value named, and nothing
    // is written; the sales screen never sells a negative quantity or at a negative price.
    void amountRefusals_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("message"); // empty: the line is added
        const QString badQuantity = QStringLiteral("数量“%1”不对：数量必须大于0，最多9999，请重新输入");
        const QString badPrice = QStringLiteral("售价“%1”不对：售价必须在0到999999.99之间，请重新输入");
        const QString badDiscount = QStringLiteral("折扣“%1”不对：折扣必须在0到1之间，请按F12修改折扣");
        const QString one = QStringLiteral("1");
        QTest::newRow("quantity 1e308") << QStringLiteral("1e308") << QStringLiteral("2.5") << one
                                        << badQuantity.arg(QStringLiteral("1e308"));
        QTest::newRow("quantity -1") << QStringLiteral("-1") << QStringLiteral("2.5") << one
                                     << badQuantity.arg(QStringLiteral("-1"));
        QTest::newRow("quantity 0") << QStringLiteral("0") << QStringLiteral("2.5") << one
                                    << badQuantity.arg(QStringLiteral("0"));
        QTest::newRow("quantity 10000") << QStringLiteral("10000") << QStringLiteral("2.5") << one
                                        << badQuantity.arg(QStringLiteral("10000"));
        QTest::newRow("quantity inf") << QStringLiteral("inf") << QStringLiteral("2.5") << one
                                      << QStringLiteral("数量“inf”不是数字，请重新输入");
        QTest::newRow("price -2.5") << QStringLiteral("1") << QStringLiteral("-2.5") << one
                                    << badPrice.arg(QStringLiteral("-2.5"));
        QTest::newRow("price 1e308") << QStringLiteral("1") << QStringLiteral("1e308") << one
                                     << badPrice.arg(QStringLiteral("1e308"));
        QTest::newRow("price 1000000") << QStringLiteral("1") << QStringLiteral("1000000") << one
                                       << badPrice.arg(QStringLiteral("1000000"));
        QTest::newRow("price nan") << QStringLiteral("1") << QStringLiteral("nan") << one
                                   << QStringLiteral("售价“nan”不是数字，请重新输入");
        QTest::newRow("discount 1.5") << QStringLiteral("1") << QStringLiteral("2.5") << QStringLiteral("1.5")
                                      << badDiscount.arg(QStringLiteral("1.5"));
        QTest::newRow("discount -0.1") << QStringLiteral("1") << QStringLiteral("2.5") << QStringLiteral("-0.1")
                                       << badDiscount.arg(QStringLiteral("-0.1"));
        QTest::newRow("largest") << QStringLiteral("9999") << QStringLiteral("999999.99") << one << QString();
        QTest::newRow("free of charge") << QStringLiteral("0.5") << QStringLiteral("0") << QStringLiteral("0")
                                        << QString();
    }
    void amountRefusals()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, discount);
        QFETCH(QString, message);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        t.voucher->setText(V::Zhekou, discount);
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("1001"), QStringLiteral("可口可乐")});
        t.voucher->pickProduct();
        t.voucher->setText(V::Sl, quantity);
        t.voucher->enterPressed(V::Sl);
        t.voucher->setText(V::Shoujia, price);
        t.voucher->enterPressed(V::Shoujia);
        if (!message.isEmpty()) {
            QCOMPARE(t.ui.texts(), QStringList{message});
            QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);
            QCOMPARE(t.voucher->text(V::Sl), quantity);
            QCOMPARE(t.voucher->text(V::Shoujia), price);
            QVERIFY(t.voucher->focusSelectAll());
        } else {
            QVERIFY2(t.ui.shown.isEmpty(), qPrintable(t.ui.texts().join(QLatin1Char('|'))));
            QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord"), QStringLiteral("sl=%1").arg(quantity)), 1);
        }
        // Nothing stored is ever infinite or not a number.
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord"), QStringLiteral("abs(jine) > 1e12")), 0);
    }

    // A posted sale is never changed again, however the screen came to its number: here a
    // second screen opened on the same number before the first one was paid.
    void postedVoucherRefused_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("scan") << QStringLiteral("scan");
        QTest::newRow("add picked") << QStringLiteral("pick");
        QTest::newRow("F5 hold") << QStringLiteral("hold");
        QTest::newRow("F7 delete") << QStringLiteral("delete");
        QTest::newRow("F8 void") << QStringLiteral("void");
    }
    void postedVoucherRefused()
    {
        QFETCH(QString, action);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        ScriptedUi otherUi;
        SalesVoucher other(SaleKind::sale(), otherUi);
        QVERIFY(other.create());
        QCOMPARE(other.text(V::Djbh), QStringLiteral("XS01202403050001"));
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.scan(QStringLiteral("1002")));
        // The other screen shows the lines too, and then the first one is paid.
        other.setText(V::Spmc, QStringLiteral("2003"));
        QVERIFY(other.enterProductCode());
        QVERIFY(t.pay(QStringLiteral("20")).posted);
        const double box = t.box();
        const double stock = t.stock(QStringLiteral("1001"));
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 3);

        otherUi.confirms.enqueue(true);
        if (action == QLatin1String("scan")) {
            other.setText(V::Spmc, QStringLiteral("1001"));
            QVERIFY(!other.enterProductCode());
        } else if (action == QLatin1String("pick")) {
            otherUi.pickAnswers.enqueue(QStringList{QStringLiteral("1001"), QStringLiteral("可口可乐")});
            other.pickProduct();
            other.setText(V::Sl, QStringLiteral("2"));
            other.enterPressed(V::Sl);
            QVERIFY(!other.addPickedProduct());
        } else if (action == QLatin1String("hold")) {
            QVERIFY(!other.holdVoucher());
        } else if (action == QLatin1String("delete")) {
            other.setCurrentLine(0);
            other.deleteLine();
        } else {
            other.voidVoucher();
        }
        QCOMPARE(otherUi.texts().last(), QStringLiteral("单据XS01202403050001已经过账，不能再修改，请在新单据上继续"));
        // The posted sale is whole: its header paid, its lines, the stock and the cash box.
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("djbh='XS01202403050001' and qkje=0")), 1);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord"), QStringLiteral("djbh='XS01202403050001'")), 3);
        QCOMPARE(t.box(), box);
        QCOMPARE(t.stock(QStringLiteral("1001")), stock);
        // The other screen moved on to a new voucher.
        QCOMPARE(other.text(V::Djbh), QStringLiteral("XS01202403050002"));
        QVERIFY(!other.gridLoaded());
        QVERIFY(otherUi.unexpected.isEmpty());
    }

    // When no number can be drawn (the day's 9999th sale was just posted) the screen holds no
    // voucher and does nothing but close.
    void noNumberLeft()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("insert into xiaoshoud(djbh,rq,qkje,lkje) "
                                           "values('XS01202403059998','2024-03-05',0,1)")));
        QVERIFY(t.voucher->create());
        QCOMPARE(t.voucher->text(V::Djbh), QStringLiteral("XS01202403059999"));
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.pay(QStringLiteral("10")).posted);
        QVERIFY(!t.voucher->noNumberReason().isEmpty());
        QCOMPARE(t.ui.shown.last().text, t.voucher->noNumberReason());
        QVERIFY(t.voucher->noNumberReason().startsWith(QStringLiteral("今天的单据已达9999张，不能再开新单据")));
        QCOMPARE(t.voucher->text(V::Djbh), QString());
        QVERIFY(!t.voucher->gridLoaded());
        QCOMPARE(t.voucher->text(V::Hjje), QString());

        const int lines = t.shop.count(QStringLiteral("xiaoshoudrecord"));
        const int headers = t.shop.count(QStringLiteral("xiaoshoud"));
        const std::function<void()> actions[] = {
            [&] { t.scan(QStringLiteral("1001")); },
            [&] {
                t.voucher->setText(V::Spmc, QStringLiteral("可口可乐"));
                t.voucher->addPickedProduct();
            },
            [&] { t.voucher->pickProduct(); },
            [&] { t.voucher->pressF5(); },
            [&] { t.voucher->pressF6(); },
            [&] { t.voucher->deleteLine(); },
            [&] { t.voucher->voidVoucher(); },
            [&] { t.voucher->findMember(); },
            [&] { t.voucher->editDiscount(); },
            [&] { t.checkoutOpens(); },
        };
        for (const auto& action : actions) {
            t.ui.clear();
            action();
            QCOMPARE(t.ui.texts(), QStringList{t.voucher->noNumberReason()});
        }
        QVERIFY(t.ui.confirmTexts.isEmpty());
        QVERIFY(t.ui.pickers.isEmpty());
        QVERIFY(t.ui.prompts.isEmpty());
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), lines);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud")), headers);
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("djbh='XS01202403059999' and qkje=0")), 1);
    }

    // Product numbers, barcodes, member cards and mobile numbers are found whatever the letter
    // case and without the blanks around them; an exact match comes first.
    void codesIgnoreCaseAndBlanks_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("spbh");
        QTest::newRow("number in capitals") << QStringLiteral("AB12") << QStringLiteral("ab12");
        QTest::newRow("number with blanks") << QStringLiteral("  1001\t") << QStringLiteral("1001");
        QTest::newRow("barcode in small letters") << QStringLiteral("x-5501") << QStringLiteral("8002");
        QTest::newRow("exact number first") << QStringLiteral("Cd7") << QStringLiteral("Cd7");
        QTest::newRow("other case of it") << QStringLiteral("cd7") << QStringLiteral("cd7");
        QTest::newRow("third case of it") << QStringLiteral("CD7") << QStringLiteral("Cd7|cd7");
    }
    void codesIgnoreCaseAndBlanks()
    {
        QFETCH(QString, code);
        QFETCH(QString, spbh);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(addProduct(t.shop, QStringLiteral("ab12"), QStringLiteral("小写编号"), 1.0, 1.0, QStringLiteral("XXBH"),
                           QStringLiteral("111"), 5));
        QVERIFY(addProduct(t.shop, QStringLiteral("8002"), QStringLiteral("字母条码"), 1.0, 1.0, QStringLiteral("ZMTM"),
                           QStringLiteral("X-5501"), 5));
        QVERIFY(addProduct(t.shop, QStringLiteral("Cd7"), QStringLiteral("甲"), 1.0, 1.0, QStringLiteral("J"),
                           QStringLiteral("222"), 5));
        QVERIFY(addProduct(t.shop, QStringLiteral("cd7"), QStringLiteral("乙"), 1.0, 1.0, QStringLiteral("Y"),
                           QStringLiteral("333"), 5));
        QVERIFY(t.voucher->create());
        QVERIFY2(t.scan(code), qPrintable(t.ui.texts().join(QLatin1Char('|'))));
        QVERIFY(spbh.split(QLatin1Char('|'))
                    .contains(t.shop.scalar(QStringLiteral("select spbh from xiaoshoudrecord")).toString()));
    }

    void memberCardIgnoresCaseAndBlanks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("card in small letters") << QStringLiteral("vip001");
        QTest::newRow("card with blanks") << QStringLiteral(" VIP001 ");
        QTest::newRow("mobile with blanks") << QStringLiteral(" 13900000009\n");
    }
    void memberCardIgnoresCaseAndBlanks()
    {
        QFETCH(QString, answer);
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm,sjhao,ljje,ljjf) "
                                           "values('VIP001','张三','13900000009',0,0)")));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(answer);
        t.voucher->findMember();
        QVERIFY2(t.ui.shown.isEmpty(), qPrintable(t.ui.texts().join(QLatin1Char('|'))));
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("会员"));
        QCOMPARE(t.voucher->memberCard(), QStringLiteral("VIP001"));
    }

    // A member buys a product picked with "…" that has neither price: the price it would sell
    // at is the retail price, and the message says so.
    void pickedWithoutAnyPrice()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(addProduct(t.shop, QStringLiteral("8001"), QStringLiteral("无价商品"), QVariant(), QVariant(),
                           QStringLiteral("WJSP"), QStringLiteral("8001x"), 5));
        QVERIFY(t.voucher->create());
        t.ui.promptAnswers.enqueue(QStringLiteral("88000001"));
        t.voucher->findMember();
        QCOMPARE(t.voucher->text(V::Kh), QStringLiteral("会员"));
        t.pick(QStringLiteral("8001"), QStringLiteral("无价商品"), QStringLiteral("1"));
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("该商品没有零售价，不能按零售价销售")});
        QCOMPARE(t.shop.count(QStringLiteral("xiaoshoudrecord")), 0);
        // Scanned, the member price applies, and that message names it.
        t.ui.clear();
        QVERIFY(!t.scan(QStringLiteral("8001")));
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("该商品没有会员价，不能按会员价销售")});
    }

    // A held voucher stays in the held list whatever its total, even 0; a posted one is not
    // in it.
    void heldListKeepsEveryHeldVoucher()
    {
        Sale t;
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(addProduct(t.shop, QStringLiteral("8001"), QStringLiteral("赠品"), 0.0, 0.0, QStringLiteral("ZP"),
                           QStringLiteral("8001x"), 5));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("8001")));
        QVERIFY(t.voucher->holdVoucher());
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.pay(QStringLiteral("1")).posted); // paid short: the change is -1.5

        Query q(t.shop.db());
        q.setSql(Dialogs::picker(QStringLiteral("Tsphelp3_form")).query);
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.text(QStringLiteral("djbh")), QStringLiteral("XS01202403050001"));
        QCOMPARE(q.number(QStringLiteral("qkje")), 0.0);

        // Recalled and paid, it leaves the list.
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("XS01202403050001")});
        t.voucher->recallVoucher();
        QCOMPARE(t.voucher->lines().count(), 1);
        QVERIFY(t.pay(QStringLiteral("0")).posted);
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 0);
    }
};

QTEST_GUILESS_MAIN(SalesVoucherTest)
#include "tst_salesvoucher.moc"
