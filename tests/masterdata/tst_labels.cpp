#include "core/DbConnection.h"
#include "core/PdfTools.h"
#include "masterdata/LabelQueue.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

bool installReports(const TestShop& shop)
{
    const QString assets = QDir::cleanPath(QStringLiteral(POS_TEST_DATA "/../../../assets"));
    const QStringList names = QDir(assets).entryList({QStringLiteral("*.rav")}, QDir::Files);
    for (const QString& n : names)
        if (!QFile::copy(assets + QLatin1Char('/') + n, shop.file(n)))
            return false;
    return !names.isEmpty();
}

} // namespace

// The label queue: adding by number and by the start of a number, removing one label among
// identical ones, emptying, and printing product and shelf labels.
class LabelsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestShop> m_shop;

    int labels(const QString& where = QString()) { return m_shop->count(QStringLiteral("spinfotm"), where); }

private Q_SLOTS:
    void init()
    {
        m_shop = std::make_unique<TestShop>(true);
        QVERIFY2(m_shop->isValid(), qPrintable(m_shop->error()));
        QVERIFY(m_shop->exec(QStringLiteral("update spinfo set spxh='K2' where spbh='1005'")));
    }
    void cleanup() { m_shop.reset(); }

    void addByNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<int>("added");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("three labels") << QStringLiteral("1005") << QStringLiteral("3") << 3 << none;
        QTest::newRow("empty quantity is one") << QStringLiteral("1005") << QString() << 1 << none;
        QTest::newRow("a thousand") << QStringLiteral("1005") << QStringLiteral("1000") << 1000 << none;
        QTest::newRow("zero adds none") << QStringLiteral("1005") << QStringLiteral("0") << 0 << none;
        QTest::newRow("no such product") << QStringLiteral("9999") << QStringLiteral("5") << 0 << none;
        QTest::newRow("not a number") << QStringLiteral("1005") << QStringLiteral("abc") << 0
                                      << QStringList{QStringLiteral("数量“abc”不是整数，请重新输入")};
        QTest::newRow("not whole") << QStringLiteral("1005") << QStringLiteral("2.5") << 0
                                   << QStringList{QStringLiteral("数量“2.5”不是整数，请重新输入")};
        QTest::newRow("over a thousand") << QStringLiteral("1005") << QStringLiteral("1001") << 0
                                         << QStringList{QStringLiteral("数量“1001”超出范围（0 至 1000 条），请重新输入")};
        QTest::newRow("a slip of the finger")
            << QStringLiteral("1005") << QStringLiteral("100000") << 0
            << QStringList{QStringLiteral("数量“100000”超出范围（0 至 1000 条），请重新输入")};
        QTest::newRow("beyond any integer")
            << QStringLiteral("1005") << QStringLiteral("99999999999999999999") << 0
            << QStringList{QStringLiteral("数量“99999999999999999999”超出范围（0 至 1000 条），请重新输入")};
        QTest::newRow("below zero") << QStringLiteral("1005") << QStringLiteral("-1") << 0
                                    << QStringList{QStringLiteral("数量“-1”超出范围（0 至 1000 条），请重新输入")};
    }
    void addByNumber()
    {
        QFETCH(QString, number);
        QFETCH(QString, quantity);
        QFETCH(int, added);
        QFETCH(QStringList, messages);
        ScriptedUi ui;
        LabelQueue queue(ui);
        QVERIFY(queue.create());
        QCOMPARE(queue.text(LabelQueue::Quantity), QStringLiteral("1"));
        queue.setText(LabelQueue::Number, number);
        queue.setText(LabelQueue::Quantity, quantity);
        QCOMPARE(queue.addByNumber(), messages.isEmpty());
        QCOMPARE(ui.texts(), messages);
        QCOMPARE(labels(), added);
        QCOMPARE(queue.count(), added);
        if (!messages.isEmpty())
            QCOMPARE(queue.focusField(), LabelQueue::Quantity);
        if (added == 0)
            return;
        // Each label carries the product as it is now, name and member price included.
        Query q(m_shop->db());
        q.setSql(QStringLiteral("select distinct spbh,spmc,spxh,spgg,splb,spjl,sale1,sale2,tiaoma from spinfotm"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.text(QStringLiteral("spbh")), QStringLiteral("1005"));
        QCOMPARE(q.text(QStringLiteral("spmc")), QStringLiteral("蒙牛纯牛奶"));
        QCOMPARE(q.text(QStringLiteral("spxh")), QStringLiteral("K2"));
        QCOMPARE(q.text(QStringLiteral("spgg")), QStringLiteral("250ml"));
        QCOMPARE(q.text(QStringLiteral("splb")), QStringLiteral("饮料"));
        QCOMPARE(q.text(QStringLiteral("spjl")), QStringLiteral("盒"));
        QCOMPARE(q.number(QStringLiteral("sale1")), 3.5);
        QCOMPARE(q.number(QStringLiteral("sale2")), 3.2);
        QCOMPARE(q.text(QStringLiteral("tiaoma")), QStringLiteral("6900001005001"));
        QCOMPARE(queue.focusField(), LabelQueue::Number);
        QVERIFY(queue.focusSelectAll());
    }

    // Enter in the number moves to the quantity; Enter in the quantity adds the labels.
    void enterAddsTheLabels()
    {
        ScriptedUi ui;
        LabelQueue queue(ui);
        QVERIFY(queue.create());
        QCOMPARE(queue.focusField(), LabelQueue::Number);
        queue.setText(LabelQueue::Number, QStringLiteral("1001"));
        queue.enterPressed(LabelQueue::Number);
        QCOMPARE(queue.focusField(), LabelQueue::Quantity);
        queue.setText(LabelQueue::Quantity, QStringLiteral("2"));
        queue.enterPressed(LabelQueue::Quantity);
        QCOMPARE(labels(QStringLiteral("spbh='1001'")), 2);
        QCOMPARE(queue.focusField(), LabelQueue::Number);
    }

    void addByPrefix_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("messages");
        const QStringList refused{QStringLiteral("输入的条件不正确，请重新输入")};
        QTest::newRow("two characters") << std::optional<QString>(QStringLiteral("30"))
                                        << QStringList{QStringLiteral("3001"), QStringLiteral("3002"),
                                                       QStringLiteral("3003"), QStringLiteral("3004"),
                                                       QStringLiteral("3005"), QStringLiteral("3006"),
                                                       QStringLiteral("3007")}
                                        << QStringList();
        QTest::newRow("a whole number") << std::optional<QString>(QStringLiteral("2009"))
                                        << QStringList{QStringLiteral("2009")} << QStringList();
        QTest::newRow("nothing starts so") << std::optional<QString>(QStringLiteral("77")) << QStringList()
                                           << QStringList();
        QTest::newRow("wildcards taken literally")
            << std::optional<QString>(QStringLiteral("1_")) << QStringList() << QStringList();
        QTest::newRow("one character") << std::optional<QString>(QStringLiteral("1")) << QStringList() << refused;
        QTest::newRow("退出 answers the default 0") << std::optional<QString>(QStringLiteral("~")) << QStringList()
                                                  << refused;
        QTest::newRow("close box answers the default 0") << std::optional<QString>() << QStringList() << refused;
        QTest::newRow("one Chinese character is two bytes")
            << std::optional<QString>(QStringLiteral("货")) << QStringList() << QStringList();
    }
    void addByPrefix()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QStringList, added);
        QFETCH(QStringList, messages);
        ScriptedUi ui;
        ui.promptAnswers << answer;
        LabelQueue queue(ui);
        QVERIFY(queue.create());
        queue.setText(LabelQueue::Quantity, QStringLiteral("5")); // one label each, whatever the quantity
        queue.addByPrefix();
        QCOMPARE(ui.prompts.size(), 1);
        QCOMPARE(ui.prompts.first().caption, QStringLiteral("系统提示"));
        QCOMPARE(ui.prompts.first().question, QStringLiteral("请输入商品编号 "));
        QCOMPARE(ui.prompts.first().defaultText, QStringLiteral("0"));
        QCOMPARE(ui.texts(), messages);
        QStringList numbers;
        for (int row = 0; row < queue.count(); ++row)
            numbers << queue.rows().text(row, QStringLiteral("spbh"));
        QCOMPARE(numbers, added);
        QCOMPARE(labels(), int(added.size()));
        QCOMPARE(labels(QStringLiteral("spmc is null")), 0);
    }

    // 删除数据 removes the chosen label only, even among identical ones.
    void removeOneOfIdenticalLabels()
    {
        ScriptedUi ui;
        LabelQueue queue(ui);
        QVERIFY(queue.create());
        QVERIFY(!queue.removeCurrent()); // an empty queue: nothing happens
        queue.setText(LabelQueue::Number, QStringLiteral("1001"));
        queue.setText(LabelQueue::Quantity, QStringLiteral("3"));
        QVERIFY(queue.addByNumber());
        queue.setText(LabelQueue::Number, QStringLiteral("1002"));
        queue.setText(LabelQueue::Quantity, QStringLiteral("1"));
        QVERIFY(queue.addByNumber());
        QCOMPARE(queue.count(), 4);

        const QVariant ids = m_shop->scalar(QStringLiteral("select group_concat(rowid) from spinfotm where spbh='1001'"));
        const QStringList before = ids.toString().split(QLatin1Char(','));
        QCOMPARE(before.size(), 3);
        queue.setCurrent(1);
        const QString chosen = queue.currentKey();
        QVERIFY(before.contains(chosen));
        QVERIFY(queue.removeCurrent());
        QVERIFY(ui.shown.isEmpty());
        QVERIFY(ui.confirmTexts.isEmpty()); // without asking
        QCOMPARE(labels(QStringLiteral("spbh='1001'")), 2);
        QCOMPARE(labels(QStringLiteral("spbh='1002'")), 1);
        QCOMPARE(labels(QStringLiteral("rowid=") + chosen), 0);
        QCOMPARE(queue.count(), 3);
        QCOMPARE(queue.current(), 1);

        // The last row, then the queue shrinks from where it stands.
        queue.last();
        QVERIFY(queue.removeCurrent());
        QCOMPARE(labels(QStringLiteral("spbh='1002'")), 0);
        QCOMPARE(queue.current(), 1);
    }

    void clearAll_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void clearAll()
    {
        QFETCH(bool, confirmed);
        ScriptedUi ui;
        ui.confirms << confirmed;
        LabelQueue queue(ui);
        QVERIFY(queue.create());
        queue.setText(LabelQueue::Number, QStringLiteral("1001"));
        queue.setText(LabelQueue::Quantity, QStringLiteral("4"));
        QVERIFY(queue.addByNumber());
        QCOMPARE(queue.clearAll(), confirmed);
        QCOMPARE(ui.confirmTexts, QStringList{QStringLiteral("确实要清空记录吗?")});
        QCOMPARE(ui.texts(), confirmed ? QStringList{QStringLiteral("删除成功")} : QStringList());
        QCOMPARE(labels(), confirmed ? 0 : 4);
        QCOMPARE(queue.count(), confirmed ? 0 : 4);
    }

    // Both layouts print the labels with the product's name; the queue stays as it was.
    void printLabels_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("product labels") << QStringLiteral("bq1.rav")
                                        << QStringList{QStringLiteral("蒙牛纯牛奶"), QStringLiteral("3.50"),
                                                       QStringLiteral("250ml"), QStringLiteral("900001")};
        QTest::newRow("shelf labels") << QStringLiteral("bq2.rav")
                                      << QStringList{QStringLiteral("蒙牛纯牛奶"), QStringLiteral("3.50"),
                                                     QStringLiteral("250ml"), QStringLiteral("盒"),
                                                     QStringLiteral("3.20"), QStringLiteral("900001")};
    }
    void printLabels()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, texts);
        QVERIFY(installReports(*m_shop));
        ScriptedUi ui;
        const QString pdf = m_shop->file(file + QStringLiteral(".pdf"));
        ui.previewPdfFiles << pdf;
        LabelQueue queue(ui);
        QVERIFY(queue.create());
        queue.setText(LabelQueue::Number, QStringLiteral("1005"));
        queue.setText(LabelQueue::Quantity, QStringLiteral("2"));
        QVERIFY(queue.addByNumber());
        QVERIFY(file == QLatin1String("bq1.rav") ? queue.printProductLabels() : queue.printShelfLabels());
        QVERIFY2(ui.shown.isEmpty(), qPrintable(ui.lastText()));
        QCOMPARE(ui.previews.size(), 1);
        QCOMPARE(ui.previews.first().title, QStringLiteral("商品标签打印"));
        QVERIFY(ui.previews.first().maximised);
        const QString page = PdfTools::pageText(pdf, 1);
        for (const QString& t : texts)
            QVERIFY2(page.contains(t), qPrintable(t + QStringLiteral(" not in:\n") + page));
        QCOMPARE(page.count(QStringLiteral("蒙牛纯牛奶")), 2);
        QCOMPARE(labels(), 2);
    }
};

QTEST_MAIN(LabelsTest)
#include "tst_labels.moc"
