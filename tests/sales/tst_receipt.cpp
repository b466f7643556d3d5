#include "core/DbConnection.h"
#include "core/TextUtil.h"
#include "sales/Receipt.h"
#include "support/TestShop.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Test texts write a blank as "·" so the widths can be read.
QByteArray bytes(const QString& text)
{
    QString t = text;
    t.replace(QChar(0x00B7), QLatin1Char(' '));
    return TextUtil::toGbk(t);
}

// The shop of the worked receipt: two lines, 17 due, 20 tendered.
ReceiptData exampleSale()
{
    ReceiptData d;
    d.shopName = QStringLiteral("星光超市");
    d.operatorName = QStringLiteral("收银01");
    d.voucherNumber = QStringLiteral("XS01202403050003");
    d.date = QStringLiteral("2024-03-05");
    d.time = QStringLiteral("14:05:09");
    d.amountDue = 17;
    d.tendered = 20;
    d.change = 3;
    d.lines << ReceiptLine{QStringLiteral("可乐"), QStringLiteral("330ml"), 2, 2.5, 5}
            << ReceiptLine{QStringLiteral("纯净水"), QString(), 12, 1, 12};
    return d;
}

QList<QByteArray> linesOf(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    return lines;
}

QByteArray golden()
{
    QFile f(QStringLiteral(POS_TEST_DATA "/bill_example.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class ReceiptTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exampleIsByteExact()
    {
        const QByteArray expected = golden();
        QVERIFY(!expected.isEmpty());
        QCOMPARE(Receipt::render(exampleSale()), expected);
    }

    // The checkout reads the lines back from the database; the receipt comes out the same,
    // in the order the rows were written.
    void linesFromTheLineTable()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const QString insert = QStringLiteral("insert into xiaoshoudrecord(spbh,spmc,spxh,sl,sale1,jine,djbh) "
                                              "values(:SPBH,:SPMC,:SPXH,:SL,:SALE1,:JINE,:DJBH)");
        QVERIFY(shop.exec(insert, {{"SPBH", "000001"},
                                   {"SPMC", "可乐"},
                                   {"SPXH", "330ml"},
                                   {"SL", 2.0},
                                   {"SALE1", 2.5},
                                   {"JINE", 5.0},
                                   {"DJBH", "XS01202403050003"}}));
        QVERIFY(shop.exec(insert, {{"SPBH", "000009"},
                                   {"SPMC", "其它单"},
                                   {"SPXH", ""},
                                   {"SL", 1.0},
                                   {"SALE1", 9.0},
                                   {"JINE", 9.0},
                                   {"DJBH", "XS01202403050004"}}));
        QVERIFY(shop.exec(insert, {{"SPBH", "000002"},
                                   {"SPMC", "纯净水"},
                                   {"SPXH", QVariant()},
                                   {"SL", 12.0},
                                   {"SALE1", 1.0},
                                   {"JINE", 12.0},
                                   {"DJBH", "XS01202403050003"}}));
        Query q(shop.db());
        q.add(QStringLiteral("select * from xiaoshoudrecord where djbh=:DJBH"));
        q.bind(QStringLiteral("DJBH"), QStringLiteral("XS01202403050003"));
        QVERIFY2(q.open(), qPrintable(q.lastError()));

        ReceiptData d = exampleSale();
        d.lines = Receipt::linesFrom(q);
        QCOMPARE(d.lines.size(), 2);
        QCOMPARE(Receipt::render(d), golden());
    }

    // Each field of a goods line at its byte width; too wide a field pushes the rest right.
    void goodsLine_data()
    {
        QTest::addColumn<QString>("spmc");
        QTest::addColumn<QString>("spxh");
        QTest::addColumn<double>("sl");
        QTest::addColumn<double>("sale1");
        QTest::addColumn<double>("jine");
        QTest::addColumn<QString>("line");

        // clang-format off
        // Expected lines are written field by field: name 16, model 6, quantity 2, blank,
        // price 6, blank, amount 6.
        // name, 16 bytes
        QTest::newRow("7 characters padded by 2 blanks")
            << "康师傅红烧牛肉" << "" << 1.0 << 4.5 << 4.5
            << "康师傅红烧牛肉··" "······" "·1" "·" "···4.5" "·" "··4.50";
        QTest::newRow("9 characters cut to 8")
            << "康师傅红烧牛肉面桶" << "" << 1.0 << 4.5 << 4.5
            << "康师傅红烧牛肉面" "······" "·1" "·" "···4.5" "·" "··4.50";
        QTest::newRow("17 bytes cut to 15 and a blank")
            << "A康师傅红烧牛肉面" << "" << 1.0 << 4.5 << 4.5
            << "A康师傅红烧牛肉·" "······" "·1" "·" "···4.5" "·" "··4.50";
        QTest::newRow("odd short name written whole")
            << "abc" << "" << 1.0 << 1.0 << 1.0 << "abc·············" "······" "·1" "·" "···1.0" "·" "··1.00";
        QTest::newRow("16 bytes exactly")
            << "0123456789abcdef" << "" << 1.0 << 1.0 << 1.0
            << "0123456789abcdef" "······" "·1" "·" "···1.0" "·" "··1.00";
        QTest::newRow("empty name")
            << "" << "" << 1.0 << 1.0 << 1.0 << "················" "······" "·1" "·" "···1.0" "·" "··1.00";
        // A cut that would split a character leaves a blank in place of its first byte.
        QTest::newRow("odd cut inside a character")
            << "康师傅红烧牛肉面A" << "" << 1.0 << 1.0 << 1.0
            << "康师傅红烧牛肉··" "······" "·1" "·" "···1.0" "·" "··1.00";
        QTest::newRow("even cut inside a character")
            << "A康师傅红烧牛肉面B" << "" << 1.0 << 1.0 << 1.0
            << "A康师傅红烧牛肉·" "······" "·1" "·" "···1.0" "·" "··1.00";
        // Control characters print as blanks rather than reaching the printer.
        QTest::newRow("escape in a name")
            << QStringLiteral("可乐\x1b@\r\n") << "" << 1.0 << 1.0 << 1.0
            << "可乐·@··········" "······" "·1" "·" "···1.0" "·" "··1.00";

        // model, 6 bytes
        const char* cola = "可乐············";
        QTest::newRow("model of 8 letters")
            << "可乐" << "abcdefgh" << 1.0 << 1.0 << 1.0 << cola + QString("abcdef" "·1" "·" "···1.0" "·" "··1.00");
        QTest::newRow("model of 2 letters")
            << "可乐" << "ab" << 1.0 << 1.0 << 1.0 << cola + QString("····ab" "·1" "·" "···1.0" "·" "··1.00");
        QTest::newRow("model trimmed")
            << "可乐" << "  ab  " << 1.0 << 1.0 << 1.0 << cola + QString("····ab" "·1" "·" "···1.0" "·" "··1.00");
        QTest::newRow("model of 4 characters")
            << "可乐" << "大号瓶装" << 1.0 << 1.0 << 1.0 << cola + QString("大号瓶" "·1" "·" "···1.0" "·" "··1.00");
        QTest::newRow("model cut inside a character")
            << "可乐" << "a大号瓶" << 1.0 << 1.0 << 1.0 << cola + QString("a大号·" "·1" "·" "···1.0" "·" "··1.00");

        // quantity, 2 bytes; price "0.0" and amount "0.00", 6 bytes each
        QTest::newRow("price 12")
            << "可乐" << "" << 1.0 << 12.0 << 12.0 << cola + QString("······" "·1" "·" "··12.0" "·" "·12.00");
        QTest::newRow("price 2.25 rounds up")
            << "可乐" << "" << 1.0 << 2.25 << 2.25 << cola + QString("······" "·1" "·" "···2.3" "·" "··2.25");
        QTest::newRow("amount 0.125 rounds up")
            << "可乐" << "" << 1.0 << 0.125 << 0.125 << cola + QString("······" "·1" "·" "···0.1" "·" "··0.13");
        QTest::newRow("quantity 10 fills")
            << "可乐" << "" << 10.0 << 1.0 << 10.0 << cola + QString("······" "10" "·" "···1.0" "·" "·10.00");
        QTest::newRow("quantity 100 pushes")
            << "可乐" << "" << 100.0 << 1.0 << 100.0 << cola + QString("······" "100" "·" "···1.0" "·" "100.00");
        QTest::newRow("quantity 2.5 pushes")
            << "可乐" << "" << 2.5 << 2.0 << 5.0 << cola + QString("······" "2.5" "·" "···2.0" "·" "··5.00");
        QTest::newRow("price and amount too wide")
            << "可乐" << "" << 1.0 << 12345.0 << 12345.0
            << cola + QString("······" "·1" "·" "12345.0" "·" "12345.00");
        QTest::newRow("refund line negative")
            << "可乐" << "" << -1.0 << 2.5 << -2.5 << cola + QString("······" "-1" "·" "···2.5" "·" "·-2.50");
        // clang-format on
    }
    void goodsLine()
    {
        QFETCH(QString, spmc);
        QFETCH(QString, spxh);
        QFETCH(double, sl);
        QFETCH(double, sale1);
        QFETCH(double, jine);
        QFETCH(QString, line);

        ReceiptData d = exampleSale();
        d.lines = {ReceiptLine{spmc, spxh, sl, sale1, jine}};
        const QList<QByteArray> lines = linesOf(Receipt::render(d));
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[5], bytes(line));
    }

    void title_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::addColumn<bool>("refund");
        QTest::addColumn<QString>("line");
        QTest::newRow("title of 17 bytes gets 7 blanks") << "a超市超市" << false << "·······a超市超市购物清单";
        QTest::newRow("title of 31 bytes gets none")
            << "abc一二三四五六七八九十" << false << "abc一二三四五六七八九十购物清单";
        QTest::newRow("title of 30 bytes gets 1")
            << "一二三四五六七八九十一" << false << "·一二三四五六七八九十一购物清单";
        QTest::newRow("longer title written whole")
            << "一二三四五六七八九十一二三" << false << "一二三四五六七八九十一二三购物清单";
        QTest::newRow("no shop name") << "" << false << "············购物清单";
        QTest::newRow("refund") << "星光超市" << true << "········星光超市退款清单";
    }
    void title()
    {
        QFETCH(QString, shop);
        QFETCH(bool, refund);
        QFETCH(QString, line);
        ReceiptData d = exampleSale();
        d.shopName = shop;
        d.refund = refund;
        QCOMPARE(linesOf(Receipt::render(d)).first(), bytes(line));
    }

    // A refund says "付款:" for the money paid out; a short payment shows a negative change;
    // a long operator name is not cut; the telephone is printed at the foot.
    void headAndFoot()
    {
        ReceiptData d = exampleSale();
        d.refund = true;
        d.operatorName = QStringLiteral("收银员张三丰先生");
        d.voucherNumber = QStringLiteral("XT01202403050001");
        d.amountDue = 12.5;
        d.tendered = 10;
        d.change = -2.5;
        d.shopPhone = QStringLiteral("0571-88886666");
        const QList<QByteArray> lines = linesOf(Receipt::render(d));
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines[1], bytes("收银员:收银员张三丰先生单号:XT01202403050001"));
        QCOMPARE(lines[8], bytes("合计:12.50"));
        QCOMPARE(lines[9], bytes("付款:10.00"));
        QCOMPARE(lines[10], bytes("找还:-2.50"));
        QCOMPARE(lines[11], bytes("公司电话:0571-88886666"));
        QCOMPARE(lines[13], QByteArray(" "));
    }

    void writeReplacesTheFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bill.txt"));
        ReceiptData big = exampleSale();
        for (int i = 0; i < 20; ++i)
            big.lines << big.lines.first();
        QString error;
        QVERIFY(Receipt::write(big, file, &error));
        QVERIFY(Receipt::write(exampleSale(), file, &error));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), golden());
    }

    void writeFailureIsReported()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!Receipt::write(exampleSale(), dir.filePath(QStringLiteral("missing/bill.txt")), &error));
        QVERIFY(error.contains(QStringLiteral("missing/bill.txt")));
    }

    void billFileIsInTheProgramFolder()
    {
        TestShop shop;
        QCOMPARE(Receipt::billFile(), shop.file(QStringLiteral("bill.txt")));
    }
};

QTEST_GUILESS_MAIN(ReceiptTest)
#include "tst_receipt.moc"
