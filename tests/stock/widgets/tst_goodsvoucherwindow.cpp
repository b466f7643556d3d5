#include "core/ui/AppStyle.h"
#include "stock/StockFixture.h"
#include "stock/ui/GoodsVoucherWindow.h"
#include "support/ModalDriver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace StockFixture;

// The goods voucher screen driven by keys: a stock-in voucher entered and saved, and the
// question when lines would be left without their voucher.
class GoodsVoucherWindowTest : public QObject {
    Q_OBJECT

    static void type(QWidget* window, const QString& field, const QString& text)
    {
        auto* edit = window->findChild<QLineEdit*>(field);
        QVERIFY2(edit, qPrintable(field));
        QCOMPARE(window->focusWidget(), edit);
        ModalDriver::typeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

private Q_SLOTS:
    void initTestCase() { AppStyle::apply(*qApp); }
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void enterAndSave()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        GoodsVoucherWindow window(GoodsKind::stockIn());
        QVERIFY(window.isReady());
        QCOMPARE(window.objectName(), QStringLiteral("Tsprk_form"));
        QCOMPARE(window.windowTitle(), QStringLiteral("商品入库"));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* save = window.findChild<QToolButton*>(QStringLiteral("bcdj"));
        auto* fresh = window.findChild<QToolButton*>(QStringLiteral("xzdj"));
        auto* print = window.findChild<QToolButton*>(QStringLiteral("ToolButton3"));
        QVERIFY(save && fresh && print);
        QVERIFY(!save->isEnabled());
        QVERIFY(!print->isEnabled());

        fresh->click();
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("djbh"))->text(), QStringLiteral("RK01202403050001"));
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("ck"))->currentText(), QStringLiteral("主仓库"));
        QVERIFY(save->isEnabled());
        QVERIFY(!fresh->isEnabled());

        // A barcode, Enter; the quantity, Enter; Enter in the price; Enter on 回车保存.
        type(&window, QStringLiteral("spmc"), QStringLiteral("6900001001003"));
        type(&window, QStringLiteral("sl"), QStringLiteral("24"));
        auto* price = window.findChild<QLineEdit*>(QStringLiteral("jinjia"));
        QCOMPARE(price->text(), QStringLiteral("1.6"));
        QVERIFY(price->isReadOnly());
        QCOMPARE(window.focusWidget(), price);
        QTest::keyClick(price, Qt::Key_Return);
        auto* add = window.findChild<QPushButton*>(QStringLiteral("hcbc"));
        QCOMPARE(window.focusWidget(), add);
        QTest::keyClick(add, Qt::Key_Return);
        QCOMPARE(shop.count(QStringLiteral("jinhuodanrecord")), 1);
        QCOMPARE(window.findChild<QTableView*>(QStringLiteral("DBGrid1"))->model()->rowCount(), 1);
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("hjje"))->text(), QStringLiteral("38.4"));
        QCOMPARE(window.focusWidget(), window.findChild<QLineEdit*>(QStringLiteral("spmc")));

        // The pinyin code of a second product, then the supplier and 保存单据.
        type(&window, QStringLiteral("spmc"), QStringLiteral("bskl"));
        type(&window, QStringLiteral("sl"), QStringLiteral("12"));
        QTest::keyClick(price, Qt::Key_Return);
        QTest::keyClick(add, Qt::Key_Return);
        auto* supplier = window.findChild<QLineEdit*>(QStringLiteral("gys"));
        supplier->setFocus();
        ModalDriver::typeText(supplier, QStringLiteral("昆明惠民食品批发部"));
        QString said;
        ModalDriver::acceptBox(&said);
        save->click();
        QCOMPARE(said, QStringLiteral("数据保存成功"));
        QCOMPARE(shop.scalar(QStringLiteral("select hjje from jinhuodan")).toDouble(), 24 * 1.6 + 12 * 1.55);
        QCOMPARE(shop.scalar(QStringLiteral("select gysmc from jinhuodan")).toString(),
                 QStringLiteral("昆明惠民食品批发部"));
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1001'")).toDouble(), 144.0);
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1002'")).toDouble(), 108.0);
        QVERIFY(!save->isEnabled());
        QVERIFY(print->isEnabled());
        QVERIFY(fresh->isEnabled());

        // Enter on 回车保存 after the save is refused with a message.
        QString refused;
        add->setFocus();
        ModalDriver::acceptBox(&refused);
        QTest::keyClick(add, Qt::Key_Return);
        QCOMPARE(refused, QStringLiteral("请先按“新增单据”开始一张新单据，再录入商品"));
        QCOMPARE(shop.count(QStringLiteral("jinhuodanrecord")), 2);
    }

    // Closing with lines under an unsaved number asks; "Cancel" keeps the screen, OK removes them.
    void closeWithUnsavedLines()
    {
        TestShop shop(true);
        GoodsVoucherWindow window(GoodsKind::scrap());
        QVERIFY(!window.findChild<QLineEdit*>(QStringLiteral("gys")));
        QVERIFY(!window.findChild<QLineEdit*>(QStringLiteral("jinjia"))->isReadOnly());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.findChild<QToolButton*>(QStringLiteral("xzdj"))->click();
        type(&window, QStringLiteral("spmc"), QStringLiteral("1001"));
        type(&window, QStringLiteral("sl"), QStringLiteral("2"));
        auto* price = window.findChild<QLineEdit*>(QStringLiteral("jinjia"));
        price->selectAll();
        ModalDriver::typeText(price, QStringLiteral("1.2"));
        QTest::keyClick(price, Qt::Key_Return);
        QTest::keyClick(window.findChild<QPushButton*>(QStringLiteral("hcbc")), Qt::Key_Return);
        QCOMPARE(shop.scalar(QStringLiteral("select jine from jinhuodanrecordbf")).toDouble(), 2.4);

        QString asked;
        ModalDriver::when(ModalDriver::isMessageBox, [&](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            asked = box->text();
            box->reject();
        });
        window.findChild<QToolButton*>(QStringLiteral("ToolButton5"))->click();
        QCOMPARE(asked, QStringLiteral("本单尚未保存，放弃已录入的商品吗?"));
        QVERIFY(window.isVisible());
        QCOMPARE(shop.count(QStringLiteral("jinhuodanrecordbf")), 1);

        ModalDriver::acceptBox();
        window.findChild<QToolButton*>(QStringLiteral("ToolButton5"))->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(shop.count(QStringLiteral("jinhuodanrecordbf")), 0);
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1001'")).toDouble(), 120.0);
    }
};

QTEST_MAIN(GoodsVoucherWindowTest)
#include "tst_goodsvoucherwindow.moc"
