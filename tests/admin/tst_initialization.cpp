#include "admin/Initialization.h"
#include "core/Clock.h"
#include "core/DbConnection.h"
#include "schema/Schema.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

// Initialization empties the groups of tables of the ticked boxes, all in one go or not at all,
// and only after the shop's data has been kept in a backup beside it.
class InitializationTest : public QObject {
    Q_OBJECT

    // Every table gets one row, so that what is emptied and what is left can be seen.
    static bool fill(TestShop& shop)
    {
        for (const Schema::Table& t : Schema::tables()) {
            if (t.name == QLatin1String("boxje") || t.name == QLatin1String("xtsz") ||
                t.name == QLatin1String("jfjs") || t.name == QLatin1String("userlogin") ||
                t.name == QLatin1String("usermenu"))
                continue;
            const QString column =
                t.columns.first().type == QLatin1String("auto") ? t.columns.at(1).name : t.columns.first().name;
            const bool number = t.columns.first().type != QLatin1String("auto") &&
                                !t.columns.first().type.startsWith(QLatin1String("text"));
            if (!shop.exec(QStringLiteral("insert into %1(%2) values(%3)")
                               .arg(t.name, column, number ? QStringLiteral("1") : QStringLiteral("'1'"))))
                return false;
        }
        return shop.exec(QStringLiteral("update boxje set je=123.5"));
    }

