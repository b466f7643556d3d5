#include "admin/SystemSettings.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QTest>

// The settings dialog shows what is stored and stores what it shows: saving a page without
// changes keeps every switch, and each page writes only its own columns.
class SettingsTest : public QObject {
    Q_OBJECT

    static QString stored(TestShop& shop)
    {
        return shop.scalar(QStringLiteral("select prnt1||prnt2||qx||ku||jia||qt1 from xtsz")).toString();
    }
    static QList<bool> flags(const QString& bits)
    {
        QList<bool> list;
        for (QChar c : bits)
            list << (c == QLatin1Char('1'));
        return list;
    }

private Q_SLOTS:
    // The boxes load from the table, and saving them unchanged stores what was there.
    void unchangedSaveKeepsSwitches_data()
    {
        QTest::addColumn<QString>("bits"); // prnt1 prnt2 qx ku jia qt1
        QTest::newRow("all off") << QStringLiteral("000000");
        QTest::newRow("all on") << QStringLiteral("111111");
        QTest::newRow("drawer, stock and voice") << QStringLiteral("011001");
        QTest::newRow("the old fixed states") << QStringLiteral("100110");
    }
    void unchangedSaveKeepsSwitches()
    {
        QFETCH(QString, bits);
        TestShop shop;
        ScriptedUi ui;
        QVERIFY(shop.exec(QStringLiteral("update xtsz set prnt1=:A,prnt2=:B,qx=:C,ku=:D,jia=:E,qt1=:F"),
                          {{"A", bits.mid(0, 1).toInt()},
                           {"B", bits.mid(1, 1).toInt()},
                           {"C", bits.mid(2, 1).toInt()},
                           {"D", bits.mid(3, 1).toInt()},
                           {"E", bits.mid(4, 1).toInt()},
                           {"F", bits.mid(5, 1).toInt()}}));
        SettingsForm form(ui);
        QVERIFY(form.create());
        for (int i = 0; i < 6; ++i)
            QCOMPARE(form.text(QStringLiteral("prnt%1").arg(i + 1)), bits.mid(i, 1));
        QVERIFY(form.saveSwitches());
        QCOMPARE(stored(shop), bits);
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("保存成功")});
    }

    // Enter walks the company entries and rests on their 存盘 without pressing it; Enter on the
    // button itself presses it.
    void enterOrder()
    {
        TestShop shop;
        ScriptedUi ui;
        SettingsForm form(ui);
        QVERIFY(form.create());
        QCOMPARE(form.focusField(), QStringLiteral("gsmc"));
        QCOMPARE(form.text(QStringLiteral("gsmc")), QStringLiteral("翠湖超市"));
        for (const char* next : {"gsdz", "gsdh", "saveCompany"}) {
            form.enterPressed(form.focusField());
            QCOMPARE(form.focusField(), QString::fromLatin1(next));
        }
        QVERIFY(ui.texts().isEmpty());
        form.setText(QStringLiteral("gsmc"), QStringLiteral("湖边小店"));
        form.enterPressed(SettingsForm::SaveCompany);
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("保存成功")});
        QCOMPARE(shop.scalar(QStringLiteral("select gsmc from xtsz")).toString(), QStringLiteral("湖边小店"));
    }

    // The company page writes its three fields and leaves the switches; the switches page the other way.
    void pagesWriteTheirOwnColumns()
    {
        TestShop shop;
        ScriptedUi ui;
        QVERIFY(shop.exec(QStringLiteral("update xtsz set prnt1=0,prnt2=1,qx=1,ku=0,jia=0,qt1=1,qt2=7")));
        QVERIFY(SystemSettings::saveCompany(
            shop.db(), ui, {QStringLiteral("湖边小店"), QStringLiteral("翠湖路1号"), QStringLiteral("0871-1234567")}));
        QCOMPARE(stored(shop), QStringLiteral("011001"));
        QVERIFY(SystemSettings::saveSwitches(shop.db(), ui, flags(QStringLiteral("100000"))));
        SystemSettings::Values v;
        QVERIFY(SystemSettings::load(shop.db(), ui, &v));
        QCOMPARE(v.company.gsmc, QStringLiteral("湖边小店"));
        QCOMPARE(v.company.gsdz, QStringLiteral("翠湖路1号"));
        QCOMPARE(v.company.gsdh, QStringLiteral("0871-1234567"));
        QCOMPARE(stored(shop), QStringLiteral("100000"));
        QCOMPARE(shop.scalar(QStringLiteral("select qt2 from xtsz")).toInt(), 7);
        QCOMPARE(shop.count(QStringLiteral("xtsz")), 1);
    }

    // A shop whose settings row has gone gets it back instead of a "保存成功" over nothing.
    void emptyTableGetsItsRow()
    {
        TestShop shop;
        ScriptedUi ui;
        QVERIFY(shop.exec(QStringLiteral("delete from xtsz")));
        SystemSettings::Values v;
        QVERIFY(SystemSettings::load(shop.db(), ui, &v));
        QCOMPARE(v.on, QList<bool>(6, false));
        QVERIFY(SystemSettings::saveSwitches(shop.db(), ui, flags(QStringLiteral("001000"))));
        QVERIFY(SystemSettings::saveCompany(shop.db(), ui, {QStringLiteral("店"), QString(), QString()}));
        QCOMPARE(shop.count(QStringLiteral("xtsz")), 1);
        QCOMPARE(stored(shop), QStringLiteral("001000"));
        QCOMPARE(shop.scalar(QStringLiteral("select gsmc from xtsz")).toString(), QStringLiteral("店"));
    }

    // An over-long field names itself and stores nothing; a database error is shown, not "保存成功".
    void refusalsAndErrors()
    {
        TestShop shop;
        ScriptedUi ui;
        const QString before = shop.scalar(QStringLiteral("select gsmc from xtsz")).toString();
        const QString longPhone = QStringLiteral("123456789012345678901");
        QVERIFY(!SystemSettings::saveCompany(shop.db(), ui, {QStringLiteral("店"), QString(), longPhone}));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("公司电话“%1”超过20个字，请重新输入").arg(longPhone)});
        QCOMPARE(shop.scalar(QStringLiteral("select gsmc from xtsz")).toString(), before);

        ui.clear();
        QVERIFY(shop.exec(QStringLiteral(
            "create trigger frozen before update on xtsz begin select raise(abort,'settings are frozen'); end")));
        QVERIFY(!SystemSettings::saveSwitches(shop.db(), ui, QList<bool>(6, true)));
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].kind, QStringLiteral("error"));
        QVERIFY(ui.shown[0].text.contains(QStringLiteral("settings are frozen")));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
