#include "accounts/ui/AccountsScreens.h"
#include "accounts/ui/SettlementWindow.h"
#include "accounts/ui/ShiftHandoverWindow.h"
#include "core/MainMenu.h"
#include "core/ui/AppStyle.h"
#include "core/ui/ListWindow.h"
#include "core/ui/MainWindow.h"
#include "core/ui/QueryScreenWindow.h"
#include "stock/StockFixture.h"
#include "stock/ui/GoodsVoucherWindow.h"
#include "stock/ui/StockScreens.h"
#include "support/ModalDriver.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace StockFixture;

// Every command of the menus 商品入库 and 库存管理, and 现金流水账 and 交班结算, opened from the
// main window: the screen comes up under its caption, as a dialog or a child as the menu says,
// and its first action reads the shop.
class BackOfficeMenusTest : public QObject {
    Q_OBJECT

    // The screen's first action, and whether what it shows came from the shop.
    static bool works(QWidget* screen, TestShop& shop)
    {
        if (auto* voucher = qobject_cast<GoodsVoucherWindow*>(screen)) {
            screen->findChild<QToolButton*>(GoodsVoucher::Xzdj)->click();
            return screen->findChild<QLineEdit*>(GoodsVoucher::Djbh)->text() ==
                   voucher->logic().kind().voucher.prefix + QStringLiteral("202403050001");
        }
        if (auto* settlement = qobject_cast<SettlementWindow*>(screen)) {
            for (QPushButton* b : screen->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("查询"))
                    b->click();
            return settlement->vouchersGrid()->model()->rowCount() == 1;
        }
        if (qobject_cast<ShiftHandoverWindow*>(screen))
            return screen->findChild<QLineEdit*>(ShiftHandover::Boxje)->text() == QStringLiteral("800");
        if (auto* list = qobject_cast<ListWindow*>(screen))
            return list->grid()->model()->rowCount() == shop.count(QStringLiteral("kucun"));
        if (auto* query = qobject_cast<QueryScreenWindow*>(screen)) {
            query->button(QStringLiteral("ToolButton3"))->click();
            return query->grid()->model() && query->grid()->model()->rowCount() > 0;
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        AppStyle::apply(*qApp);
        registerStockScreens();
        registerAccountsScreens();
    }
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void menuOpensScreen_data()
    {
        QTest::addColumn<QString>("form");
        for (const MainMenu::TopMenu& menu : MainMenu::menus()) {
            // 商品入库 and 库存管理.
            if (menu.name != QLatin1String("sprk") && menu.name != QLatin1String("kcgl"))
                continue;
            for (const MainMenu::Item& item : menu.items)
                if (!item.isSeparator())
                    QTest::newRow(qPrintable(item.caption)) << item.formName;
        }
        QTest::newRow("现金流水账") << QStringLiteral("Txjls_form");
        QTest::newRow("交班结算") << QStringLiteral("Tjbjs_form");
    }
    void menuOpensScreen()
    {
        QFETCH(QString, form);
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        // Something for the settlement and journal searches of the day to find, and a cash box.
        for (const char* table : {"jinhuodan", "jinhuodanth"})
            QVERIFY(shop.exec(QStringLiteral("insert into %1(djbh,rq,sj,gysmc,zdy,zhekou,hjje,zkje,qkje,hkje) "
                                             "values('X1','2024-03-05','09:00:00','甲','库管老李',1,10,10,10,0)")
                                  .arg(QLatin1String(table))));
        QVERIFY(
            shop.exec(QStringLiteral("insert into xjls(sj,rq,neirong,jiaje,jianje,ye,shuoming,czy) "
                                     "values('2024-03-05 09:00:00','2024-03-05','交班营业额',5,0,5,'营业额款','甲')")));
        QVERIFY(shop.exec(QStringLiteral("update boxje set je=800")));
        QVERIFY(QFile::copy(QStringLiteral(POS_PROGRAM_DIR "/bj10.bmp"), shop.file(QStringLiteral("bj10.bmp"))));

        ScriptedUi ui;
        MainWindow main(&ui);
        main.resize(1200, 800);
        main.show();
        LoginUser::set(QStringLiteral("001"), QStringLiteral("系统管理员"));
        main.userLoggedIn();
        const MainMenu::Item* item = MainMenu::findItem(form);
        QVERIFY(item);
        QVERIFY(main.action(form) && main.action(form)->isEnabled());

        // A message box from the screen would mean it cannot work; it is noted and closed.
        QString unexpected;
        ModalDriver::when([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                          [&](QWidget* w) {
                              unexpected = static_cast<QMessageBox*>(w)->text();
                              ModalDriver::pressOk(static_cast<QMessageBox*>(w));
                          });
        QString title;
        bool worked = false;
        if (item->opens == MainMenu::Opens::Modal) {
            ModalDriver::whenForm(form, [&](QWidget* screen) {
                title = screen->windowTitle();
                worked = works(screen, shop);
                screen->close();
            });
            QVERIFY(main.openScreen(form));
        } else {
            QVERIFY(main.openScreen(form));
            QCOMPARE(main.childScreenCount(), 1);
            QMdiSubWindow* sub = main.area()->subWindowList().value(0);
            QVERIFY(sub && sub->isMaximized());
            QCOMPARE(sub->widget()->objectName(), form);
            title = sub->windowTitle();
            worked = works(sub->widget(), shop);
            sub->close();
        }
        QCOMPARE(title, item->screenCaption);
        QVERIFY2(worked, qPrintable(unexpected));
        QCOMPARE(unexpected, QString());
        QVERIFY2(ui.shown.isEmpty(), qPrintable(ui.texts().join(QLatin1Char('|'))));
        ui.confirms << true;
    }
};

QTEST_MAIN(BackOfficeMenusTest)
#include "tst_backofficemenus.moc"