    static QStringList emptyTables(TestShop& shop)
    {
        QStringList list;
        for (const QString& t : Schema::tableNames()) {
            if (shop.count(t) == 0)
                list << t;
        }
        return list;
    }

private Q_SLOTS:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(15, 30, 0))); }
    void cleanup() { Clock::reset(); }

    // Each box on its own empties its tables and nothing else; no box touches the users, the
    // settings, the points base, the label queue, the scrap vouchers or the statistics tables.
    void oneBox_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QStringList>("emptied");
        QTest::addColumn<double>("cashBox");
        QTest::newRow("商品信息") << 0 << QStringList{"splb", "spjl", "spinfo"} << 123.5;
        QTest::newRow("库存信息") << 1 << QStringList{"ckinfo",          "kucun",       "jinhuodan",
                                                      "jinhuodanrecord", "jinhuodanth", "jinhuodanrecordth"}
                                  << 123.5;
        QTest::newRow("销售信息") << 2 << QStringList{"xiaoshoud",         "xiaoshoudrecord", "xiaoshoudth",
                                                      "xiaoshoudrecordth", "xiaoshoud2",      "xiaoshoudrecord2"}
                                  << 123.5;
        QTest::newRow("会员信息") << 3 << QStringList{"hyinfo"} << 123.5;
        QTest::newRow("资金信息") << 4 << QStringList{"xjls", "jine", "jine2"} << 0.0;
        QTest::newRow("供应商信息") << 5 << QStringList{"gysxx"} << 123.5;
    }
    void oneBox()
    {
        QFETCH(int, box);
        QFETCH(QStringList, emptied);
        QFETCH(double, cashBox);
        TestShop shop;
        ScriptedUi ui;
        QVERIFY(fill(shop));
        QVERIFY2(emptyTables(shop).isEmpty(), qPrintable(emptyTables(shop).join(',')));
        QList<bool> ticked(6, false);
        ticked[box] = true;
        ui.confirms << true;
        QVERIFY(Initialization::run(shop.db(), ui, ticked));
        QCOMPARE(ui.confirmTexts, QStringList{QStringLiteral("确实要初始化这些数据吗?")});
        QStringList got = emptyTables(shop);
        got.sort();
        emptied.sort();
        QCOMPARE(got, emptied);
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), cashBox);
        QCOMPARE(shop.count(QStringLiteral("boxje")), 1);
        // Emptying the cash box is kept with the other changes that are not sales.
        const bool emptiedBox = cashBox == 0.0;
        QCOMPARE(shop.count(QStringLiteral("boxjl")), emptiedBox ? 1 : 0);
        if (emptiedBox) {
            QCOMPARE(shop.scalar(QStringLiteral("select lx from boxjl")).toString(), QStringLiteral("初始化"));
            QCOMPARE(shop.scalar(QStringLiteral("select yje from boxjl")).toDouble(), 123.5);
            QCOMPARE(shop.scalar(QStringLiteral("select xje from boxjl")).toDouble(), 0.0);
            QCOMPARE(shop.scalar(QStringLiteral("select sj from boxjl")).toString(),
                     QStringLiteral("2026-12-10 15:30:00"));
        }
    }

    // Before anything goes, the shop is kept as a backup named after the moment, and the message
    // says where; the backup holds what was cleared.
    void backupFirst()
    {
        TestShop shop(true);
        ScriptedUi ui;
        const int members = shop.count(QStringLiteral("hyinfo"));
        QVERIFY(members > 0);
        ui.confirms << true;
        QString backup;
        QVERIFY(Initialization::run(shop.db(), ui, QList<bool>(6, true), &backup));
        const QString expected = shop.file(QStringLiteral("pos-初始化前-2026-12-10-153000.bak"));
        QCOMPARE(backup, expected);
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("初始化成功\n初始化前的数据已备份到 %1").arg(expected)});
        QCOMPARE(shop.count(QStringLiteral("hyinfo")), 0);
        DbConnection kept(expected);
        QVERIFY(kept.open());
        Query q(kept);
        q.setSql(QStringLiteral("select count(*) as n from hyinfo"));
        QVERIFY(q.open());
        QCOMPARE(q.integer(QStringLiteral("n")), members);

        // A second run in the same second does not write over the first backup.
        ui.clear();
        ui.confirms << true;
        QVERIFY(Initialization::run(shop.db(), ui, QList<bool>(6, true), &backup));
        QCOMPARE(backup, shop.file(QStringLiteral("pos-初始化前-2026-12-10-153000-2.bak")));
    }

    // Without the backup nothing is cleared: here the shop's file cannot be found under its name
    // (moved away while the program has it open), so no copy can be made of it.
    void noBackupNoInitialization()
    {
        TestShop shop;
        ScriptedUi ui;
        QVERIFY(fill(shop));
        const QString database = shop.file(QStringLiteral("pos.mdb"));
        const QString away = shop.file(QStringLiteral("away.mdb"));
        QVERIFY(QFile::rename(database, away));
        ui.confirms << true;
        const bool ran = Initialization::run(shop.db(), ui, QList<bool>(6, true));
        QVERIFY(QFile::rename(away, database));
        QVERIFY(!ran);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].kind, QStringLiteral("error"));
        QVERIFY2(ui.shown[0].text.startsWith(QStringLiteral("初始化前备份数据失败，没有初始化任何数据")),
                 qPrintable(ui.shown[0].text));
        QVERIFY(emptyTables(shop).isEmpty());
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 123.5);
        QVERIFY(QDir(shop.folder()).entryList({QStringLiteral("pos-初始化前-*")}).isEmpty());
    }

    // All or nothing: a statement that fails leaves every table as it was, and the error shows.
    void failureChangesNothing()
    {
        TestShop shop;
        ScriptedUi ui;
        QVERIFY(fill(shop));
        QVERIFY(shop.exec(QStringLiteral(
            "create trigger keep_members before delete on hyinfo begin select raise(abort,'members are kept'); end")));
        ui.confirms << true;
        QVERIFY(!Initialization::run(shop.db(), ui, QList<bool>(6, true)));
        QVERIFY(emptyTables(shop).isEmpty());
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 123.5);
        QCOMPARE(shop.count(QStringLiteral("boxjl")), 0);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].kind, QStringLiteral("error"));
        QVERIFY(ui.shown[0].text.startsWith(QStringLiteral("初始化失败，数据没有改动")));
        QVERIFY(ui.shown[0].text.contains(QStringLiteral("members are kept")));
    }

    // Cancel, or no box ticked, changes nothing and writes no backup.
    void nothingToDo()
    {
        TestShop shop;
        ScriptedUi ui;
        QVERIFY(fill(shop));
        ui.confirms << false;
        QVERIFY(!Initialization::run(shop.db(), ui, QList<bool>(6, true)));
        QVERIFY(!Initialization::run(shop.db(), ui, QList<bool>(6, false)));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("请选择要初始化的数据")});
        QVERIFY(emptyTables(shop).isEmpty());
        QVERIFY(!QFileInfo::exists(shop.file(QStringLiteral("pos-初始化前-2026-12-10-153000.bak"))));
    }
};

QTEST_GUILESS_MAIN(InitializationTest)
#include "tst_initialization.moc"
