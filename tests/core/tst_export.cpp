#include "core/DbConnection.h"
#include "core/export/ExportDBGrid.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>

namespace {

QByteArray unzipMember(const QString& zip, const QString& member)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QByteArray();
    return p.readAllStandardOutput();
}

// What a spreadsheet program reads from the first sheet of a workbook.
struct Sheet {
    struct Cell {
        QString value;
        bool text = false;       // a string cell rather than a number
        bool textFormat = false; // formatted "@" (stored as text)
    };
    QMap<QString, Cell> cells;        // "A1" -> cell
    QList<QPair<int, double>> widths; // column (from 1) -> width
    bool valid = false;

    Cell at(const QString& ref) const { return cells.value(ref); }
    double width(int column) const
    {
        for (const auto& w : widths)
            if (w.first == column)
                return w.second;
        return -1;
    }
};

Sheet readSheet(const QString& file)
{
    Sheet sheet;
    QStringList shared;
    QXmlStreamReader strings(unzipMember(file, QStringLiteral("xl/sharedStrings.xml")));
    while (!strings.atEnd())
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == QLatin1String("t"))
            shared << strings.readElementText();

    // Styles whose number format is text: the built-in format 49 or one written as "@".
    QList<bool> textStyles;
    QStringList textFormats{QStringLiteral("49")};
    QXmlStreamReader styles(unzipMember(file, QStringLiteral("xl/styles.xml")));
    bool inCellXfs = false;
    while (!styles.atEnd()) {
        const auto token = styles.readNext();
        if (token == QXmlStreamReader::StartElement && styles.name() == QLatin1String("numFmt") &&
            styles.attributes().value(QLatin1String("formatCode")) == QLatin1String("@"))
            textFormats << styles.attributes().value(QLatin1String("numFmtId")).toString();
        else if (token == QXmlStreamReader::StartElement && styles.name() == QLatin1String("cellXfs"))
            inCellXfs = true;
        else if (token == QXmlStreamReader::EndElement && styles.name() == QLatin1String("cellXfs"))
            inCellXfs = false;
        else if (token == QXmlStreamReader::StartElement && inCellXfs && styles.name() == QLatin1String("xf"))
            textStyles << textFormats.contains(styles.attributes().value(QLatin1String("numFmtId")).toString());
    }

    const QByteArray xml = unzipMember(file, QStringLiteral("xl/worksheets/sheet1.xml"));
    sheet.valid = !xml.isEmpty();
    QXmlStreamReader r(xml);
    QString ref;
    Sheet::Cell cell;
    while (!r.atEnd()) {
        const auto token = r.readNext();
        if (token == QXmlStreamReader::StartElement && r.name() == QLatin1String("col")) {
            const int min = r.attributes().value(QLatin1String("min")).toInt();
            const int max = r.attributes().value(QLatin1String("max")).toInt();
            for (int c = min; c <= max; ++c)
                sheet.widths << qMakePair(c, r.attributes().value(QLatin1String("width")).toDouble());
        } else if (token == QXmlStreamReader::StartElement && r.name() == QLatin1String("c")) {
            ref = r.attributes().value(QLatin1String("r")).toString();
            cell = Sheet::Cell();
            cell.text = r.attributes().value(QLatin1String("t")) == QLatin1String("s");
            const int style = r.attributes().value(QLatin1String("s")).toInt();
            cell.textFormat = textStyles.value(style, false);
        } else if (token == QXmlStreamReader::StartElement && r.name() == QLatin1String("v")) {
            const QString v = r.readElementText();
            cell.value = cell.text ? shared.value(v.toInt()) : v;
        } else if (token == QXmlStreamReader::EndElement && r.name() == QLatin1String("c")) {
            sheet.cells.insert(ref, cell);
        }
    }
    return sheet;
}

} // namespace

