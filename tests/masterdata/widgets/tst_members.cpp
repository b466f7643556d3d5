#include "core/ui/AppStyle.h"
#include "core/ui/ListWindow.h"
#include "masterdata/ui/MemberScreens.h"
#include "support/ModalDriver.h"
#include "support/TestShop.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

void enter(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

using ModalDriver::child;

using ModalDriver::typeText;

} // namespace

// The member list and its dialogs driven by keys and clicks on the real windows, checked in the
// database.
class MemberWindowsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestShop> m_shop;

    QVariant column(const QString& card, const QString& col)
    {
        return m_shop->scalar(QStringLiteral("select %1 from hyinfo where hykh=:HYKH").arg(col),
                              {{QStringLiteral("HYKH"), card}});
    }

private Q_SLOTS:
    void initTestCase()
    {
        AppStyle::apply(*qApp);
        m_shop = std::make_unique<TestShop>();
        QVERIFY2(m_shop->isValid(), qPrintable(m_shop->error()));
        QVERIFY(m_shop->exec(QStringLiteral("insert into hyinfo(hykh,hyxm,xb,sjhao,ljje,ljjf,yyjf) values"
                                            "('M001','张三','男','13900000001',500,100,0),"
                                            "('M002','李四','女','13900000002',0,0,0),"
                                            "('M003','王五','男','13900000003',0,0,0)")));
    }
    void cleanupTestCase() { m_shop.reset(); }

    void memberList()
    {
        std::unique_ptr<QWidget> window(MemberScreens::openList(nullptr));
        auto* list = qobject_cast<ListWindow*>(window.get());
        QVERIFY(list);
        list->resize(1100, 600);
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list));
        QCOMPARE(list->objectName(), QStringLiteral("Thyxx_form"));
        QCOMPARE(list->windowTitle(), QStringLiteral("会员信息管理"));

        // The tool bar, left to right.
        QStringList texts;
        auto* bar = child<QToolBar>(list, "ToolBar1");
        for (QAction* a : bar->actions())
            if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                texts << b->text();
        QCOMPARE(texts, (QStringList{"新增", "删除", "修改", "刷新", "查找", "比例", "兑换", "首条", "上条", "下条",
                                     "末条", "关闭"}));
        QTableView* grid = list->grid();
        QAbstractItemModel* model = grid->model();
        QStringList captions;
        for (int c = 0; c < model->columnCount(); ++c)
            captions << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(captions, (QStringList{"会员卡号", "会员姓名", "性别", "身份证号码", "手机号", "累计金额", "累计积分",
                                        "已用积分", "地址", "备注"}));
        QCOMPARE(model->rowCount(), 3);

        // The filter field narrows by name and by mobile number.
        auto* filter = child<QLineEdit>(list, "filter");
        filter->setFocus();
        typeText(filter, QStringLiteral("李"));
        QTRY_COMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("M002"));
        filter->clear();
        typeText(filter, QStringLiteral("0003"));
        QTRY_COMPARE(model->rowCount(), 1);
        // Esc in the filter empties it first (the list stays); the filter is named 筛选, apart
        // from the list's 查找 button.
        QCOMPARE(filter->accessibleName(), QStringLiteral("筛选"));
        QVERIFY(QTest::qWaitForWindowActive(list));
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Escape);
        QCOMPARE(filter->text(), QString());
        QVERIFY(list->isVisible());
        QTRY_COMPARE(model->rowCount(), 3);

        // 查找 (Ctrl+F) by mobile number moves the grid.
        bool asked = false;
        ModalDriver::whenForm(QStringLiteral("Txtts4_form"), [&](QWidget* prompt) {
            asked = true;
            auto* field = child<QLineEdit>(prompt, "phyxx");
            field->selectAll();
            typeText(field, QStringLiteral("13900000002"));
            child<QPushButton>(prompt, "Button1")->click();
        });
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(asked);
        QCOMPARE(grid->currentIndex().row(), 1);

        // 新增 by keyboard: Enter walks the fields and, in 备注, presses 确认.
        QStringList boxes;
        ModalDriver::whenForm(QStringLiteral("Thyxz_form"), [&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("会员信息新增"));
            auto* confirm = child<QPushButton>(dialog, "confirm");
            QVERIFY(!confirm->isEnabled());
            auto* card = child<QLineEdit>(dialog, "hykh");
            QCOMPARE(card->accessibleName(), QStringLiteral("会员卡号"));
            QCOMPARE(dialog->focusWidget(), card);
            typeText(card, QStringLiteral("M009"));
            QVERIFY(confirm->isEnabled());
            enter(card);
            typeText(dialog->focusWidget(), QStringLiteral("钱七"));
            enter(dialog->focusWidget());
            auto* sex = child<QComboBox>(dialog, "xb");
            QCOMPARE(dialog->focusWidget(), sex);
            QCOMPARE(sex->count(), 2);
            typeText(dialog->focusWidget(), QStringLiteral("女"));
            enter(dialog->focusWidget());
            enter(dialog->focusWidget()); // 身份证号码 left empty
            QCOMPARE(dialog->focusWidget(), child<QLineEdit>(dialog, "sjhao"));
            typeText(dialog->focusWidget(), QStringLiteral("13811112222"));
            enter(dialog->focusWidget());
            typeText(dialog->focusWidget(), QStringLiteral("湖滨路"));
            enter(dialog->focusWidget());
            QCOMPARE(dialog->focusWidget(), child<QLineEdit>(dialog, "bz"));
            ModalDriver::acceptBoxes(&boxes, 1);
            enter(dialog->focusWidget());
            // Saved, cleared, ready for the next member.
            QCOMPARE(card->text(), QString());
            QVERIFY(!confirm->isEnabled());
            QCOMPARE(dialog->focusWidget(), card);
            child<QPushButton>(dialog, "close")->click();
        });
        list->button(QStringLiteral("add"))->click();
        QCOMPARE(boxes, QStringList{"保存成功"});
        QCOMPARE(column("M009", "hyxm").toString(), QStringLiteral("钱七"));
        QCOMPARE(column("M009", "xb").toString(), QStringLiteral("女"));
        QCOMPARE(column("M009", "sjhao").toString(), QStringLiteral("13811112222"));
        QCOMPARE(column("M009", "dz").toString(), QStringLiteral("湖滨路"));
        QCOMPARE(model->rowCount(), 3); // the list is not read again

        // Enter on the grid opens the edit dialog on the current member (M002).
        boxes.clear();
        QString editedCard;
        ModalDriver::whenForm(QStringLiteral("Thyxg_form"), [&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("会员信息修改"));
            auto* card = child<QLineEdit>(dialog, "hykh");
            editedCard = card->text();
            QVERIFY(card->isReadOnly());
            auto* address = child<QLineEdit>(dialog, "dz");
            address->setFocus();
            typeText(address, QStringLiteral("新村"));
            enter(child<QLineEdit>(dialog, "bz"));
            QCOMPARE(dialog->focusWidget(), card); // Enter in 备注 goes back to the card number
            ModalDriver::acceptBoxes(&boxes, 1);
            child<QToolButton>(dialog, "save")->click();
            child<QToolButton>(dialog, "close")->click();
        });
        grid->setFocus();
        enter(grid);
        QCOMPARE(editedCard, QStringLiteral("M002"));
        QCOMPARE(boxes, QStringList{"保存成功"});
        QCOMPARE(column("M002", "dz").toString(), QStringLiteral("新村"));

        // 兑换 for the first member: 30 of 100 points, then a refusal that names the balance.
        list->button(QStringLiteral("first"))->click();
        boxes.clear();
        QString heading;
        ModalDriver::whenForm(QStringLiteral("Tjfdh_form"), [&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("积分兑换"));
            heading = child<QLabel>(dialog, "heading")->text();
            auto* entry = child<QLineEdit>(dialog, "jfjs");
            QCOMPARE(dialog->focusWidget(), entry);
            ModalDriver::acceptBoxes(&boxes, 2);
            typeText(entry, QStringLiteral("30"));
            enter(entry);
            QCOMPARE(entry->selectedText(), QStringLiteral("30"));
            typeText(entry, QStringLiteral("80"));
            enter(entry);
            child<QPushButton>(dialog, "close")->click();
        });
        list->button(QStringLiteral("exchange"))->click();
        QCOMPARE(heading, QStringLiteral("当前会员信息:\n卡号:M001\n姓名:张三"));
        QCOMPARE(boxes, (QStringList{"数据保存成功", "积分不足：该会员现有积分70，不够兑换80分"}));
        QCOMPARE(column("M001", "ljjf").toDouble(), 70.0);
        QCOMPARE(column("M001", "yyjf").toDouble(), 30.0);

        // 比例: the points base.
        boxes.clear();
        QString shown;
        ModalDriver::whenForm(QStringLiteral("Tjfsz_form"), [&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("积分基数设置"));
            auto* entry = child<QLineEdit>(dialog, "jfjs");
            shown = entry->text();
            QCOMPARE(entry->selectedText(), entry->text());
            ModalDriver::acceptBoxes(&boxes, 1);
            typeText(entry, QStringLiteral("10"));
            enter(entry);
            child<QPushButton>(dialog, "close")->click();
        });
        list->button(QStringLiteral("ratio"))->click();
        QCOMPARE(shown, QStringLiteral("1"));
        QCOMPARE(boxes, QStringList{"数据保存成功"});
        QCOMPARE(m_shop->scalar(QStringLiteral("select js from jfjs")).toInt(), 10);

        // 删除 the current member after the question; the list is read again.
        boxes.clear();
        list->button(QStringLiteral("refresh"))->click();
        QCOMPARE(model->rowCount(), 4);
        list->button(QStringLiteral("last"))->click();
        QCOMPARE(grid->currentIndex().row(), 3);
        ModalDriver::acceptBoxes(&boxes, 2);
        list->button(QStringLiteral("delete"))->click();
        QCOMPARE(boxes, (QStringList{"确实要删除该记录吗?", "删除成功"}));
        QCOMPARE(m_shop->count(QStringLiteral("hyinfo"), QStringLiteral("hykh='M009'")), 0);
        QCOMPARE(model->rowCount(), 3);

        // An empty list leaves nothing to change, delete or exchange.
        filter->setFocus();
        typeText(filter, QStringLiteral("没有这个人"));
        QCOMPARE(filter->text(), QStringLiteral("没有这个人"));
        QTRY_COMPARE(model->rowCount(), 0);
        for (const char* name : {"edit", "delete", "exchange"})
            QVERIFY2(!list->button(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(list->button(QStringLiteral("search"))->isEnabled());
    }
};

QTEST_MAIN(MemberWindowsTest)
#include "tst_members.moc"
