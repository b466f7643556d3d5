#include "core/Login.h"
#include "core/LoginUser.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QTest>

// Looking users up, checking the password, counting the presses of "确认" and whom the till
// records as the operator afterwards.
class LoginTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { LoginUser::reset(); }

    void enterNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("administrator") << "001" << true << "系统管理员" << QStringList{};
        QTest::newRow("cashier") << "002" << true << "收银员小王" << QStringList{};
        QTest::newRow("unknown") << "009" << false << "" << QStringList{"无此编号，请重新输入"};
        QTest::newRow("empty") << "" << false << "" << QStringList{"无此编号，请重新输入"};
        QTest::newRow("number with blank") << "001 " << false << "" << QStringList{"无此编号，请重新输入"};
        QTest::newRow("quote is only text") << "' or '1'='1" << false << "" << QStringList{"无此编号，请重新输入"};
    }
    void enterNumber()
    {
        QFETCH(QString, number);
        QFETCH(bool, found);
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        ScriptedUi ui;
        Login login(shop.db(), ui);
        QVERIFY(login.start());
        QString got = QStringLiteral("stale");
        QCOMPARE(login.enterNumber(number, &got), found);
        QCOMPARE(got, name);
        QCOMPARE(ui.texts(), messages);
        QVERIFY(!LoginUser::isSet());
    }

    // A sequence of presses of "确认": each row gives the passwords typed before each press.
    void confirm_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("nameField");
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QList<int>>("outcomes");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("userName");

        const int in = int(Login::Outcome::LoggedIn);
        const int no = int(Login::Outcome::Refused);
        const int limit = int(Login::Outcome::LimitReached);
        const QString wrong = QStringLiteral("密码或用户名错误");
        const QString last = QStringLiteral("你只有3次登录机会,系统将关闭");

        QTest::newRow("right at once") << "001"
                                       << "系统管理员" << QStringList{"123"} << QList<int>{in} << QStringList{}
                                       << "系统管理员";
        QTest::newRow("wrong then right")
            << "002"
            << "收银员小王" << QStringList{"12", "123"} << QList<int>{no, in} << QStringList{wrong} << "收银员小王";
        QTest::newRow("right on the third") << "001"
                                            << "系统管理员" << QStringList{"a", "b", "123"} << QList<int>{no, no, in}
                                            << QStringList{wrong, wrong} << "系统管理员";
        // The fourth press is not tried, even with the right password.
        QTest::newRow("fourth press ends")
            << "001"
            << "系统管理员" << QStringList{"a", "b", "c", "123"} << QList<int>{no, no, no, limit}
            << QStringList{wrong, wrong, wrong, last} << "";
        QTest::newRow("unknown number") << "999"
                                        << "" << QStringList{"123"} << QList<int>{no} << QStringList{wrong} << "";
        // A row with an empty number (left by hand in the table) is no way in.
        QTest::newRow("empty number") << ""
                                      << "" << QStringList{"empty"} << QList<int>{no} << QStringList{wrong} << "";
        QTest::newRow("password with a blank")
            << "001"
            << "系统管理员" << QStringList{"123 "} << QList<int>{no} << QStringList{wrong} << "";
        // Number and password typed without Enter in the number field: the name comes from
        // the matched row, not the empty field.
        QTest::newRow("empty name field")
            << "002"
            << "" << QStringList{"123"} << QList<int>{in} << QStringList{} << "收银员小王";
        // A name the person typed is the name shown.
        QTest::newRow("name as shown") << "002"
                                       << "小王" << QStringList{"123"} << QList<int>{in} << QStringList{} << "小王";
    }
    void confirm()
    {
        QFETCH(QString, number);
        QFETCH(QString, nameField);
        QFETCH(QStringList, passwords);
        QFETCH(QList<int>, outcomes);
        QFETCH(QStringList, messages);
        QFETCH(QString, userName);
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("insert into userlogin(yhbh,yhmc,yhma) values('','无名','empty')")));
        ScriptedUi ui;
        Login login(shop.db(), ui);
        QVERIFY(login.start());
        QList<int> got;
        for (const QString& password : passwords)
            got << int(login.confirm(number, password, nameField));
        QCOMPARE(got, outcomes);
        QCOMPARE(ui.texts(), messages);
        for (const ScriptedUi::Shown& s : ui.shown) {
            QCOMPARE(s.title, QStringLiteral("系统登录提示"));
            QCOMPARE(s.icon, Ui::Icon::Warning);
        }
        QCOMPARE(LoginUser::isSet(), outcomes.last() == int(Login::Outcome::LoggedIn));
        QCOMPARE(LoginUser::name(), userName);
        if (LoginUser::isSet())
            QCOMPARE(LoginUser::number(), number);
        QCOMPARE(login.attempts(), int(passwords.size()));
    }

    // The name field fills from the number looked up by Enter. When the number is changed
    // afterwards without Enter, the name shown belongs to someone else and is not recorded.
    void nameFollowsTheNumber_data()
    {
        QTest::addColumn<QString>("entered");   // number looked up with Enter
        QTest::addColumn<QString>("number");    // number in the field at "确认"
        QTest::addColumn<QString>("nameField"); // "=" : the name Enter filled in
        QTest::addColumn<QString>("userName");
        QTest::newRow("same number") << "001"
                                     << "001"
                                     << "="
                                     << "系统管理员";
        QTest::newRow("number changed") << "001"
                                        << "002"
                                        << "="
                                        << "收银员小王";
        QTest::newRow("number changed, name typed") << "001"
                                                    << "002"
                                                    << "王"
                                                    << "王";
        QTest::newRow("unknown looked up first") << "009"
                                                 << "002"
                                                 << ""
                                                 << "收银员小王";
    }
    void nameFollowsTheNumber()
    {
        QFETCH(QString, entered);
        QFETCH(QString, number);
        QFETCH(QString, nameField);
        QFETCH(QString, userName);
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        ScriptedUi ui;
        Login login(shop.db(), ui);
        QVERIFY(login.start());
        QString filled;
        login.enterNumber(entered, &filled);
        if (nameField == QLatin1String("="))
            nameField = filled;
        QCOMPARE(login.confirm(number, QStringLiteral("123"), nameField), Login::Outcome::LoggedIn);
        QCOMPARE(LoginUser::number(), number);
        QCOMPARE(LoginUser::name(), userName);
    }

    // A table that cannot be read shows the engine's error, not the wrong-password message.
    void databaseErrorIsShown()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("drop table userlogin")));
        ScriptedUi ui;
        Login login(shop.db(), ui);
        QVERIFY(!login.start());
        QString name;
        QVERIFY(!login.enterNumber(QStringLiteral("001"), &name));
        QCOMPARE(login.confirm(QStringLiteral("001"), QStringLiteral("123"), QString()), Login::Outcome::Refused);
        QCOMPARE(ui.shown.size(), 3);
        for (const ScriptedUi::Shown& s : ui.shown) {
            QCOMPARE(s.kind, QStringLiteral("error"));
            QVERIFY2(s.text.contains(QStringLiteral("userlogin")), qPrintable(s.text));
        }
        QVERIFY(!LoginUser::isSet());
    }
};

QTEST_GUILESS_MAIN(LoginTest)
#include "tst_login.moc"
