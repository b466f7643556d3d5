#include "PdfTools.h"

#include "core/DbConnection.h"
#include "core/print/GridPrint.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>

namespace {

const GridColumns kColumns{{QStringLiteral("spbh"), QStringLiteral("商品编号"), 90},
                                      {QStringLiteral("spmc"), QStringLiteral("商品名称"), 160},
                                      {QStringLiteral("jine"), QStringLiteral("销售金额"), 90}};

// n rows of (spbh, spmc, jine) without touching any table.
bool openRows(Query& query, int n)
{
    query.setSql(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                "select printf('%04d', i) as spbh, '商品' || i as spmc, i * 1.5 as jine from n")
                     .arg(n));
    return query.open() && query.recordCount() == n;
}

void toPdf(QPrinter& printer, const QString& file, int dpi = 600)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setResolution(dpi);
}

} // namespace

// Printing a query grid as a ruled table straight onto the printer.
class GridPrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutFigures_data()
    {
        QTest::addColumn<int>("printerDpi");
        QTest::addColumn<int>("screenDpi");
        QTest::addColumn<int>("mx");
        QTest::addColumn<int>("scale");
        QTest::newRow("300 dpi, 96 screen") << 300 << 96 << 118 << 3;
        QTest::newRow("600 dpi, 96 screen") << 600 << 96 << 236 << 6;
        QTest::newRow("600 dpi, 120 screen") << 600 << 120 << 236 << 5;
        QTest::newRow("1200 dpi, 96 screen") << 1200 << 96 << 472 << 13;
        QTest::newRow("720 dpi, 144 screen") << 720 << 144 << 283 << 5;
    }
    void layoutFigures()
    {
        QFETCH(int, printerDpi);
        QFETCH(int, screenDpi);
        QFETCH(int, mx);
        QFETCH(int, scale);
        TestShop shop;
        Query query(shop.db());
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, shop.file(QStringLiteral("layout.pdf")), printerDpi);
        const GridPrintResult r =
            GridPrint::printTo(&printer, QStringLiteral("销售利润查询"), kColumns, query, screenDpi);
        QVERIFY(r.ok);
        QCOMPARE(r.layout.mx, mx);
        QCOMPARE(r.layout.my, mx); // square dots
        QCOMPARE(r.layout.scale, scale);
        QCOMPARE(r.layout.titleTop, 2 * mx);
        QCOMPARE(r.layout.tableTop, 3 * mx);
        QVERIFY(r.layout.pageWidth > r.layout.pageHeight); // landscape
        // The row is a 9-point line plus 16 dots: about 0.16 inch plus the 16 dots.
        QVERIFY(r.layout.rowH > 16 + printerDpi * 9 / 72);
        QVERIFY(r.layout.rowH < 16 + printerDpi * 9 * 2 / 72);
        QVERIFY(qAbs(r.layout.pageWidth - 2 * r.layout.titleLeft) < r.layout.pageWidth / 4); // centred
    }

    // A print over several pages: the first page holds the title and rows, every later page
    // starts with the captions at my, no line runs into the bottom margin, every row once.
    void severalPages()
    {
        TestShop shop;
        Query query(shop.db());
        QVERIFY(openRows(query, 120));
        query.last();
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = shop.file(QStringLiteral("pages.pdf"));
        toPdf(printer, pdf);
        const GridPrintResult r = GridPrint::printTo(&printer, QStringLiteral("商品销售查询"), kColumns, query, 96);
        QVERIFY(r.ok);
        QVERIFY(r.pages >= 3);
        QCOMPARE(PdfTools::pageCount(pdf), r.pages);
        QCOMPARE(query.position(), 0);

        const GridPrintLayout& l = r.layout;
        int expectedRow = 0;
        for (int i = 0; i < r.lines.size(); ++i) {
            const GridPrintLine& line = r.lines.at(i);
            const bool firstOfPage = i == 0 || r.lines.at(i - 1).page != line.page;
            if (firstOfPage)
                QCOMPARE(line.y, line.page == 1 ? l.tableTop : l.my);
            QCOMPARE(line.row == -1, firstOfPage && line.page > 1);
            if (line.row >= 0)
                QCOMPARE(line.row, expectedRow++);
            QVERIFY(line.y + l.rowH <= l.pageHeight - l.my);
            QCOMPARE(line.columns, 3);
        }
        QCOMPARE(expectedRow, 120);
        QCOMPARE(r.lines.last().page, r.pages);

        const QString first = PdfTools::pageText(pdf, 1);
        QVERIFY(first.contains(QStringLiteral("商品销售查询")));
        QVERIFY(first.contains(QStringLiteral("商品1 ")) || first.contains(QStringLiteral("商品1\n")));
        QVERIFY(!first.contains(QStringLiteral("商品名称")));
        for (int p = 2; p <= r.pages; ++p) {
            const QString page = PdfTools::pageText(pdf, p);
            QVERIFY(!page.contains(QStringLiteral("商品销售查询")));
            for (const GridColumn& c : kColumns)
                QVERIFY2(page.contains(c.caption), qPrintable(QStringLiteral("page %1: %2").arg(p).arg(c.caption)));
        }
        QVERIFY(PdfTools::pageWords(pdf, r.pages).contains(QStringLiteral("商品120")));
    }

    void onePageHasNoCaptionLine()
    {
        TestShop shop;
        Query query(shop.db());
        QVERIFY(openRows(query, 5));
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = shop.file(QStringLiteral("one.pdf"));
        toPdf(printer, pdf);
        const GridPrintResult r = GridPrint::printTo(&printer, QStringLiteral("现金流水账"), kColumns, query, 96);
        QCOMPARE(r.pages, 1);
        QCOMPARE(r.lines.size(), 5);
        QCOMPARE(PdfTools::pageCount(pdf), 1);
        const QString text = PdfTools::pageText(pdf, 1);
        QVERIFY(text.contains(QStringLiteral("现金流水账")));
        QVERIFY(text.contains(QStringLiteral("商品5")));
        QVERIFY(!text.contains(QStringLiteral("商品编号")));
    }

    // Rows that exactly fill pages end the print there, with no empty sheet after them.
    void rowsFillingThePageExactly()
    {
        TestShop shop;
        Query query(shop.db());
        QVERIFY(openRows(query, 200));
        QPrinter probe(QPrinter::HighResolution);
        toPdf(probe, shop.file(QStringLiteral("probe.pdf")));
        const GridPrintResult all = GridPrint::printTo(&probe, QStringLiteral("t"), kColumns, query, 96);
        int firstPage = 0;
        int secondPage = 0;
        for (const GridPrintLine& line : all.lines) {
            if (line.row >= 0 && line.page == 1)
                ++firstPage;
            if (line.row >= 0 && line.page == 2)
                ++secondPage;
        }
        QVERIFY(firstPage > 0 && secondPage > 0);

        for (const auto& [rows, pages] : {std::pair{firstPage, 1}, {firstPage + 1, 2}, {firstPage + secondPage, 2}}) {
            QVERIFY(openRows(query, rows));
            QPrinter printer(QPrinter::HighResolution);
            const QString pdf = shop.file(QStringLiteral("exact%1.pdf").arg(rows));
            toPdf(printer, pdf);
            const GridPrintResult r = GridPrint::printTo(&printer, QStringLiteral("t"), kColumns, query, 96);
            QCOMPARE(r.pages, pages);
            QCOMPARE(PdfTools::pageCount(pdf), pages);
        }
    }

    void columnsThatDoNotFitAreLeftOut()
    {
        TestShop shop;
        Query query(shop.db());
        QVERIFY(openRows(query, 3));
        // At 600 dpi and 96 screen dpi a 400-pixel column is 4 inches: two fit across A4 landscape.
        const GridColumns wide{{QStringLiteral("spbh"), QStringLiteral("商品编号"), 400},
                                          {QStringLiteral("spmc"), QStringLiteral("商品名称"), 400},
                                          {QStringLiteral("jine"), QStringLiteral("销售金额"), 400}};
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = shop.file(QStringLiteral("wide.pdf"));
        toPdf(printer, pdf);
        const GridPrintResult r = GridPrint::printTo(&printer, QStringLiteral("t"), wide, query, 96);
        QCOMPARE(r.lines.size(), 3);
        for (const GridPrintLine& line : r.lines)
            QCOMPARE(line.columns, 2);
        const QStringList words = PdfTools::pageWords(pdf, 1);
        QVERIFY(words.contains(QStringLiteral("商品3")));
        QVERIFY(!words.contains(QStringLiteral("4.5"))); // 3 × 1.5, in the column left out
    }

    void unopenedOrEmptyQueryPrintsTheTitleOnly()
    {
        TestShop shop;
        for (const bool open : {false, true}) {
            Query query(shop.db());
            if (open) {
                query.setSql(QStringLiteral("select * from splb where 1 = 0"));
                QVERIFY(query.open());
            }
            QPrinter printer(QPrinter::HighResolution);
            const QString pdf = shop.file(QStringLiteral("title%1.pdf").arg(open));
            toPdf(printer, pdf);
            const GridPrintResult r = GridPrint::printTo(&printer, QStringLiteral("商品销售查询"), kColumns, query, 96);
            QVERIFY(r.ok);
            QCOMPARE(r.pages, 1);
            QVERIFY(r.lines.isEmpty());
            QCOMPARE(PdfTools::pageText(pdf, 1).trimmed(), QStringLiteral("商品销售查询"));
        }
    }

    // The command: with no printer on the system the print goes to a PDF file the person names,
    // and ends with "打印完成".
    void printCommandWithoutPrinter()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer; the command would print on it");
        TestShop shop;
        Query query(shop.db());
        QVERIFY(openRows(query, 10));
        ScriptedUi ui;
        const QString pdf = shop.file(QStringLiteral("command.pdf"));
        ui.fileNames << pdf;
        QVERIFY(GridPrint::print(ui, QStringLiteral("销售利润查询"), kColumns, query, 96));
        QCOMPARE(ui.fileDialogSuffixes, QStringList{QStringLiteral("pdf")});
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("box"));
        QCOMPARE(ui.shown.first().title, QStringLiteral("查询结果打印"));
        QCOMPARE(ui.shown.first().text, QStringLiteral("打印完成"));
        QCOMPARE(int(ui.shown.first().icon), int(Ui::Icon::None));
        QCOMPARE(PdfTools::pageCount(pdf), 1);
        QVERIFY(PdfTools::pageText(pdf, 1).contains(QStringLiteral("商品10")));

        // Cancelling the file dialog prints nothing and says nothing.
        ui.clear();
        ui.fileNames << QString();
        QVERIFY(!GridPrint::print(ui, QStringLiteral("销售利润查询"), kColumns, query, 96));
        QVERIFY(ui.shown.isEmpty());

        // An empty result: the title page only, without the closing message.
        ui.clear();
        Query empty(shop.db());
        ui.fileNames << shop.file(QStringLiteral("empty.pdf"));
        QVERIFY(GridPrint::print(ui, QStringLiteral("销售利润查询"), kColumns, empty, 96));
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(PdfTools::pageCount(shop.file(QStringLiteral("empty.pdf"))), 1);

        // A file that cannot be written is reported, not announced as printed.
        ui.clear();
        ui.fileNames << shop.file(QStringLiteral("no/such/folder/x.pdf"));
        QVERIFY(!GridPrint::print(ui, QStringLiteral("销售利润查询"), kColumns, query, 96));
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
    }
};

QTEST_MAIN(GridPrintTest)
#include "tst_gridprint.moc"
