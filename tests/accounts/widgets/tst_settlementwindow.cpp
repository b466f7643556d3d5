#include "accounts/ui/SettlementWindow.h"
#include "core/ui/AppStyle.h"
#include "stock/StockFixture.h"
#include "support/ModalDriver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace StockFixture;

// The settlement screen driven by keys and clicks: search, pick a voucher, pay part of it.
class SettlementWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppStyle::apply(*qApp); }
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void payPartOfAVoucher()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        for (const auto& [djbh, total] : {std::pair{"RK01202403050001", 100.0}, {"RK01202403050002", 250.0}})
            QVERIFY(shop.exec(QStringLiteral("insert into jinhuodan(djbh,rq,sj,gysmc,zdy,zhekou,hjje,zkje,qkje,hkje) "
                                             "values(:D,'2024-03-05','09:00:00','甲供应商','库管老李',1,:T,:T,:T,0)"),
                              {{QStringLiteral("D"), QString::fromLatin1(djbh)}, {QStringLiteral("T"), total}}));
        QVERIFY(shop.exec(QStringLiteral("insert into jinhuodanrecord(spbh,spmc,sl,jinjia,jine,djbh,rq) "
                                         "values('1001','可口可乐',100,2.5,250,'RK01202403050002','2024-03-05')")));
        SettlementWindow window(SettlementKind::payables());
        QCOMPARE(window.objectName(), QStringLiteral("Trkyf_form"));
        QCOMPARE(window.windowTitle(), QStringLiteral("入库应付"));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.findChild<QTabWidget*>()->tabText(0), QStringLiteral("入库单"));
        QCOMPARE(window.findChild<QTabWidget*>()->tabText(1), QStringLiteral("入库单明细表"));

        // The status "未付", Enter in the supplier field searches.
        auto* lx = window.findChild<QComboBox*>(QStringLiteral("lx"));
        lx->setCurrentText(QStringLiteral("未付"));
        auto* gys = window.findChild<QLineEdit*>(QStringLiteral("gys"));
        gys->setFocus();
        ModalDriver::typeText(gys, QStringLiteral("甲供应商"));
        QTest::keyClick(gys, Qt::Key_Return);
        QTableView* list = window.vouchersGrid();
        QCOMPARE(list->model()->rowCount(), 2);
        auto* fkje = window.findChild<QLineEdit*>(QStringLiteral("fkje"));
        QCOMPARE(fkje->text(), QStringLiteral("100"));

        // 下条: the second voucher, its amount and its lines.
        window.findChild<QToolButton*>(QStringLiteral("ToolButton6"))->click();
        QCOMPARE(list->currentIndex().row(), 1);
        QCOMPARE(fkje->text(), QStringLiteral("250"));
        QCOMPARE(window.linesGrid()->model()->rowCount(), 1);

        // 40 typed, Enter in the amount: the question, then "结算成功".
        fkje->setFocus();
        fkje->selectAll();
        ModalDriver::typeText(fkje, QStringLiteral("40"));
        QStringList boxes;
        ModalDriver::acceptBoxes(&boxes, 2);
        QTest::keyClick(fkje, Qt::Key_Return);
        QCOMPARE(boxes, (QStringList{QStringLiteral("确实要结算该单据吗?"), QStringLiteral("结算成功")}));
        QCOMPARE(shop.scalar(QStringLiteral("select qkje from jinhuodan where djbh='RK01202403050002'")).toDouble(), 210.0);
        QCOMPARE(shop.scalar(QStringLiteral("select jianje from xjls")).toDouble(), -40.0);
        QCOMPARE(shop.scalar(QStringLiteral("select jine from jine")).toDouble(), 40.0);
        // The list was searched again and stands on its first voucher.
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(fkje->text(), QStringLiteral("100"));

        // 首条 … 末条 and 结算 with too much: the owed amount is named, nothing written.
        window.findChild<QToolButton*>(QStringLiteral("ToolButton7"))->click();
        QCOMPARE(fkje->text(), QStringLiteral("210"));
        fkje->selectAll();
        ModalDriver::typeText(fkje, QStringLiteral("300"));
        QString refused;
        ModalDriver::acceptBox(&refused);
        window.findChild<QToolButton*>(QStringLiteral("ToolButton2"))->click();
        QCOMPARE(refused, QStringLiteral("结算金额“300”不正确，应大于0且不超过欠款金额210.00"));
        QCOMPARE(shop.count(QStringLiteral("xjls")), 1);
    }
};

QTEST_MAIN(SettlementWindowTest)
#include "tst_settlementwindow.moc"
