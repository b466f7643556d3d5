#include "core/MainMenu.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QTest>

// The menu rights read from usermenu, the one-screen rule and the exit question.
class MainMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every screen a menu opens exists once, with its caption, and the rights cover the
    // seven top menus in order.
    void menuTree()
    {
        const QList<MainMenu::TopMenu>& menus = MainMenu::menus();
        QStringList tops;
        for (const MainMenu::TopMenu& t : menus)
            tops << t.caption;
        QCOMPARE(tops, (QStringList{"基本信息", "商品销售", "商品入库", "库存管理", "数据统计", "会员管理", "系统维护",
                                    "关于本系统"}));
        QStringList forms;
        int separators = 0;
        for (const MainMenu::TopMenu& t : menus) {
            for (const MainMenu::Item& item : t.items) {
                if (item.isSeparator()) {
                    ++separators;
                    continue;
                }
                QVERIFY(!item.caption.isEmpty());
                if (item.opens == MainMenu::Opens::Exit)
                    continue;
                QVERIFY2(!item.screenCaption.isEmpty(), qPrintable(item.caption));
                QVERIFY2(!forms.contains(item.formName), qPrintable(item.formName));
                forms << item.formName;
            }
        }
        QCOMPARE(forms.size(), 25);
        QCOMPARE(separators, 9);

        QStringList rights;
        for (const MainMenu::Right& r : MainMenu::rights())
            rights << r.column + QLatin1Char('=') + r.menu;
        QCOMPARE(rights, (QStringList{"m1=jbxx", "m2=spxs", "m3=sprk", "m4=kcgl", "m5=sjtj", "m6=hygl", "m7=xtwh"}));

        const MainMenu::Item* rk = MainMenu::findItem(QStringLiteral("Tsprkth_form"));
        QVERIFY(rk);
        QCOMPARE(rk->caption, QStringLiteral("入库退货"));
        QVERIFY(!rk->oneScreenRule);
        QCOMPARE(MainMenu::findItem(QStringLiteral("Tsplb_form"))->opens, MainMenu::Opens::Child);
        QCOMPARE(MainMenu::findItem(QStringLiteral("Tspxs_form"))->opens, MainMenu::Opens::Modal);
        QCOMPARE(MainMenu::findItem(QStringLiteral("Txjls_form"))->screenCaption, QStringLiteral("现金流水账"));
        QVERIFY(!MainMenu::findItem(QStringLiteral("Tnothing_form")));
    }

    void rights_data()
    {
        QTest::addColumn<QString>("row"); // values of m1 … m7, or "none" for no row
        QTest::addColumn<QStringList>("disabled");
        const QStringList all{"jbxx", "spxs", "sprk", "kcgl", "sjtj", "hygl", "xtwh"};
        QTest::newRow("only m2") << "0,1,0,0,0,0,0" << QStringList{"jbxx", "sprk", "kcgl", "sjtj", "hygl", "xtwh"};
        QTest::newRow("all empty") << "null,null,null,null,null,null,null" << all;
        QTest::newRow("no row") << "none" << all;
        QTest::newRow("all 1") << "1,1,1,1,1,1,1" << QStringList{};
        QTest::newRow("mixed with empty") << "1,null,1,0,2,1,null" << QStringList{"spxs", "kcgl", "xtwh"};
    }
    void rights()
    {
        QFETCH(QString, row);
        QFETCH(QStringList, disabled);
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        if (row != QLatin1String("none")) {
            QVERIFY2(
                shop.exec(QStringLiteral("insert into usermenu(yhbh,m1,m2,m3,m4,m5,m6,m7) values('005',%1)").arg(row)),
                qPrintable(shop.error()));
        }
        ScriptedUi ui;
        MainMenu::Rights rights;
        QVERIFY(rights.load(shop.db(), QStringLiteral("005"), ui));
        QCOMPARE(rights.disabledMenus(), disabled);
        for (const MainMenu::TopMenu& t : MainMenu::menus())
            QCOMPARE(rights.enabled(t.name), !disabled.contains(t.name));
        // The about menu has no right and is always usable.
        QVERIFY(rights.enabled(QStringLiteral("gybxt")));
        QVERIFY(ui.shown.isEmpty());
    }

    // Rights that cannot be read are reported and grant nothing.
    void rightsUnreadable()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("drop table usermenu")));
        ScriptedUi ui;
        MainMenu::Rights rights;
        QVERIFY(!rights.load(shop.db(), QStringLiteral("001"), ui));
        QCOMPARE(rights.disabledMenus().size(), 7);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
    }

    void oneScreenRule_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("children");
        QTest::addColumn<bool>("opens");
        QTest::newRow("nothing open") << "Txjls_form" << 0 << true;
        QTest::newRow("child over child") << "Txjls_form" << 1 << false;
        QTest::newRow("modal over child") << "Tspxs_form" << 1 << false;
        QTest::newRow("return to supplier skips the rule") << "Tsprkth_form" << 1 << true;
        QTest::newRow("about") << "Tabout_form" << 1 << false;
    }
    void oneScreenRule()
    {
        QFETCH(QString, form);
        QFETCH(int, children);
        QFETCH(bool, opens);
        ScriptedUi ui;
        const MainMenu::Item* item = MainMenu::findItem(form);
        QVERIFY(item);
        QCOMPARE(MainMenu::mayOpen(*item, children, ui), opens);
        if (opens) {
            QVERIFY(ui.shown.isEmpty());
        } else {
            QCOMPARE(ui.shown.size(), 1);
            QCOMPARE(ui.shown.first().title, QStringLiteral("系统提示"));
            QCOMPARE(ui.shown.first().text, QStringLiteral("请关闭请它窗口"));
            QCOMPARE(ui.shown.first().icon, Ui::Icon::Warning);
        }
    }

    void exitQuestion()
    {
        ScriptedUi ui;
        ui.confirms << false << true;
        QVERIFY(!MainMenu::confirmExit(ui));
        QVERIFY(MainMenu::confirmExit(ui));
        QCOMPARE(ui.confirmTexts, (QStringList{"真的要退出本系统吗？", "真的要退出本系统吗？"}));
        QCOMPARE(MainMenu::userPanelText(QString()), QStringLiteral("当前登录用户:"));
        QCOMPARE(MainMenu::userPanelText(QStringLiteral("小王")), QStringLiteral("当前登录用户:小王"));
    }
};

QTEST_GUILESS_MAIN(MainMenuTest)
#include "tst_mainmenu.moc"
