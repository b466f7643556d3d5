#include "core/QueryScreen.h"
#include "core/ui/AppStyle.h"
#include "core/ui/QueryScreenWindow.h"
#include "stock/StockAlerts.h"
#include "stock/StockFixture.h"
#include "stock/ui/StockScreens.h"

#include <QFileInfo>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace StockFixture;

// The stock alerts through their window: the radio buttons, 查询, 导出 and 打印.
class StockAlertsWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppStyle::apply(*qApp); }
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void lowerAndUpperLists()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("update kucun set sl=10 where spbh='1001'")));
        ScriptedUi ui;
        std::unique_ptr<QWidget> window(StockScreens::openStockAlerts(nullptr, &ui));
        auto* screen = qobject_cast<QueryScreenWindow*>(window.get());
        QVERIFY(screen);
        QCOMPARE(screen->objectName(), QStringLiteral("Tspkcbj_form"));
        QCOMPARE(screen->windowTitle(), QStringLiteral("商品库存表报警"));
        window->resize(1100, 600);
        window->show();
        auto* lower = window->findChild<QRadioButton*>(QStringLiteral("xian"));
        auto* upper = window->findChild<QRadioButton*>(QStringLiteral("shang"));
        QVERIFY(lower && upper && lower->isChecked());
        QVERIFY(!screen->dateEdit(QueryScreen::Rq1));
        QCOMPARE(screen->grid()->model(), nullptr);

        // 导出 before 查询 is refused.
        screen->button(QStringLiteral("ToolButton10"))->click();
        QCOMPARE(ui.lastText(), QStringLiteral("请先查询"));

        // 查询 with 下限: 1001 at its limit of 10, 5004 with 6 and 5005 with none.
        screen->button(QStringLiteral("ToolButton3"))->click();
        QTableView* grid = screen->grid();
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("1001"));
        QCOMPARE(grid->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("库存下限"));
        QCOMPARE(grid->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("现有库存"));

        // Switching to 上限 lists nothing new until 查询.
        upper->click();
        QCOMPARE(grid->model()->rowCount(), 3);
        screen->button(QStringLiteral("ToolButton3"))->click();
        QCOMPARE(screen->grid()->model()->rowCount(), 1);
        QCOMPARE(screen->grid()->model()->index(0, 0).data().toString(), QStringLiteral("1003"));

        const QString book = shop.file(QStringLiteral("alerts.xlsx"));
        ui.fileNames << book;
        screen->button(QStringLiteral("ToolButton10"))->click();
        QCOMPARE(ui.lastText(), QStringLiteral("导出成功"));
        QVERIFY(QFileInfo(book).size() > 0);
    }
};

QTEST_MAIN(StockAlertsWindowTest)
#include "tst_stockalertswindow.moc"
