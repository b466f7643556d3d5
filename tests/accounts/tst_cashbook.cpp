#include "accounts/CashJournal.h"
#include "accounts/Journal.h"
#include "accounts/Settlement.h"
#include "accounts/ShiftHandover.h"
#include "core/TextUtil.h"
#include "stock/StockFixture.h"

#include <QFileInfo>
#include <QTest>

using namespace StockFixture;

// The cash book: the journal's running balance across its writers, the shift handover with its
// cash-box records, and the journal screen's search, export and print.
class CashBookTest : public QObject {
    Q_OBJECT

    using H = ShiftHandover;

    struct Till {
        TestShop shop{true};
        ScriptedUi ui;
        ShiftHandover screen{ui};

        explicit Till(double box = 800)
        {
            shop.exec(QStringLiteral("update boxje set je=:JE"), {{QStringLiteral("JE"), box}});
        }
        bool open() { return shop.isValid() && screen.create(); }
        double value(const QString& sql) { return shop.scalar(sql).toDouble(); }
        double box() { return value(QStringLiteral("select je from boxje")); }
        // Types the handover amount, Enter, Enter, and presses "交班".
        bool handOver(const QString& amount)
        {
            screen.setText(H::Jbje, amount);
            screen.enterPressed(H::Jbje);
            screen.enterPressed(H::Boxye);
            return screen.handOver();
        }
    };

private Q_SLOTS:
    void init() { startDay(); }
    void cleanup() { endDay(); }

