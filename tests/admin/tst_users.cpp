#include "admin/RightsLists.h"
#include "admin/UserScreens.h"
#include "admin/Users.h"
#include "core/LoginUser.h"
#include "core/MainMenu.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QTest>

// Users and their menu rights: the add dialog's checks in their order, the two rows written
// together, deleting with the rights row, the guards that keep somebody able to log in and to
// look after the shop, and the rights dialog that grants and takes away.
class UsersTest : public QObject {
    Q_OBJECT

    using User = Users::User;
    using Outcome = Users::Outcome;

    // The demonstration shop: 001 管理员 with every right, 002 收银员小王 with m2 and m6.
    struct Shop {
        TestShop shop{true};
        ScriptedUi ui;
        int users() { return shop.count(QStringLiteral("userlogin")); }
        int menus(const QString& number)
        {
            return shop.count(QStringLiteral("usermenu"), QStringLiteral("yhbh='%1'").arg(number));
        }
        QVariant right(const QString& number, const QString& column)
        {
            return shop.scalar(QStringLiteral("select %1 from usermenu where yhbh=:N").arg(column), {{"N", number}});
        }
        QStringList rights(const QString& number)
        {
            QStringList list;
            for (int i = 1; i <= 7; ++i)
                list << right(number, QStringLiteral("m%1").arg(i)).toString();
            return list;
        }
    };

private Q_SLOTS:
    void cleanup() { LoginUser::reset(); }

