#include "core/ui/AppStyle.h"
#include "core/ui/ListWindow.h"
#include "core/ui/RecordDialog.h"
#include "masterdata/CodeTables.h"
#include "masterdata/ui/CodeTableScreens.h"
#include "support/ModalDriver.h"
#include "support/TestShop.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <memory>

// The code tables through their windows: a list window and its record dialogs, driven by keys.
class CodeTableWindowsTest : public QObject {
    Q_OBJECT

    static void type(QWidget* dialog, const QString& field, const QString& text)
    {
        auto* edit = dialog->findChild<QLineEdit*>(field);
        QVERIFY2(edit, qPrintable(field));
        edit->setFocus();
        ModalDriver::typeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // The list is the active window again once a dialog over it has closed, with the grid focused.
    static void backTo(ListWindow* list)
    {
        ModalDriver::activate(list);
        list->grid()->setFocus();
    }

private Q_SLOTS:
    void initTestCase() { AppStyle::apply(*qApp); }

    void addEditDelete()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        std::unique_ptr<QWidget> window(CodeTableScreens::openList(CodeTableKind::categories(), nullptr));
        auto* list = qobject_cast<ListWindow*>(window.get());
        QVERIFY(list);
        QCOMPARE(list->objectName(), QStringLiteral("Tsplb_form"));
        QCOMPARE(list->windowTitle(), QStringLiteral("商品类别管理"));
        window->resize(900, 600);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTableView* grid = list->grid();
        const int rows = shop.count(QStringLiteral("splb"));
        QCOMPARE(grid->model()->rowCount(), rows);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("类别编码"));
        QStringList buttons;
        for (const char* name :
             {"add", "delete", "edit", "print", "refresh", "first", "prior", "next", "last", "close"})
            buttons << list->button(QLatin1String(name))->text();
        QCOMPARE(buttons.join(QLatin1Char(' ')), QStringLiteral("新增 删除 修改 打印 刷新 首条 上条 下条 末条 关闭"));

        // Each button's key is told to screen readers.
        QCOMPARE(list->button(QStringLiteral("add"))->accessibleDescription(), QStringLiteral("Ins"));
        grid->setFocus();

        // 新增 (Insert): the code, Enter, the name, Enter presses 确认; the dialog stays for the next
        // entry until Esc.
        QString saved;
        ModalDriver::whenForm(QStringLiteral("Tlbxz_form"), [&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("商品类别新增"));
            auto* confirm = dialog->findChild<QPushButton*>(QStringLiteral("confirm"));
            QVERIFY(confirm && !confirm->isEnabled());
            auto* code = dialog->findChild<QLineEdit*>(QStringLiteral("lbbh"));
            QCOMPARE(code->accessibleName(), QStringLiteral("类别编号"));
            type(dialog, QStringLiteral("lbbh"), QStringLiteral("55"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("lbmc"));
            QCOMPARE(dialog->focusWidget(), name);
            ModalDriver::acceptBox(&saved);
            type(dialog, QStringLiteral("lbmc"), QStringLiteral("调味品"));
            QCOMPARE(code->text(), QString());
            QVERIFY(!confirm->isEnabled());
            QTest::keyClick(code, Qt::Key_Escape);
        });
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(saved, QStringLiteral("保存成功"));
        QCOMPARE(shop.scalar(QStringLiteral("select lbmc from splb where lbbh='55'")).toString(),
                 QStringLiteral("调味品"));
        // The list is not read again until 刷新 (F5).
        QCOMPARE(grid->model()->rowCount(), rows);
        backTo(list);
        QTest::keyClick(grid, Qt::Key_F5);
        QCOMPARE(grid->model()->rowCount(), rows + 1);

        // 末条 (Ctrl+End) goes to the new code; Enter on the grid opens it in the edit dialog, where
        // Ctrl+S saves and Esc closes.
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid->currentIndex().row(), 0);
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid->currentIndex().row(), rows);
        QString editedCode;
        saved.clear();
        ModalDriver::whenForm(QStringLiteral("Tsplbxg_form"), [&](QWidget* dialog) {
            auto* code = dialog->findChild<QLineEdit*>(QStringLiteral("xglbbh"));
            editedCode = code->text();
            QVERIFY(code->isReadOnly());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("xglbmc"));
            name->setFocus();
            name->selectAll();
            ModalDriver::typeText(name, QStringLiteral("调料"));
            ModalDriver::acceptBox(&saved);
            QTest::keyClick(name, Qt::Key_S, Qt::ControlModifier);
            QTest::keyClick(name, Qt::Key_Escape);
        });
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(editedCode, QStringLiteral("55"));
        QCOMPARE(saved, QStringLiteral("保存成功"));
        QCOMPARE(shop.scalar(QStringLiteral("select lbmc from splb where lbbh='55'")).toString(),
                 QStringLiteral("调料"));

        backTo(list);
        // Delete on the grid asks, then says "删除成功"; the list loses the row.
        QStringList boxes;
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        ModalDriver::acceptBoxes(&boxes, 2);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(boxes, (QStringList{QStringLiteral("确实要删除该记录吗?"), QStringLiteral("删除成功")}));
        QCOMPARE(shop.count(QStringLiteral("splb"), QStringLiteral("lbbh='55'")), 0);
        QCOMPARE(grid->model()->rowCount(), rows);

    }
};

QTEST_MAIN(CodeTableWindowsTest)
#include "tst_codetablewindows.moc"
