// Times the back office on a synthetic shop made by make_shop: saving a stock-in voucher of 200
// lines (header and 200 stock rows in one transaction), opening the stocktaking list over every
// stock row, and the supplier settlement's search over all stock-in vouchers. Prints medians.
//
//   bench_stock FOLDER [--runs N] [--lines N]
//
// The shop keeps the vouchers the benchmark saves.

#include "BenchSupport.h"
#include "SyntheticShop.h"
#include "accounts/Settlement.h"
#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "stock/GoodsVoucher.h"
#include "stock/Stocktaking.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <random>

using namespace Bench;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString folder;
    int runs = 10;
    int linesPerVoucher = 200;
    if (!readShopArguments(args, QStringLiteral("bench_stock FOLDER [--runs N] [--lines N]"), &folder,
                           {{QStringLiteral("--runs"), &runs, 1}, {QStringLiteral("--lines"), &linesPerVoucher, 1}}))
        return 2;
    // The benchmark saves vouchers: never beside a running till.
    Shop shop;
    if (!shop.open(QStringLiteral("bench_stock"), folder, true))
        return 1;
    DbConnection& db = shop.db();
    LoginUser::set(QStringLiteral("001"), QStringLiteral("库管"));
    int products = 0;
    QString first;
    {
        Query q(db);
        q.setSql(QStringLiteral("select count(*) as n from spinfo"));
        if (!q.open()) {
            out() << "bench_stock: " << q.lastError() << "\n";
            return 1;
        }
        products = q.integer(QStringLiteral("n"));
        q.setSql(QStringLiteral("select min(rq) as rq from jinhuodan"));
        if (q.open())
            first = q.text(QStringLiteral("rq"));
    }
    if (products == 0) {
        out() << "bench_stock: the shop has no products\n";
        return 1;
    }

    BenchUi ui;
    const auto failed = [&](const QString& what) {
        out() << "bench_stock: " << what << ": " << ui.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    };

    // Saving a stock-in voucher: the lines are entered by barcode first, then only the save is timed.
    Stats saves;
    {
        GoodsVoucher voucher(GoodsKind::stockIn(), ui);
        if (!voucher.create())
            return failed(QStringLiteral("the stock-in screen did not open"));
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> anyProduct(1, products);
        for (int r = 0; r < runs; ++r) {
            voucher.newVoucher();
            for (int l = 0; l < linesPerVoucher; ++l) {
                voucher.setText(GoodsVoucher::Spmc, SyntheticShop::barcode(anyProduct(rng)));
                voucher.enterPressed(GoodsVoucher::Spmc);
                voucher.setText(GoodsVoucher::Sl, QStringLiteral("12"));
                voucher.enterPressed(GoodsVoucher::Sl);
                if (!voucher.addLine())
                    return failed(QStringLiteral("a line"));
            }
            voucher.setText(GoodsVoucher::Gys, QStringLiteral("第1食品批发部"));
            QElapsedTimer t;
            t.start();
            const bool saved = voucher.saveVoucher();
            saves.ms << elapsedMs(t);
            if (!saved || ui.shown != QStringList{QStringLiteral("数据保存成功")})
                return failed(QStringLiteral("saving"));
            ui.shown.clear();
        }
    }

    // Opening the stocktaking list (its connection, the row count and the first page) and the
    // count dialog on a product (it reads the whole stock list to move through).
    Stats lists;
    Stats dialogs;
    int stockRows = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        RecordList list(Stocktaking::list(), ui);
        if (!list.create())
            return failed(QStringLiteral("the stock list"));
        lists.ms << elapsedMs(t);
        stockRows = list.count();
        t.restart();
        StockCount dialog(ui);
        if (!dialog.create(SyntheticShop::productNumber(products / 2)))
            return failed(QStringLiteral("the count dialog"));
        dialogs.ms << elapsedMs(t);
    }

    // The settlement search over every stock-in voucher, and over the unpaid ones.
    Stats searches;
    Stats unpaid;
    int vouchers = 0;
    {
        Settlement screen(SettlementKind::payables(), ui);
        if (!screen.create())
            return failed(QStringLiteral("the settlement screen did not open"));
        screen.setText(Settlement::Rq1, first.isEmpty() ? screen.text(Settlement::Rq1) : first);
        for (int r = 0; r < runs; ++r) {
            for (Stats* stats : {&searches, &unpaid}) {
                screen.setText(Settlement::Lx, stats == &unpaid ? QStringLiteral("未付") : QString());
                QElapsedTimer t;
                t.start();
                if (!screen.search())
                    return failed(QStringLiteral("the settlement search"));
                stats->ms << elapsedMs(t);
                if (stats == &searches)
                    vouchers = screen.vouchers().count();
            }
        }
    }

    out() << "bench_stock: " << folder << ", " << products << " products\n";
    out() << saves.line(QStringLiteral("save a stock-in voucher of %1 lines").arg(linesPerVoucher)) << "\n";
    out() << lists.line(QStringLiteral("open the stock list (%1 rows)").arg(stockRows)) << "\n";
    out() << dialogs.line(QStringLiteral("open the count dialog over the same rows")) << "\n";
    out() << searches.line(QStringLiteral("settlement search, all %1 vouchers").arg(vouchers)) << "\n";
    out() << unpaid.line(QStringLiteral("settlement search, unpaid only")) << "\n";
    const bool fast = saves.at(0.5) < 100 && lists.at(0.5) < 300 && searches.at(0.5) < 200;
    out() << (fast ? "all medians within their limits (100 / 300 / 200 ms)\n"
                   : "a median is NOT within its limit (100 / 300 / 200 ms)\n");
    return fast ? 0 : 3;
}
