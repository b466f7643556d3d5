#include "core/ui/AppStyle.h"
#include "core/ui/ListWindow.h"
#include "stock/StockFixture.h"
#include "stock/ui/StockScreens.h"
#include "support/ModalDriver.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace StockFixture;

// Stocktaking through its windows: the list, 修改 on a product, a count typed and saved.
class StocktakingWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppStyle::apply(*qApp); }
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void countOneProduct()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        std::unique_ptr<QWidget> window(StockScreens::openStocktaking(nullptr));
        auto* list = qobject_cast<ListWindow*>(window.get());
        QVERIFY(list);
        QCOMPARE(list->objectName(), QStringLiteral("Tsppd_form"));
        QCOMPARE(list->windowTitle(), QStringLiteral("商品库存盘点"));
        window->resize(1100, 600);
        window->show();
        // The tool bar, left to right.
        QStringList buttons;
        auto* bar = list->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
        QVERIFY(bar);
        for (QAction* a : bar->actions())
            if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                buttons << b->text();
        QCOMPARE(buttons.join(QLatin1Char(' ')), QStringLiteral("修改 刷新 打印 首条 上条 下条 末条 关闭"));
        QVERIFY(!list->button(QStringLiteral("add")));
        QTableView* grid = list->grid();
        QCOMPARE(grid->model()->rowCount(), shop.count(QStringLiteral("kucun")));

        // 下条 to 1002, Enter on the grid opens the count dialog there.
        list->button(QStringLiteral("next"))->click();
        QString counted;
        QString said;
        ModalDriver::whenForm(QStringLiteral("Tsppdxg_form"), [&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("商品盘点库存修改"));
            counted = dialog->findChild<QLineEdit*>(QStringLiteral("spbh"))->text();
            QVERIFY(dialog->findChild<QLineEdit*>(QStringLiteral("spmc"))->isReadOnly());
            auto* save = dialog->findChild<QToolButton*>(QStringLiteral("save"));
            QVERIFY(!save->isEnabled());
            auto* sl = dialog->findChild<QLineEdit*>(QStringLiteral("sl"));
            sl->setFocus();
            sl->selectAll();
            ModalDriver::typeText(sl, QStringLiteral("90"));
            QVERIFY(save->isEnabled());
            ModalDriver::acceptBox(&said);
            save->click();
            QVERIFY(!save->isEnabled());
            dialog->findChild<QToolButton*>(QStringLiteral("close"))->click();
        });
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(counted, QStringLiteral("1002"));
        QCOMPARE(said, QStringLiteral("保存成功"));
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1002'")).toDouble(), 90.0);
        QCOMPARE(shop.scalar(QStringLiteral("select jine from kucun where spbh='1002'")).toDouble(), 225.0);
        QCOMPARE(shop.scalar(QStringLiteral("select yssl from pdjl")).toDouble(), 96.0);

        // The list shows the count after 刷新, with its difference.
        const int sl = 7;  // 数量
        const int ce = 10; // 上次盘点差异
        QCOMPARE(grid->model()->index(1, sl).data().toString(), QStringLiteral("96"));
        list->button(QStringLiteral("refresh"))->click();
        QCOMPARE(grid->model()->index(1, sl).data().toString(), QStringLiteral("90"));
        QCOMPARE(grid->model()->headerData(ce, Qt::Horizontal).toString(), QStringLiteral("上次盘点差异"));
        QCOMPARE(grid->model()->index(1, ce).data().toString(), QStringLiteral("-6"));
        QCOMPARE(grid->currentIndex().row(), 1);
    }
};

QTEST_MAIN(StocktakingWindowsTest)
#include "tst_stocktakingwindows.moc"
