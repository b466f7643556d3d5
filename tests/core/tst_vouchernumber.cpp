#include "core/VoucherNumber.h"
#include "support/TestShop.h"

#include <QTest>

class VoucherNumberTest : public QObject {
    Q_OBJECT
private:
    static bool addHeader(TestShop& shop, const QString& table, const QString& djbh, const QString& rq)
    {
        return shop.exec(QStringLiteral("insert into %1(djbh,rq) values(:DJBH,:RQ)").arg(table),
                         {{QStringLiteral("DJBH"), djbh}, {QStringLiteral("RQ"), rq}});
    }

private Q_SLOTS:
    void sequenceText_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1 << QStringLiteral("0001");
        QTest::newRow("10") << 10 << QStringLiteral("0010");
        QTest::newRow("100") << 100 << QStringLiteral("0100");
        QTest::newRow("1000") << 1000 << QStringLiteral("1000");
        QTest::newRow("9999") << 9999 << QStringLiteral("9999");
        QTest::newRow("10000 has no room") << 10000 << QString();
        QTest::newRow("0") << 0 << QString();
    }
    void sequenceText()
    {
        QFETCH(int, n);
        QFETCH(QString, text);
        QCOMPARE(VoucherNumber::sequenceText(n), text);
    }

    // Rule A for every kind: after the last header of the day, across the digit boundaries.
    void ruleA_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("next");
        for (const VoucherNumber::Kind& k : {VoucherNumber::sale(), VoucherNumber::salesReturn(), VoucherNumber::stockIn(),
                                             VoucherNumber::supplierReturn(), VoucherNumber::scrap()}) {
            const QByteArray p = k.prefix.toLatin1();
            QTest::newRow(p + " first of day") << k.prefix << QString() << k.prefix + QStringLiteral("202403050001");
            QTest::newRow(p + " 0009") << k.prefix << k.prefix + QStringLiteral("202403050009")
                                       << k.prefix + QStringLiteral("202403050010");
        }
        const QString xs = QStringLiteral("XS01");
        QTest::newRow("0099") << xs << QStringLiteral("XS01202403050099") << QStringLiteral("XS01202403050100");
        QTest::newRow("0999") << xs << QStringLiteral("XS01202403050999") << QStringLiteral("XS01202403051000");
        QTest::newRow("9998") << xs << QStringLiteral("XS01202403059998") << QStringLiteral("XS01202403059999");
    }
    void ruleA()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, last);
        QFETCH(QString, next);
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const VoucherNumber::Kind kind = VoucherNumber::kindOf(prefix);
        // An earlier day's numbers never count.
        QVERIFY(addHeader(shop, kind.headerTable, prefix + QStringLiteral("202403040057"), QStringLiteral("2024-03-04")));
        if (!last.isEmpty())
            QVERIFY(addHeader(shop, kind.headerTable, last, QStringLiteral("2024-03-05")));
        const auto r = VoucherNumber::qdjh(shop.db(), kind, QStringLiteral("2024-03-05"));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.number, next);
    }

    void salesAndReturnsCountApart()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(addHeader(shop, QStringLiteral("xiaoshoud"), QStringLiteral("XS01202403050001"), QStringLiteral("2024-03-05")));
        const auto r = VoucherNumber::qdjh(shop.db(), VoucherNumber::salesReturn(), QStringLiteral("2024-03-05"));
        QCOMPARE(r.number, QStringLiteral("XT01202403050001"));
        QVERIFY(addHeader(shop, QStringLiteral("xiaoshoudth"), r.number, QStringLiteral("2024-03-05")));
        QCOMPARE(VoucherNumber::qdjh(shop.db(), VoucherNumber::sale(), QStringLiteral("2024-03-05")).number,
                 QStringLiteral("XS01202403050002"));
    }

    // Lines under a number without a header do not count.
    void linesWithoutHeaderDoNotCount()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("insert into xiaoshoudrecord(djbh,rq,sl) values('XS01202403050001','2024-03-05',1)")));
        QCOMPARE(VoucherNumber::qdjh(shop.db(), VoucherNumber::sale(), QStringLiteral("2024-03-05")).number,
                 QStringLiteral("XS01202403050001"));
    }

    // A hand-edited smaller number inserted last is followed, not the greatest of the day.
    void ruleAFollowsLastInserted()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(addHeader(shop, QStringLiteral("jinhuodan"), QStringLiteral("RK01202403050007"), QStringLiteral("2024-03-05")));
        QVERIFY(addHeader(shop, QStringLiteral("jinhuodan"), QStringLiteral("RK01202403050003"), QStringLiteral("2024-03-05")));
        QCOMPARE(VoucherNumber::qdjh(shop.db(), VoucherNumber::stockIn(), QStringLiteral("2024-03-05")).number,
                 QStringLiteral("RK01202403050004"));
        // Rule B takes the greatest number of the day by date.
        QVERIFY(addHeader(shop, QStringLiteral("xiaoshoud"), QStringLiteral("XS01202403050007"), QStringLiteral("2024-03-05")));
        QVERIFY(addHeader(shop, QStringLiteral("xiaoshoud"), QStringLiteral("XS01202403050003"), QStringLiteral("2024-03-05")));
        QCOMPARE(VoucherNumber::nextAfterPosting(shop.db(), VoucherNumber::sale(), QStringLiteral("2024-03-05")).number,
                 QStringLiteral("XS01202403050008"));
    }

    // Rule B selects by the header's date: a sale from a screen opened yesterday, posted today,
    // still counts under yesterday's date.
    void ruleBByDate()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(addHeader(shop, QStringLiteral("xiaoshoudth"), QStringLiteral("XT01202403050002"), QStringLiteral("2024-03-05")));
        QVERIFY(addHeader(shop, QStringLiteral("xiaoshoudth"), QStringLiteral("XT01202403060005"), QStringLiteral("2024-03-06")));
        QCOMPARE(VoucherNumber::nextAfterPosting(shop.db(), VoucherNumber::salesReturn(), QStringLiteral("2024-03-05")).number,
                 QStringLiteral("XT01202403050003"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("message");
        QTest::newRow("9999 reached") << QStringLiteral("RK01202403059999") << QStringLiteral("9999");
        QTest::newRow("letters in sequence") << QStringLiteral("RK0120240305A001") << QStringLiteral("不是数字");
        QTest::newRow("short number") << QStringLiteral("RK0120240305") << QStringLiteral("不是数字");
    }
    void refusals()
    {
        QFETCH(QString, last);
        QFETCH(QString, message);
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(addHeader(shop, QStringLiteral("jinhuodan"), last, QStringLiteral("2024-03-05")));
        const auto r = VoucherNumber::qdjh(shop.db(), VoucherNumber::stockIn(), QStringLiteral("2024-03-05"));
        QVERIFY(!r.ok());
        QVERIFY2(r.error.contains(message), qPrintable(r.error));
    }
};

QTEST_GUILESS_MAIN(VoucherNumberTest)
#include "tst_vouchernumber.moc"
