// Times the till on a synthetic shop made by make_shop: one scan by barcode (the lookup, the
// stock check, the line written and the grid and totals read back) and the posting of a
// 20-line sale (header, stock, cash box, receipt to a spool file). Prints medians.
//
//   bench_till FOLDER [--vouchers N] [--lines N]
//
// The shop keeps the sales the benchmark posts.

#include "SyntheticShop.h"
#include "core/DbConnection.h"
#include "core/Ui.h"
#include "sales/Checkout.h"
#include "sales/SaleKind.h"
#include "sales/SalesVoucher.h"

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

// Says yes to every question; anything the till shows is an error for the benchmark.
class BenchUi : public Ui {
public:
    QStringList shown;
    void showMessage(const QString& text) override { shown << text; }
    void messageBox(const QString&, const QString& text, Icon) override { shown << text; }
    void showError(const QString& text) override { shown << text; }
    bool confirm(const QString&, const QString&, Icon) override { return true; }
    void prompt(const PromptSpec&, QString& answer) override { answer = QStringLiteral("~"); }
    void pick(const PickerSpec& spec, QStringList& answers) override
    {
        answers = QStringList(spec.answerFields.size(), QStringLiteral("~"));
    }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }
};

struct Stats {
    QList<double> ms;
    double at(double fraction) const
    {
        QList<double> s = ms;
        std::sort(s.begin(), s.end());
        if (s.isEmpty())
            return 0;
        return s[qMin(int(s.size()) - 1, int(fraction * (s.size() - 1) + 0.5))];
    }
    QString line(const QString& name) const
    {
        return QStringLiteral("%1: median %2 ms, 90% %3 ms, max %4 ms (%5 runs)")
            .arg(name)
            .arg(at(0.5), 0, 'f', 3)
            .arg(at(0.9), 0, 'f', 3)
            .arg(at(1.0), 0, 'f', 3)
            .arg(ms.size());
    }
};

double elapsedMs(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

// Processor time of the process, to tell computing from waiting for the disk: every scan
// and every posting commits, and a commit waits until the file is safely on the disk.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString folder;
    int vouchers = 50;
    int linesPerVoucher = 20;
    for (int i = 1; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == QLatin1String("--vouchers") && i + 1 < args.size())
            vouchers = args[++i].toInt(&ok);
        else if (args[i] == QLatin1String("--lines") && i + 1 < args.size())
            linesPerVoucher = args[++i].toInt(&ok);
        else if (folder.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            folder = args[i];
        else
            ok = false;
        if (!ok || vouchers <= 0 || linesPerVoucher <= 0) {
            out() << "usage: bench_till FOLDER [--vouchers N] [--lines N]\n";
            return 2;
        }
    }
    if (folder.isEmpty() || !QFileInfo::exists(QDir(folder).filePath(QStringLiteral("pos.mdb")))) {
        out() << "usage: bench_till FOLDER [--vouchers N] [--lines N]  (FOLDER holds a pos.mdb from make_shop)\n";
        return 2;
    }
    folder = QDir(folder).absolutePath();
    qputenv("POS_HOME", QFile::encodeName(folder));
    // Receipts go to a spool file in the shop, unless a device is named.
    if (qEnvironmentVariableIsEmpty("POS_RECEIPT_DEVICE"))
        qputenv("POS_RECEIPT_DEVICE", QFile::encodeName(QDir(folder).filePath(QStringLiteral("LPT1"))));

    DbConnection db;
    if (!db.open()) {
        out() << "bench_till: " << db.lastError() << "\n";
        return 1;
    }
    int products = 0;
    {
        Query q(db);
        q.setSql(QStringLiteral("select count(*) as n from spinfo"));
        if (!q.open()) {
            out() << "bench_till: " << q.lastError() << "\n";
            return 1;
        }
        products = q.integer(QStringLiteral("n"));
    }
    if (products == 0) {
        out() << "bench_till: the shop has no products\n";
        return 1;
    }

    BenchUi ui;
    SalesVoucher voucher(SaleKind::sale(), ui);
    if (!voucher.create()) {
        out() << "bench_till: the sales screen did not open: " << ui.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    }

    std::mt19937 rng(7);
    std::uniform_int_distribution<int> anyProduct(1, products);
    Stats scans;
    Stats scanCpu;
    Stats posts;
    Stats postCpu;
    const auto failed = [&](const QString& what) {
        out() << "bench_till: " << what << ": " << ui.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    };

    for (int v = 0; v < vouchers; ++v) {
        for (int l = 0; l < linesPerVoucher; ++l) {
            voucher.setText(SalesVoucher::Spmc, SyntheticShop::barcode(anyProduct(rng)));
            QElapsedTimer t;
            const double cpu = cpuMs();
            t.start();
            const bool ok = voucher.enterProductCode();
            scans.ms << elapsedMs(t);
            scanCpu.ms << cpuMs() - cpu;
            if (!ok)
                return failed(QStringLiteral("scan"));
        }
        bool posted = false;
        const bool checkedOut = voucher.startCheckout([&](const SaleHandover& h) {
            Checkout checkout(SaleKind::sale(), h, ui);
            if (!checkout.create())
                return CheckoutAnswer{};
            checkout.setText(Checkout::Sk, QStringLiteral("100000"));
            checkout.computeChange();
            QElapsedTimer t;
            const double cpu = cpuMs();
            t.start();
            posted = checkout.postSale();
            posts.ms << elapsedMs(t);
            postCpu.ms << cpuMs() - cpu;
            return checkout.answer();
        });
        if (!checkedOut || !posted || !ui.shown.isEmpty())
            return failed(QStringLiteral("posting"));
    }

    // The floor under every figure: one row committed to a scratch file beside the shop, with
    // the same journal and disk settings.
    Stats commits;
    {
        const QString scratch = QDir(folder).filePath(QStringLiteral("bench-scratch.db"));
        {
            DbConnection db(scratch);
            if (db.openOrCreate() && db.exec(QStringLiteral("create table t(x real)"))) {
                for (int i = 0; i < 200; ++i) {
                    QElapsedTimer t;
                    t.start();
                    if (!db.exec(QStringLiteral("insert into t(x) values(1)")))
                        break;
                    commits.ms << elapsedMs(t);
                }
            }
        }
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(scratch + QLatin1String(suffix));
    }

    out() << "bench_till: " << folder << ", " << products << " products\n";
    out() << scans.line(QStringLiteral("scan by barcode (enterProductCode + addLine)")) << "\n";
    out() << scanCpu.line(QStringLiteral("  of it processor time")) << "\n";
    out() << posts.line(QStringLiteral("postSale, %1 lines").arg(linesPerVoucher)) << "\n";
    out() << postCpu.line(QStringLiteral("  of it processor time")) << "\n";
    out() << commits.line(QStringLiteral("one committed row on this disk")) << "\n";
    const bool fastEnough = scans.at(0.5) < 5.0;
    out() << (fastEnough ? "scan median under 5 ms\n" : "scan median NOT under 5 ms\n");
    return fastEnough ? 0 : 3;
}
