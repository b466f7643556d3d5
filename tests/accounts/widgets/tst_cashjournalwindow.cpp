#include "accounts/CashJournal.h"
#include "accounts/Journal.h"
#include "core/ui/AppStyle.h"
#include "core/ui/QueryScreenWindow.h"
#include "stock/StockFixture.h"

#include <QDateEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace StockFixture;

// The cash journal through its window: dates typed, Enter runs 查询, the rows in order.
class CashJournalWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppStyle::apply(*qApp); }
    void init() { startDay(); }
    void cleanup() { endDay(); }

    void periodByKeys()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QString error;
        for (const auto& [day, amount] : {std::pair{1, 10.0}, {2, 20.0}, {5, 30.0}}) {
            Clock::setFixed(QDateTime(QDate(2024, 3, day), QTime(10, 0, 0)));
            QVERIFY(Journal::add(shop.db(), Journal::supplierPayment(amount, QStringLiteral("甲")), &error));
        }
        startDay();
        ScriptedUi ui;
        QueryScreenWindow window(
            [](Ui& ui) -> std::unique_ptr<QueryScreen> { return std::make_unique<CashJournal>(ui); }, nullptr, &ui);
        QCOMPARE(window.objectName(), QStringLiteral("Txjls_form"));
        QCOMPARE(window.windowTitle(), QStringLiteral("现金流水账"));
        window.resize(1000, 500);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // 打印 before 查询: "先查询后打印".
        window.button(QStringLiteral("ToolButton1"))->click();
        QCOMPARE(ui.lastText(), QStringLiteral("先查询后打印"));

        // From 2024-03-02 (typed over the day), Enter, Enter: the rows of the 2nd and the 5th.
        QDateEdit* from = window.dateEdit(QueryScreen::Rq1);
        from->setFocus();
        from->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(from, QStringLiteral("02"));
        QTest::keyClick(from, Qt::Key_Return);
        QDateEdit* to = window.dateEdit(QueryScreen::Rq2);
        QCOMPARE(window.focusWidget(), to);
        QTest::keyClick(to, Qt::Key_Return);
        QTableView* grid = window.grid();
        QVERIFY(grid->model());
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("余额"));
        QCOMPARE(grid->model()->index(0, 3).data().toString(), QStringLiteral("-20.00"));
        QCOMPARE(grid->model()->index(1, 4).data().toString(), QStringLiteral("-60.00"));
        QCOMPARE(grid->model()->index(1, 5).data().toString(), QStringLiteral("付甲"));
    }
};

QTEST_MAIN(CashJournalWindowTest)
#include "tst_cashjournalwindow.moc"
