#include "core/Dialogs.h"
#include "core/PagedQuery.h"
#include "core/RecordCursor.h"
#include "support/TestShop.h"

#include <QTest>

// The picker's rows read a page at a time, and the product filter pushed into the statement.
class PagedQueryTest : public QObject {
    Q_OBJECT
private:
    // Products "00001" … "0NNNN"; every tenth is a drink with a barcode and a pinyin code.
    static bool addProducts(TestShop& shop, int n)
    {
        return shop.db().transaction([&] {
            for (int i = 1; i <= n; ++i) {
                const bool drink = i % 10 == 0;
                if (!shop.exec(QStringLiteral("insert into spinfo(spbh,spmc,pinma,tiaoma) values(:B,:M,:P,:T)"),
                               {{"B", QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'))},
                                {"M", drink ? QStringLiteral("矿泉水%1").arg(i) : QStringLiteral("商品%1").arg(i)},
                                {"P", drink ? QStringLiteral("KQS") : QStringLiteral("SP")},
                                {"T", QStringLiteral("69%1").arg(i, 11, 10, QLatin1Char('0'))}}))
                    return false;
            }
            return true;
        });
    }

private Q_SLOTS:
    // Rows on both sides of page boundaries, read in any order, are the rows of the query.
    void pages()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const int n = PagedQuery::kPageSize * 10 + 37;
        QVERIFY2(addProducts(shop, n), qPrintable(shop.error()));
        const PickerSpec spec = Dialogs::picker(QStringLiteral("Tsphelp2_form"));
        PagedQuery rows(shop.db(), spec.query, spec.filterable ? PagedQuery::productFilterFields() : QStringList());
        QVERIFY2(rows.setFilter(QString()), qPrintable(rows.lastError()));
        QCOMPARE(rows.count(), n);
        const int size = PagedQuery::kPageSize;
        const QList<int> probes{0, size - 1, size, size + 1, n - 1, 5 * size, 3, n - size - 1, 2 * size - 1, 0};
        for (int r : probes)
            QCOMPARE(rows.text(r, QStringLiteral("spbh")), QStringLiteral("%1").arg(r + 1, 5, 10, QLatin1Char('0')));
        // Every page once, past the number of pages kept, then back to the first.
        for (int r = 0; r < n; r += size / 2)
            QCOMPARE(rows.text(r, QStringLiteral("SPBH")), QStringLiteral("%1").arg(r + 1, 5, 10, QLatin1Char('0')));
        QCOMPARE(rows.texts(size + 4, spec.answerFields), (QStringList{"00205", "商品205"}));
        // Outside the rows: empty texts, never a crash.
        QCOMPARE(rows.texts(-1, spec.answerFields), (QStringList{QString(), QString()}));
        QCOMPARE(rows.texts(n, spec.answerFields), (QStringList{QString(), QString()}));
        QCOMPARE(rows.text(0, QStringLiteral("nosuchcolumn")), QString());
    }

