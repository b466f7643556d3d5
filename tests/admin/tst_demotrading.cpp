#include "admin/DemoTrading.h"
#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/SilentUi.h"
#include "reports/SalesFigures.h"
#include "stock/StockAlerts.h"
#include "support/TestShop.h"

#include <QFile>
#include <QHash>
#include <QTest>

#include <cmath>

// The demonstration shop's days of trading: entered through the screens' logic, they must add up
// the way a shop that really traded does, and come out the same every time.
class DemoTradingTest : public QObject {
    Q_OBJECT

    // Fifteen days end the day before this Saturday: 2024-03-01 (Friday) … 2024-03-15, with the
    // Mondays 03-04 and 03-11.
    static QDateTime today() { return QDateTime(QDate(2024, 3, 16), QTime(9, 30)); }

    static QHash<QString, double> perProduct(TestShop& shop, const QString& sql)
    {
        QHash<QString, double> sums;
        Query q(shop.db());
        q.setSql(sql);
        if (q.open()) {
            for (bool more = q.first(); more; more = q.next())
                sums[q.text(QStringLiteral("spbh"))] += q.number(QStringLiteral("n"));
        }
        return sums;
    }

    static double number(TestShop& shop, const QString& sql) { return Query::variantNumber(shop.scalar(sql)); }

    static bool cents(double a, double b) { return std::fabs(a - b) < 0.005; }

    // Every row of every table, in the order written.
    static QStringList dump(TestShop& shop)
    {
        QStringList rows;
        Query tables(shop.db());
        tables.setSql(QStringLiteral("select name from sqlite_master where type='table' order by name"));
        if (!tables.open())
            return {tables.lastError()};
        for (bool more = tables.first(); more; more = tables.next()) {
            const QString table = tables.text(QStringLiteral("name"));
            Query q(shop.db());
            q.setSql(QStringLiteral("select * from %1 order by rowid").arg(table));
            if (!q.open())
                return {q.lastError()};
            for (int r = 0; r < q.recordCount(); ++r) {
                QStringList values{table};
                for (const QString& c : q.columns())
                    values << q.text(r, c);
                rows << values.join(QLatin1Char('|'));
            }
        }
        return rows;
    }

private Q_SLOTS:
    void cleanup()
    {
        Clock::reset();
        LoginUser::reset();
    }

    // Fifteen days: the stock, the cash box, the cash journal and the supplier accounts agree with the
    // vouchers; the slow sellers are gone and listed among the stock alerts; the settings, the
    // clock, the user and the receipt device are as they were, and no spool file was written.
    void fifteenDaysAddUp()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const QHash<QString, double> opening = perProduct(shop, QStringLiteral("select spbh,sl as n from kucun"));
        Clock::setFixed(today());
        LoginUser::set(QStringLiteral("009"), QStringLiteral("试用者"));
        qputenv("POS_RECEIPT_DEVICE", shop.file(QStringLiteral("printer")).toUtf8());

        QString error;
        QVERIFY2(DemoTrading::run(15, &error), qPrintable(error));

        QCOMPARE(Clock::fixedMoment(), today());
        QCOMPARE(LoginUser::number(), QStringLiteral("009"));
        QCOMPARE(qEnvironmentVariable("POS_RECEIPT_DEVICE"), shop.file(QStringLiteral("printer")));
        qunsetenv("POS_RECEIPT_DEVICE");
        QVERIFY(!QFile::exists(shop.file(QStringLiteral("printer"))));
        QVERIFY(!QFile::exists(shop.file(QStringLiteral("LPT1"))));
        QCOMPARE(shop.scalar(QStringLiteral("select qx from xtsz")).toInt(), 1);
        QCOMPARE(shop.scalar(QStringLiteral("select qt1 from xtsz")).toInt(), 1);

        // Sales: every day of the fifteen, 8 to 15 customers, all paid; the member every other day.
        Query days(shop.db());
        days.setSql(QStringLiteral("select rq,count(*) as n,sum(khmc='会员') as m,sum(lkje is null) as open "
                                   "from xiaoshoud group by rq order by rq"));
        QVERIFY(days.open());
        QCOMPARE(days.recordCount(), 15);
        for (int d = 0; d < 15; ++d) {
            QCOMPARE(days.text(d, QStringLiteral("rq")),
                     QStringLiteral("2024-03-%1").arg(1 + d, 2, 10, QLatin1Char('0')));
            QVERIFY2(days.number(d, QStringLiteral("n")) >= 8 && days.number(d, QStringLiteral("n")) <= 15,
                     qPrintable(days.text(d, QStringLiteral("n"))));
            QCOMPARE(days.number(d, QStringLiteral("m")), d % 2 == 0 ? 1.0 : 0.0);
            QCOMPARE(days.number(d, QStringLiteral("open")), 0.0);
        }
        QCOMPARE(
            shop.count(QStringLiteral("xiaoshoudrecord"), QStringLiteral("djbh not in (select djbh from xiaoshoud)")),
            0);
        QVERIFY(number(shop, QStringLiteral("select ljjf from hyinfo")) > 0);

