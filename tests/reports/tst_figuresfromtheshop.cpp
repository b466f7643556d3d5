#include "accounts/Settlement.h"
#include "masterdata/ProductForm.h"
#include "reports/SalesReport.h"
#include "sales/SalesFixture.h"
#include "stock/StockFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QTest>

#include <cmath>

#include <memory>

namespace {

// The profit statement's row: sales, refunds from suppliers, refunds to customers, paid to
// suppliers, scrapped goods, profit.
struct Statement {
    double sr1 = 0, sr2 = 0, zc1 = 0, zc2 = 0, zc3 = 0, zhlr = 0;
};

// What the profit query lists: its lines and their totals.
struct ProfitLines {
    int lines = 0;
    double jine = 0; // sales amount
    double c3 = 0;   // profit of the lines
};

} // namespace

// The profit statement of a day holds the expected figures.
#define STATEMENT_IS(day, ...)                                                                                         \
    do {                                                                                                               \
        const QString differs = statementDiffers(Statement __VA_ARGS__, day);                                          \
        QVERIFY2(differs.isEmpty(), qPrintable(differs));                                                              \
    } while (false)

// A day in the demonstration shop, run through the screens that post it (the till, its
// checkout, the goods vouchers, supplier settlement, the product dialog), with the owner's
// three sales figures read after each step as the owner reads them.
class FiguresFromTheShopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestShop> m_shop;
    ScriptedUi m_ui;
    const QString m_today = QStringLiteral("2024-03-05");

    std::unique_ptr<SalesReport> queried(const ReportKind& kind, const QString& day)
    {
        auto screen = std::make_unique<SalesReport>(kind, m_ui);
        if (!screen->create())
            return nullptr;
        screen->setText(QueryScreen::Rq1, day);
        screen->setText(QueryScreen::Rq2, day);
        if (!screen->query() || !screen->result())
            return nullptr;
        return screen;
    }

    // The figures of the day's statement that differ from those expected, as "name got/expected";
    // empty when they all agree.
    QString statementDiffers(const Statement& expected, const QString& day)
    {
        auto screen = queried(ReportKind::statement(), day);
        if (!screen)
            return QStringLiteral("the statement failed: ") + m_ui.texts().join(u'|');
        Query* q = screen->result();
        const struct {
            const char* name;
            double expected;
        } figures[] = {{"sr1", expected.sr1}, {"sr2", expected.sr2}, {"zc1", expected.zc1},
                       {"zc2", expected.zc2}, {"zc3", expected.zc3}, {"zhlr", expected.zhlr}};
        QStringList wrong;
        for (const auto& f : figures) {
            const double got = q->number(QLatin1String(f.name));
            if (std::abs(got - f.expected) > 1e-9)
                wrong << QStringLiteral("%1 %2/%3").arg(QLatin1String(f.name)).arg(got).arg(f.expected);
        }
        return wrong.join(QStringLiteral(", "));
    }

    // The ranking's first rows as "number:quantity", best first.
    QStringList ranking(int rows = 4)
    {
        QStringList ranked;
        auto screen = queried(ReportKind::ranking(), m_today);
        if (!screen)
            return ranked;
        Query* q = screen->result();
        for (bool more = q->first(); more && ranked.size() < rows; more = q->next())
            ranked << q->text(QStringLiteral("spbh")) + QLatin1Char(':') + q->text(QStringLiteral("spsl"));
        return ranked;
    }

    ProfitLines profitLines()
    {
        ProfitLines p;
        auto screen = queried(ReportKind::profitQuery(), m_today);
        if (!screen)
            return p;
        Query* q = screen->result();
        for (bool more = q->first(); more; more = q->next()) {
            ++p.lines;
            p.jine += q->number(QStringLiteral("jine"));
            p.c3 += q->number(QStringLiteral("c3"));
        }
        return p;
    }

    // A goods voucher of one line, saved.
    bool goodsVoucher(const GoodsKind& kind, const QString& spbh, const QString& quantity,
                      const QString& price = QString())
    {
        GoodsVoucher voucher(kind, m_ui);
        if (!voucher.create())
            return false;
        voucher.newVoucher();
        StockFixture::enterLine(voucher, spbh, quantity, price);
        return StockFixture::saveVoucher(voucher, kind);
    }

    // The first open voucher of the settlement screen settled with an amount.
    bool settle(const SettlementKind& kind, const QString& amount)
    {
        Settlement screen(kind, m_ui);
        if (!screen.create())
            return false;
        screen.setText(Settlement::Lx, kind.openStatus);
        if (!screen.search() || screen.vouchers().count() != 1)
            return false;
        screen.setText(Settlement::Fkje, amount);
        m_ui.confirms << true;
        return screen.settle();
    }

