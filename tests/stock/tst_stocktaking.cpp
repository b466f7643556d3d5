#include "StockFixture.h"
#include "stock/StockAlerts.h"
#include "stock/Stocktaking.h"

#include <QFileInfo>
#include <QTest>

using namespace StockFixture;

// Stocktaking (the count that replaces the recorded quantity and is kept) and the stock alerts
// against the products' limits.
class StocktakingTest : public QObject {
    Q_OBJECT

    using C = StockCount;

private Q_SLOTS:
    void init() { startDay(); }
    void cleanup() { endDay(); }

    // 2.5 a piece counted at 40: quantity 40, value 100, and the count kept with the quantity
    // it replaced; without a retail price the value is 0.
    void count_data()
    {
        QTest::addColumn<QVariant>("retail");
        QTest::addColumn<double>("value");
        QTest::newRow("retail 2.5") << QVariant(2.5) << 100.0;
        QTest::newRow("no retail price") << QVariant() << 0.0;
    }
    void count()
    {
        QFETCH(QVariant, retail);
        QFETCH(double, value);
        TestShop shop(true);
        QVERIFY(addProduct(shop, QStringLiteral("8001"), QStringLiteral("盘点商品"), 1.0, retail, 37));
        ScriptedUi ui;
        StockCount dialog(ui);
        QVERIFY(dialog.create(QStringLiteral("8001")));
        QCOMPARE(dialog.text(C::Spmc), QStringLiteral("盘点商品"));
        QCOMPARE(dialog.text(C::Sl), QStringLiteral("37"));
        QVERIFY(!dialog.isEnabled(RecordForm::Save));
        dialog.edited(C::Sl, QStringLiteral("40"));
        QVERIFY(dialog.isEnabled(RecordForm::Save));
        QVERIFY(dialog.save());
        QCOMPARE(ui.lastText(), QStringLiteral("保存成功"));
        QVERIFY(!dialog.isEnabled(RecordForm::Save));
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='8001'")).toDouble(), 40.0);
        QCOMPARE(shop.scalar(QStringLiteral("select jine from kucun where spbh='8001'")).toDouble(), value);
        QCOMPARE(shop.count(QStringLiteral("pdjl")), 1);
        QCOMPARE(shop.scalar(QStringLiteral("select yssl from pdjl")).toDouble(), 37.0);
        QCOMPARE(shop.scalar(QStringLiteral("select pdsl from pdjl")).toDouble(), 40.0);
        QCOMPARE(shop.scalar(QStringLiteral("select czy from pdjl")).toString(), QStringLiteral("库管老李"));
        QCOMPARE(shop.scalar(QStringLiteral("select sj from pdjl")).toString(), QStringLiteral("2024-03-05 14:05:09"));
        // Other columns and other products stay as they were.
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1001'")).toDouble(), 120.0);
    }