        // Goods: a delivery from each supplier on each Monday, one return, one write-off.
        QCOMPARE(shop.count(QStringLiteral("jinhuodan"), QStringLiteral("rq='2024-03-04'")), 2);
        QCOMPARE(shop.count(QStringLiteral("jinhuodan"), QStringLiteral("rq='2024-03-11'")), 2);
        QCOMPARE(shop.count(QStringLiteral("jinhuodan")), 4);
        QCOMPARE(shop.count(QStringLiteral("jinhuodanth")), 1);
        QCOMPARE(shop.count(QStringLiteral("jinhuodanbf")), 1);

        // Stock of every product: what it started with, plus received, less returned, written off
        // and sold.
        const QHash<QString, double> in = perProduct(shop, QStringLiteral("select spbh,sl as n from jinhuodanrecord"));
        const QHash<QString, double> back =
            perProduct(shop, QStringLiteral("select spbh,sl as n from jinhuodanrecordth"));
        const QHash<QString, double> off =
            perProduct(shop, QStringLiteral("select spbh,sl as n from jinhuodanrecordbf"));
        const QHash<QString, double> sold =
            perProduct(shop, QStringLiteral("select spbh,sl as n from xiaoshoudrecord"));
        const QHash<QString, double> stock = perProduct(shop, QStringLiteral("select spbh,sl as n from kucun"));
        QCOMPARE(stock.size(), opening.size());
        for (auto it = stock.cbegin(); it != stock.cend(); ++it) {
            const QString p = it.key();
            const double expected = opening.value(p) + in.value(p) - back.value(p) - off.value(p) - sold.value(p);
            QVERIFY2(std::fabs(it.value() - expected) < 1e-6,
                     qPrintable(QStringLiteral("%1: %2, expected %3").arg(p).arg(it.value()).arg(expected)));
            QVERIFY2(it.value() >= 0, qPrintable(p));
        }

        // The cash box: the float put in on the first morning, then each evening the day's
        // takings handed over and the float left.
        const double drawerFloat = DemoTrading::cashFloat();
        QCOMPARE(number(shop, QStringLiteral("select je from boxje")), drawerFloat);
        Query box(shop.db());
        box.setSql(QStringLiteral("select * from boxjl order by ID"));
        QVERIFY(box.open());
        QCOMPARE(box.recordCount(), 16);
        QCOMPARE(box.text(0, QStringLiteral("lx")), QStringLiteral("调整"));
        QCOMPARE(box.number(0, QStringLiteral("xje")), drawerFloat);
        double handedOver = 0;
        for (int r = 1; r < box.recordCount(); ++r) {
            QCOMPARE(box.text(r, QStringLiteral("lx")), QStringLiteral("交班"));
            const double takings = number(
                shop,
                QStringLiteral("select sum(hjje) from xiaoshoud where rq='%1'").arg(box.text(r, QStringLiteral("rq"))));
            QVERIFY(cents(box.number(r, QStringLiteral("yje")) - box.number(r - 1, QStringLiteral("xje")), takings));
            QCOMPARE(box.number(r, QStringLiteral("xje")), drawerFloat);
            handedOver += box.number(r, QStringLiteral("yje")) - box.number(r, QStringLiteral("xje"));
        }

        // The cash journal: each balance is the one before plus what came in less what went out,
        // never below zero; the handovers, payments and the refund are all in it.
        Query journal(shop.db());
        journal.setSql(QStringLiteral("select * from xjls order by rowid"));
        QVERIFY(journal.open());
        double balance = 0;
        QHash<QString, double> byKind;
        for (int r = 0; r < journal.recordCount(); ++r) {
            balance += journal.number(r, QStringLiteral("jiaje")) + journal.number(r, QStringLiteral("jianje"));
            QVERIFY2(cents(journal.number(r, QStringLiteral("ye")), balance), qPrintable(QString::number(r)));
            QVERIFY(journal.number(r, QStringLiteral("ye")) > -0.005);
            byKind[journal.text(r, QStringLiteral("neirong"))] +=
                journal.number(r, QStringLiteral("jiaje")) - journal.number(r, QStringLiteral("jianje"));
        }
        QVERIFY(cents(byKind.value(QStringLiteral("交班营业额")), handedOver));
        const double paid = number(shop, QStringLiteral("select sum(jine) from jine"));
        QVERIFY(paid > 0);
        QVERIFY(cents(byKind.value(QStringLiteral("入库应付款")), paid));
        QVERIFY(cents(byKind.value(QStringLiteral("退货应收款")),
                      number(shop, QStringLiteral("select sum(jine) from jine2"))));