    // The checks run in their order: digits, then a duplicate, then the length, then the name.
    void addRefusals_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString digits = QStringLiteral("编码不是数字请重新输入");
        const QString format = QStringLiteral("格式错误或数据不完整，请重新输入");
        const QString duplicate = QStringLiteral("编号重复，请重新输入");
        const QString yhbh = QStringLiteral("yhbh");
        QTest::newRow("letter") << QStringLiteral("12a") << QStringLiteral("甲") << digits << yhbh;
        QTest::newRow("blank inside") << QStringLiteral("1 2") << QStringLiteral("甲") << digits << yhbh;
        QTest::newRow("full-width digits") << QStringLiteral("１２３") << QStringLiteral("甲") << digits << yhbh;
        QTest::newRow("two digits") << QStringLiteral("12") << QStringLiteral("甲") << format << yhbh;
        QTest::newRow("four digits") << QStringLiteral("1234") << QStringLiteral("甲") << format << yhbh;
        QTest::newRow("empty") << QString() << QStringLiteral("甲") << format << yhbh;
        QTest::newRow("existing") << QStringLiteral("002") << QStringLiteral("甲") << duplicate << yhbh;
        // An old two-digit user: the duplicate is found before the length is looked at.
        QTest::newRow("existing, wrong length") << QStringLiteral("77") << QStringLiteral("甲") << duplicate << yhbh;
        QTest::newRow("no name") << QStringLiteral("003") << QString() << QStringLiteral("用户名称不能为空，请重新输入")
                                 << QStringLiteral("yhmc");
        QTest::newRow("name too long")
            << QStringLiteral("003") << QString(21, QChar(u'名'))
            << QStringLiteral("用户名称“%1”超过20个字，请重新输入").arg(QString(21, QChar(u'名')))
            << QStringLiteral("yhmc");
    }
    void addRefusals()
    {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Shop s;
        QVERIFY2(s.shop.isValid(), qPrintable(s.shop.error()));
        QVERIFY(s.shop.exec(QStringLiteral("insert into userlogin(yhbh,yhmc) values('77','老用户')")));
        const int before = s.users();
        const int menusBefore = s.shop.count(QStringLiteral("usermenu"));
        UserForm form(RecordForm::Mode::Add, s.ui);
        QVERIFY(form.create());
        form.edited(QStringLiteral("yhbh"), number);
        form.edited(QStringLiteral("yhmc"), name);
        form.edited(QStringLiteral("yhma"), QStringLiteral("1"));
        QVERIFY(!form.confirm());
        QCOMPARE(s.ui.texts(), QStringList{message});
        QCOMPARE(form.focusField(), focus);
        QCOMPARE(form.text(QStringLiteral("yhbh")), number);
        QCOMPARE(s.users(), before);
        QCOMPARE(s.shop.count(QStringLiteral("usermenu")), menusBefore);
    }

    // The add dialog: 确认 waits for a number; Enter walks number, name, password and presses
    // 确认. A new user has one row in each table and no right at all, so the main window switches
    // every right-controlled menu off; rights a deleted user of that number left behind do not pass
    // on. The entries are emptied for the next user.
    void addWritesUserAndEmptyRights()
    {
        Shop s;
        QVERIFY(s.shop.exec(QStringLiteral("insert into usermenu(yhbh,m1,m7) values('005',1,1)")));
        UserForm form(RecordForm::Mode::Add, s.ui);
        QVERIFY(form.create());
        QVERIFY(!form.isEnabled(RecordForm::Confirm));
        QCOMPARE(form.focusField(), QStringLiteral("yhbh"));
        form.setText(QStringLiteral("yhbh"), QStringLiteral("005"));
        form.enterPressed(QStringLiteral("yhbh"));
        QVERIFY(form.isEnabled(RecordForm::Confirm));
        QCOMPARE(form.focusField(), QStringLiteral("yhmc"));
        form.edited(QStringLiteral("yhmc"), QStringLiteral("新人"));
        form.enterPressed(QStringLiteral("yhmc"));
        QCOMPARE(form.focusField(), QStringLiteral("yhma"));
        form.edited(QStringLiteral("gly"), QStringLiteral("1"));
        form.enterPressed(QStringLiteral("yhma"));

        QCOMPARE(s.ui.texts(), QStringList{QStringLiteral("保存成功")});
        QCOMPARE(
            s.shop
                .scalar(QStringLiteral("select yhmc||'/'||ifnull(yhma,'')||'/'||admin from userlogin where yhbh='005'"))
                .toString(),
            QStringLiteral("新人//1"));
        QCOMPARE(s.menus(QStringLiteral("005")), 1);
        QCOMPARE(s.rights(QStringLiteral("005")), QStringList(7, QString()));
        MainMenu::Rights rights;
        QVERIFY(rights.load(s.shop.db(), QStringLiteral("005"), s.ui));
        QCOMPARE(rights.disabledMenus().size(), 7);

        QCOMPARE(form.text(QStringLiteral("yhbh")), QString());
        QCOMPARE(form.text(QStringLiteral("gly")), QStringLiteral("0"));
        QVERIFY(!form.isEnabled(RecordForm::Confirm));
        QCOMPARE(form.focusField(), QStringLiteral("yhbh"));
    }

    // The two rows are one: when the rights row cannot be written, the user is not left behind.
    void addIsAllOrNothing()
    {
        Shop s;
        QVERIFY(s.shop.exec(QStringLiteral(
            "create trigger no_menu before insert on usermenu begin select raise(abort,'usermenu is locked'); end")));
        UserForm form(RecordForm::Mode::Add, s.ui);
        QVERIFY(form.create());
        form.edited(QStringLiteral("yhbh"), QStringLiteral("003"));
        form.edited(QStringLiteral("yhmc"), QStringLiteral("甲"));
        QVERIFY(!form.confirm());
        QCOMPARE(s.ui.shown.size(), 1);
        QCOMPARE(s.ui.shown[0].kind, QStringLiteral("error"));
        QVERIFY(s.ui.shown[0].text.startsWith(QStringLiteral("数据保存失败")));
        QVERIFY(s.ui.shown[0].text.contains(QStringLiteral("usermenu is locked")));
        QCOMPARE(form.focusField(), QStringLiteral("yhbh"));
        QCOMPARE(s.shop.count(QStringLiteral("userlogin"), QStringLiteral("yhbh='003'")), 0);
    }

    // The edit dialog shows the handed user, the password only in its hidden entry; 保存 waits for
    // a change (the administrator box counts as one) and stores the box as 1 or 0.
    void edit_data()
    {
        QTest::addColumn<QString>("admin");
        QTest::newRow("ticked") << QStringLiteral("1");
        QTest::newRow("cleared") << QStringLiteral("0");
    }
    void edit()
    {
        QFETCH(QString, admin);
        Shop s;
        UserForm form(RecordForm::Mode::Edit, s.ui);
        QVERIFY(form.create(QStringLiteral("002")));
        QCOMPARE(form.text(QStringLiteral("yhbh")), QStringLiteral("002"));
        QCOMPARE(form.text(QStringLiteral("yhmc")), QStringLiteral("收银员小王"));
        QCOMPARE(form.text(QStringLiteral("gly2")), QStringLiteral("0"));
        QVERIFY(!form.isEnabled(RecordForm::Save));
        // Enter in the password without a change goes back to the number.
        form.enterPressed(QStringLiteral("yhma"));
        QCOMPARE(form.focusField(), QStringLiteral("yhbh"));

        form.edited(QStringLiteral("gly2"), admin == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0"));
        QVERIFY(form.isEnabled(RecordForm::Save));
        form.edited(QStringLiteral("yhmc"), QStringLiteral("小李"));
        form.edited(QStringLiteral("yhma"), QStringLiteral("9"));
        form.enterPressed(QStringLiteral("yhma"));
        QCOMPARE(s.ui.texts(), QStringList{QStringLiteral("保存成功")});
        QVERIFY(!form.isEnabled(RecordForm::Save));
        QCOMPARE(s.shop.scalar(QStringLiteral("select yhmc||'/'||yhma||'/'||admin from userlogin where yhbh='002'"))
                     .toString(),
                 QStringLiteral("小李/9/%1").arg(admin));
        QCOMPARE(form.text(QStringLiteral("yhbh")), QStringLiteral("002"));
    }

    // An empty name, an over-long password and a user deleted meanwhile change nothing.
    void editRefusals()
    {
        Shop s;
        UserForm form(RecordForm::Mode::Edit, s.ui);
        QVERIFY(form.create(QStringLiteral("002")));
        form.edited(QStringLiteral("yhmc"), QString());
        QVERIFY(!form.save());
        form.edited(QStringLiteral("yhmc"), QStringLiteral("甲"));
        form.edited(QStringLiteral("yhma"), QString(21, u'x'));
        QVERIFY(!form.save());
        form.edited(QStringLiteral("yhma"), QStringLiteral("1"));
        QVERIFY(s.shop.exec(QStringLiteral("delete from userlogin where yhbh='002'")));
        QVERIFY(!form.save());
        QCOMPARE(s.ui.texts(), (QStringList{QStringLiteral("用户名称不能为空，请重新输入"),
                                            QStringLiteral("用户密码超过20个字，请重新输入"),
                                            QStringLiteral("数据保存失败\n用户002已不存在")}));
        QCOMPARE(s.users(), 1);
    }

    // Deleting from the list takes the rights row with the user, so a later user of the same
    // number starts with no rights. The list never shows a password.
    void deleteTakesTheRights()
    {
        Shop s;
        LoginUser::set(QStringLiteral("001"), QStringLiteral("管理员"));
        UserList list(s.ui);
        QVERIFY(list.create());
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.currentText(QStringLiteral("yhma")), QStringLiteral("******"));
        QVERIFY(list.moveToKey(QStringLiteral("002")));
        s.ui.confirms << true;
        QVERIFY(list.removeCurrent());
        QCOMPARE(list.count(), 1);
        QCOMPARE(s.ui.confirmTexts, QStringList{QStringLiteral("确实要删除该记录吗?")});
        QCOMPARE(s.ui.texts(), QStringList{QStringLiteral("删除成功")});
        QCOMPARE(s.shop.count(QStringLiteral("userlogin"), QStringLiteral("yhbh='002'")), 0);
        QCOMPARE(s.menus(QStringLiteral("002")), 0);

        QString error;
        QVERIFY(Users::insert(s.shop.db(), User{QStringLiteral("002"), QStringLiteral("新收银员"), QString(), false},
                              &error));
        QCOMPARE(s.rights(QStringLiteral("002")), QStringList(7, QString()));
    }

    // Cancel deletes nothing; neither does a database error, which is shown.
    void deleteCancelledOrFailing()
    {
        Shop s;
        s.ui.confirms << false;
        bool deleted = true;
        QCOMPARE(Users::remove(s.shop.db(), s.ui, QStringLiteral("002"), &deleted), Outcome::Done);
        QVERIFY(!deleted);
        QVERIFY(s.ui.texts().isEmpty());

        QVERIFY(s.shop.exec(QStringLiteral(
            "create trigger keep_menu before delete on usermenu begin select raise(abort,'usermenu is locked'); end")));
        s.ui.confirms << true;
        QCOMPARE(Users::remove(s.shop.db(), s.ui, QStringLiteral("002"), &deleted), Outcome::Failed);
        QVERIFY(!deleted);
        QCOMPARE(s.ui.shown.last().kind, QStringLiteral("error"));
        QVERIFY(s.ui.lastText().startsWith(QStringLiteral("删除失败")));
        // The userlogin row deleted first came back with the rollback.
        QCOMPARE(s.users(), 2);
        QCOMPARE(s.menus(QStringLiteral("002")), 1);
    }

    // Nobody could log in, or look after the shop, if these went.
    void deleteGuards_data()
    {
        QTest::addColumn<QString>("loggedIn");
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("secondAdministrator");
        QTest::addColumn<QString>("message");
        QTest::newRow("the logged-in user") << QStringLiteral("002") << QStringLiteral("002") << false
                                            << QStringLiteral("用户002正在使用本系统，不能删除");
        QTest::newRow("the last with 系统维护")
            << QStringLiteral("002") << QStringLiteral("001") << false
            << QStringLiteral("用户001是唯一有系统维护权限的用户，删除后就没有人能维护本系统了，不能删除");
        QTest::newRow("one of two with 系统维护")
            << QStringLiteral("002") << QStringLiteral("001") << true << QString();
    }
    void deleteGuards()
    {
        QFETCH(QString, loggedIn);
        QFETCH(QString, number);
        QFETCH(bool, secondAdministrator);
        QFETCH(QString, message);
        Shop s;
        LoginUser::set(loggedIn, QStringLiteral("某人"));
        if (secondAdministrator)
            QVERIFY(s.shop.exec(QStringLiteral("update usermenu set m7=1 where yhbh='002'")));
        if (message.isEmpty())
            s.ui.confirms << true;
        const Outcome expected = message.isEmpty() ? Outcome::Done : Outcome::Refused;
        QCOMPARE(Users::remove(s.shop.db(), s.ui, number), expected);
        QCOMPARE(s.ui.texts(), QStringList{message.isEmpty() ? QStringLiteral("删除成功") : message});
        QCOMPARE(s.shop.count(QStringLiteral("userlogin"), QStringLiteral("yhbh='%1'").arg(number)),
                 message.isEmpty() ? 0 : 1);
        QVERIFY(s.ui.unexpected.isEmpty());
    }

    // The rights dialog opens with the held rights on the right; 确认 grants what is there and
    // takes away what is not.
    void rightsGrantAndRevoke()
    {
        Shop s;
        RightsForm cashier(QStringLiteral("002"), s.ui);
        QVERIFY(cashier.create());
        QCOMPARE(cashier.userLabel(), QStringLiteral("当前用户：收银员小王"));
        QCOMPARE(cashier.lists().usable(), (QStringList{QStringLiteral("B1商品销售"), QStringLiteral("F1会员管理")}));

        QVERIFY(s.shop.exec(QStringLiteral("insert into userlogin(yhbh,yhmc) values('003','新人')")));
        QVERIFY(s.shop.exec(QStringLiteral("insert into usermenu(yhbh) values('003')")));
        RightsForm form(QStringLiteral("003"), s.ui);
        QVERIFY(form.create());
        QCOMPARE(form.lists().all().size(), 7);
        QVERIFY(!form.isEnabled(RightsForm::ExcludeBtn));
        QVERIFY(!form.isEnabled(RightsForm::ExAllBtn));
        // "C1商品入库" and "A1基本信息" moved: m3 and m1 granted, nothing else.
        form.include({2, 0});
        QCOMPARE(form.lists().usable(), (QStringList{QStringLiteral("C1商品入库"), QStringLiteral("A1基本信息")}));
        QVERIFY(form.isEnabled(RightsForm::ExcludeBtn));
        QVERIFY(form.confirm());
        QCOMPARE(s.ui.texts(), QStringList{QStringLiteral("设置完成")});
        QCOMPARE(s.rights(QStringLiteral("003")), (QStringList{"1", "0", "1", "0", "0", "0", "0"}));

        // Opened again: the two are on the right; moving one back takes it away.
        RightsForm again(QStringLiteral("003"), s.ui);
        QVERIFY(again.create());
        QCOMPARE(again.lists().usable(), (QStringList{QStringLiteral("A1基本信息"), QStringLiteral("C1商品入库")}));
        again.exclude({1});
        QCOMPARE(again.focusField(), RightsForm::DstList);
        QVERIFY(again.confirm());
        QCOMPARE(s.rights(QStringLiteral("003")), (QStringList{"1", "0", "0", "0", "0", "0", "0"}));

        // All of them, then none.
        again.includeAll();
        QVERIFY(!again.isEnabled(RightsForm::IncludeBtn));
        QVERIFY(again.confirm());
        QCOMPARE(s.rights(QStringLiteral("003")), QStringList(7, QStringLiteral("1")));
        again.excludeAll();
        QVERIFY(again.confirm());
        QCOMPARE(s.rights(QStringLiteral("003")), QStringList(7, QStringLiteral("0")));
    }

    // A user whose rights row was lost gets one; a user who is gone gets none.
    void rightsRowMissing()
    {
        Shop s;
        QVERIFY(s.shop.exec(QStringLiteral("delete from usermenu where yhbh='002'")));
        QCOMPARE(Users::saveRights(s.shop.db(), s.ui, QStringLiteral("002"), {QStringLiteral("B1商品销售")}),
                 Outcome::Done);
        QCOMPARE(s.rights(QStringLiteral("002")), (QStringList{"0", "1", "0", "0", "0", "0", "0"}));
        QCOMPARE(Users::saveRights(s.shop.db(), s.ui, QStringLiteral("009"), {QStringLiteral("B1商品销售")}),
                 Outcome::Refused);
        QCOMPARE(s.menus(QStringLiteral("009")), 0);
    }

    // 系统维护 cannot be taken from its last holder; with a second holder it can.
    void rightsKeepAnAdministrator()
    {
        Shop s;
        QStringList six = Users::allRightItems();
        six.removeLast();
        QCOMPARE(Users::saveRights(s.shop.db(), s.ui, QStringLiteral("001"), six), Outcome::Refused);
        QCOMPARE(s.ui.texts(), QStringList{QStringLiteral(
                                   "用户001是唯一有“系统维护”权限的用户，取消后就没有人能维护本系统了，不能取消")});
        QCOMPARE(s.right(QStringLiteral("001"), QStringLiteral("m7")).toInt(), 1);

        QVERIFY(s.shop.exec(QStringLiteral("update usermenu set m7=1 where yhbh='002'")));
        QCOMPARE(Users::saveRights(s.shop.db(), s.ui, QStringLiteral("001"), six), Outcome::Done);
        QCOMPARE(s.right(QStringLiteral("001"), QStringLiteral("m7")).toInt(), 0);
    }

    // All seven updates are one: a failing one leaves every right as it was.
    void rightsAllOrNothing()
    {
        Shop s;
        QVERIFY(s.shop.exec(QStringLiteral("create trigger no_m5 before update of m5 on usermenu "
                                           "begin select raise(abort,'m5 is locked'); end")));
        QCOMPARE(Users::saveRights(s.shop.db(), s.ui, QStringLiteral("002"), Users::allRightItems()), Outcome::Failed);
        QCOMPARE(s.ui.shown.last().kind, QStringLiteral("error"));
        QVERIFY(!s.ui.texts().contains(QStringLiteral("设置完成")));
        QCOMPARE(s.rights(QStringLiteral("002")), (QStringList{"0", "1", "0", "0", "0", "1", "0"}));
    }

    // The moves between the two lists, the selection they leave and the buttons they enable.
    void listMoves()
    {
        using Side = RightsLists::Side;
        RightsLists l;
        l.reset({});
        QCOMPARE(l.all(), Users::allRightItems());
        QVERIFY(l.canGrant());
        QVERIFY(!l.canRevoke());

        // Several selected arrive in reverse order; the source selects the first moved position.
        l.moveSelected(Side::All, {1, 3, 4});
        QCOMPARE(l.usable(), (QStringList{QStringLiteral("E1数据统计"), QStringLiteral("D1库存管理"),
                                          QStringLiteral("B1商品销售")}));
        QCOMPARE(l.focus(), Side::All);
        QCOMPARE(l.selectedRow(), 1);
        QVERIFY(l.canRevoke());

        // Back again: "全部菜单" stays sorted; the source list is shorter, so its last item is selected.
        l.moveSelected(Side::Usable, {1, 2});
        QCOMPARE(l.all().size(), 6);
        QVERIFY(std::is_sorted(l.all().cbegin(), l.all().cend()));
        QCOMPARE(l.usable(), QStringList{QStringLiteral("E1数据统计")});
        QCOMPARE(l.focus(), Side::Usable);
        QCOMPARE(l.selectedRow(), 0);

        // Nothing selected moves nothing.
        l.moveSelected(Side::All, {});
        QCOMPARE(l.all().size(), 6);

        l.moveAll(Side::All);
        QCOMPARE(l.usable().size(), 7);
        QCOMPARE(l.usable().mid(1), (QStringList{QStringLiteral("A1基本信息"), QStringLiteral("B1商品销售"),
                                                 QStringLiteral("C1商品入库"), QStringLiteral("D1库存管理"),
                                                 QStringLiteral("F1会员管理"), QStringLiteral("G1系统维护")}));
        QVERIFY(!l.canGrant());
        QCOMPARE(l.selectedRow(), -1);

        l.moveAll(Side::Usable);
        QCOMPARE(l.all(), Users::allRightItems());
        QVERIFY(!l.canRevoke());
    }
};

QTEST_GUILESS_MAIN(UsersTest)
#include "tst_users.moc"