// Spreadsheet export: the workbook a shop opens, and the command around it.
class ExportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void workbookContents()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("利润.xlsx"));
        const QStringList columns{QStringLiteral("spbh"), QStringLiteral("spmc"), QStringLiteral("sl"),
                                  QStringLiteral("jine")};
        const QVector<QVector<QVariant>> rows{
            {QStringLiteral("001"), QStringLiteral("可口可乐"), 2.0, 5.5},
            {QStringLiteral("0100"), QStringLiteral("矿泉水"), 12.0, QVariant()},
            {2.5, QStringLiteral("0200"), 1, 0.1 + 0.2},
        };
        QString error;
        QVERIFY2(writeWorkbook(file, columns, rows, &error), qPrintable(error));
        const Sheet sheet = readSheet(file);
        QVERIFY(sheet.valid);

        // Row 1: the column names.
        QCOMPARE(sheet.at(QStringLiteral("A1")).value, QStringLiteral("spbh"));
        QCOMPARE(sheet.at(QStringLiteral("D1")).value, QStringLiteral("jine"));
        // Rows in order; column A as text, leading zeros kept, even for a number.
        for (const auto& [ref, value] : {std::pair{"A2", "001"}, {"A3", "0100"}, {"A4", "2.5"}}) {
            const Sheet::Cell c = sheet.at(QString::fromLatin1(ref));
            QCOMPARE(c.value, QString::fromLatin1(value));
            QVERIFY2(c.text && c.textFormat, ref);
        }
        // Texts stay texts in the other columns, numbers stay numbers, an empty value is an empty cell.
        QCOMPARE(sheet.at(QStringLiteral("B2")).value, QStringLiteral("可口可乐"));
        QVERIFY(sheet.at(QStringLiteral("B4")).text);
        QCOMPARE(sheet.at(QStringLiteral("B4")).value, QStringLiteral("0200"));
        QVERIFY(!sheet.at(QStringLiteral("C2")).text);
        QCOMPARE(sheet.at(QStringLiteral("C2")).value.toDouble(), 2.0);
        QCOMPARE(sheet.at(QStringLiteral("D2")).value.toDouble(), 5.5);
        QVERIFY(!sheet.cells.contains(QStringLiteral("D3")));
        QVERIFY(!sheet.cells.contains(QStringLiteral("A5")));
        // Every column 15 characters wide (the file keeps Excel's padding on top of that).
        for (int c = 1; c <= 4; ++c)
            QVERIFY2(sheet.width(c) >= 15 && sheet.width(c) < 16, qPrintable(QString::number(sheet.width(c))));
    }

    void existingFileIsReplaced()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("old.xlsx"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("an older export, not even a workbook");
        }
        QString error;
        QVERIFY2(writeWorkbook(file, {QStringLiteral("rq")}, {{QStringLiteral("2026-12-09")}}, &error),
                 qPrintable(error));
        QCOMPARE(readSheet(file).at(QStringLiteral("A2")).value, QStringLiteral("2026-12-09"));
        // Nothing but the workbook is left in the folder.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.xlsx")});
    }

    // The workbook is built in a private temporary file; the finished file must not keep those
    // owner-only permissions, and a replaced file keeps the permissions it had.
    void permissionsOfTheWrittenFile()
    {
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("new.xlsx"));
        const QString replaced = dir.filePath(QStringLiteral("shared.xlsx"));
        {
            QFile f(replaced);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        const QFile::Permissions shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                                          QFile::ReadGroup | QFile::WriteGroup;
        QVERIFY(QFile::setPermissions(replaced, shared));

        QString error;
        for (const QString& file : {fresh, replaced})
            QVERIFY2(writeWorkbook(file, {QStringLiteral("a")}, {{1}}, &error), qPrintable(error));

        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(fresh).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), int(0666 & ~mask));
        QCOMPARE(QFile::permissions(replaced), shared);
    }

    void unwritableFile_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("folder that does not exist") << QStringLiteral("no/such/folder/x.xlsx");
        QTest::newRow("name of a folder") << QStringLiteral("sub");
    }
    void unwritableFile()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString file = dir.filePath(relative);
        QString error;
        QVERIFY(!writeWorkbook(file, {QStringLiteral("a")}, {{1}}, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(file)), qPrintable(error));
    }

    // The command on a screen's query: the dialog, the workbook, the message, the last row.
    void exportQuery()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        Query query(shop.db());
        query.setSql(QStringLiteral("select spbh,spmc,sale1 from spinfo order by spbh"));
        QVERIFY(query.open());
        QVERIFY(query.recordCount() > 1);
        query.first();

        ScriptedUi ui;
        const QString file = shop.file(QStringLiteral("products.xlsx"));
        ui.fileNames << file;
        QVERIFY(ExportDBGrid(ui, query));
        QCOMPARE(ui.fileDialogTitles, QStringList{QStringLiteral("导出文件")});
        QCOMPARE(ui.fileDialogFilters, QStringList{QStringLiteral("Excel files (*.xlsx)")});
        QCOMPARE(ui.fileDialogSuffixes, QStringList{QStringLiteral("xlsx")});
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("导出成功")});
        QCOMPARE(ui.shown.first().kind, QStringLiteral("message"));
        QCOMPARE(query.position(), query.recordCount() - 1);

        const Sheet sheet = readSheet(file);
        QCOMPARE(sheet.at(QStringLiteral("C1")).value, QStringLiteral("sale1"));
        for (int r = 0; r < query.recordCount(); ++r) {
            QCOMPARE(sheet.at(QStringLiteral("A%1").arg(r + 2)).value, query.text(r, QStringLiteral("spbh")));
            QCOMPARE(sheet.at(QStringLiteral("B%1").arg(r + 2)).value, query.text(r, QStringLiteral("spmc")));
        }
        QVERIFY(!sheet.cells.contains(QStringLiteral("A%1").arg(query.recordCount() + 2)));
    }

    void cancelledDialogWritesNothing()
    {
        TestShop shop(true);
        Query query(shop.db());
        query.setSql(QStringLiteral("select * from splb"));
        QVERIFY(query.open());
        ScriptedUi ui;
        ui.fileNames << QString();
        QVERIFY(ExportDBGrid(ui, query));
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(QDir(shop.folder()).entryList({QStringLiteral("*.xlsx")}, QDir::Files), QStringList());
    }

    // Nothing queried yet: no file dialog, and the failure goes to the screen to word or is
    // shown as an error.
    void unopenedQueryFails()
    {
        TestShop shop;
        Query query(shop.db());
        ScriptedUi ui;
        QVERIFY(!ExportDBGrid(ui, query));
        QVERIFY(ui.fileDialogTitles.isEmpty());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));

        ui.clear();
        QString error;
        QVERIFY(!ExportDBGrid(ui, query, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(ui.shown.isEmpty());
    }

    void unwritableChoiceIsShown()
    {
        TestShop shop;
        Query query(shop.db());
        query.setSql(QStringLiteral("select * from xtsz"));
        QVERIFY(query.open());
        ScriptedUi ui;
        const QString file = shop.file(QStringLiteral("missing/folder/x.xlsx"));
        ui.fileNames << file;
        QVERIFY(!ExportDBGrid(ui, query));
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
        QVERIFY(!ui.texts().contains(QStringLiteral("导出成功")));
        QVERIFY(ui.lastText().contains(QDir::toNativeSeparators(file)));
    }
};

QTEST_GUILESS_MAIN(ExportTest)
#include "tst_export.moc"