    // Each writer's row continues the balance of the row added last.
    void balanceAcrossWriters()
    {
        Till t;
        QVERIFY(t.open());
        QVERIFY(t.handOver(QStringLiteral("500")));
        QCOMPARE(t.value(QStringLiteral("select ye from xjls")), 500.0);
        QCOMPARE(t.shop.scalar(QStringLiteral("select neirong from xjls")).toString(), QStringLiteral("交班营业额"));
        QCOMPARE(t.shop.scalar(QStringLiteral("select shuoming from xjls")).toString(), QStringLiteral("营业额款"));
        QCOMPARE(t.value(QStringLiteral("select jiaje from xjls")), 500.0);
        QCOMPARE(t.value(QStringLiteral("select jianje from xjls")), 0.0);

        QString error;
        QVERIFY(Journal::add(t.shop.db(), Journal::supplierPayment(120.25, QStringLiteral("甲")), &error));
        QVERIFY(Journal::add(t.shop.db(), Journal::supplierRefund(30, QStringLiteral("乙")), &error));
        // A row added after the clock was put back a day still follows the newest row.
        Clock::setFixed(QDateTime(QDate(2024, 3, 4), QTime(9, 0, 0)));
        QVERIFY(Journal::add(t.shop.db(), Journal::handover(0.1234), &error));
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(15, 0, 0)));
        QVERIFY(Journal::add(t.shop.db(), Journal::supplierPayment(10, QStringLiteral("甲")), &error));

        Query q(t.shop.db());
        q.setSql(QStringLiteral("select * from xjls order by rowid"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 5);
        const double expected[] = {500, 379.75, 409.75, 409.8734, 399.8734};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(q.number(i, QStringLiteral("ye")), expected[i]);
        QCOMPARE(q.number(1, QStringLiteral("jianje")), -120.25);
        QCOMPARE(q.text(3, QStringLiteral("rq")), QStringLiteral("2024-03-04"));
        double previous = 0;
        QVERIFY(Journal::previousBalance(t.shop.db(), &previous, &error));
        QCOMPARE(previous, 399.8734);
    }

    // A supplier's name is cut to 20 GBK bytes without splitting a Chinese character.
    void supplierNameCut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept");
        QTest::newRow("short") << QStringLiteral("甲供应商") << QStringLiteral("甲供应商");
        QTest::newRow("ten characters") << QStringLiteral("一二三四五六七八九十")
                                        << QStringLiteral("一二三四五六七八九十");
        QTest::newRow("eleven characters")
            << QStringLiteral("一二三四五六七八九十壹") << QStringLiteral("一二三四五六七八九十");
        QTest::newRow("a half character left over")
            << QStringLiteral("A一二三四五六七八九十") << QStringLiteral("A一二三四五六七八九");
        QTest::newRow("latin") << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")
                               << QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    }
    void supplierNameCut()
    {
        QFETCH(QString, name);
        QFETCH(QString, kept);
        QCOMPARE(Journal::leftGbk(name, 20), kept);
        QVERIFY(TextUtil::gbkLength(kept) <= 20);
        QCOMPARE(Journal::supplierPayment(1, name).shuoming, QStringLiteral("付") + kept);
        QCOMPARE(Journal::supplierRefund(1, name).shuoming, QStringLiteral("收退货") + kept);
    }

    // Cash box 800, handover 500: the balance 300, the box set to it, the journal row, the
    // record of the change, and the screen showing the new box so a second press cannot book
    // the same takings again.
    void handover()
    {
        Till t;
        QVERIFY(t.open());
        QCOMPARE(t.screen.text(H::Boxje), QStringLiteral("800"));
        QCOMPARE(t.screen.text(H::Jbje), QStringLiteral("800"));
        QCOMPARE(t.screen.text(H::Tzje), QStringLiteral("800"));
        QCOMPARE(t.screen.text(H::Jbjl), H::Ticked);
        QVERIFY(!t.screen.adjustmentVisible());

        t.screen.setText(H::Jbje, QStringLiteral("500"));
        t.screen.enterPressed(H::Jbje);
        QCOMPARE(t.screen.text(H::Boxye), QStringLiteral("300"));
        QCOMPARE(t.screen.focusField(), H::Boxye);
        t.screen.enterPressed(H::Boxye);
        QCOMPARE(t.screen.focusField(), H::HandOver);
        QVERIFY(t.screen.handOver());
        QCOMPARE(t.ui.lastText(), QStringLiteral("交班成功"));
        QCOMPARE(t.box(), 300.0);
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 1);
        QCOMPARE(t.value(QStringLiteral("select jiaje from xjls")), 500.0);
        QCOMPARE(t.screen.text(H::Boxje), QStringLiteral("300"));
        QCOMPARE(t.screen.text(H::Jbje), QStringLiteral("300"));
        QCOMPARE(t.screen.text(H::Boxye), QString());
        QCOMPARE(t.screen.audit().count(), 1);
        QCOMPARE(t.screen.audit().text(0, QStringLiteral("lx")), QStringLiteral("交班"));
        QCOMPARE(t.screen.audit().value(0, QStringLiteral("yje")).toDouble(), 800.0);
        QCOMPARE(t.screen.audit().value(0, QStringLiteral("xje")).toDouble(), 300.0);
        QCOMPARE(t.screen.audit().text(0, QStringLiteral("czy")), QStringLiteral("库管老李"));
        QCOMPARE(t.screen.audit().text(0, QStringLiteral("sj")), QStringLiteral("2024-03-05 14:05:09"));

        // Pressing "交班" again books nothing twice.
        QVERIFY(!t.screen.handOver());
        QCOMPARE(t.ui.lastText(), QStringLiteral("请在“交班金额”中按回车，算出交班后余额"));
        QCOMPARE(t.box(), 300.0);
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 1);

        // Without the journal tick only the box moves.
        t.screen.setText(H::Jbjl, H::Unticked);
        QVERIFY(t.handOver(QStringLiteral("300")));
        QCOMPARE(t.box(), 0.0);
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 1);
        QCOMPARE(t.shop.count(QStringLiteral("boxjl")), 2);
    }

    // What cannot be a handover is refused with a message and changes nothing.
    void handoverRefusals_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("pressEnter");
        QTest::addColumn<QString>("changedAfter"); // the amount typed over after Enter
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number, Enter")
            << QStringLiteral("五百") << true << QString() << QStringLiteral("交班金额“五百”不是数字，请重新输入");
        QTest::newRow("not a number") << QStringLiteral("五百") << false << QString()
                                      << QStringLiteral("交班金额“五百”不正确，请输入大于0的数字");
        QTest::newRow("zero") << QStringLiteral("0") << true << QString()
                              << QStringLiteral("交班金额“0”不正确，请输入大于0的数字");
        QTest::newRow("more than the box") << QStringLiteral("900") << true << QString()
                                           << QStringLiteral("交班金额900大于钱箱金额800，请核对或先调整钱箱金额");
        QTest::newRow("no Enter: no balance")
            << QStringLiteral("500") << false << QString() << QStringLiteral("请在“交班金额”中按回车，算出交班后余额");
        QTest::newRow("changed after Enter")
            << QStringLiteral("500") << true << QStringLiteral("600")
            << QStringLiteral("交班金额已改动，请在“交班金额”中按回车重新计算交班后余额");
    }
    void handoverRefusals()
    {
        QFETCH(QString, amount);
        QFETCH(bool, pressEnter);
        QFETCH(QString, changedAfter);
        QFETCH(QString, message);
        Till t;
        QVERIFY(t.open());
        t.screen.setText(H::Jbje, amount);
        if (pressEnter)
            t.screen.enterPressed(H::Jbje);
        if (!changedAfter.isEmpty())
            t.screen.setText(H::Jbje, changedAfter);
        QVERIFY(!t.screen.handOver());
        QCOMPARE(t.ui.texts().value(0), message);
        QCOMPARE(t.box(), 800.0);
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 0);
        QCOMPARE(t.shop.count(QStringLiteral("boxjl")), 0);
    }

    // The cash box moved after the screen showed it (a sale was taken meanwhile): the figures
    // the person decided on no longer hold, so nothing is booked and the new box is shown.
    void boxMovedMeanwhile()
    {
        Till t;
        QVERIFY(t.open());
        t.screen.setText(H::Jbje, QStringLiteral("500"));
        t.screen.enterPressed(H::Jbje);
        QVERIFY(t.shop.exec(QStringLiteral("update boxje set je=850")));
        QVERIFY(!t.screen.handOver());
        QCOMPARE(t.ui.lastText(), QStringLiteral("钱箱金额已变为850，请核对后重新操作"));
        QCOMPARE(t.box(), 850.0);
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 0);
        QCOMPARE(t.shop.count(QStringLiteral("boxjl")), 0);
        QCOMPARE(t.screen.text(H::Boxje), QStringLiteral("850"));
        QCOMPARE(t.screen.text(H::Boxye), QString());
        QVERIFY(t.handOver(QStringLiteral("500")));
        QCOMPARE(t.box(), 350.0);
    }

    // A failing journal row takes the cash-box update back with it.
    void handoverIsOneTransaction()
    {
        Till t;
        QVERIFY(t.open());
        QVERIFY(t.shop.exec(QStringLiteral("create trigger full before insert on xjls "
                                           "begin select raise(abort,'现金账已封账'); end")));
        QVERIFY(!t.handOver(QStringLiteral("500")));
        QVERIFY(t.ui.lastText().contains(QStringLiteral("现金账已封账")));
        QCOMPARE(t.box(), 800.0);
        QCOMPARE(t.shop.count(QStringLiteral("boxjl")), 0);
        QCOMPARE(t.screen.text(H::Boxje), QStringLiteral("800"));
    }

    // The adjustment sets the box, writes no journal row and keeps who, old, new and why; the
    // screen lists the last ten changes, newest first.
    void adjustment()
    {
        Till t;
        QVERIFY(t.open());
        t.screen.toggleAdjustment();
        QVERIFY(t.screen.adjustmentVisible());
        t.screen.setText(H::Tzje, QStringLiteral("1000"));
        t.screen.setText(H::Tzyy, QStringLiteral("找零备用金"));
        QVERIFY(t.screen.adjust());
        QCOMPARE(t.ui.lastText(), QStringLiteral("调整成功"));
        QCOMPARE(t.box(), 1000.0);
        QCOMPARE(t.screen.text(H::Boxje), QStringLiteral("1000"));
        QCOMPARE(t.screen.text(H::Jbje), QStringLiteral("1000"));
        QCOMPARE(t.shop.count(QStringLiteral("xjls")), 0);
        QCOMPARE(t.screen.audit().text(0, QStringLiteral("yy")), QStringLiteral("找零备用金"));
        QCOMPARE(t.screen.audit().text(0, QStringLiteral("lx")), QStringLiteral("调整"));
        QCOMPARE(t.screen.audit().value(0, QStringLiteral("yje")).toDouble(), 800.0);

        for (const QString& bad : {QStringLiteral("一千"), QStringLiteral("-1"), QString()}) {
            t.screen.setText(H::Tzje, bad);
            QVERIFY(!t.screen.adjust());
            QCOMPARE(t.ui.lastText(), QStringLiteral("钱箱金额“%1”不正确，请输入不小于0的数字").arg(bad));
        }
        QCOMPARE(t.box(), 1000.0);

        for (int i = 1; i <= 11; ++i) {
            t.screen.setText(H::Tzje, QString::number(i));
            t.screen.setText(H::Tzyy, QStringLiteral("第%1次").arg(i));
            QVERIFY(t.screen.adjust());
        }
        QCOMPARE(t.shop.count(QStringLiteral("boxjl")), 12);
        QCOMPARE(t.screen.audit().count(), 10);
        QCOMPARE(t.screen.audit().text(0, QStringLiteral("yy")), QStringLiteral("第11次"));
        QCOMPARE(t.screen.audit().text(9, QStringLiteral("yy")), QStringLiteral("第2次"));
    }

    // The journal screen: both bounds included, rows in the order they were added; export and
    // print after a search, "先查询后打印" before one.
    void journalScreen()
    {
        TestShop shop(true);
        QVERIFY(shop.isValid());
        QString error;
        for (const auto& [day, amount] : {std::pair{3, 10.0}, {4, 20.0}, {5, 30.0}, {6, 40.0}, {4, 25.0}}) {
            Clock::setFixed(QDateTime(QDate(2024, 3, day), QTime(10, 0, 0)));
            QVERIFY(Journal::add(shop.db(), Journal::handover(amount), &error));
        }
        startDay();
        ScriptedUi ui;
        CashJournal screen(ui);
        QVERIFY(screen.create());
        QCOMPARE(screen.text(QueryScreen::Rq1), QStringLiteral("2024-03-05"));

        QVERIFY(!screen.exportGrid());
        QCOMPARE(ui.lastText(), QStringLiteral("先查询后打印"));
        QVERIFY(!screen.print(CashJournal::screenSpec().columns));
        QCOMPARE(ui.lastText(), QStringLiteral("先查询后打印"));

        screen.setText(QueryScreen::Rq1, QStringLiteral("2024-03-04"));
        screen.setText(QueryScreen::Rq2, QStringLiteral("2024-03-05"));
        QVERIFY(screen.query());
        PagedQuery& rows = *screen.rows();
        QCOMPARE(rows.count(), 3);
        QCOMPARE(rows.value(0, QStringLiteral("jiaje")).toDouble(), 20.0);
        QCOMPARE(rows.value(1, QStringLiteral("jiaje")).toDouble(), 30.0);
        QCOMPARE(rows.value(2, QStringLiteral("jiaje")).toDouble(), 25.0);
        QCOMPARE(rows.value(2, QStringLiteral("ye")).toDouble(), 125.0);

        const QString book = shop.file(QStringLiteral("journal.xlsx"));
        ui.fileNames << book;
        QVERIFY(screen.exportGrid());
        QCOMPARE(ui.lastText(), QStringLiteral("导出成功"));
        QVERIFY(QFileInfo(book).size() > 0);

        ui.fileNames << shop.file(QStringLiteral("journal.pdf"));
        QVERIFY(screen.print(CashJournal::screenSpec().columns));
        QVERIFY2(ui.unexpected.isEmpty(), qPrintable(ui.unexpected.join(QLatin1Char('|'))));
        QCOMPARE(ui.lastText(), QStringLiteral("打印完成"));
    }
};

QTEST_MAIN(CashBookTest)
#include "tst_cashbook.moc"
