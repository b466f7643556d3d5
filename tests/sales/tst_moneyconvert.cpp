#include "sales/Voice.h"

#include <QTest>

class MoneyConvertTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void capitals_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("words");
        QTest::newRow("12.5") << 12.5 << "壹拾贰元伍角整";
        QTest::newRow("100") << 100.0 << "壹佰元整";
        QTest::newRow("0") << 0.0 << "零元整";
        QTest::newRow("0.05") << 0.05 << "伍分";
        QTest::newRow("10.01") << 10.01 << "壹拾元零壹分";
        QTest::newRow("20.1") << 20.1 << "贰拾元壹角整";
        QTest::newRow("1001") << 1001.0 << "壹仟零壹元整";
        QTest::newRow("1005.3") << 1005.3 << "壹仟零伍元叁角整";
        QTest::newRow("10000") << 10000.0 << "壹万元整";
        QTest::newRow("100100") << 100100.0 << "壹拾万零壹佰元整";
        QTest::newRow("123456789.12") << 123456789.12 << "壹亿贰仟叁佰肆拾伍万陆仟柒佰捌拾玖元壹角贰分";
        QTest::newRow("-3") << -3.0 << "负叁元整";
        QTest::newRow("-0.5") << -0.5 << "负伍角整";
        QTest::newRow("0.004") << 0.004 << "零元整";
        QTest::newRow("100000000") << 100000000.0 << "壹亿零元整";
        QTest::newRow("100000000.01") << 100000000.01 << "壹亿零元零壹分";

        // Half a fen goes away from zero; the product is exact enough that 0.29 stays 29 fen.
        QTest::newRow("0.125 rounds up") << 0.125 << "壹角叁分";
        QTest::newRow("-0.125 rounds away") << -0.125 << "负壹角叁分";
        QTest::newRow("0.29") << 0.29 << "贰角玖分";
        QTest::newRow("87.5") << 87.5 << "捌拾柒元伍角整";
        QTest::newRow("zeros inside") << 10203.04 << "壹万零贰佰零叁元零肆分";
        QTest::newRow("ten thousands only") << 50000.5 << "伍万元伍角整";
        // Less than half a fen below zero is nothing at all.
        QTest::newRow("-0.004") << -0.004 << "零元整";
        // A sixteenth digit gets no unit word; the replacement rules then run as for any amount.
        QTest::newRow("beyond the units") << 1e13 << "壹万亿零元整";
        QTest::newRow("not a number") << qQNaN() << "";
    }
    void capitals()
    {
        QFETCH(double, amount);
        QFETCH(QString, words);
        QCOMPARE(Voice::moneyConvert(amount), words);
    }

    void part_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("part");
        const QString r = QStringLiteral("壹拾贰元伍角整"); // 7 characters, 14 bytes
        QTest::newRow("first") << r << 1 << 1 << "壹";
        QTest::newRow("seventh") << r << 7 << 1 << "整";
        QTest::newRow("several") << r << 2 << 3 << "拾贰元";
        // Positions count characters but the limit counts bytes, as the voice prompt never
        // asks past the last character.
        QTest::newRow("start within the bytes") << r << 8 << 1 << "";
        QTest::newRow("start at the last byte") << r << 14 << 1 << "";
        QTest::newRow("start past the bytes") << r << 15 << 1 << "ERROR_OVERSTRING";
        QTest::newRow("count cut to the end") << QStringLiteral("abcdef") << 4 << 10 << "def";
        QTest::newRow("ascii past the end") << QStringLiteral("abc") << 4 << 1 << "ERROR_OVERSTRING";
        QTest::newRow("empty text") << QString() << 1 << 1 << "ERROR_OVERSTRING";
        QTest::newRow("zero count") << r << 1 << 0 << "";
    }
    void part()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(QString, part);
        QCOMPARE(Voice::getStrText(text, start, count), part);
    }
};

QTEST_GUILESS_MAIN(MoneyConvertTest)
#include "tst_moneyconvert.moc"
