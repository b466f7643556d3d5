#include "core/ui/AppStyle.h"
#include "core/ui/ListWindow.h"
#include "masterdata/ui/MemberScreens.h"
#include "support/TestShop.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
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

// Types text, Chinese included, one key event a character.
void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void enter(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

QWidget* focused()
{
    return QApplication::focusWidget();
}

// Runs each expected step on its modal window once that window is active, from a fresh timer
// so that the step may open further modal windows. Message boxes are recorded and answered OK.
struct ModalScript {
    QStringList messages;
    QList<QPair<QString, std::function<void(QWidget*)>>> steps;
    QTimer timer;

    ModalScript()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start();
    }
    void expect(const QString& name, std::function<void(QWidget*)> action) { steps.append({name, std::move(action)}); }
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            if (box->defaultButton())
                box->defaultButton()->click();
            else
                box->accept();
            return;
        }
        if (steps.isEmpty() || modal->objectName() != steps.first().first || !modal->isActiveWindow())
            return;
        auto action = steps.takeFirst().second;
        QTimer::singleShot(0, modal, [action, modal] {
            action(modal);
            // A failed check inside the step must not leave the window waiting forever.
            if (QTest::currentTestFailed() && modal->isVisible())
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
        });
    }
};

template <typename T> T* child(QWidget* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromLatin1(name));
}

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
        filter->clear();
        QTRY_COMPARE(model->rowCount(), 3);

        ModalScript script;

        // 查找 by mobile number moves the grid.
        script.expect(QStringLiteral("Txtts4_form"), [](QWidget* prompt) {
            auto* field = child<QLineEdit>(prompt, "phyxx");
            field->selectAll();
            typeText(field, QStringLiteral("13900000002"));
            child<QPushButton>(prompt, "Button1")->click();
        });
        list->button(QStringLiteral("search"))->click();
        QVERIFY(script.steps.isEmpty());
        QCOMPARE(grid->currentIndex().row(), 1);

        // 新增 by keyboard: Enter walks the fields and, in 备注, presses 确认.
        script.expect(QStringLiteral("Thyxz_form"), [](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("会员信息新增"));
            auto* confirm = child<QPushButton>(dialog, "confirm");
            QVERIFY(!confirm->isEnabled());
            auto* card = child<QLineEdit>(dialog, "hykh");
            QCOMPARE(focused(), card);
            typeText(card, QStringLiteral("M009"));
            QVERIFY(confirm->isEnabled());
            enter(card);
            typeText(focused(), QStringLiteral("钱七"));
            enter(focused());
            auto* sex = child<QComboBox>(dialog, "xb");
            QCOMPARE(focused(), sex);
            QCOMPARE(sex->count(), 2);
            typeText(focused(), QStringLiteral("女"));
            enter(focused());
            enter(focused()); // 身份证号码 left empty
            QCOMPARE(focused(), child<QLineEdit>(dialog, "sjhao"));
            typeText(focused(), QStringLiteral("13811112222"));
            enter(focused());
            typeText(focused(), QStringLiteral("湖滨路"));
            enter(focused());
            QCOMPARE(focused(), child<QLineEdit>(dialog, "bz"));
            enter(focused());
            // Saved, cleared, ready for the next member.
            QCOMPARE(card->text(), QString());
            QVERIFY(!confirm->isEnabled());
            QCOMPARE(dialog->focusWidget(), card);
            child<QPushButton>(dialog, "close")->click();
        });
        list->button(QStringLiteral("add"))->click();
        QVERIFY(script.steps.isEmpty());
        QCOMPARE(script.messages, QStringList{"保存成功"});
        QCOMPARE(column("M009", "hyxm").toString(), QStringLiteral("钱七"));
        QCOMPARE(column("M009", "xb").toString(), QStringLiteral("女"));
        QCOMPARE(column("M009", "sjhao").toString(), QStringLiteral("13811112222"));
        QCOMPARE(column("M009", "dz").toString(), QStringLiteral("湖滨路"));
        QCOMPARE(model->rowCount(), 3); // the list is not read again

        // Enter on the grid opens the edit dialog on the current member (M002).
        script.messages.clear();
        script.expect(QStringLiteral("Thyxg_form"), [](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("会员信息修改"));
            auto* card = child<QLineEdit>(dialog, "hykh");
            QCOMPARE(card->text(), QStringLiteral("M002"));
            QVERIFY(card->isReadOnly());
            auto* address = child<QLineEdit>(dialog, "dz");
            address->setFocus();
            typeText(address, QStringLiteral("新村"));
            enter(child<QLineEdit>(dialog, "bz"));
            QCOMPARE(focused(), card); // Enter in 备注 goes back to the card number
            child<QToolButton>(dialog, "save")->click();
            child<QToolButton>(dialog, "close")->click();
        });
        grid->setFocus();
        enter(grid);
        QVERIFY(script.steps.isEmpty());
        QCOMPARE(script.messages, QStringList{"保存成功"});
        QCOMPARE(column("M002", "dz").toString(), QStringLiteral("新村"));

        // 兑换 for the first member: 30 of 100 points, then a refusal that names the balance.
        list->button(QStringLiteral("first"))->click();
        script.messages.clear();
        script.expect(QStringLiteral("Tjfdh_form"), [](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("积分兑换"));
            QCOMPARE(child<QLabel>(dialog, "heading")->text(), QStringLiteral("当前会员信息:\n卡号:M001\n姓名:张三"));
            auto* entry = child<QLineEdit>(dialog, "jfjs");
            QCOMPARE(focused(), entry);
            typeText(entry, QStringLiteral("30"));
            enter(entry);
            QCOMPARE(entry->selectedText(), QStringLiteral("30"));
            typeText(entry, QStringLiteral("80"));
            enter(entry);
            child<QPushButton>(dialog, "close")->click();
        });
        list->button(QStringLiteral("exchange"))->click();
        QVERIFY(script.steps.isEmpty());
        QCOMPARE(script.messages, (QStringList{"数据保存成功", "积分不足：该会员现有积分70，不够兑换80分"}));
        QCOMPARE(column("M001", "ljjf").toDouble(), 70.0);
        QCOMPARE(column("M001", "yyjf").toDouble(), 30.0);

        // 比例: the points base.
        script.messages.clear();
        script.expect(QStringLiteral("Tjfsz_form"), [](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("积分基数设置"));
            auto* entry = child<QLineEdit>(dialog, "jfjs");
            QCOMPARE(entry->text(), QStringLiteral("1"));
            QCOMPARE(entry->selectedText(), QStringLiteral("1"));
            typeText(entry, QStringLiteral("10"));
            enter(entry);
            child<QPushButton>(dialog, "close")->click();
        });
        list->button(QStringLiteral("ratio"))->click();
        QVERIFY(script.steps.isEmpty());
        QCOMPARE(script.messages, QStringList{"数据保存成功"});
        QCOMPARE(m_shop->scalar(QStringLiteral("select js from jfjs")).toInt(), 10);

        // 删除 the current member after the question; the list is read again.
        script.messages.clear();
        list->button(QStringLiteral("refresh"))->click();
        QCOMPARE(model->rowCount(), 4);
        list->button(QStringLiteral("last"))->click();
        QCOMPARE(grid->currentIndex().row(), 3);
        list->button(QStringLiteral("delete"))->click();
        QCOMPARE(script.messages, (QStringList{"确实要删除该记录吗?", "删除成功"}));
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