        // Supplier accounts: what was paid and what is owed make up each voucher. A delivery is
        // paid at the next one, so the first Monday's are paid and the last Monday's still owed;
        // the return is refunded in full.
        Query vouchers(shop.db());
        vouchers.setSql(QStringLiteral("select * from jinhuodan union all select * from jinhuodanth"));
        QVERIFY(vouchers.open());
        for (int r = 0; r < vouchers.recordCount(); ++r) {
            QVERIFY2(cents(vouchers.number(r, QStringLiteral("hkje")) + vouchers.number(r, QStringLiteral("qkje")),
                           vouchers.number(r, QStringLiteral("zkje"))),
                     qPrintable(vouchers.text(r, QStringLiteral("djbh"))));
        }
        QVERIFY(cents(number(shop, QStringLiteral("select sum(hkje) from jinhuodan")), paid));
        QCOMPARE(shop.count(QStringLiteral("jinhuodan"), QStringLiteral("rq='2024-03-04' and qkje=0")), 2);
        QCOMPARE(shop.count(QStringLiteral("jinhuodan"), QStringLiteral("rq='2024-03-11' and hkje=0")), 2);
        QCOMPARE(number(shop, QStringLiteral("select qkje from jinhuodanth")), 0.0);

        // The profit statement reads the same figures.
        SalesFigures::Totals totals;
        QVERIFY2(SalesFigures::statementTotals(shop.db(), QStringLiteral("2024-03-01"), QStringLiteral("2024-03-15"),
                                               &totals, &error),
                 qPrintable(error));
        QVERIFY(cents(totals.sr1, number(shop, QStringLiteral("select sum(zhje) from xiaoshoud"))));
        QVERIFY(cents(totals.zc2, paid));
        QVERIFY(totals.sr2 > 0);
        QVERIFY(totals.zc3 > 0);
        // Goods sell above what they cost.
        QVERIFY(number(shop, QStringLiteral("select sum(a.zhekouje-a.sl*b.jinjia) from xiaoshoudrecord a,spinfo b "
                                            "where a.spbh=b.spbh")) > 0);

        // The slow sellers are sold out and listed when their stock reaches the lower limit.
        SilentUi ui;
        StockAlerts alerts(ui);
        QVERIFY(alerts.create());
        QVERIFY(alerts.query());
        QStringList listed;
        for (int r = 0; r < alerts.rows()->count(); ++r)
            listed << alerts.rows()->text(r, QStringLiteral("spbh"));
        for (const QString& slow : DemoTrading::slowSellers()) {
            QCOMPARE(stock.value(slow), 0.0);
            QVERIFY2(listed.contains(slow), qPrintable(listed.join(QLatin1Char(','))));
        }
    }

    // The same days give the same shop, row for row.
    void sameShopEveryTime()
    {
        QStringList first;
        for (int run = 0; run < 2; ++run) {
            TestShop shop(true);
            QVERIFY2(shop.isValid(), qPrintable(shop.error()));
            Clock::setFixed(today());
            QString error;
            QVERIFY2(DemoTrading::run(4, &error), qPrintable(error));
            const QStringList rows = dump(shop);
            QVERIFY(rows.size() > 100);
            if (run == 0)
                first = rows;
            else
                QCOMPARE(rows, first);
        }
    }

    // A history of no days, too many days, or in a shop without the demonstration goods is refused
    // with a reason; the clock is left alone.
    void refusesWhatItCannotTrade()
    {
        Clock::setFixed(today());
        QString error;
        QVERIFY(!DemoTrading::run(0, &error));
        QVERIFY2(error.contains(QStringLiteral("“0”")) && error.contains(QStringLiteral("366")), qPrintable(error));
        QVERIFY(!DemoTrading::run(DemoTrading::kMaxDays + 1, &error));
        QVERIFY2(error.contains(QStringLiteral("367")), qPrintable(error));

        TestShop plain(false);
        QVERIFY2(plain.isValid(), qPrintable(plain.error()));
        error.clear();
        QVERIFY(!DemoTrading::run(3, &error));
        QVERIFY2(error.contains(QStringLiteral("演示")), qPrintable(error));
        QCOMPARE(plain.count(QStringLiteral("xiaoshoud")), 0);
        QCOMPARE(Clock::fixedMoment(), today());
    }
};

QTEST_GUILESS_MAIN(DemoTradingTest)
#include "tst_demotrading.moc"