    void filter_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::newRow("none") << "Tsphelp2_form"
                              << "" << 500 << "00001";
        QTest::newRow("name") << "Tsphelp2_form"
                              << "矿泉水" << 50 << "00010";
        QTest::newRow("pinyin any case") << "Tsphelp7_form"
                                         << "kqs" << 50 << "00010";
        QTest::newRow("number part") << "Tsphelp2_form"
                                     << "0049" << 11 << "00049";
        QTest::newRow("barcode") << "Tsphelp16_form"
                                 << "6900000000123" << 1 << "00123";
        QTest::newRow("percent is literal") << "Tsphelp2_form"
                                            << "%" << 0 << "";
        QTest::newRow("underscore is literal") << "Tsphelp2_form"
                                               << "0_1" << 0 << "";
        QTest::newRow("backslash") << "Tsphelp2_form"
                                   << "\\" << 0 << "";
        QTest::newRow("quote") << "Tsphelp2_form"
                               << "x' or 1=1 --" << 0 << "";
        // Pickers without a filter field show every row whatever is asked.
        QTest::newRow("suppliers ignore it") << "Tsphelp6_form"
                                             << "zzz" << 2 << "";
    }
    void filter()
    {
        QFETCH(QString, form);
        QFETCH(QString, filter);
        QFETCH(int, count);
        QFETCH(QString, first);
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY2(addProducts(shop, 500), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("insert into gysxx(gysbh,gysmc) values('001','甲'),('002','乙')")));
        const PickerSpec spec = Dialogs::picker(form);
        PagedQuery rows(shop.db(), spec.query, spec.filterable ? PagedQuery::productFilterFields() : QStringList());
        QVERIFY2(rows.setFilter(filter), qPrintable(rows.lastError()));
        QCOMPARE(rows.count(), count);
        if (!first.isEmpty())
            QCOMPARE(rows.text(0, QStringLiteral("spbh")), first);
        // Every row counted can be read.
        if (count > 0)
            QVERIFY(!rows.texts(count - 1, spec.answerFields).first().isEmpty());
        // Back to everything.
        QVERIFY(rows.setFilter(QString()));
        QCOMPARE(rows.count(), form == QLatin1String("Tsphelp6_form") ? 2 : 500);
    }

    // A query that has its own condition and order keeps both under the filter.
    void ownConditionAndOrder()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY2(addProducts(shop, 100), qPrintable(shop.error()));
        PickerSpec spec = Dialogs::picker(QStringLiteral("Tsphelp2_form"));
        spec.query = QStringLiteral("select * from spinfo where spbh<'00050' ORDER  BY spbh desc");
        PagedQuery rows(shop.db(), spec.query, spec.filterable ? PagedQuery::productFilterFields() : QStringList());
        QVERIFY2(rows.setFilter(QStringLiteral("KQS")), qPrintable(rows.lastError()));
        QCOMPARE(rows.count(), 4);
        QCOMPARE(rows.text(0, QStringLiteral("spbh")), QStringLiteral("00040"));
        QCOMPARE(rows.text(3, QStringLiteral("spbh")), QStringLiteral("00010"));
    }

    // Typing on in a filter narrows a result held whole in memory; every step shows exactly the
    // rows the statement gives for that filter, and 刷新 reads the table again.
    void typingOnNarrows()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY2(addProducts(shop, 2500), qPrintable(shop.error()));
        const QString query = QStringLiteral("select * from spinfo order by spbh");
        PagedQuery rows(shop.db(), query, PagedQuery::productFilterFields());
        const QList<QPair<QString, bool>> typed{
            {QStringLiteral("商"), false},    {QStringLiteral("商品"), false},   {QStringLiteral("商品1"), false},
            {QStringLiteral("商品12"), true}, {QStringLiteral("商品123"), true}, {QStringLiteral("商品123%"), true},
            {QStringLiteral("k"), false},     {QStringLiteral("kq"), true},      {QStringLiteral("kqS"), true},
            {QStringLiteral("0"), false},     {QStringLiteral("02"), false},     {QStringLiteral("024"), true},
            {QStringLiteral("02"), false},    {QStringLiteral("0_"), false},     {QStringLiteral("0_1"), true},
        };
        for (const auto& [filter, inMemory] : typed) {
            QVERIFY2(rows.setFilter(filter), qPrintable(rows.lastError()));
            QVERIFY2(rows.narrowedInMemory() == inMemory, qPrintable(filter));
            PagedQuery fresh(shop.db(), query, PagedQuery::productFilterFields());
            QVERIFY(fresh.setFilter(filter));
            QCOMPARE(rows.count(), fresh.count());
            for (int r = 0; r < fresh.count(); r += qMax(1, fresh.count() / 50))
                QCOMPARE(rows.text(r, QStringLiteral("spbh")), fresh.text(r, QStringLiteral("spbh")));
            QCOMPARE(rows.text(rows.count(), QStringLiteral("spbh")), QString());
        }
        QVERIFY(rows.setFilter(QStringLiteral("矿泉水1")));
        QVERIFY(shop.exec(QStringLiteral("insert into spinfo(spbh,spmc) values('99999','矿泉水100')")));
        QVERIFY(rows.reload());
        QVERIFY(!rows.narrowedInMemory());
        QCOMPARE(rows.text(rows.count() - 1, QStringLiteral("spbh")), QStringLiteral("99999"));
    }

    // A filter that finds more rows than are held whole is not counted when it is set (that
    // reads the whole table): the rows known are read at once, the number when it is asked for
    // or a row past the known ones is read. Every row is the one the plain statement gives.
    void broadFilterCountedOnDemand_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("countedAtOnce");
        QTest::newRow("a name's first character") << QStringLiteral("商") << false;
        QTest::newRow("a digit of every number") << QStringLiteral("0") << false;
        QTest::newRow("the barcodes' prefix") << QStringLiteral("69") << false;
        QTest::newRow("pinyin in small letters") << QStringLiteral("sp") << false;
        QTest::newRow("a few names") << QStringLiteral("矿泉水1") << true;
        QTest::newRow("nothing") << QStringLiteral("没有") << true;
    }
    void broadFilterCountedOnDemand()
    {
        QFETCH(QString, filter);
        QFETCH(bool, countedAtOnce);
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY2(addProducts(shop, 2500), qPrintable(shop.error()));
        Query plain(shop.db());
        plain.setSql(QStringLiteral("select spbh from spinfo where spbh like :F or spmc like :F or tiaoma like :F "
                                    "or pinma like :F order by spbh"));
        plain.bind(QStringLiteral("F"), QLatin1Char('%') + filter + QLatin1Char('%'));
        QVERIFY2(plain.open(), qPrintable(plain.lastError()));
        QStringList expected;
        for (bool more = plain.first(); more; more = plain.next())
            expected << plain.text(QStringLiteral("spbh"));

        PagedQuery rows(shop.db(), QStringLiteral("select * from spinfo order by spbh"),
                        PagedQuery::productFilterFields());
        QList<QPair<int, int>> changes;
        int changed = 0;
        rows.setCountListener({[&](int before, int after) { changes.append({before, after}); }, [&] { ++changed; }});
        QVERIFY2(rows.setFilter(filter), qPrintable(rows.lastError()));
        QCOMPARE(rows.countKnown(), countedAtOnce);
        if (!countedAtOnce) {
            QVERIFY(expected.size() > PagedQuery::kHeldWhole);
            QCOMPARE(rows.knownCount(), PagedQuery::kHeldWhole + 1);
            // The rows known read as the statement gives them, across pages.
            for (int r : {0, PagedQuery::kPageSize - 1, PagedQuery::kPageSize, PagedQuery::kHeldWhole})
                QCOMPARE(rows.text(r, QStringLiteral("spbh")), expected.at(r));
            QVERIFY(!rows.countKnown());
            // The last row is past them: reading it counts the rows, once.
            QCOMPARE(rows.text(int(expected.size()) - 1, QStringLiteral("spbh")), expected.last());
            QVERIFY(rows.countKnown());
            QCOMPARE(changes, (QList<QPair<int, int>>{{PagedQuery::kHeldWhole + 1, int(expected.size())}}));
            QCOMPARE(changed, 1);
        }
        QCOMPARE(rows.count(), int(expected.size()));
        QStringList got;
        for (int r = 0; r < rows.count(); ++r)
            got << rows.text(r, QStringLiteral("spbh"));
        QCOMPARE(got, expected);
        QCOMPARE(rows.text(rows.count(), QStringLiteral("spbh")), QString());
        QCOMPARE(changed, countedAtOnce ? 0 : 1);

        // Typing on from a result not counted yet narrows to the statement's rows as well.
        QVERIFY(rows.setFilter(filter + QStringLiteral("1")));
        plain.bind(QStringLiteral("F"), QLatin1Char('%') + filter + QStringLiteral("1%"));
        QVERIFY(plain.open());
        QCOMPARE(rows.count(), plain.recordCount());
        if (rows.count() > 0) {
            QVERIFY(plain.last());
            QCOMPARE(rows.text(rows.count() - 1, QStringLiteral("spbh")), plain.text(QStringLiteral("spbh")));
        }
    }

    // The edit dialogs' cursor reads its rows a page at a time: moving across pages, to a code
    // in any letter case, and back to the same code after the rows are read again.
    void recordCursor()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY2(addProducts(shop, 450), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("update spinfo set spbh='00300A' where spbh='00300'")));
        RecordCursor cursor(shop.db(), QStringLiteral("select * from spinfo order by spbh"), QStringLiteral("spbh"));
        QVERIFY2(cursor.open(), qPrintable(cursor.lastError()));
        QCOMPARE(cursor.count(), 450);
        QCOMPARE(cursor.key(), QStringLiteral("00001"));
        QVERIFY(!cursor.prior());
        QVERIFY(cursor.moveTo(QStringLiteral("00300a")));
        QCOMPARE(cursor.key(), QStringLiteral("00300A"));
        QCOMPARE(cursor.position(), 299);
        QVERIFY(!cursor.moveTo(QStringLiteral("nosuchcode")));
        QCOMPARE(cursor.key(), QStringLiteral("00300A"));
        QVERIFY(cursor.moveTo(QStringLiteral("00200")));
        QVERIFY(cursor.prior());
        QCOMPARE(cursor.text(QStringLiteral("spmc")), QStringLiteral("商品199"));
        QVERIFY(cursor.next() && cursor.next());
        QCOMPARE(cursor.key(), QStringLiteral("00201"));
        QVERIFY(cursor.last());
        QCOMPARE(cursor.key(), QStringLiteral("00450"));
        QVERIFY(!cursor.next());
        // Read again: the same code, wherever it now stands; gone: the first row.
        QVERIFY(shop.exec(QStringLiteral("insert into spinfo(spbh,spmc) values('00000','新')")));
        QVERIFY(cursor.reload());
        QCOMPARE(cursor.key(), QStringLiteral("00450"));
        QCOMPARE(cursor.position(), 450);
        QVERIFY(shop.exec(QStringLiteral("delete from spinfo where spbh='00450'")));
        QVERIFY(cursor.reload());
        QCOMPARE(cursor.key(), QStringLiteral("00000"));
        QVERIFY(cursor.first());
        QCOMPARE(cursor.value(QStringLiteral("spmc")).toString(), QStringLiteral("新"));
    }

    // A statement the engine refuses leaves no rows and the engine's text.
    void brokenQuery()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        PickerSpec spec = Dialogs::picker(QStringLiteral("Tsphelp6_form"));
        spec.query = QStringLiteral("select * from nosuchtable");
        PagedQuery rows(shop.db(), spec.query, spec.filterable ? PagedQuery::productFilterFields() : QStringList());
        QVERIFY(!rows.setFilter(QString()));
        QCOMPARE(rows.count(), 0);
        QVERIFY(rows.lastError().contains(QStringLiteral("nosuchtable")));
        QCOMPARE(rows.texts(0, spec.answerFields), (QStringList{QString(), QString()}));
    }
};

QTEST_GUILESS_MAIN(PagedQueryTest)
#include "tst_pagedquery.moc"
