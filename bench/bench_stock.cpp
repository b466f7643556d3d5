// Times the back office on a synthetic shop made by make_shop: saving a stock-in voucher of 200
// lines (header and 200 stock rows in one transaction), opening the stocktaking list over every
// stock row, opening the count dialog and saving a count, and the supplier settlement's search
// over all stock-in vouchers. Prints medians of the wall-clock and the processor time.
//
//   bench_stock FOLDER [--runs N] [--lines N]
//
// The shop keeps the vouchers and the counts the benchmark saves.

#include "SyntheticShop.h"
#include "accounts/Settlement.h"
#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/SilentUi.h"
#include "stock/GoodsVoucher.h"
#include "stock/Stocktaking.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <random>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

// Processor time of the process: on a busy machine the wall-clock time also holds the waits for
// a processor, and a commit waits for the disk.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double at(QList<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    if (values.isEmpty())
        return 0;
    return values[qMin(int(values.size()) - 1, int(fraction * (values.size() - 1) + 0.5))];
}

// The wall-clock and processor times of one kind of run.
struct Stats {
    QList<double> ms;
    QList<double> cpu;
    QElapsedTimer wall;
    double cpuStart = 0;

    void start()
    {
        cpuStart = cpuMs();
        wall.start();
    }
    void stop()
    {
        ms << wall.nsecsElapsed() / 1e6;
        cpu << cpuMs() - cpuStart;
    }
    double median() const { return at(ms, 0.5); }
    QString line(const QString& name) const
    {
        return QStringLiteral("%1 (%2 runs):\n    wall-clock median %3 ms, 90% %4 ms, max %5 ms\n"
                              "    processor  median %6 ms, 90% %7 ms, max %8 ms")
            .arg(name)
            .arg(ms.size())
            .arg(at(ms, 0.5), 0, 'f', 2)
            .arg(at(ms, 0.9), 0, 'f', 2)
            .arg(at(ms, 1.0), 0, 'f', 2)
            .arg(at(cpu, 0.5), 0, 'f', 2)
            .arg(at(cpu, 0.9), 0, 'f', 2)
            .arg(at(cpu, 1.0), 0, 'f', 2);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString folder;
    int runs = 10;
    int linesPerVoucher = 200;
    for (int i = 1; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt(&ok);
        else if (args[i] == QLatin1String("--lines") && i + 1 < args.size())
            linesPerVoucher = args[++i].toInt(&ok);
        else if (folder.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            folder = args[i];
        else
            ok = false;
        if (!ok || runs <= 0 || linesPerVoucher <= 0) {
            out() << "usage: bench_stock FOLDER [--runs N] [--lines N]\n";
            return 2;
        }
    }
    if (folder.isEmpty() || !QFileInfo::exists(QDir(folder).filePath(QStringLiteral("pos.mdb")))) {
        out() << "usage: bench_stock FOLDER [--runs N] [--lines N]  (FOLDER holds a pos.mdb from make_shop)\n";
        return 2;
    }
    folder = QDir(folder).absolutePath();
    qputenv("POS_HOME", QFile::encodeName(folder));
    LoginUser::set(QStringLiteral("001"), QStringLiteral("库管"));

    DbConnection db;
    if (!db.open()) {
        out() << "bench_stock: " << db.lastError() << "\n";
        return 1;
    }
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

    SilentUi ui;
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
            saves.start();
            const bool saved = voucher.saveVoucher();
            saves.stop();
            if (!saved || ui.shown != QStringList{QStringLiteral("数据保存成功")})
                return failed(QStringLiteral("saving"));
            ui.shown.clear();
        }
    }

    // Opening the stocktaking list (its connection, the row count and the first page) and the
    // count dialog on a product (it reads the whole stock list to move through).
    Stats lists;
    Stats dialogs;
    Stats counts;
    int stockRows = 0;
    for (int r = 0; r < runs; ++r) {
        lists.start();
        RecordList list(Stocktaking::list(), ui);
        if (!list.create())
            return failed(QStringLiteral("the stock list"));
        lists.stop();
        stockRows = list.count();
        dialogs.start();
        StockCount dialog(ui);
        if (!dialog.create(SyntheticShop::productNumber(products / 2)))
            return failed(QStringLiteral("the count dialog"));
        dialogs.stop();
        dialog.edited(StockCount::Sl, QString::number(999990 + r));
        counts.start();
        const bool counted = dialog.save();
        counts.stop();
        if (!counted)
            return failed(QStringLiteral("saving a count"));
        ui.shown.clear();
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
                stats->start();
                if (!screen.search())
                    return failed(QStringLiteral("the settlement search"));
                stats->stop();
                if (stats == &searches)
                    vouchers = screen.vouchers().count();
            }
        }
    }

    out() << "bench_stock: " << folder << ", " << products << " products\n";
    out() << saves.line(QStringLiteral("save a stock-in voucher of %1 lines").arg(linesPerVoucher)) << "\n";
    out() << lists.line(QStringLiteral("open the stock list (%1 rows)").arg(stockRows)) << "\n";
    out() << dialogs.line(QStringLiteral("open the count dialog over the same rows")) << "\n";
    out() << counts.line(QStringLiteral("save a count in the dialog (the stock row and its count record)")) << "\n";
    out() << searches.line(QStringLiteral("settlement search, all %1 vouchers").arg(vouchers)) << "\n";
    out() << unpaid.line(QStringLiteral("settlement search, unpaid only")) << "\n";
    const bool fast = saves.median() < 100 && lists.median() < 300 && searches.median() < 200;
    out() << (fast ? "all medians within their limits (100 / 300 / 200 ms)\n"
                   : "a median is NOT within its limit (100 / 300 / 200 ms)\n");
    return fast ? 0 : 3;
}