private Q_SLOTS:
    void init()
    {
        SalesFixture::startDay();
        m_shop = std::make_unique<TestShop>(true);
        QVERIFY2(m_shop->isValid(), qPrintable(m_shop->error()));
        qputenv("POS_RECEIPT_DEVICE", m_shop->file(QStringLiteral("printer.spool")).toUtf8());
        m_ui.clear();
    }
    void cleanup()
    {
        QVERIFY2(m_ui.unexpected.isEmpty(), qPrintable(m_ui.unexpected.join(QLatin1Char('\n'))));
        qunsetenv("POS_RECEIPT_DEVICE");
        m_shop.reset();
        SalesFixture::endDay();
    }

    // Demonstration shop: 1001 可口可乐 bought at 1.60, sold at 2.50; 1002 百事可乐 1.55 / 2.50;
    // 1003 农夫山泉矿泉水 0.95 / 2.00.
    void aDayInTheShop()
    {
        // Nothing happened yet: every product at 0, six zeros.
        STATEMENT_IS(m_today, {});
        QCOMPARE(ranking(2), (QStringList{QStringLiteral("1001:0"), QStringLiteral("1002:0")}));
        QCOMPARE(profitLines().lines, 0);

        // A sale at the till: two cokes and a water, paid in cash.
        SalesVoucher till(SaleKind::sale(), m_ui);
        QVERIFY(till.create());
        for (const char* code : {"1001", "1001", "1003"})
            QVERIFY2(SalesFixture::scan(till, QString::fromLatin1(code)), qPrintable(m_ui.texts().join(u'|')));
        QVERIFY(SalesFixture::pay(till, SaleKind::sale(), m_ui, QStringLiteral("10")).posted);
        STATEMENT_IS(m_today, {7, 0, 0, 0, 0, 7});
        QCOMPARE(ranking(), (QStringList{QStringLiteral("1001:2"), QStringLiteral("1003:1"), QStringLiteral("1002:0"),
                                         QStringLiteral("1004:0")}));
        ProfitLines p = profitLines();
        QCOMPARE(p.jine, 7.0);
        QCOMPARE(p.c3, 2 * (2.5 - 1.6) + (2.0 - 0.95));

        // A Pepsi put on hold counts at once; paid later, it is not counted a second time.
        const int linesBefore = p.lines;
        QVERIFY(SalesFixture::scan(till, QStringLiteral("1002")));
        QVERIFY(till.holdVoucher());
        STATEMENT_IS(m_today, {9.5, 0, 0, 0, 0, 9.5});
        QCOMPARE(ranking(3), (QStringList{QStringLiteral("1001:2"), QStringLiteral("1002:1"),
                                          QStringLiteral("1003:1")}));
        m_ui.pickAnswers.enqueue(QStringList{QStringLiteral("XS01202403050002")});
        till.recallVoucher();
        QVERIFY(SalesFixture::pay(till, SaleKind::sale(), m_ui, QStringLiteral("2.5")).posted);
        STATEMENT_IS(m_today, {9.5, 0, 0, 0, 0, 9.5});
        p = profitLines();
        QCOMPARE(p.lines, linesBefore + 1);
        QCOMPARE(p.jine, 9.5);

        // A coke brought back: the refund lowers the profit; the ranking and the lines of the
        // profit query still show what was sold.
        SalesVoucher returns(SaleKind::salesReturn(), m_ui);
        QVERIFY(returns.create());
        QVERIFY(SalesFixture::scan(returns, QStringLiteral("1001")));
        QVERIFY(SalesFixture::pay(returns, SaleKind::salesReturn(), m_ui, QStringLiteral("2.5")).posted);
        STATEMENT_IS(m_today, {9.5, 0, 2.5, 0, 0, 7});
        QCOMPARE(ranking(1), QStringList{QStringLiteral("1001:2")});
        QCOMPARE(profitLines().jine, 9.5);

        // Ten cokes received at 1.60: goods on credit change no figure.
        QVERIFY2(goodsVoucher(GoodsKind::stockIn(), QStringLiteral("1001"), QStringLiteral("10")),
                 qPrintable(m_ui.texts().join(u'|')));
        QCOMPARE(m_shop->scalar(QStringLiteral("select qkje from jinhuodan")).toDouble(), 16.0);
        STATEMENT_IS(m_today, {9.5, 0, 2.5, 0, 0, 7});

        // Paying the supplier lowers the profit by what is paid, in two payments.
        QVERIFY2(settle(SettlementKind::payables(), QStringLiteral("10")), qPrintable(m_ui.texts().join(u'|')));
        STATEMENT_IS(m_today, {9.5, 0, 2.5, 10, 0, -3});
        QVERIFY(settle(SettlementKind::payables(), QStringLiteral("6")));
        STATEMENT_IS(m_today, {9.5, 0, 2.5, 16, 0, -9});

        // Two waters scrapped at 0.90 each.
        QVERIFY2(goodsVoucher(GoodsKind::scrap(), QStringLiteral("1003"), QStringLiteral("2"), QStringLiteral("0.9")),
                 qPrintable(m_ui.texts().join(u'|')));
        STATEMENT_IS(m_today, {9.5, 0, 2.5, 16, 1.8, -10.8});

        // Four Pepsis sent back at 1.55: the profit moves when the supplier pays them back.
        QVERIFY(goodsVoucher(GoodsKind::supplierReturn(), QStringLiteral("1002"), QStringLiteral("4")));
        STATEMENT_IS(m_today, {9.5, 0, 2.5, 16, 1.8, -10.8});
        QVERIFY(settle(SettlementKind::receivables(), QStringLiteral("6.2")));
        STATEMENT_IS(m_today, {9.5, 6.2, 2.5, 16, 1.8, 9.5 + 6.2 - 2.5 - 16 - 1.8});

        // Receiving, scrapping and returning goods leave the ranking alone.
        QCOMPARE(ranking(), (QStringList{QStringLiteral("1001:2"), QStringLiteral("1002:1"), QStringLiteral("1003:1"),
                                         QStringLiteral("1004:0")}));

        // The purchase price of cokes goes up to 2.00 in the product dialog: the profit query
        // prices the old sales at it, the statement (money in and out) stays.
        ProductForm product(RecordForm::Mode::Edit, m_ui);
        QVERIFY(product.create(QStringLiteral("1001")));
        product.edited(QStringLiteral("jinjia"), QStringLiteral("2"));
        QVERIFY2(product.save(), qPrintable(m_ui.texts().join(u'|')));
        p = profitLines();
        QCOMPARE(p.jine, 9.5);
        QCOMPARE(p.c3, 2 * (2.5 - 2.0) + (2.0 - 0.95) + (2.5 - 1.55));
        STATEMENT_IS(m_today, {9.5, 6.2, 2.5, 16, 1.8, 9.5 + 6.2 - 2.5 - 16 - 1.8});

        // Yesterday saw none of it.
        STATEMENT_IS(QStringLiteral("2024-03-04"), {});
    }
};

QTEST_MAIN(FiguresFromTheShopTest)
#include "tst_figuresfromtheshop.moc"
