#include "core/TextUtil.h"

#include <QTest>

class TextUtilTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void gbkLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("ascii") << QStringLiteral("abc123") << 6;
        QTest::newRow("chinese") << QStringLiteral("可口可乐") << 8;
        QTest::newRow("mixed") << QStringLiteral("可乐330ml") << 9;
        QTest::newRow("full-width colon") << QStringLiteral("付款：") << 6;
        QTest::newRow("empty") << QString() << 0;
    }
    void gbkLength()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QCOMPARE(TextUtil::gbkLength(text), bytes);
        QCOMPARE(TextUtil::fromGbk(TextUtil::toGbk(text)), text);
    }

    void shortestNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << 3.0 << QStringLiteral("3");
        QTest::newRow("half") << 2.5 << QStringLiteral("2.5");
        QTest::newRow("87.5") << 87.5 << QStringLiteral("87.5");
        QTest::newRow("negative") << -2.5 << QStringLiteral("-2.5");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
        QTest::newRow("binary noise") << 0.1 + 0.2 << QStringLiteral("0.3");
        QTest::newRow("money sum") << 2.3 * 3 << QStringLiteral("6.9");
        QTest::newRow("large") << 123456789012.0 << QStringLiteral("123456789012");
        QTest::newRow("small") << 0.0001 << QStringLiteral("0.0001");
    }
    void shortestNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(TextUtil::shortestNumber(value), text);
    }

    void formatFixed_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("2.25 one place") << 2.25 << 1 << QStringLiteral("2.3");
        QTest::newRow("1.005 two places") << 1.005 << 2 << QStringLiteral("1.01");
        QTest::newRow("integer") << 7.0 << 2 << QStringLiteral("7.00");
        QTest::newRow("carry") << 9.995 << 2 << QStringLiteral("10.00");
        QTest::newRow("negative half away") << -2.25 << 1 << QStringLiteral("-2.3");
        QTest::newRow("tiny negative") << -0.001 << 2 << QStringLiteral("0.00");
        QTest::newRow("no decimals") << 2.5 << 0 << QStringLiteral("3");
        QTest::newRow("one place") << 3.0 << 1 << QStringLiteral("3.0");
        QTest::newRow("sum noise") << 0.1 + 0.2 << 2 << QStringLiteral("0.30");
    }
    void formatFixed()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(TextUtil::formatFixed(value, decimals), text);
    }

    void toNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QStringLiteral("12.5") << true << 12.5;
        QTest::newRow("blanks") << QStringLiteral(" 3 ") << true << 3.0;
        QTest::newRow("negative") << QStringLiteral("-1") << true << -1.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("blank") << QStringLiteral("  ") << false << 0.0;
        QTest::newRow("letters") << QStringLiteral("abc") << false << 0.0;
        QTest::newRow("comma") << QStringLiteral("1,5") << false << 0.0;
        QTest::newRow("inf") << QStringLiteral("inf") << false << 0.0;
    }
    void toNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double v = 0;
        QCOMPARE(TextUtil::toNumber(text, &v), ok);
        if (ok)
            QCOMPARE(v, value);
    }
};

QTEST_GUILESS_MAIN(TextUtilTest)
#include "tst_textutil.moc"
