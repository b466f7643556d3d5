#include "core/RecordForm.h"
#include "core/RecordList.h"
#include "masterdata/CodeTables.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QTest>

// The four code tables are one family: the same checks in the same order, each member with its
// own table, code length and words.
class CodeTablesTest : public QObject {
    Q_OBJECT

    static const CodeTableKind* kindOf(const QString& table)
    {
        for (const CodeTableKind* k : CodeTableKind::all())
            if (k->table == table)
                return k;
        return nullptr;
    }

    // An add dialog of the kind with the given code and name typed in.
    static bool add(CodeTableForm& form, const CodeTableKind& kind, const QString& code, const QString& name)
    {
        form.edited(kind.record.keyField, code);
        form.edited(kind.nameField, name);
        return form.confirm();
    }

private Q_SLOTS:
    void addChecks_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("saved");

        const QString format = QStringLiteral("格式错误或数据不完整，请重新输入");
        const QString duplicate = QStringLiteral("编号重复，请重新输入");
        QTest::newRow("category 1a") << "splb" << "1a" << "甲" << "编码不是数字,请重新输入" << false;
        QTest::newRow("category 1") << "splb" << "1" << "甲" << format << false;
        QTest::newRow("category 123") << "splb" << "123" << "甲" << format << false;
        QTest::newRow("category empty") << "splb" << "" << "甲" << format << false;
        QTest::newRow("category existing, too short to matter") << "splb" << "01" << "甲" << duplicate << false;
        QTest::newRow("category empty name") << "splb" << "42" << "" << "保存成功" << true;
        QTest::newRow("unit 1a") << "spjl" << "1a" << "个" << "编码不是数字,重新输入" << false;
        QTest::newRow("unit 07") << "spjl" << "77" << "" << "保存成功" << true;
        QTest::newRow("supplier 12") << "gysxx" << "12" << "某" << format << false;
        QTest::newRow("supplier 012") << "gysxx" << "012" << "" << "保存成功" << true;
        QTest::newRow("supplier x12") << "gysxx" << "x12" << "某" << "编码不是数字,请重新输入" << false;
        QTest::newRow("warehouse 1a") << "ckinfo" << "1a" << "库" << "编码不是数字请重新输入" << false;
        QTest::newRow("warehouse empty name") << "ckinfo" << "09" << "" << "仓库名称不能为空，请重新输入"
                                              << false;
        QTest::newRow("warehouse short code before name") << "ckinfo" << "9" << "" << format << false;
        QTest::newRow("warehouse") << "ckinfo" << "09" << "后库" << "保存成功" << true;
    }

    // The checks run in their order and stop at the first failure; nothing is written then.
    void addChecks()
    {
        QFETCH(QString, table);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(bool, saved);
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const CodeTableKind* kind = kindOf(table);
        QVERIFY(kind);
        const int before = shop.count(table);
        ScriptedUi ui;
        CodeTableForm form(*kind, RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        QVERIFY(!form.isEnabled(RecordForm::Confirm));
        QCOMPARE(add(form, *kind, code, name), saved);
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(shop.count(table), before + (saved ? 1 : 0));
        if (saved) {
            // Ready for the next entry: fields empty, 确认 waits for a new code, focus on the code.
            QCOMPARE(form.text(kind->record.keyField), QString());
            QVERIFY(!form.isEnabled(RecordForm::Confirm));
            QCOMPARE(form.focusField(), kind->record.keyField);
            QCOMPARE(shop.scalar(QStringLiteral("select %1 from %2 where %3=:C")
                                     .arg(kind->nameField, table, kind->record.keyField),
                                 {{"C", code}})
                         .toString(),
                     name);
        }
    }

    // Enter walks the add dialog's entries and presses 确认 in the last one once it is enabled.
    void addEnterOrder()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        ScriptedUi ui;
        const CodeTableKind& kind = CodeTableKind::warehouses();
        CodeTableForm form(kind, RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        form.setText(QStringLiteral("ckbh"), QStringLiteral("05"));
        form.enterPressed(QStringLiteral("ckbh"));
        QVERIFY(form.isEnabled(RecordForm::Confirm));
        QCOMPARE(form.focusField(), QStringLiteral("ckmc"));
        form.edited(QStringLiteral("ckmc"), QStringLiteral("冷库"));
        form.enterPressed(QStringLiteral("ckmc"));
        form.enterPressed(QStringLiteral("ckdz"));
        QCOMPARE(form.focusField(), QStringLiteral("fzr"));
        form.enterPressed(QStringLiteral("fzr"));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("保存成功")});
        QCOMPARE(shop.count(QStringLiteral("ckinfo"), QStringLiteral("ckbh='05'")), 1);
        // With 确认 disabled Enter in the last entry does nothing.
        form.enterPressed(QStringLiteral("fzr"));
        QCOMPARE(ui.texts().size(), 1);
    }

    // The edit dialog opens on the code the list hands over (letter case ignored), browses
    // every row, and saves the name of the row it stands on.
    void editBrowsesAndSaves()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("insert into gysxx(gysbh,gysmc) values('0a1','小写供应商')")));
        ScriptedUi ui;
        CodeTableForm form(CodeTableKind::suppliers(), RecordForm::Mode::Edit, ui);
        QVERIFY(form.create(QStringLiteral("0A1")));
        QCOMPARE(form.text(QStringLiteral("xggysbh")), QStringLiteral("0a1"));
        QCOMPARE(form.text(QStringLiteral("xggysmc")), QStringLiteral("小写供应商"));
        form.first();
        const QString firstCode = form.text(QStringLiteral("xggysbh"));
        form.prior(); // stays on the first row
        QCOMPARE(form.text(QStringLiteral("xggysbh")), firstCode);
        form.last();
        const QString lastCode = form.text(QStringLiteral("xggysbh"));
        form.next(); // stays on the last row
        QCOMPARE(form.text(QStringLiteral("xggysbh")), lastCode);
        form.edited(QStringLiteral("xggysmc"), QStringLiteral("改过的名称"));
        QVERIFY(form.save());
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("保存成功")});
        QCOMPARE(shop.scalar(QStringLiteral("select gysmc from gysxx where gysbh=:C"), {{"C", lastCode}}).toString(),
                 QStringLiteral("改过的名称"));
        // Still on the same row after the save reloaded the rows.
        QCOMPARE(form.text(QStringLiteral("xggysbh")), lastCode);
        // Enter moves between the two entries.
        form.enterPressed(QStringLiteral("xggysmc"));
        QCOMPARE(form.focusField(), QStringLiteral("xggysbh"));
    }

    // The warehouse's 保存 waits for a change and is disabled again after a save; Enter in the
    // last entry presses it when it is enabled and otherwise goes back to the code.
    void warehouseSaveNeedsChange()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        ScriptedUi ui;
        CodeTableForm form(CodeTableKind::warehouses(), RecordForm::Mode::Edit, ui);
        const QString code = shop.scalar(QStringLiteral("select min(ckbh) from ckinfo")).toString();
        QVERIFY(form.create(code));
        QVERIFY(!form.isEnabled(RecordForm::Save));
        form.enterPressed(QStringLiteral("fzr"));
        QCOMPARE(form.focusField(), QStringLiteral("ckbh"));
        QVERIFY(ui.texts().isEmpty());
        form.edited(QStringLiteral("fzr"), QStringLiteral("王五"));
        QVERIFY(form.isEnabled(RecordForm::Save));
        form.enterPressed(QStringLiteral("fzr"));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("保存成功")});
        QVERIFY(!form.isEnabled(RecordForm::Save));
        QCOMPARE(shop.scalar(QStringLiteral("select fzr from ckinfo where ckbh=:C"), {{"C", code}}).toString(),
                 QStringLiteral("王五"));
    }

    // A name longer than its column is refused by the database: "数据保存失败", nothing written.
    void saveFailure()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        ScriptedUi ui;
        CodeTableForm form(CodeTableKind::categories(), RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        QVERIFY(!add(form, CodeTableKind::categories(), QStringLiteral("88"), QString(21, QLatin1Char('x'))));
        QCOMPARE(ui.shown.size(), 1);
        QVERIFY(ui.shown.first().text.startsWith(QStringLiteral("数据保存失败")));
        QCOMPARE(shop.count(QStringLiteral("splb"), QStringLiteral("lbbh='88'")), 0);
        // The fields keep what was typed.
        QCOMPARE(form.text(QStringLiteral("lbbh")), QStringLiteral("88"));
    }

    // The list: ordered by code, deleting asks first, says "删除成功" and reads the list again;
    // a category still used by products goes, and the products keep its name.
    void listDeleteAndMove()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        ScriptedUi ui;
        RecordList list(CodeTableKind::categories().list, ui);
        QVERIFY(list.create());
        const int rows = list.count();
        QVERIFY(rows >= 2);
        QCOMPARE(list.currentKey(), shop.scalar(QStringLiteral("select min(lbbh) from splb")).toString());
        list.last();
        QCOMPARE(list.current(), rows - 1);
        list.next();
        QCOMPARE(list.current(), rows - 1);
        list.first();
        const QString code = list.currentKey();
        const QString name = list.currentText(QStringLiteral("lbmc"));
        const int products = shop.count(QStringLiteral("spinfo"), QStringLiteral("splb='%1'").arg(name));

        ui.confirms << false;
        QVERIFY(!list.removeCurrent());
        QCOMPARE(list.count(), rows);
        ui.confirms << true;
        QVERIFY(list.removeCurrent());
        QCOMPARE(ui.confirmTexts.last(), QStringLiteral("确实要删除该记录吗?"));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("删除成功")});
        QCOMPARE(list.count(), rows - 1);
        QCOMPARE(shop.count(QStringLiteral("splb"), QStringLiteral("lbbh='%1'").arg(code)), 0);
        QCOMPARE(shop.count(QStringLiteral("spinfo"), QStringLiteral("splb='%1'").arg(name)), products);

        // Moving to a code ignores letter case; an unknown code leaves the list where it is.
        QVERIFY(shop.exec(QStringLiteral("insert into splb(lbbh,lbmc) values('9z','末尾')")));
        QVERIFY(list.reload());
        QVERIFY(list.moveToKey(QStringLiteral("9Z")));
        QCOMPARE(list.currentText(QStringLiteral("lbmc")), QStringLiteral("末尾"));
        QVERIFY(!list.moveToKey(QStringLiteral("nosuch")));
        QCOMPARE(list.currentText(QStringLiteral("lbmc")), QStringLiteral("末尾"));
    }

    // 打印 hands every row of the list to splb.rav under its connection and titles.
    void printCategories()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY2(shop.installReports(), qPrintable(shop.error()));
        ScriptedUi ui;
        RecordList list(CodeTableKind::categories().list, ui);
        QVERIFY(list.create());
        const QString pdf = shop.file(QStringLiteral("splb.pdf"));
        ui.previewPdfFiles << pdf;
        QVERIFY(list.print());
        QCOMPARE(ui.previews.size(), 1);
        QCOMPARE(ui.previews.first().title, QStringLiteral("商品类别打印"));
        QCOMPARE(ui.previews.first().setupTitle, QStringLiteral("商品类别打印设置"));
        QVERIFY(ui.previews.first().maximised);
        QVERIFY(QFile::exists(pdf));
        // The other three lists have no report.
        for (const CodeTableKind* k : CodeTableKind::all())
            QCOMPARE(k->list.reportFile.isEmpty(), k != &CodeTableKind::categories());
    }
};

QTEST_MAIN(CodeTablesTest)
#include "tst_codetables.moc"
