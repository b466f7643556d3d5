#include "SalesFixture.h"

#include <QTest>

using namespace SalesFixture;

// F9 prints the last posted receipt again, from the database: the bytes of the first print
// with "重打" under the title, and nothing else changes.
class ReprintTest : public QObject {
    Q_OBJECT

    using V = SalesVoucher;

    // The receipt with the reprint line centred under the title, as the printer gets it.
    static QByteArray withReprintLine(const QByteArray& receipt)
    {
        const qsizetype end = receipt.indexOf("\r\n") + 2;
        return receipt.left(end) + QByteArray(14, ' ') + TextUtil::toGbk(QStringLiteral("重打")) + "\r\n" +
               receipt.mid(end);
    }

    // The shop's state a reprint must leave alone.
    static QString state(Counter& t)
    {
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(t.box())
            .arg(t.shop.count(QStringLiteral("xiaoshoud")))
            .arg(t.shop.count(QStringLiteral("xiaoshoudth")))
            .arg(t.number(QStringLiteral("select sum(sl) from kucun")))
            .arg(t.lines());
    }

private Q_SLOTS:
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void saleAndReturn_data()
    {
        QTest::addColumn<bool>("refund");
        QTest::newRow("sale") << false;
        QTest::newRow("return") << true;
    }
    void saleAndReturn()
    {
        QFETCH(bool, refund);
        Counter t(refund ? SaleKind::salesReturn() : SaleKind::sale());
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.shop.exec(QStringLiteral("update xtsz set qx=0"))); // no drawer kick in the spool
        QVERIFY(t.voucher->create());

        t.voucher->reprintReceipt();
        QCOMPARE(t.ui.texts(), QStringList{refund ? QStringLiteral("还没有已过账的退货单，没有小票可以重打")
                                                  : QStringLiteral("还没有已过账的销售单，没有小票可以重打")});
        QVERIFY(t.spool().isEmpty());
        t.ui.clear();

        t.pick(QStringLiteral("1001"), QStringLiteral("可口可乐"), QStringLiteral("2"));
        QVERIFY(t.scan(QStringLiteral("nfsq")));
        QVERIFY(t.pay(QStringLiteral("7")).posted);
        const QByteArray first = t.spool();
        QVERIFY(!first.isEmpty());
        QCOMPARE(first, t.billBytes());
        if (refund) {
            QFile golden(QStringLiteral(POS_TEST_DATA "/refund_receipt.txt"));
            QVERIFY(golden.open(QIODevice::ReadOnly));
            QCOMPARE(first, golden.readAll());
        }
        // Later, another cashier on the screen: the receipt still shows the sale as printed.
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(16, 30, 0)));
        LoginUser::set(QStringLiteral("001"), QStringLiteral("系统管理员"));
        const QString before = state(t);
        const QByteArray bill = t.billBytes();

        t.voucher->reprintReceipt();
        QVERIFY2(t.ui.shown.isEmpty(), qPrintable(t.ui.texts().join(QLatin1Char('|'))));
        QCOMPARE(t.spool(), first + withReprintLine(first));
        QCOMPARE(t.billBytes(), bill);
        QCOMPARE(state(t), before);
        QCOMPARE(t.voucher->text(V::Djbh),
                 refund ? QStringLiteral("XT01202403050002") : QStringLiteral("XS01202403050002"));
    }

    // The last posting is the one printed again, also when it completed a voucher held earlier.
    void lastPostingOfHeldVoucher()
    {
        Counter t(SaleKind::sale());
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.voucher->holdVoucher()); // XS…0001 held
        QVERIFY(t.scan(QStringLiteral("1002")));
        QVERIFY(t.pay(QStringLiteral("10")).posted); // XS…0002 posted at 14:05:09
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(14, 20, 0)));
        t.ui.pickAnswers.enqueue(QStringList{QStringLiteral("XS01202403050001")});
        t.voucher->recallVoucher();
        QVERIFY(t.pay(QStringLiteral("10")).posted); // XS…0001 posted at 14:20:00
        const qsizetype printed = t.spool().size();
        t.voucher->reprintReceipt();
        const QString reprint = TextUtil::fromGbk(t.spool().mid(printed));
        QVERIFY(reprint.contains(QStringLiteral("单号:XS01202403050001\r\n")));
        QVERIFY(reprint.contains(QStringLiteral("时间:14:20:00\r\n")));
    }

    // A printer that could not be opened at posting lost the receipt; F9 prints it once the
    // printer is back, from what the database holds.
    void receiptLostAtPosting()
    {
        Counter t(SaleKind::sale());
        QVERIFY2(t.shop.isValid(), qPrintable(t.shop.error()));
        QVERIFY(t.voucher->create());
        qputenv("POS_RECEIPT_DEVICE", t.shop.file(QStringLiteral("no-such-folder/lp0")).toUtf8());
        QVERIFY(t.scan(QStringLiteral("1001")));
        QVERIFY(t.scan(QStringLiteral("2003")));
        QVERIFY(t.pay(QStringLiteral("50")).posted);
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("文件打开错误")});

        // Still no printer: the same short message, and nothing else happens.
        t.ui.clear();
        t.voucher->reprintReceipt();
        QCOMPARE(t.ui.texts(), QStringList{QStringLiteral("文件打开错误")});

        t.ui.clear();
        qputenv("POS_RECEIPT_DEVICE", t.spoolFile().toUtf8());
        t.voucher->reprintReceipt();
        QVERIFY(t.ui.shown.isEmpty());
        QCOMPARE(t.spool(), withReprintLine(t.billBytes()));
    }
};

QTEST_GUILESS_MAIN(ReprintTest)
#include "tst_reprint.moc"
