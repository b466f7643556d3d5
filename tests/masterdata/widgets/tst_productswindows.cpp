#include "core/DbConnection.h"
#include "core/RecordForm.h"
#include "core/ui/AppStyle.h"
#include "core/ui/ListWindow.h"
#include "masterdata/LabelQueue.h"
#include "masterdata/ui/LabelScreen.h"
#include "masterdata/ui/ProductScreens.h"
#include "support/ModalDriver.h"
#include "support/TestShop.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

using ModalDriver::child;

using ModalDriver::retype;
using ModalDriver::typeText;

void enter(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

// The entry that has the focus in a window (or gets it back when the window is active again).
QString focusName(QWidget* window)
{
    QWidget* w = window->focusWidget();
    if (w && w->objectName().isEmpty() && w->parentWidget())
        return w->parentWidget()->objectName(); // a drop-down's own entry
    return w ? w->objectName() : QString();
}

QWidget* entry(QWidget* dialog, const QString& name)
{
    QWidget* w = child<QWidget>(dialog, name);
    if (auto* box = qobject_cast<QComboBox*>(w))
        return box->lineEdit();
    return w;
}

// With POS_SCREENSHOTS naming a folder, each window is saved there as it is looked at.
void shoot(QWidget* w, const QString& name)
{
    const QString folder = qEnvironmentVariable("POS_SCREENSHOTS");
    if (!folder.isEmpty())
        w->window()->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace

// The product list with its add and edit dialogs and the price prompt, and the label screen,
// driven by keys on the real windows against a real shop file.
class ProductWindowsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestShop> m_shop;

    QVariant value(const QString& sql) { return m_shop->scalar(sql); }

private Q_SLOTS:
    void initTestCase()
    {
        AppStyle::apply(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        m_shop = std::make_unique<TestShop>(true);
        QVERIFY2(m_shop->isValid(), qPrintable(m_shop->error()));
    }
    void cleanupTestCase() { m_shop.reset(); }

    void productList()
    {
        std::unique_ptr<ListWindow> window(static_cast<ListWindow*>(ProductScreens::openList(nullptr)));
        window->resize(1200, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->objectName(), QStringLiteral("Tspxx_form"));
        QCOMPARE(window->windowTitle(), QStringLiteral("商品信息管理"));

        // The tool bar left to right, with its hints.
        auto* bar = child<QToolBar>(window.get(), QStringLiteral("ToolBar1"));
        QStringList texts;
        for (QAction* a : bar->actions())
            if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                texts << b->text();
        QCOMPARE(texts, (QStringList{QStringLiteral("新增"), QStringLiteral("删除"), QStringLiteral("修改"),
                                     QStringLiteral("刷新"), QStringLiteral("打印"), QStringLiteral("条码"),
                                     QStringLiteral("首条"), QStringLiteral("上条"), QStringLiteral("下条"),
                                     QStringLiteral("末条"), QStringLiteral("关闭")}));
        QCOMPARE(window->button(QStringLiteral("add"))->toolTip(), QStringLiteral("新增商品"));
        QCOMPARE(window->button(QStringLiteral("close"))->toolTip(), QStringLiteral("关闭窗口退出当前"));

        QTableView* grid = window->grid();
        QAbstractItemModel* model = grid->model();
        QCOMPARE(model->rowCount(), 36);
        QCOMPARE(model->headerData(14, Qt::Horizontal).toString(), QStringLiteral("供应商"));
        QCOMPARE(model->index(0, 14).data().toString(), QStringLiteral("昆明惠民食品批发部"));
        shoot(window.get(), QStringLiteral("Tspxx_form"));

        // Typing on the grid goes on in the filter; the pinyin code finds the product.
        grid->setFocus();
        typeText(grid, QStringLiteral("kkkl"));
        auto* filter = child<QLineEdit>(window.get(), QStringLiteral("filter"));
        QCOMPARE(filter->text(), QStringLiteral("kkkl"));
        QTRY_COMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("1001"));
        filter->clear();
        QTRY_COMPARE(model->rowCount(), 36);

        // 新增: every field by keyboard, the pinyin code proposed from the name, Enter in the
        // last field saves.
        ModalDriver::Script script;
        script.expect(QStringLiteral("Tspxz_form"), [this](QWidget* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("商品新增"));
            auto* confirm = child<QPushButton>(d, RecordForm::Confirm);
            QVERIFY(!confirm->isEnabled());
            QCOMPARE(focusName(d), QStringLiteral("spbh"));
            typeText(entry(d, QStringLiteral("spbh")), QStringLiteral("9001"));
            QVERIFY(confirm->isEnabled());
            enter(entry(d, QStringLiteral("spbh")));
            QCOMPARE(focusName(d), QStringLiteral("tiaoma"));
            enter(entry(d, QStringLiteral("tiaoma")));
            typeText(entry(d, QStringLiteral("spmc")), QStringLiteral("香蕉牛奶"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("pinma"))->text(), QStringLiteral("XJNN"));
            const QList<QPair<QString, QString>> typed{
                {QStringLiteral("spmc"), QString()},
                {QStringLiteral("spxh"), QString()},
                {QStringLiteral("spgg"), QStringLiteral("250ml")},
                {QStringLiteral("splb"), QStringLiteral("饮料")},
                {QStringLiteral("spjl"), QStringLiteral("盒")},
                {QStringLiteral("changjia"), QString()},
                {QStringLiteral("jinjia"), QStringLiteral("2.2")},
                {QStringLiteral("sale1"), QStringLiteral("3.5")},
                {QStringLiteral("sale2"), QStringLiteral("3.2")},
                {QStringLiteral("sale3"), QString()},
                {QStringLiteral("kucun1"), QStringLiteral("100")},
                {QStringLiteral("kucun2"), QStringLiteral("10")},
                {QStringLiteral("beizhu"), QStringLiteral("昆明惠民食品批发部")},
            };
            for (const auto& [field, text] : typed) {
                QCOMPARE(focusName(d), field);
                if (!text.isEmpty())
                    retype(entry(d, field), text);
                enter(entry(d, field));
            }
            QCOMPARE(focusName(d), QStringLiteral("pinma"));
            shoot(d, QStringLiteral("Tspxz_form"));
            enter(entry(d, QStringLiteral("pinma")));
            QCOMPARE(value(QStringLiteral("select spmc from spinfo where spbh='9001'")).toString(),
                     QStringLiteral("香蕉牛奶"));
            QCOMPARE(value(QStringLiteral("select pinma from spinfo where spbh='9001'")).toString(),
                     QStringLiteral("XJNN"));
            QCOMPARE(value(QStringLiteral("select shoujia from kucun where spbh='9001'")).toDouble(), 3.5);
            // Ready for the next product.
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("spbh"))->text(), QString());
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("jinjia"))->text(), QStringLiteral("0"));
            QVERIFY(!confirm->isEnabled());
            QCOMPARE(focusName(d), QStringLiteral("spbh"));
            child<QPushButton>(d, QStringLiteral("close"))->click();
        });
        window->button(QStringLiteral("add"))->click();
        QVERIFY(script.done());
        QCOMPARE(script.messages, QStringList{QStringLiteral("保存成功")});
        QCOMPARE(m_shop->count(QStringLiteral("kucun"), QStringLiteral("spbh='9001'")), 1);

        // The list shows the new product after 刷新.
        QCOMPARE(model->rowCount(), 36);
        window->button(QStringLiteral("refresh"))->click();
        QCOMPARE(model->rowCount(), 37);

        // 修改 by Enter on the grid: the product's fields, 保存.
        window->run([&] { QVERIFY(window->logic().moveToKey(QStringLiteral("9001"))); });
        grid->setFocus();
        script.messages.clear();
        script.expect(QStringLiteral("Tspxg_form"), [](QWidget* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("商品修改"));
            auto* number = child<QLineEdit>(d, QStringLiteral("spbh"));
            QCOMPARE(number->text(), QStringLiteral("9001"));
            QVERIFY(number->isReadOnly());
            QVERIFY(child<QLineEdit>(d, QStringLiteral("sale1"))->isReadOnly());
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("sale2"))->text(), QStringLiteral("3.2"));
            shoot(d, QStringLiteral("Tspxg_form"));
            auto* member = child<QLineEdit>(d, QStringLiteral("sale2"));
            member->setFocus();
            retype(member, QStringLiteral("3.3"));
            child<QToolButton>(d, RecordForm::Save)->click();
            child<QToolButton>(d, QStringLiteral("close"))->click();
        });
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(script.done());
        QCOMPARE(script.messages, QStringList{QStringLiteral("保存成功")});
        QCOMPARE(value(QStringLiteral("select sale2 from spinfo where spbh='9001'")).toDouble(), 3.3);

        // "当前商品调价" from the grid's context menu, through the price prompt.
        QAction* price = nullptr;
        for (QAction* a : grid->actions())
            if (a->text() == QStringLiteral("当前商品调价"))
                price = a;
        QVERIFY2(price, qPrintable(QString::number(grid->actions().size())));
        QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
        script.messages.clear();
        script.expect(QStringLiteral("Txtts1_form"), [](QWidget* d) {
            auto* field = child<QLineEdit>(d, QStringLiteral("pshoujia"));
            QCOMPARE(field->text(), QStringLiteral("0.00"));
            retype(field, QStringLiteral("4.8"));
            child<QPushButton>(d, QStringLiteral("Button1"))->click();
        });
        price->trigger();
        QVERIFY(script.done());
        QCOMPARE(script.messages, QStringList{QStringLiteral("修改完毕")});
        QCOMPARE(value(QStringLiteral("select sale1 from spinfo where spbh='9001'")).toDouble(), 4.8);
        QCOMPARE(value(QStringLiteral("select shoujia from kucun where spbh='9001'")).toDouble(), 4.8);

        // 条码 opens the label screen.
        script.expect(QStringLiteral("Tsptm_form"), [](QWidget* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("商品条码"));
            QVERIFY(d->windowFlags() & Qt::WindowStaysOnTopHint);
            child<QToolButton>(d, QStringLiteral("close"))->click();
        });
        window->button(QStringLiteral("labels"))->click();
        QVERIFY(script.done());
    }

    // The label screen: a number and a quantity by keyboard, then one of the identical labels
    // removed from the grid.
    void labelScreen()
    {
        QVERIFY(m_shop->exec(QStringLiteral("delete from spinfotm")));
        ModalDriver::Script script;
        script.expect(QStringLiteral("Tsptm_form"), [this](QWidget* d) {
            auto* screen = static_cast<LabelScreen*>(d);
            auto* number = child<QLineEdit>(d, QStringLiteral("spbh"));
            auto* quantity = child<QLineEdit>(d, QStringLiteral("sl"));
            QCOMPARE(quantity->text(), QStringLiteral("1"));
            QCOMPARE(focusName(d), QStringLiteral("spbh"));
            QCOMPARE(number->accessibleName(), QStringLiteral("商品编号"));
            typeText(number, QStringLiteral("1005"));
            enter(number);
            QCOMPARE(focusName(d), QStringLiteral("sl"));
            retype(quantity, QStringLiteral("3"));
            enter(quantity);
            QCOMPARE(m_shop->count(QStringLiteral("spinfotm"), QStringLiteral("spbh='1005' and spmc='蒙牛纯牛奶'")), 3);
            QTableView* grid = screen->list()->grid();
            QCOMPARE(grid->model()->rowCount(), 3);
            QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("蒙牛纯牛奶"));
            QCOMPARE(focusName(d), QStringLiteral("spbh"));

            // A slip of the finger is refused with its value named.
            retype(number, QStringLiteral("1001"));
            enter(number);
            retype(quantity, QStringLiteral("100000"));
            enter(quantity);
            QCOMPARE(grid->model()->rowCount(), 3);
            shoot(d, QStringLiteral("Tsptm_form"));

            // The middle one of three identical labels goes, and only it.
            grid->setCurrentIndex(grid->model()->index(1, 0));
            const QString chosen = screen->queue().currentKey();
            child<QToolButton>(d, QStringLiteral("delete"))->click();
            QCOMPARE(grid->model()->rowCount(), 2);
            QCOMPARE(m_shop->count(QStringLiteral("spinfotm")), 2);
            QCOMPARE(m_shop->count(QStringLiteral("spinfotm"), QStringLiteral("rowid=") + chosen), 0);
            child<QToolButton>(d, QStringLiteral("close"))->click();
        });
        LabelScreen::exec(nullptr);
        QVERIFY(script.done());
        QCOMPARE(script.messages, QStringList{QStringLiteral("数量“100000”超出范围（0 至 1000 条），请重新输入")});
    }
};

QTEST_MAIN(ProductWindowsTest)
#include "tst_productswindows.moc"
