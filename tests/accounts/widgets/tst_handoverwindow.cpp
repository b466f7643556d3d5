#include "accounts/ui/ShiftHandoverWindow.h"
#include "core/ui/AppStyle.h"
#include "stock/StockFixture.h"
#include "support/ModalDriver.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace StockFixture;

// The shift handover driven by keys: the takings handed over with Enter, the screen showing the
// new cash box, and an adjustment with its reason.
class HandoverWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppStyle::apply(*qApp); }
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void handOverAndAdjust()
    {
        TestShop shop(true);
        QVERIFY(shop.exec(QStringLiteral("update boxje set je=800")));
        ShiftHandoverWindow window;
        QCOMPARE(window.objectName(), QStringLiteral("Tjbjs_form"));
        QCOMPARE(window.windowTitle(), QStringLiteral("交班结算"));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* box = window.findChild<QLineEdit*>(QStringLiteral("boxje"));
        auto* jbje = window.findChild<QLineEdit*>(QStringLiteral("jbje"));
        auto* boxye = window.findChild<QLineEdit*>(QStringLiteral("boxye"));
        QCOMPARE(box->text(), QStringLiteral("800"));
        QVERIFY(window.findChild<QCheckBox*>(QStringLiteral("jbjl"))->isChecked());
        QVERIFY(!window.findChild<QWidget*>(QStringLiteral("Panel1"))->isVisible());

        // 500, Enter: the balance; Enter: 交班 has the focus; Enter presses it.
        QCOMPARE(window.focusWidget(), jbje);
        jbje->selectAll();
        ModalDriver::typeText(jbje, QStringLiteral("500"));
        QTest::keyClick(jbje, Qt::Key_Return);
        QCOMPARE(boxye->text(), QStringLiteral("300"));
        QCOMPARE(window.focusWidget(), boxye);
        QTest::keyClick(boxye, Qt::Key_Return);
        auto* handOver = window.findChild<QPushButton*>(QStringLiteral("Button1"));
        QCOMPARE(window.focusWidget(), handOver);
        QString said;
        ModalDriver::acceptBox(&said);
        QTest::keyClick(handOver, Qt::Key_Return);
        QCOMPARE(said, QStringLiteral("交班成功"));
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 300.0);
        QCOMPARE(shop.scalar(QStringLiteral("select jiaje from xjls")).toDouble(), 500.0);
        QCOMPARE(box->text(), QStringLiteral("300"));
        QCOMPARE(jbje->text(), QStringLiteral("300"));
        QCOMPARE(boxye->text(), QString());
        auto* audit = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
        QCOMPARE(audit->model()->rowCount(), 1);

        // 调整 shows the panel; 1000 with a reason, 确认.
        window.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
        QVERIFY(window.findChild<QWidget*>(QStringLiteral("Panel1"))->isVisible());
        auto* tzje = window.findChild<QLineEdit*>(QStringLiteral("tzje"));
        tzje->setFocus();
        tzje->selectAll();
        ModalDriver::typeText(tzje, QStringLiteral("1000"));
        QTest::keyClick(tzje, Qt::Key_Return);
        auto* tzyy = window.findChild<QLineEdit*>(QStringLiteral("tzyy"));
        QCOMPARE(window.focusWidget(), tzyy);
        ModalDriver::typeText(tzyy, QStringLiteral("补入找零"));
        ModalDriver::acceptBox(&said);
        window.findChild<QPushButton*>(QStringLiteral("Button3"))->click();
        QCOMPARE(said, QStringLiteral("调整成功"));
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 1000.0);
        QCOMPARE(box->text(), QStringLiteral("1000"));
        QCOMPARE(shop.count(QStringLiteral("xjls")), 1);
        QCOMPARE(audit->model()->rowCount(), 2);
        QCOMPARE(audit->model()->index(0, 4).data().toString(), QStringLiteral("补入找零"));
    }
};

QTEST_MAIN(HandoverWindowTest)
#include "tst_handoverwindow.moc"
