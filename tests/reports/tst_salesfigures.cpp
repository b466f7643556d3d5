#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/PdfTools.h"
#include "reports/ReportsFixture.h"
#include "reports/SalesReport.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReportsFixture;

namespace {

// Opens a screen of the kind on the shop with the range set.
std::unique_ptr<SalesReport> openScreen(const ReportKind& kind, ScriptedUi& ui, const QString& rq1, const QString& rq2)
{
    auto screen = std::make_unique<SalesReport>(kind, ui);
    if (!screen->create())
        return nullptr;
    screen->setText(QueryScreen::Rq1, rq1);
    screen->setText(QueryScreen::Rq2, rq2);
    return screen;
}

// Every row of a query as texts of the given columns joined by "|".
QStringList rowTexts(Query& q, const QStringList& columns)
{
    QStringList rows;
    for (bool more = q.first(); more; more = q.next()) {
        QStringList cells;
        for (const QString& c : columns)
            cells << q.text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The ranking the old screen made: the products copied, then one sum and one update for each.
QStringList rankingOneProductAtATime(DbConnection& db, const QString& rq1, const QString& rq2)
{
    Query q(db);
    q.setSql(QStringLiteral("delete from spxsph"));
    if (!q.execute())
        return {q.lastError()};
    q.clear();
    q.add(QStringLiteral("insert into spxsph(spbh,spmc,spxh,spgg,splb,spjl)"));
    q.add(QStringLiteral(" select spbh,spmc,spxh,spgg,splb,spjl from spinfo"));
    if (!q.execute())
        return {q.lastError()};
    Query rows(db);
    rows.setSql(QStringLiteral("select *  from spxsph"));
    if (!rows.open())
        return {rows.lastError()};
    for (bool more = rows.first(); more; more = rows.next()) {
        Query sum(db);
        sum.setSql(
            QStringLiteral("select sum(sl) as psl from xiaoshoudrecord where rq>=:RQ1 and rq<=:RQ2 and spbh=:SPBH"));
        sum.bind(QStringLiteral("RQ1"), rq1);
        sum.bind(QStringLiteral("RQ2"), rq2);
        sum.bind(QStringLiteral("SPBH"), rows.value(QStringLiteral("spbh")));
        Query update(db);
        update.setSql(QStringLiteral("update spxsph set spsl=:SPSL where spbh=:SPBH"));
        update.bind(QStringLiteral("SPBH"), rows.value(QStringLiteral("spbh")));
        if (!sum.open())
            return {sum.lastError()};
        update.bind(QStringLiteral("SPSL"), sum.number(QStringLiteral("psl")));
        if (!update.execute())
            return {update.lastError()};
    }
    Query ranked(db);
    ranked.setSql(QStringLiteral("select * from spxsph order by spsl desc,spbh"));
    if (!ranked.open())
        return {ranked.lastError()};
    return rowTexts(ranked, ranked.columns());
}

const QStringList kLineColumns{QStringLiteral("rq"),    QStringLiteral("spmc"), QStringLiteral("sl"),
                               QStringLiteral("sale1"), QStringLiteral("jine"), QStringLiteral("jinjia"),
                               QStringLiteral("c1"),    QStringLiteral("c2"),   QStringLiteral("c3")};

} // namespace

// The back office's sales figures: the profit query, the ranking and the profit statement.
class SalesFiguresTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestShop> m_shop;

    void makeShop()
    {
        m_shop = std::make_unique<TestShop>();
        QVERIFY2(smallShop(*m_shop), qPrintable(m_shop->error()));
    }

private Q_SLOTS:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(18, 0)));
        makeShop();
    }
    void cleanup()
    {
        m_shop.reset();
        Clock::reset();
    }

    void datesStartAtToday()
    {
        ScriptedUi ui;
        for (const ReportKind* kind : ReportKind::all()) {
            SalesReport screen(*kind, ui);
            QVERIFY(screen.create());
            QCOMPARE(screen.text(QueryScreen::Rq1), QStringLiteral("2024-03-05"));
            QCOMPARE(screen.text(QueryScreen::Rq2), QStringLiteral("2024-03-05"));
            QVERIFY(!screen.isQueried());
        }
        QVERIFY(ui.shown.isEmpty());
    }

    void profitQuery_data()
    {
        QTest::addColumn<QString>("rq1");
        QTest::addColumn<QString>("rq2");
        QTest::addColumn<QStringList>("rows"); // rq|spmc|sl|sale1|jine|jinjia|c1|c2|c3
        const QString day1 = QStringLiteral("2024-03-01|商品1001|2|3.5|7|2.5|5|1|2");
        const QString day3 = QStringLiteral("2024-03-03|商品1002|1|2|2|1.25|1.25|0.75|0.75");
        const QString day5 = QStringLiteral("2024-03-05|商品1001|3|3.5|10.5|2.5|7.5|1|3");
        QTest::newRow("both bounds included, held sale counted, deleted product left out")
            << QStringLiteral("2024-03-01") << QStringLiteral("2024-03-05") << QStringList{day1, day3, day5};
        QTest::newRow("one day") << QStringLiteral("2024-03-05") << QStringLiteral("2024-03-05") << QStringList{day5};
        QTest::newRow("from after to") << QStringLiteral("2024-03-05") << QStringLiteral("2024-03-01") << QStringList{};
        QTest::newRow("a day without sales")
            << QStringLiteral("2024-03-02") << QStringLiteral("2024-03-02") << QStringList{};
    }
    void profitQuery()
    {
        QFETCH(QString, rq1);
        QFETCH(QString, rq2);
        QFETCH(QStringList, rows);
        ScriptedUi ui;
        auto screen = openScreen(ReportKind::profitQuery(), ui, rq1, rq2);
        QVERIFY(screen);
        QVERIFY(screen->query());
        Query* result = screen->result();
        QVERIFY(result);
        QCOMPARE(
            result->columns(),
            (QStringList{QStringLiteral("rq"), QStringLiteral("spmc"), QStringLiteral("spxh"), QStringLiteral("spgg"),
                         QStringLiteral("splb"), QStringLiteral("sl"), QStringLiteral("sale1"), QStringLiteral("jine"),
                         QStringLiteral("jinjia"), QStringLiteral("c1"), QStringLiteral("c2"), QStringLiteral("c3")}));
        QCOMPARE(rowTexts(*result, kLineColumns), rows);
        QVERIFY(ui.shown.isEmpty());
    }

    void profitUsesTodaysPurchasePrice()
    {
        ScriptedUi ui;
        auto screen =
            openScreen(ReportKind::profitQuery(), ui, QStringLiteral("2024-03-01"), QStringLiteral("2024-03-01"));
        QVERIFY(screen && screen->query());
        QCOMPARE(rowTexts(*screen->result(), kLineColumns),
                 QStringList{QStringLiteral("2024-03-01|商品1001|2|3.5|7|2.5|5|1|2")});
        // The purchase price rises after the sale: the old sale's profit follows it.
        QVERIFY(m_shop->exec(QStringLiteral("update spinfo set jinjia=3.2 where spbh='1001'")));
        QVERIFY(screen->query());
        Query* q = screen->result();
        QCOMPARE(q->number(QStringLiteral("jinjia")), 3.2);
        QCOMPARE(q->number(QStringLiteral("c1")), 3.2 * 2);
        QCOMPARE(q->number(QStringLiteral("c2")), 3.5 - 3.2);
        QCOMPARE(q->number(QStringLiteral("c3")), (3.5 - 3.2) * 2);
    }

    void profitChartPerDay()
    {
        ScriptedUi ui;
        auto screen =
            openScreen(ReportKind::profitQuery(), ui, QStringLiteral("2024-02-28"), QStringLiteral("2024-03-05"));
        QVERIFY(screen && screen->query());
        const ChartData& chart = screen->chart();
        QCOMPARE(chart.kind, ChartData::Kind::Line);
        // Every day of the range, the days without sales at 0.
        QCOMPARE(chart.categories,
                 (QStringList{QStringLiteral("2024-02-28"), QStringLiteral("2024-02-29"), QStringLiteral("2024-03-01"),
                              QStringLiteral("2024-03-02"), QStringLiteral("2024-03-03"), QStringLiteral("2024-03-04"),
                              QStringLiteral("2024-03-05")}));
        QCOMPARE(chart.values(QStringLiteral("销售金额")), (QList<double>{0, 3.5, 7, 0, 2, 0, 10.5}));
        QCOMPARE(chart.values(QStringLiteral("销售利润")), (QList<double>{0, 1, 2, 0, 0.75, 0, 3}));

        screen->setText(QueryScreen::Rq1, QStringLiteral("2024-03-06"));
        screen->setText(QueryScreen::Rq2, QStringLiteral("2024-03-01"));
        QVERIFY(screen->query());
        QVERIFY(screen->chart().isEmpty());
    }

    void rankingEveryProductBestFirst_data()
    {
        QTest::addColumn<QString>("rq1");
        QTest::addColumn<QString>("rq2");
        QTest::addColumn<QStringList>("rows"); // spbh|spsl
        QTest::newRow("both bounds count") << QStringLiteral("2024-03-01") << QStringLiteral("2024-03-05")
                                           << QStringList{QStringLiteral("1001|5"), QStringLiteral("1002|1")};
        QTest::newRow("the first bound only") << QStringLiteral("2024-02-29") << QStringLiteral("2024-02-29")
                                              << QStringList{QStringLiteral("1001|1"), QStringLiteral("1002|0")};
        QTest::newRow("no sales: every product at 0")
            << QStringLiteral("2024-03-02") << QStringLiteral("2024-03-02")
            << QStringList{QStringLiteral("1001|0"), QStringLiteral("1002|0")};
        QTest::newRow("from after to") << QStringLiteral("2024-03-05") << QStringLiteral("2024-03-01")
                                       << QStringList{QStringLiteral("1001|0"), QStringLiteral("1002|0")};
    }
    void rankingEveryProductBestFirst()
    {
        QFETCH(QString, rq1);
        QFETCH(QString, rq2);
        QFETCH(QStringList, rows);
        ScriptedUi ui;
        auto screen = openScreen(ReportKind::ranking(), ui, rq1, rq2);
        QVERIFY(screen && screen->query());
        QCOMPARE(rowTexts(*screen->result(), {QStringLiteral("spbh"), QStringLiteral("spsl")}), rows);
        // The scratch table holds the ranking; the sold quantities are numbers, 0 for none.
        QCOMPARE(m_shop->count(QStringLiteral("spxsph")), 2);
        QCOMPARE(m_shop->count(QStringLiteral("spxsph"), QStringLiteral("spsl is null or typeof(spsl)<>'real'")), 0);
        QVERIFY(ui.shown.isEmpty());
    }

    // Ties, products that sold nothing, a product sold on both bounds, lines of a product no
    // longer in the catalogue, lines outside the range and returns: the one grouped statement
    // lists what one sum per product listed, row for row.
    void rankingMatchesOneSumPerProduct()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        // Added out of number order, so the catalogue's order is not the ranking's.
        for (const char* spbh : {"2005", "2001", "2004", "2003", "2002", "2006", "2007"})
            QVERIFY(addProduct(shop, QString::fromLatin1(spbh), QStringLiteral("商品") + QString::fromLatin1(spbh), 1));
        const Line lines[] = {
            {"2024-03-01", "2003", 2, 5, 10},    {"2024-03-05", "2003", 3, 5, 15}, // both bounds: 5
            {"2024-03-02", "2001", 5, 5, 25},                                      // ties with 2003
            {"2024-03-02", "2005", 4, 1, 4},     {"2024-03-03", "2005", 1, 1, 1},  // ties too
            {"2024-03-04", "2002", 2.5, 1, 2.5}, {"2024-02-29", "2004", 9, 1, 9},
            {"2024-03-06", "2004", 9, 1, 9},   // outside only
            {"2024-03-03", "9999", 50, 1, 50}, // not in the catalogue
        };
        for (const Line& l : lines)
            QVERIFY(addLine(shop, l));
        QVERIFY(addLine(shop, {"2024-03-03", "2003", 5, 5, 25}, QStringLiteral("xiaoshoudrecordth")));

        const QString rq1 = QStringLiteral("2024-03-01");
        const QString rq2 = QStringLiteral("2024-03-05");
        const QStringList expected = rankingOneProductAtATime(shop.db(), rq1, rq2);
        ScriptedUi ui;
        auto screen = openScreen(ReportKind::ranking(), ui, rq1, rq2);
        QVERIFY(screen && screen->query());
        Query* result = screen->result();
        QVERIFY(result);
        QCOMPARE(result->columns(), (QStringList{QStringLiteral("spbh"), QStringLiteral("spmc"), QStringLiteral("spxh"),
                                                 QStringLiteral("spgg"), QStringLiteral("splb"), QStringLiteral("spjl"),
                                                 QStringLiteral("spsl")}));
        QCOMPARE(rowTexts(*result, result->columns()), expected);
        QCOMPARE(rowTexts(*result, {QStringLiteral("spbh"), QStringLiteral("spsl")}),
                 (QStringList{QStringLiteral("2001|5"), QStringLiteral("2003|5"), QStringLiteral("2005|5"),
                              QStringLiteral("2002|2.5"), QStringLiteral("2004|0"), QStringLiteral("2006|0"),
                              QStringLiteral("2007|0")}));

        // The chart: the products that sold, best first, at most twenty.
        const ChartData& chart = screen->chart();
        QCOMPARE(chart.kind, ChartData::Kind::HorizontalBar);
        QCOMPARE(chart.categories, (QStringList{QStringLiteral("商品2001"), QStringLiteral("商品2003"),
                                                QStringLiteral("商品2005"), QStringLiteral("商品2002")}));
        QCOMPARE(chart.values(QStringLiteral("销售数量")), (QList<double>{5, 5, 5, 2.5}));
    }

    void rankingChartTwentyBestWithDistinctNames()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        // 25 products that sold 1 … 25; two share a name, one has none.
        for (int i = 1; i <= 25; ++i) {
            const QString spbh = QStringLiteral("%1").arg(3000 + i);
            const QString name = i == 25 || i == 24 ? QStringLiteral("矿泉水")
                                 : i == 23          ? QString()
                                                    : QStringLiteral("商品%1").arg(i);
            QVERIFY(addProduct(shop, spbh, name, 1));
            const QByteArray b = spbh.toLatin1();
            QVERIFY(addLine(shop, {"2024-03-05", b.constData(), double(i), 1, double(i)}));
        }
        ScriptedUi ui;
        auto screen = openScreen(ReportKind::ranking(), ui, QStringLiteral("2024-03-05"), QStringLiteral("2024-03-05"));
        QVERIFY(screen && screen->query());
        const ChartData& chart = screen->chart();
        QCOMPARE(chart.categories.size(), 20);
        QCOMPARE(chart.categories.mid(0, 4),
                 (QStringList{QStringLiteral("矿泉水（3025）"), QStringLiteral("矿泉水（3024）"),
                              QStringLiteral("3023"), QStringLiteral("商品22")}));
        QList<double> top;
        for (int i = 25; i > 5; --i)
            top << i;
        QCOMPARE(chart.values(QStringLiteral("销售数量")), top);
    }

    void statement_data()
    {
        QTest::addColumn<QStringList>("activity");
        // sr1 sales, sr2 refunds from suppliers, zc1 refunds to customers, zc2 paid to
        // suppliers, zc3 scrapped goods, then the profit
        QTest::addColumn<QList<double>>("figures");
        const QString paidSale = QStringLiteral(
            "insert into xiaoshoud(djbh,hjje,zhje,qkje,rq,jsbz) values('XS01202403010001',120,100.5,0,'2024-03-01',1)");
        const QString heldSale = QStringLiteral(
            "insert into xiaoshoud(djbh,hjje,zhje,qkje,rq,jsbz) values('XS01202403050001',30,30,30,'2024-03-05',0)");
        const QString saleOutside =
            QStringLiteral("insert into xiaoshoud(djbh,hjje,zhje,rq) values('XS01202403060001',500,500,'2024-03-06')");
        const QString refund = QStringLiteral(
            "insert into xiaoshoudth(djbh,hjje,zhje,rq) values('XT01202403030001',12,10.25,'2024-03-03')");
        const QString received = QStringLiteral("insert into jinhuodan(djbh,rq,gysmc,hjje,zkje,qkje) "
                                                "values('RK01202403020001','2024-03-02','甲',800,800,800)");
        const QString paid = QStringLiteral("insert into jine(rq,jine) values('2024-03-04',60)");
        const QString paidOutside = QStringLiteral("insert into jine(rq,jine) values('2024-02-29',70)");
        const QString supplierRefund = QStringLiteral("insert into jine2(rq,jine) values('2024-03-01',7.5)");
        const QString scrapped =
            QStringLiteral("insert into jinhuodanbf(djbh,rq,hjje,zkje) values('BF01202403050001','2024-03-05',4.75,3)");

        QTest::newRow("no activity: six zeros") << QStringList{} << QList<double>{0, 0, 0, 0, 0, 0};
        QTest::newRow("paid and held sales after discount, both bounds")
            << QStringList{paidSale, heldSale, saleOutside} << QList<double>{130.5, 0, 0, 0, 0, 130.5};
        QTest::newRow("receiving goods without paying changes nothing")
            << QStringList{paidSale, received} << QList<double>{100.5, 0, 0, 0, 0, 100.5};
        QTest::newRow("paying a supplier lowers the profit by the amount")
            << QStringList{paidSale, received, paid, paidOutside} << QList<double>{100.5, 0, 0, 60, 0, 40.5};
        QTest::newRow("everything") << QStringList{paidSale, heldSale, refund, paid, supplierRefund, scrapped}
                                    << QList<double>{130.5, 7.5, 10.25, 60, 4.75, 130.5 + 7.5 - 10.25 - 60 - 4.75};
    }
    void statement()
    {
        QFETCH(QStringList, activity);
        QFETCH(QList<double>, figures);
        for (const QString& sql : activity)
            QVERIFY2(m_shop->exec(sql), qPrintable(m_shop->error()));
        ScriptedUi ui;
        auto screen =
            openScreen(ReportKind::statement(), ui, QStringLiteral("2024-03-01"), QStringLiteral("2024-03-05"));
        QVERIFY(screen);
        // The previous statement's row is replaced, not added to.
        QVERIFY(screen->query());
        QVERIFY(screen->query());
        QCOMPARE(m_shop->count(QStringLiteral("zhlr")), 1);
        Query* q = screen->result();
        QVERIFY(q);
        QCOMPARE(q->columns(), (QStringList{QStringLiteral("sr1"), QStringLiteral("sr2"), QStringLiteral("zc1"),
                                            QStringLiteral("zc2"), QStringLiteral("zc3"), QStringLiteral("zhlr")}));
        QCOMPARE(q->recordCount(), 1);
        QList<double> row;
        for (const QString& c : q->columns()) {
            QCOMPARE(q->value(c).typeId(), int(QMetaType::Double));
            row << q->number(c);
        }
        QCOMPARE(row, figures);

        const ChartData& chart = screen->chart();
        QCOMPARE(chart.kind, ChartData::Kind::StackedBar);
        QCOMPARE(chart.categories, (QStringList{QStringLiteral("商品销售额"), QStringLiteral("供应商退货额"),
                                                QStringLiteral("商品销售退款额"), QStringLiteral("供应商应付额"),
                                                QStringLiteral("商品损坏金额"), QStringLiteral("利润")}));
        QCOMPARE(chart.values(QStringLiteral("收入")), (QList<double>{figures[0], figures[1], 0, 0, 0, 0}));
        QCOMPARE(chart.values(QStringLiteral("支出")), (QList<double>{0, 0, figures[2], figures[3], figures[4], 0}));
        QCOMPARE(chart.values(QStringLiteral("利润")), (QList<double>{0, 0, 0, 0, 0, figures[5]}));
        QVERIFY(ui.shown.isEmpty());
    }

    void exportRefusedBeforeQuery()
    {
        for (const ReportKind* kind : ReportKind::all()) {
            ScriptedUi ui;
            SalesReport screen(*kind, ui);
            QVERIFY(screen.create());
            QVERIFY(!screen.exportGrid());
            QCOMPARE(ui.texts(), QStringList{QStringLiteral("请先查询")});
            QCOMPARE(ui.shown.first().kind, QStringLiteral("message"));
            QVERIFY(ui.fileDialogTitles.isEmpty());
        }
    }

    // The grid reads the profit query's lines a page at a time; the workbook gets every line.
    void exportWritesEveryRow()
    {
        const int extra = 2 * PagedQuery::kPageSize + 50;
        QVERIFY(m_shop->db().transaction([&] {
            for (int i = 0; i < extra; ++i)
                if (!addLine(*m_shop, {"2024-03-02", "1002", 1, 2, 2}))
                    return false;
            return true;
        }));
        QTemporaryDir dir;
        ScriptedUi ui;
        auto screen =
            openScreen(ReportKind::profitQuery(), ui, QStringLiteral("2024-03-01"), QStringLiteral("2024-03-05"));
        QVERIFY(screen && screen->query());
        const int lines = 3 + extra;
        QCOMPARE(screen->rows()->count(), lines);
        const QString file = dir.filePath(QStringLiteral("利润.xlsx"));
        ui.fileNames.enqueue(file);
        QVERIFY(screen->exportGrid());
        QCOMPARE(ui.fileDialogTitles, QStringList{QStringLiteral("导出文件")});
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("导出成功")});
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QStringLiteral("xl/worksheets/sheet1.xml")});
        QVERIFY(unzip.waitForFinished(30000));
        const QByteArray sheet = unzip.readAllStandardOutput();
        // The captions, then one row a line.
        QCOMPARE(int(sheet.count("<row ")), 1 + lines);
        QVERIFY(sheet.contains(QByteArray("r=\"A%1\"").replace("%1", QByteArray::number(1 + lines))));
    }

    void printRefusedBeforeQuery()
    {
        for (const ReportKind* kind : ReportKind::all()) {
            ScriptedUi ui;
            SalesReport screen(*kind, ui);
            QVERIFY(screen.create());
            bool chartDrawn = false;
            QVERIFY(!screen.print(kind->spec.columns, [&](QPainter&, const QRectF&) { chartDrawn = true; }));
            QCOMPARE(ui.texts(), QStringList{QStringLiteral("请先查询")});
            QVERIFY(ui.fileDialogTitles.isEmpty());
            QVERIFY(!chartDrawn);
        }
    }

    // The rows as a ruled table under the screen's title, then the chart on a page of its own.
    void printTableThenChart_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("figure"); // a value of the printed table
        QTest::newRow("profit query") << QStringLiteral("Tspxsly_form") << QStringLiteral("销售利润查询")
                                      << QStringLiteral("0.75");
        QTest::newRow("ranking") << QStringLiteral("Tspxsph_form") << QStringLiteral("商品销售查询")
                                 << QStringLiteral("商品1001");
        QTest::newRow("statement") << QStringLiteral("Tlrtj_form") << QStringLiteral("商品销售利润统计")
                                   << QStringLiteral("-3.50");
    }
    void printTableThenChart()
    {
        QFETCH(QString, form);
        QFETCH(QString, title);
        QFETCH(QString, figure);
        const ReportKind* kind = nullptr;
        for (const ReportKind* k : ReportKind::all())
            if (k->spec.formName == form)
                kind = k;
        QVERIFY(kind);
        QVERIFY(m_shop->exec(QStringLiteral("insert into xiaoshoudth(djbh,zhje,rq) values('XT01202403030001',3.5,"
                                            "'2024-03-03')")));
        ScriptedUi ui;
        auto screen = openScreen(*kind, ui, QStringLiteral("2024-03-01"), QStringLiteral("2024-03-05"));
        QVERIFY(screen && screen->query());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
        ui.fileNames.enqueue(pdf);
        QRectF chartArea;
        QVERIFY(screen->print(kind->spec.columns, [&](QPainter& painter, const QRectF& area) {
            chartArea = area;
            painter.drawText(area, Qt::AlignCenter, QStringLiteral("图表在此"));
        }));
        QCOMPARE(ui.printed, QStringList{title});
        QCOMPARE(ui.shown.last().title, QStringLiteral("查询结果打印"));
        QCOMPARE(ui.lastText(), QStringLiteral("打印完成"));
        QCOMPARE(PdfTools::pageCount(pdf), 2);
        const QString table = PdfTools::pageText(pdf, 1);
        QVERIFY2(table.contains(title) && table.contains(figure), qPrintable(table));
        QVERIFY(PdfTools::pageText(pdf, 2).contains(QStringLiteral("图表在此")));
        // The chart fills the landscape page inside its 1 cm margins.
        QVERIFY(chartArea.width() > chartArea.height());
        QVERIFY(chartArea.left() > 0 && chartArea.top() > 0);
    }

    void printWithoutChartFigures()
    {
        // Nothing sold: the ranking lists every product at 0 and has no best sellers to draw.
        ScriptedUi ui;
        auto screen = openScreen(ReportKind::ranking(), ui, QStringLiteral("2024-03-02"), QStringLiteral("2024-03-02"));
        QVERIFY(screen && screen->query());
        QVERIFY(screen->chart().isEmpty());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
        ui.fileNames.enqueue(pdf);
        bool chartDrawn = false;
        QVERIFY(
            screen->print(ReportKind::ranking().spec.columns, [&](QPainter&, const QRectF&) { chartDrawn = true; }));
        QVERIFY(!chartDrawn);
        QCOMPARE(PdfTools::pageCount(pdf), 1);
    }

    void badDateChangesNothing_data()
    {
        QTest::addColumn<QString>("rq1");
        QTest::addColumn<QString>("rq2");
        QTest::addColumn<QString>("message");
        QTest::newRow("from") << QStringLiteral("2024-02-30") << QStringLiteral("2024-03-05")
                              << QStringLiteral("“从”的日期不正确：2024-02-30，请按 年-月-日 输入");
        QTest::newRow("to") << QStringLiteral("2024-03-01") << QStringLiteral("3月5日")
                            << QStringLiteral("“至”的日期不正确：3月5日，请按 年-月-日 输入");
    }
    void badDateChangesNothing()
    {
        QFETCH(QString, rq1);
        QFETCH(QString, rq2);
        QFETCH(QString, message);
        ScriptedUi ui;
        auto screen = openScreen(ReportKind::ranking(), ui, QStringLiteral("2024-03-01"), QStringLiteral("2024-03-05"));
        QVERIFY(screen && screen->query());
        screen->setText(QueryScreen::Rq1, rq1);
        screen->setText(QueryScreen::Rq2, rq2);
        QVERIFY(m_shop->exec(QStringLiteral("insert into spinfo(spbh,spmc) values('1009','新品')")));
        QVERIFY(!screen->query());
        QCOMPARE(ui.texts(), QStringList{message});
        // The last ranking stays as it was, on screen and in the scratch table.
        QVERIFY(screen->isQueried());
        QCOMPARE(m_shop->count(QStringLiteral("spxsph")), 2);
    }

    void databaseErrorIsShown()
    {
        ScriptedUi ui;
        auto screen =
            openScreen(ReportKind::statement(), ui, QStringLiteral("2024-03-01"), QStringLiteral("2024-03-05"));
        QVERIFY(screen);
        QVERIFY(m_shop->exec(QStringLiteral("drop table jine2")));
        QVERIFY(!screen->query());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
        QVERIFY(ui.lastText().contains(QStringLiteral("jine2")));
        QVERIFY(!screen->isQueried());
        QVERIFY(!screen->exportGrid());
        QCOMPARE(ui.lastText(), QStringLiteral("请先查询"));
    }

    // The statements read the indexes that hold every column they need, so a year of a big
    // shop's lines is read from the index alone.
    void statementsUseCoveringIndexes_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("index");
        QTest::newRow("ranking") << QStringLiteral("select spbh,sum(sl) as psl from xiaoshoudrecord where rq>=:RQ1 and "
                                                   "rq<=:RQ2 group by spbh")
                                 << QStringLiteral("ix_xiaoshoudrecord_rq_spbh");
        QTest::newRow("sales") << QStringLiteral("select sum(zhje) as pje from xiaoshoud where rq>=:RQ1 and rq<=:RQ2")
                               << QStringLiteral("ix_xiaoshoud_rq_zhje");
        QTest::newRow("refunds") << QStringLiteral(
                                        "select sum(zhje) as pje from xiaoshoudth where rq>=:RQ1 and rq<=:RQ2")
                                 << QStringLiteral("ix_xiaoshoudth_rq_zhje");
        QTest::newRow("payments") << QStringLiteral("select sum(jine) as pje from jine where rq>=:RQ1 and rq<=:RQ2")
                                  << QStringLiteral("ix_jine_rq");
        QTest::newRow("supplier refunds")
            << QStringLiteral("select sum(jine) as pje from jine2 where rq>=:RQ1 and rq<=:RQ2")
            << QStringLiteral("ix_jine2_rq");
        QTest::newRow("scrap") << QStringLiteral("select sum(hjje) as pje from jinhuodanbf where rq>=:RQ1 and rq<=:RQ2")
                               << QStringLiteral("ix_jinhuodanbf_rq_hjje");
    }
    // The profit query's grid reads a page at a time: its lines come off the date index in
    // their order, so the first page needs no sort of the whole month.
    void profitLinesNeedNoSort()
    {
        ScriptedUi ui;
        auto screen =
            openScreen(ReportKind::profitQuery(), ui, QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"));
        QVERIFY(screen && screen->query());
        Query q(m_shop->db());
        q.setSql(QStringLiteral("explain query plan ") + screen->resultSql());
        for (auto it = screen->resultParams().cbegin(); it != screen->resultParams().cend(); ++it)
            q.bind(it.key(), it.value());
        QVERIFY2(q.open(), qPrintable(q.lastError()));
        QStringList plan;
        for (bool more = q.first(); more; more = q.next())
            plan << q.text(QStringLiteral("detail"));
        const QString text = plan.join(QLatin1Char('\n'));
        QVERIFY2(text.contains(QStringLiteral("SEARCH a USING INDEX ix_xiaoshoudrecord_rq (")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("TEMP B-TREE")), qPrintable(text));
    }

    void statementsUseCoveringIndexes()
    {
        QFETCH(QString, sql);
        QFETCH(QString, index);
        Query q(m_shop->db());
        q.setSql(QStringLiteral("explain query plan ") + sql);
        q.bind(QStringLiteral("RQ1"), QStringLiteral("2024-01-01"));
        q.bind(QStringLiteral("RQ2"), QStringLiteral("2024-12-31"));
        QVERIFY2(q.open(), qPrintable(q.lastError()));
        QStringList plan;
        for (bool more = q.first(); more; more = q.next())
            plan << q.text(QStringLiteral("detail"));
        QVERIFY2(plan.join(QLatin1Char(' ')).contains(QStringLiteral("USING COVERING INDEX ") + index),
                 qPrintable(plan.join(QLatin1Char('\n'))));
    }
};

// Printing lays out type, which needs the application of a graphical program (offscreen in tests).
QTEST_MAIN(SalesFiguresTest)
#include "tst_salesfigures.moc"
