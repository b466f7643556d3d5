#include "PdfTools.h"

#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/report/Barcode.h"
#include "core/report/Report.h"
#include "core/report/ReportLayout.h"
#include "core/report/ReportRenderer.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

QString assetsFolder()
{
    return QDir::cleanPath(QStringLiteral(POS_TEST_DATA "/../../../assets"));
}

// Puts the shipped report files into the shop's program folder.
bool installReports(const TestShop& shop)
{
    const QStringList names = QDir(assetsFolder()).entryList({QStringLiteral("*.rav")}, QDir::Files);
    for (const QString& n : names)
        if (!QFile::copy(assetsFolder() + QLatin1Char('/') + n, shop.file(n)))
            return false;
    return !names.isEmpty();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

ReportDataSet rowsOf(const QStringList& columns, const QVector<QVector<QVariant>>& rows)
{
    return ReportDataSet{columns, rows};
}

} // namespace

// The report engine: the file format, the four steps of a print command, the shipped layouts
// and the pages they produce.
class ReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 30))); }
    void cleanupTestCase() { Clock::reset(); }

    void malformedFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString table = QStringLiteral("[table]\nconnection = c1\ncolumn = 名称 | {mc}\n");
        QTest::newRow("no table, no labels")
            << QStringLiteral("[report]\npage = A4\n") << QStringLiteral("两者只能有一个");
        QTest::newRow("unknown section") << QStringLiteral("[tabel]\n")
                                         << QStringLiteral("第 1 行：不认识的节 [tabel]");
        QTest::newRow("unknown key") << table + QStringLiteral("colour = red\n") << QStringLiteral("第 4 行");
        QTest::newRow("setting before a section") << QStringLiteral("page = A4\n") << QStringLiteral("第 1 行");
        QTest::newRow("not key = value") << table + QStringLiteral("column\n") << QStringLiteral("第 4 行");
        QTest::newRow("bad paper") << QStringLiteral("[report]\npage = A3\n") + table << QStringLiteral("不认识的纸张");
        QTest::newRow("width not a number")
            << QStringLiteral("[table]\nconnection = c\ncolumn = a | {a} | wide\n") << QStringLiteral("第 3 行");
        QTest::newRow("open brace") << QStringLiteral("[table]\nconnection = c\ncolumn = a | {a\n")
                                    << QStringLiteral("花括号不配对");
        QTest::newRow("bad number format")
            << QStringLiteral("[table]\nconnection = c\ncolumn = a | {a:#.##}\n") << QStringLiteral("数字格式");
        QTest::newRow("sum of a text") << QStringLiteral(
                                              "[table]\nconnection = c\ncolumn = a | 共{a} | 1 | left | sum\n")
                                       << QStringLiteral("求和");
        QTest::newRow("table without connection")
            << QStringLiteral("[table]\ncolumn = a | {a}\n") << QStringLiteral("缺少 connection");
        QTest::newRow("header field without connection")
            << QStringLiteral("[header]\nfield = 单号 | {djbh}\n") + table << QStringLiteral("[header]");
        QTest::newRow("table and labels")
            << table + QStringLiteral("[labels]\nconnection = c\ngrid = 1 x 1\nsize = 50 x 30\n"
                                      "text = 0 0 10 10 | left | {a}\n")
            << QStringLiteral("两者只能有一个");
        QTest::newRow("label item outside the label")
            << QStringLiteral("[labels]\nconnection = c\ngrid = 2 x 2\nsize = 50 x 30\nbarcode = 10 10 45 10 | {tm}\n")
            << QStringLiteral("超出了标签");
        QTest::newRow("section twice") << table + QStringLiteral("[table]\n") << QStringLiteral("出现了两次");
    }
    void malformedFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        ReportLayout layout;
        QString error;
        QVERIFY(!ReportLayout::parse(text, &layout, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    // Every setting lands where the renderer reads it.
    void settingsAreRead()
    {
        ReportLayout table;
        QString error;
        QVERIFY2(ReportLayout::parse(QStringLiteral("\xFEFF# 注释\n"
                                                    "[report]\n"
                                                    "page = 100x150 landscape\n"
                                                    "margins = 5 8\n"
                                                    "font = 黑体\n"
                                                    "fontsize = 9.5\n"
                                                    "pagenumber = {page}/{pages}\n"
                                                    "[title]\n"
                                                    "line = center 16 bold | {c3.gsmc}\n"
                                                    "line = 没有格式的一行\n"
                                                    "[table]\n"
                                                    "connection = c1\n"
                                                    "number = 序号 | 0.6\n"
                                                    "column = 名称 | {spmc} | 3 | left\n"
                                                    "column = 金额 | {jine:0.00} | 1.5 | right | sum\n"
                                                    "column = 实盘 | \n"
                                                    "totals = 合计\n"
                                                    "rowheight = 6\n"
                                                    "[footer]\n"
                                                    "connection = c2\n"
                                                    "columns = 2\n"
                                                    "field = 制单 | {zdy}\n"
                                                    "line = right | 签收：____\n"),
                                     &table, &error),
                 qPrintable(error));
        QCOMPARE(table.pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(table.pageSize.size(QPageSize::Millimeter), QSizeF(100, 150));
        QCOMPARE(table.margins, QMarginsF(5, 8, 5, 8));
        QCOMPARE(table.font, QStringLiteral("黑体"));
        QCOMPARE(table.fontSize, 9.5);
        QCOMPARE(table.pageNumber, QStringLiteral("{page}/{pages}"));
        QCOMPARE(table.title.size(), 2);
        QCOMPARE(table.title.at(0).size, 16.0);
        QVERIFY(table.title.at(0).bold);
        QCOMPARE(table.title.at(0).align, Qt::AlignHCenter);
        QCOMPARE(table.title.at(1).text, QStringLiteral("没有格式的一行"));
        QCOMPARE(table.numberCaption, QStringLiteral("序号"));
        QCOMPARE(table.numberShare, 0.6);
        QCOMPARE(table.columns.size(), 3);
        QCOMPARE(table.columns.at(1).share, 1.5);
        QCOMPARE(table.columns.at(1).align, Qt::AlignRight);
        QCOMPARE(table.columns.at(1).sumField, QStringLiteral("jine"));
        QCOMPARE(table.columns.at(1).sumFormat, QStringLiteral("0.00"));
        QVERIFY(table.columns.at(2).value.isEmpty());
        QCOMPARE(table.totalsCaption, QStringLiteral("合计"));
        QCOMPARE(table.rowHeight, 6.0);
        QCOMPARE(table.footerColumns, 2);
        QCOMPARE(table.footerLines.first().align, Qt::AlignRight);
        QCOMPARE(table.connections(), (QStringList{QStringLiteral("c1"), QStringLiteral("c2"), QStringLiteral("c3")}));

        ReportLayout labels;
        QVERIFY2(ReportLayout::parse(QStringLiteral("[labels]\n"
                                                    "connection = RvDataSetConnection1\n"
                                                    "grid = 3 x 8\n"
                                                    "size = 63.5 x 33.9\n"
                                                    "gap = 2.5 x 0\n"
                                                    "border = no\n"
                                                    "text = 3 2 38 6 | left 10 bold | {spmc}\n"
                                                    "barcode = 8 13.5 47.5 19 | {tiaoma}\n"),
                                     &labels, &error),
                 qPrintable(error));
        QCOMPARE(labels.labelColumns, 3);
        QCOMPARE(labels.labelRows, 8);
        QCOMPARE(labels.labelSize, QSizeF(63.5, 33.9));
        QCOMPARE(labels.labelGap, QSizeF(2.5, 0));
        QVERIFY(!labels.labelBorder);
        QCOMPARE(labels.labelItems.size(), 2);
        QCOMPARE(labels.labelItems.at(1).kind, ReportLabelItem::Kind::Barcode);
        QCOMPARE(labels.labelItems.at(1).rect, QRectF(8, 13.5, 47.5, 19));
    }

    // A label sheet's border is switched in English or in Chinese; any other word is refused
    // with the line and the word.
    void labelBorderWords_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("read");
        QTest::addColumn<bool>("border");
        QTest::newRow("是") << QStringLiteral("是") << true << true;
        QTest::newRow("否") << QStringLiteral("否") << true << false;
        QTest::newRow("yes, any case") << QStringLiteral("YES") << true << true;
        QTest::newRow("no") << QStringLiteral("no") << true << false;
        QTest::newRow("something else") << QStringLiteral("有") << false << false;
    }
    void labelBorderWords()
    {
        QFETCH(QString, word);
        QFETCH(bool, read);
        QFETCH(bool, border);
        ReportLayout labels;
        QString error;
        const bool parsed = ReportLayout::parse(QStringLiteral("[labels]\n"
                                                               "connection = c\n"
                                                               "grid = 1 x 1\n"
                                                               "size = 50 x 30\n"
                                                               "border = %1\n"
                                                               "text = 0 0 10 10 | left | {a}\n")
                                                    .arg(word),
                                                &labels, &error);
        QCOMPARE(parsed, read);
        if (read) {
            QCOMPARE(labels.labelBorder, border);
        } else {
            QVERIFY2(error.contains(QStringLiteral("第 5 行")) && error.contains(word) &&
                         error.contains(QStringLiteral("是 或 否")),
                     qPrintable(error));
        }
    }

    // The connection names are the contract with the screens that print: a file that reads a
    // connection its screen does not hand over prints nothing.
    void shippedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("connections");
        QTest::newRow("categories") << QStringLiteral("splb.rav")
                                    << QStringList{QStringLiteral("splbRvDataSetConnection1")};
        QTest::newRow("products") << QStringLiteral("spxx.rav")
                                  << QStringList{QStringLiteral("spxxRvDataSetConnection1")};
        QTest::newRow("stock count") << QStringLiteral("sppd.rav")
                                     << QStringList{QStringLiteral("sppdRvDataSetConnection1")};
        for (const auto& [file, prefix] :
             {std::pair{"sprk.rav", "sprk"}, {"sprkth.rav", "sprkth"}, {"sprkbf.rav", "spbf"}})
            QTest::newRow(file) << QString::fromLatin1(file)
                                << QStringList{QString::fromLatin1(prefix) + QStringLiteral("RvDataSetConnection1"),
                                               QString::fromLatin1(prefix) + QStringLiteral("RvDataSetConnection2"),
                                               QString::fromLatin1(prefix) + QStringLiteral("RvDataSetConnection3")};
        QTest::newRow("product labels") << QStringLiteral("bq1.rav")
                                        << QStringList{QStringLiteral("RvDataSetConnection1")};
        QTest::newRow("shelf labels") << QStringLiteral("bq2.rav")
                                      << QStringList{QStringLiteral("RvDataSetConnection1")};
    }
    void shippedFiles()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, connections);
        QFile f(assetsFolder() + QLatin1Char('/') + file);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        ReportLayout layout;
        QString error;
        QVERIFY2(ReportLayout::parse(QString::fromUtf8(f.readAll()), &layout, &error), qPrintable(error));
        QStringList used = layout.connections();
        used.sort();
        connections.sort();
        QCOMPARE(used, connections);
    }

    // The example in the shop's documentation of the format is a working file.
    void documentedExample()
    {
        QFile doc(QDir::cleanPath(QStringLiteral(POS_TEST_DATA "/../../../docs/reports.md")));
        QVERIFY(doc.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(doc.readAll());
        const qsizetype start = text.indexOf(QLatin1String("## Example"));
        const qsizetype open = text.indexOf(QLatin1String("```\n"), start);
        const qsizetype close = text.indexOf(QLatin1String("```"), open + 4);
        QVERIFY(start > 0 && open > start && close > open);
        ReportLayout layout;
        QString error;
        QVERIFY2(ReportLayout::parse(text.mid(open + 4, close - open - 4), &layout, &error), qPrintable(error));
        QCOMPARE(layout.columns.size(), 4);
    }

    void missingOrFaultyFileStopsBeforePrinting_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("找不到报表文件");
        QTest::newRow("malformed") << QByteArray("[table]\nconnection = splbRvDataSetConnection1\n")
                                   << QStringLiteral("格式有误");
        QTest::newRow("not utf-8") << QByteArray("[title]\nline = \xc9\xcc\xc6\xb7\n") << QStringLiteral("UTF-8");
    }
    void missingOrFaultyFileStopsBeforePrinting()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        if (!content.isEmpty())
            QVERIFY(writeFile(shop.file(QStringLiteral("splb.rav")), content));
        ScriptedUi ui;
        Report report(ui);
        report.setPreviewTitle(QStringLiteral("商品类别打印"), true);
        report.setConnection(QStringLiteral("splbRvDataSetConnection1"), rowsOf({QStringLiteral("lbbh")}, {}));
        QVERIFY(!report.run(QStringLiteral("splb.rav")));
        QVERIFY(ui.previews.isEmpty());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
        QVERIFY2(ui.shown.first().text.contains(message), qPrintable(ui.shown.first().text));
        QVERIFY2(ui.shown.first().text.contains(QDir::toNativeSeparators(shop.file(QStringLiteral("splb.rav")))),
                 qPrintable(ui.shown.first().text));
    }

    void connectionNotHandedOverIsAnError()
    {
        TestShop shop;
        QVERIFY(installReports(shop));
        ScriptedUi ui;
        Report report(ui);
        report.setConnection(QStringLiteral("sprkRvDataSetConnection1"), rowsOf({QStringLiteral("spbh")}, {}));
        report.setConnection(QStringLiteral("sprkRvDataSetConnection2"), rowsOf({QStringLiteral("djbh")}, {}));
        QVERIFY(!report.run(QStringLiteral("sprk.rav")));
        QVERIFY(ui.previews.isEmpty());
        QVERIFY2(ui.lastText().contains(QStringLiteral("sprkRvDataSetConnection3")), qPrintable(ui.lastText()));
    }

    // The four steps with a real query: the preview carries the screen's title, and a list
    // longer than a page repeats its headings on the next page.
    void categoriesOverSeveralPages()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(installReports(shop));
        QVERIFY(shop.exec(QStringLiteral("delete from splb")));
        for (int i = 1; i <= 60; ++i)
            QVERIFY(shop.exec(QStringLiteral("insert into splb(lbbh,lbmc) values(:B,:M)"),
                              {{QStringLiteral("B"), QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'))},
                               {QStringLiteral("M"), QStringLiteral("类别%1").arg(i)}}));
        Query query(shop.db());
        query.setSql(QStringLiteral("select * from splb order by lbbh"));
        QVERIFY(query.open());

        ScriptedUi ui;
        const QString pdf = shop.file(QStringLiteral("splb.pdf"));
        ui.previewPdfFiles << pdf;
        Report report(ui);
        report.setConnection(QStringLiteral("splbRvDataSetConnection1"), query);
        report.setPreviewTitle(QStringLiteral("商品类别打印"), true);
        report.setSetupTitle(QStringLiteral("商品类别打印设置"));
        report.setProjectFile(QStringLiteral("splb.rav"));
        QCOMPARE(report.projectFile(), shop.file(QStringLiteral("splb.rav")));
        QVERIFY(report.open());
        QVERIFY(report.execute());
        report.close();
        QVERIFY2(ui.shown.isEmpty(), qPrintable(ui.lastText()));
        QCOMPARE(ui.previews.size(), 1);
        QCOMPARE(ui.previews.first().title, QStringLiteral("商品类别打印"));
        QCOMPARE(ui.previews.first().setupTitle, QStringLiteral("商品类别打印设置"));
        QVERIFY(ui.previews.first().maximised);

        // Title, date, column headings and "page n of m" on every page.
        const int pages = PdfTools::pageCount(pdf);
        QVERIFY(pages >= 2);
        QStringList words;
        for (int p = 1; p <= pages; ++p) {
            const QString page = PdfTools::pageText(pdf, p);
            QVERIFY(page.contains(QStringLiteral("商品类别一览表")));
            QVERIFY(page.contains(QStringLiteral("类别名称")));
            QVERIFY(page.contains(QStringLiteral("2026-12-09")));
            QVERIFY2(QString(page).remove(QLatin1Char(' ')).contains(QStringLiteral("第%1页共%2页").arg(p).arg(pages)),
                     qPrintable(page));
            words += PdfTools::pageWords(pdf, p);
        }
        // Every category printed exactly once, in order.
        int last = -1;
        for (int i = 1; i <= 60; ++i) {
            const int at = int(words.indexOf(QStringLiteral("类别%1").arg(i)));
            QVERIFY2(at > last, qPrintable(QStringLiteral("类别%1").arg(i)));
            QCOMPARE(words.count(QStringLiteral("类别%1").arg(i)), 1);
            last = at;
        }
    }

    // A goods voucher: shop name from the settings row, header fields, lines and column sums.
    void voucherWithHeaderLinesAndTotals()
    {
        TestShop shop;
        QVERIFY(installReports(shop));
        ScriptedUi ui;
        const QString pdf = shop.file(QStringLiteral("sprk.pdf"));
        ui.previewPdfFiles << pdf;
        Report report(ui);
        const QStringList lineColumns{QStringLiteral("spbh"), QStringLiteral("spmc"), QStringLiteral("sl"),
                                      QStringLiteral("jinjia"), QStringLiteral("jine")};
        report.setConnection(
            QStringLiteral("sprkRvDataSetConnection1"),
            rowsOf(lineColumns,
                   {{QStringLiteral("0001"), QStringLiteral("可口可乐"), 2.0, 3.5, 7.0},
                    {QStringLiteral("0002"), QStringLiteral("康师傅方便面"), 3.0, 1.25, 3.75},
                    {QStringLiteral("0003"), QStringLiteral("整柜冷链设备"), 1.0, 1234567.89, 1234567.89}}));
        report.setConnection(QStringLiteral("sprkRvDataSetConnection2"),
                             rowsOf({QStringLiteral("djbh"), QStringLiteral("rq"), QStringLiteral("gysmc"),
                                     QStringLiteral("hjje"), QStringLiteral("zkje"), QStringLiteral("qkje")},
                                    {{QStringLiteral("RK01202612090001"), QStringLiteral("2026-12-09"),
                                      QStringLiteral("华联批发"), 10.75, 9.675, 9.675}}));
        report.setConnection(QStringLiteral("sprkRvDataSetConnection3"),
                             rowsOf({QStringLiteral("gsmc")}, {{QStringLiteral("翠湖超市")}}));
        QVERIFY(report.run(QStringLiteral("sprk.rav")));
        QVERIFY2(ui.shown.isEmpty(), qPrintable(ui.lastText()));
        QCOMPARE(PdfTools::pageCount(pdf), 1);
        const QString text = PdfTools::pageText(pdf, 1);
        for (const QString& expected :
             {QStringLiteral("翠湖超市"), QStringLiteral("商品入库单"), QStringLiteral("单据编号：RK01202612090001"),
              QStringLiteral("华联批发"), QStringLiteral("康师傅方便面"), QStringLiteral("3.50"),
              QStringLiteral("1.25"), QStringLiteral("合计金额：10.75"), QStringLiteral("折后金额：9.68"),
              QStringLiteral("欠款金额：9.68")})
            QVERIFY2(text.contains(PdfTools::fold(expected)), qPrintable(expected + QStringLiteral("\n") + text));
        // The totals row sums the quantity and amount columns.
        const QStringList words = PdfTools::pageWords(pdf, 1);
        const int totals = int(words.indexOf(QStringLiteral("合计")));
        QVERIFY(totals >= 0);
        QCOMPARE(words.mid(totals + 1, 2), (QStringList{QStringLiteral("6"), QStringLiteral("1234578.64")}));
        // A long amount in a narrow column prints whole, in smaller type, never cut short.
        QVERIFY2(words.count(QStringLiteral("1234567.89")) == 2, qPrintable(words.join(QLatin1Char(' '))));
    }

    // However many lines a voucher has, its totals and footer stand on the same page as its
    // last line, and no page is left without lines.
    void totalsStayWithTheLastLine()
    {
        TestShop shop;
        QVERIFY(installReports(shop));
        int previousPages = 1;
        bool crossedAPage = false;
        for (int n = 20; n <= 45; ++n) {
            QVector<QVector<QVariant>> lines;
            for (int i = 1; i <= n; ++i)
                lines << QVector<QVariant>{QStringLiteral("商品%1").arg(i), 1.0, 2.0, 2.0};
            ScriptedUi ui;
            const QString pdf = shop.file(QStringLiteral("lines%1.pdf").arg(n));
            ui.previewPdfFiles << pdf;
            Report report(ui);
            report.setConnection(
                QStringLiteral("sprkRvDataSetConnection1"),
                rowsOf({QStringLiteral("spmc"), QStringLiteral("sl"), QStringLiteral("jinjia"), QStringLiteral("jine")},
                       lines));
            report.setConnection(QStringLiteral("sprkRvDataSetConnection2"),
                                 rowsOf({QStringLiteral("hjje")}, {{2.0 * n}}));
            report.setConnection(QStringLiteral("sprkRvDataSetConnection3"), rowsOf({QStringLiteral("gsmc")}, {}));
            QVERIFY(report.run(QStringLiteral("sprk.rav")));
            const int pages = PdfTools::pageCount(pdf);
            crossedAPage = crossedAPage || pages > previousPages;
            previousPages = pages;
            const QStringList last = PdfTools::pageWords(pdf, pages);
            QVERIFY2(last.contains(QStringLiteral("商品%1").arg(n)), qPrintable(QString::number(n)));
            QVERIFY(last.contains(PdfTools::fold(QStringLiteral("合计金额：%1.00").arg(2 * n))));
            for (int p = 1; p < pages; ++p)
                QVERIFY(PdfTools::pageText(pdf, p).contains(QStringLiteral("商品")));
        }
        QVERIFY(crossedAPage); // the range covers the step from one page to two
    }

    void valueFormats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("shortest") << QVariant(2.50) << QString() << QStringLiteral("2.5");
        QTest::newRow("two decimals") << QVariant(2.5) << QStringLiteral("0.00") << QStringLiteral("2.50");
        QTest::newRow("half away from zero") << QVariant(1.005) << QStringLiteral("0.00") << QStringLiteral("1.01");
        QTest::newRow("whole") << QVariant(2.5) << QStringLiteral("0") << QStringLiteral("3");
        QTest::newRow("numeric text") << QVariant(QStringLiteral("4.1")) << QStringLiteral("0.00")
                                      << QStringLiteral("4.10");
        QTest::newRow("other text unchanged")
            << QVariant(QStringLiteral("散装")) << QStringLiteral("0.00") << QStringLiteral("散装");
        QTest::newRow("empty stays empty") << QVariant() << QStringLiteral("0.00") << QString();
    }
    void valueFormats()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(reportValueText(value, format), text);
    }

    void barcodeKinds_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("modules");
        QTest::newRow("EAN-13 with its check digit")
            << QStringLiteral("6901234567892") << int(Barcode::Kind::Ean13) << 95;
        QTest::newRow("13 digits, wrong check digit")
            << QStringLiteral("6901234567890") << int(Barcode::Kind::Code128) << -1;
        QTest::newRow("12 digits") << QStringLiteral("690123456789") << int(Barcode::Kind::Code128) << -1;
        QTest::newRow("shop's own code") << QStringLiteral("A-0012") << int(Barcode::Kind::Code128) << 90;
        QTest::newRow("Chinese cannot be encoded") << QStringLiteral("可乐") << int(Barcode::Kind::None) << 0;
        QTest::newRow("empty") << QString() << int(Barcode::Kind::None) << 0;
    }
    // The layout zint gives: bars in the drawing with the quiet zones around them, the guard bars
    // of an EAN-13 reaching down between the digit groups, the digits where they belong.
    void barcodeKinds()
    {
        QFETCH(QString, code);
        QFETCH(int, kind);
        QFETCH(int, modules);
        const Barcode barcode(code);
        QCOMPARE(int(barcode.kind()), kind);
        if (modules >= 0)
            QCOMPARE(barcode.modules(), modules);
        if (!barcode.isValid()) {
            QVERIFY(barcode.bars().isEmpty());
            QVERIFY(!barcode.error().isEmpty());
            return;
        }
        // Bars do not touch, and the symbol fills the drawing but for its quiet zones.
        const QList<Barcode::Bar>& bars = barcode.bars();
        for (int i = 1; i < bars.size(); ++i)
            QVERIFY(bars.at(i).start > bars.at(i - 1).start + bars.at(i - 1).width);
        const int left = bars.first().start;
        const int right = int(barcode.size().width()) - (bars.last().start + bars.last().width);
        QCOMPARE(bars.last().start + bars.last().width - left, barcode.modules());
        QVERIFY(barcode.size().height() > barcode.barHeight());
        if (barcode.kind() == Barcode::Kind::Ean13) {
            QCOMPARE(left, 11);
            QCOMPARE(right, 7);
            // Start guard 101, centre guard 01010, end guard 101: the only bars reaching down.
            QList<Barcode::Bar> guards;
            for (const Barcode::Bar& b : bars)
                if (b.height > barcode.barHeight())
                    guards << b;
            QCOMPARE(guards.size(), 6);
            const QList<int> starts{11, 13, 57, 59, 103, 105};
            for (int i = 0; i < 6; ++i) {
                QCOMPARE(guards.at(i).start, starts.at(i));
                QCOMPARE(guards.at(i).width, 1);
            }
            // The first digit left of the start guard, six digits under each half.
            QCOMPARE(barcode.texts().size(), 3);
            const Barcode::Text& first = barcode.texts().at(0);
            QCOMPARE(first.text, QStringLiteral("6"));
            QCOMPARE(first.align, Qt::Alignment(Qt::AlignRight));
            QVERIFY(first.x <= 11);
            QCOMPARE(barcode.texts().at(1).text, QStringLiteral("901234"));
            QCOMPARE(barcode.texts().at(1).x, 11 + 24.0);
            QCOMPARE(barcode.texts().at(2).text, QStringLiteral("567892"));
            QCOMPARE(barcode.texts().at(2).x, 11 + 71.0);
            for (const Barcode::Text& t : barcode.texts())
                QVERIFY(t.baseline > barcode.barHeight());
        } else {
            // Code 128 wants ten modules of quiet zone on either side.
            QCOMPARE(left, 10);
            QCOMPARE(right, 10);
            for (const Barcode::Bar& b : bars)
                QCOMPARE(b.height, barcode.barHeight());
            QCOMPARE(barcode.texts().size(), 1);
            QCOMPARE(barcode.texts().first().text, code);
        }
    }

    // Bars are drawn a whole number of device dots per module, so each bar and space keeps its
    // width exactly; what is on the page reads back as the bars zint laid out.
    void barcodeSnapsToDots_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<double>("scale"); // device dots per painter unit
        QTest::newRow("EAN-13, 203 dpi label")
            << QStringLiteral("6901234567892") << QRectF(7.3, 5.6, 379.7, 151.9) << 1.0;
        QTest::newRow("EAN-13, 300 dpi label")
            << QStringLiteral("6901234567892") << QRectF(11.2, 3.1, 561.2, 224.4) << 1.0;
        QTest::newRow("EAN-13, millimetres on a 600 dpi printer")
            << QStringLiteral("6901234567892") << QRectF(8, 13.5, 47.5, 19) << 600 / 25.4;
        QTest::newRow("Code 128") << QStringLiteral("A-0012") << QRectF(4.5, 2.5, 520.3, 190.2) << 1.0;
    }
    void barcodeSnapsToDots()
    {
        QFETCH(QString, code);
        QFETCH(QRectF, box);
        QFETCH(double, scale);
        const Barcode barcode(code);
        QVERIFY(barcode.isValid());
        QImage image(int(std::ceil((box.right() + 5) * scale)), int(std::ceil((box.bottom() + 5) * scale)),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.scale(scale, scale);
        const Barcode::Placement place = barcode.place(box, painter.deviceTransform());
        barcode.paint(painter, box, QFont());
        painter.end();

        // A whole number of dots per module, as many as the box allows, on a dot boundary.
        const double dots = place.module * scale;
        QVERIFY(std::abs(dots - std::round(dots)) < 1e-6);
        const double fit = qMin(box.width(), 3 * box.height()) * scale / barcode.size().width();
        QCOMPARE(int(std::round(dots)), int(std::floor(fit)));
        const int module = int(std::round(dots));
        const int x0 = int(std::round(place.origin.x() * scale));
        QVERIFY(std::abs(place.origin.x() * scale - x0) < 1e-6);
        QVERIFY(place.origin.x() >= box.left() &&
                place.origin.x() + barcode.size().width() * place.module <= box.right() + 1e-6);

        // Read one line through the bars back into bars.
        const int y = int((place.origin.y() + place.barsHeight / 2) * scale);
        QList<Barcode::Bar> read;
        for (int x = 0; x < image.width();) {
            if (qGray(image.pixel(x, y)) >= 128) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && qGray(image.pixel(x, y)) < 128)
                ++x;
            QCOMPARE((start - x0) % module, 0);
            QCOMPARE((x - start) % module, 0);
            read << Barcode::Bar{(start - x0) / module, (x - start) / module, 0};
        }
        QCOMPARE(read.size(), barcode.bars().size());
        for (int i = 0; i < read.size(); ++i) {
            QCOMPARE(read.at(i).start, barcode.bars().at(i).start);
            QCOMPARE(read.at(i).width, barcode.bars().at(i).width);
        }

        // Guard bars reach below the others; the digits stand under the bars.
        const double barsBottom = (place.origin.y() + place.barsHeight) * scale;
        const int below = int(barsBottom + 0.25 * dots);
        for (const Barcode::Bar& b : barcode.bars()) {
            const int x = x0 + b.start * module + module / 2;
            const bool guard = b.height > barcode.barHeight();
            QCOMPARE(qGray(image.pixel(x, below)) < 128, guard);
            if (guard)
                QVERIFY(qGray(image.pixel(x, int(barsBottom + 4 * dots))) < 128);
        }
        int ink = 0;
        for (int yy = int(barsBottom + dots); yy < image.height(); ++yy)
            for (int x = x0; x < x0 + int(barcode.size().width()) * module; ++x)
                ink += qGray(image.pixel(x, yy)) < 128;
        QVERIFY(ink > 0);
    }

    // Product labels: 24 to an A4 sheet, so 25 labels take two sheets; the barcode digits are
    // printed under the bars, an unencodable code still shows as text and a long price is whole.
    void labelSheets()
    {
        TestShop shop;
        QVERIFY(installReports(shop));
        QVector<QVector<QVariant>> rows;
        for (int i = 1; i <= 25; ++i)
            rows << QVector<QVariant>{QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')),
                                      QStringLiteral("商品%1").arg(i), i == 2 ? 1288.0 : 1.5 * i,
                                      i == 1 ? QStringLiteral("6901234567892")
                                             : QStringLiteral("2024%1").arg(i, 4, 10, QLatin1Char('0'))};
        for (const QString& file : {QStringLiteral("bq1.rav"), QStringLiteral("bq2.rav")}) {
            ScriptedUi ui;
            const QString pdf = shop.file(file + QStringLiteral(".pdf"));
            ui.previewPdfFiles << pdf;
            Report report(ui);
            report.setPreviewTitle(QStringLiteral("商品标签打印"), true);
            report.setConnection(QStringLiteral("RvDataSetConnection1"),
                                 rowsOf({QStringLiteral("spbh"), QStringLiteral("spmc"), QStringLiteral("sale1"),
                                         QStringLiteral("tiaoma")},
                                        rows));
            QVERIFY(report.run(file));
            QVERIFY2(ui.shown.isEmpty(), qPrintable(ui.lastText()));
            // Without a set-up title of its own, the set-up windows carry the preview's.
            QCOMPARE(ui.previews.first().setupTitle, QStringLiteral("商品标签打印"));
            const int perSheet = file == QLatin1String("bq1.rav") ? 24 : 12;
            QCOMPARE(PdfTools::pageCount(pdf), (25 + perSheet - 1) / perSheet);
            const QString first = PdfTools::pageText(pdf, 1);
            QVERIFY(first.contains(QStringLiteral("商品1")));
            QVERIFY(first.contains(QStringLiteral("1.50")));
            // A four-figure price prints whole, never cut short.
            QVERIFY2(first.contains(QStringLiteral("1288.00")), qPrintable(first));
            QVERIFY(first.contains(QStringLiteral("901234")));
            QVERIFY(first.contains(QStringLiteral("20240002"))); // Code 128 with its text
            const QStringList last = PdfTools::pageWords(pdf, PdfTools::pageCount(pdf));
            QVERIFY(last.contains(QStringLiteral("商品25")));
            QVERIFY(!last.contains(QStringLiteral("商品1")));
        }
    }

    // A label grid larger than the paper keeps to the labels that fit rather than cutting
    // the rest off the sheet.
    void labelGridLargerThanThePaper()
    {
        const QString text = QStringLiteral("[report]\npage = A5 portrait\nmargins = 5\npagenumber =\n"
                                            "[labels]\nconnection = c\ngrid = 4 x 10\nsize = 60 x 30\n"
                                            "text = 2 2 50 8 | left 10 | {n}\n");
        ReportLayout layout;
        QString error;
        QVERIFY2(ReportLayout::parse(text, &layout, &error), qPrintable(error));
        ReportData data;
        QVector<QVector<QVariant>> rows;
        for (int i = 1; i <= 12; ++i)
            rows << QVector<QVariant>{QStringLiteral("标签%1").arg(i)};
        data.set(QStringLiteral("c"), rowsOf({QStringLiteral("n")}, rows));
        QTemporaryDir dir;
        dir.setAutoRemove(false);
        const QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
        QPrinter writer(QPrinter::HighResolution);
        writer.setOutputFormat(QPrinter::PdfFormat);
        writer.setOutputFileName(pdf);
        writer.setPageLayout(layout.pageLayout());
        // A5 is 148 x 210: with 5 mm margins two labels across, six down.
        QCOMPARE(ReportRenderer(layout, data).render(&writer), 1);
        const QStringList words = PdfTools::pageWords(pdf, 1);
        for (int i = 1; i <= 12; ++i)
            QVERIFY2(words.contains(QStringLiteral("标签%1").arg(i)), qPrintable(QString::number(i)));
    }
};

QTEST_MAIN(ReportTest)
#include "tst_report.moc"