    // A quantity that is not a count, or an empty name, is refused and nothing is written.
    void countRefusals_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<bool>("emptyName");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number") << QStringLiteral("四十") << false
                                      << QStringLiteral("数据保存失败：数量“四十”不正确，请输入不小于0的数字");
        QTest::newRow("empty") << QString() << false
                               << QStringLiteral("数据保存失败：数量“”不正确，请输入不小于0的数字");
        QTest::newRow("negative") << QStringLiteral("-3") << false
                                  << QStringLiteral("数据保存失败：数量“-3”不正确，请输入不小于0的数字");
        QTest::newRow("empty name") << QStringLiteral("40") << true << QStringLiteral("商品名称不能为空，请重新输入");
    }
    void countRefusals()
    {
        QFETCH(QString, quantity);
        QFETCH(bool, emptyName);
        QFETCH(QString, message);
        TestShop shop(true);
        ScriptedUi ui;
        StockCount dialog(ui);
        QVERIFY(dialog.create(QStringLiteral("1001")));
        if (emptyName)
            dialog.setText(C::Spmc, QString());
        dialog.edited(C::Sl, quantity);
        QVERIFY(!dialog.save());
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1001'")).toDouble(), 120.0);
        QCOMPARE(shop.count(QStringLiteral("pdjl")), 0);
    }

    // The dialog walks the stock in product-number order, opens on a number whatever its letter
    // case, and only typing a quantity enables "保存".
    void navigation()
    {
        TestShop shop;
        for (const char* spbh : {"B2", "a1", "C3", "b1"})
            QVERIFY(addProduct(shop, QString::fromLatin1(spbh), QStringLiteral("商品") + QString::fromLatin1(spbh), 1.0,
                               2.0, 5));
        ScriptedUi ui;
        StockCount dialog(ui);
        QVERIFY(dialog.create(QStringLiteral("c3")));
        QCOMPARE(dialog.text(C::Spbh), QStringLiteral("C3"));
        QVERIFY(!dialog.isEnabled(RecordForm::Save));
        dialog.first();
        QCOMPARE(dialog.text(C::Spbh), QStringLiteral("B2"));
        QVERIFY(!dialog.isEnabled(RecordForm::Save));
        dialog.prior();
        QCOMPARE(dialog.text(C::Spbh), QStringLiteral("B2"));
        QStringList walked{dialog.text(C::Spbh)};
        for (int i = 0; i < 4; ++i) {
            dialog.next();
            walked << dialog.text(C::Spbh);
        }
        QCOMPARE(walked, (QStringList{QStringLiteral("B2"), QStringLiteral("C3"), QStringLiteral("a1"),
                                      QStringLiteral("b1"), QStringLiteral("b1")}));
        dialog.last();
        dialog.prior();
        QCOMPARE(dialog.text(C::Spbh), QStringLiteral("a1"));

        // A count typed and saved, then a second save without a change is not possible.
        dialog.edited(C::Sl, QStringLiteral("4"));
        QVERIFY(dialog.save());
        QCOMPARE(dialog.text(C::Spbh), QStringLiteral("a1"));
        QVERIFY(!dialog.save());
        QCOMPARE(shop.count(QStringLiteral("pdjl")), 1);

        // Enter goes round the fields in its own order and never saves.
        QStringList order{C::Spbh};
        for (int i = 0; i < 10; ++i) {
            dialog.enterPressed(order.last());
            order << dialog.focusField();
        }
        QCOMPARE(order, (QStringList{C::Spbh, C::Spxh, C::Spmc, C::Splb, C::Spgg, C::Spjl, C::Jinjia, C::Shoujia,
                                     C::Gys, C::Sl, C::Spbh}));
    }

    // The list shows what each product's last count changed; it is read again by 刷新 only.
    // Several products are counted without closing the dialog: moving to a product whose
    // recorded quantity differs enables 保存 (its count can be confirmed as shown); moving to one
    // that shows the same quantity leaves 保存 as it was.
    void moveEnablesSaveOfTheNextCount()
    {
        TestShop shop(true);
        QVERIFY(addProduct(shop, QStringLiteral("P1"), QStringLiteral("甲"), 1.0, 2.0, 5));
        QVERIFY(addProduct(shop, QStringLiteral("P2"), QStringLiteral("乙"), 1.0, 2.0, 5));
        QVERIFY(addProduct(shop, QStringLiteral("P3"), QStringLiteral("丙"), 1.0, 2.0, 9));
        ScriptedUi ui;
        StockCount dialog(ui);
        QVERIFY(dialog.create(QStringLiteral("P1")));
        QVERIFY(!dialog.isEnabled(RecordForm::Save));
        dialog.next();
        QCOMPARE(dialog.text(C::Spbh), QStringLiteral("P2"));
        QVERIFY(!dialog.isEnabled(RecordForm::Save));
        dialog.next();
        QCOMPARE(dialog.text(C::Sl), QStringLiteral("9"));
        QVERIFY(dialog.isEnabled(RecordForm::Save));
        dialog.edited(C::Sl, QStringLiteral("8"));
        QVERIFY(dialog.save());
        QVERIFY(!dialog.isEnabled(RecordForm::Save));
        dialog.prior();
        QCOMPARE(dialog.text(C::Sl), QStringLiteral("5"));
        QVERIFY(dialog.isEnabled(RecordForm::Save));
        QVERIFY(dialog.save());
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='P3'")).toDouble(), 8.0);
        QCOMPARE(shop.count(QStringLiteral("pdjl")), 2);
    }

    void listShowsLastDifference()
    {
        TestShop shop(true);
        ScriptedUi ui;
        RecordList list(Stocktaking::list(), ui);
        QVERIFY(list.create());
        QCOMPARE(list.count(), shop.count(QStringLiteral("kucun")));

        StockCount dialog(ui);
        QVERIFY(dialog.create(QStringLiteral("1001")));
        dialog.edited(C::Sl, QStringLiteral("115"));
        QVERIFY(dialog.save());
        dialog.edited(C::Sl, QStringLiteral("112"));
        QVERIFY(dialog.save());
        dialog.next();
        dialog.edited(C::Sl, QStringLiteral("100"));
        QVERIFY(dialog.save());

        QCOMPARE(list.rows().text(0, QStringLiteral("sl")), QStringLiteral("120"));
        QVERIFY(list.reload());
        QCOMPARE(list.rows().text(0, QStringLiteral("spbh")), QStringLiteral("1001"));
        QCOMPARE(list.rows().text(0, QStringLiteral("sl")), QStringLiteral("112"));
        QCOMPARE(list.rows().text(0, QStringLiteral("pdce")), QStringLiteral("-3"));
        QCOMPARE(list.rows().text(1, QStringLiteral("pdce")), QStringLiteral("4"));
        QCOMPARE(list.rows().text(2, QStringLiteral("pdce")), QString());
        QVERIFY(list.moveToKey(QStringLiteral("1002")));
        QCOMPARE(list.current(), 1);
    }

    void printList()
    {
        TestShop shop(true);
        QVERIFY(shop.installReports());
        ScriptedUi ui;
        RecordList list(Stocktaking::list(), ui);
        QVERIFY(list.create());
        const QString pdf = shop.file(QStringLiteral("sppd.pdf"));
        ui.previewPdfFiles << pdf;
        QVERIFY2(list.print(), qPrintable(ui.lastText()));
        QCOMPARE(ui.previews.first().title, QStringLiteral("商品盘点"));
        QVERIFY(ui.previews.first().maximised);
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    // The alerts compare the stock with the lower limit (kucun2) under "下限" and with the upper
    // limit (kucun1) under "上限", both limits included.
    void alertBoundaries_data()
    {
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QVariant>("limit");
        QTest::addColumn<QVariant>("stock");
        QTest::addColumn<bool>("listed");
        QTest::newRow("at the lower limit") << false << QVariant(10) << QVariant(10) << true;
        QTest::newRow("above the lower limit") << false << QVariant(10) << QVariant(11) << false;
        QTest::newRow("limit 0, nothing in stock") << false << QVariant(0) << QVariant(0) << true;
        QTest::newRow("limit 0, stock negative") << false << QVariant(0) << QVariant(-2) << true;
        QTest::newRow("no lower limit") << false << QVariant() << QVariant(0) << false;
        QTest::newRow("no stock row") << false << QVariant(10) << QVariant() << false;
        QTest::newRow("at the upper limit") << true << QVariant(100) << QVariant(100) << true;
        QTest::newRow("below the upper limit") << true << QVariant(100) << QVariant(99) << false;
    }
    void alertBoundaries()
    {
        QFETCH(bool, upper);
        QFETCH(QVariant, limit);
        QFETCH(QVariant, stock);
        QFETCH(bool, listed);
        TestShop shop;
        QVERIFY(addProduct(shop, QStringLiteral("8001"), QStringLiteral("报警商品"), 1.0, 2.0, stock));
        // The other limit sits where it would list the product under the wrong radio button.
        QVERIFY(shop.exec(QStringLiteral("update spinfo set kucun1=:UP,kucun2=:LOW"),
                          {{QStringLiteral("UP"), upper ? limit : QVariant(-1000)},
                           {QStringLiteral("LOW"), upper ? QVariant(1000) : limit}}));
        ScriptedUi ui;
        StockAlerts screen(ui);
        QVERIFY(screen.create());
        screen.setUpperList(upper);
        QVERIFY(screen.query());
        QCOMPARE(screen.rows()->count(), listed ? 1 : 0);
    }

    // The grid's columns: both limits, lower first, then the stock.
    void alertColumns()
    {
        QStringList captions;
        for (const GridColumn& col : StockAlerts::screenSpec().columns)
            captions << col.caption;
        QCOMPARE(captions,
                 (QStringList{QStringLiteral("商品编号"), QStringLiteral("商品名称"), QStringLiteral("商品型号"),
                              QStringLiteral("商品规格"), QStringLiteral("商品类别"), QStringLiteral("库存下限"),
                              QStringLiteral("库存上限"), QStringLiteral("现有库存")}));
        QCOMPARE(StockAlerts::screenSpec().columns.value(5).field, QStringLiteral("kucun2"));
        QCOMPARE(StockAlerts::screenSpec().columns.value(6).field, QStringLiteral("kucun1"));
    }

    // Switching the radio button does not search; export before a search fails with a message;
    // after one the rows go to the workbook and to the printer.
    void alertScreen()
    {
        TestShop shop(true);
        QVERIFY(shop.exec(QStringLiteral("update kucun set sl=5 where spbh in ('1001','1002')")));
        ScriptedUi ui;
        StockAlerts screen(ui);
        QVERIFY(screen.create());
        QVERIFY(!screen.exportGrid());
        QCOMPARE(ui.lastText(), QStringLiteral("请先查询"));
        QVERIFY(screen.query());
        // 1001 and 1002, 5004 (6 bottles) and 5005 (nothing in stock) are at or below 10.
        QCOMPARE(screen.rows()->count(), 4);
        screen.setUpperList(true);
        QCOMPARE(screen.rows()->count(), 4);
        const QString book = shop.file(QStringLiteral("alerts.xlsx"));
        ui.fileNames << book;
        QVERIFY(screen.exportGrid());
        QVERIFY(QFileInfo(book).size() > 0);
        ui.fileNames << shop.file(QStringLiteral("alerts.pdf"));
        QVERIFY(screen.print(StockAlerts::screenSpec().columns));
        QCOMPARE(ui.lastText(), QStringLiteral("打印完成"));
        // "查询" with "上限": 农夫山泉 has 240, above its upper limit of 200.
        QVERIFY(screen.query());
        QCOMPARE(screen.rows()->count(), 1);
        QCOMPARE(screen.rows()->text(0, QStringLiteral("spbh")), QStringLiteral("1003"));
    }
};

QTEST_MAIN(StocktakingTest)
#include "tst_stocktaking.moc"
