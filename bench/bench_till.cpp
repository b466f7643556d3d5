// Times the till on a synthetic shop made by make_shop: one scan by barcode (the lookup, the
// stock check, the line written and the grid and totals read back) and the posting of a
// 20-line sale (header, stock, cash box, receipt to a spool file). Prints medians.
//
// Beside each scan the same statements run once more straight through the SQLite C API on a
// connection of their own with the same pragmas, each prepared once: the floor under what the
// till does, measured in the same run. The ratio of the two is the till's own cost.
//
//   bench_till FOLDER [--vouchers N] [--lines N]
//
// The shop keeps the sales the benchmark posts (the baseline's lines are removed again). The
// benchmark takes the shop's lock: it does not run while the till runs on the shop.

#include "SyntheticShop.h"
#include "core/DbConnection.h"
#include "core/ShopLock.h"
#include "core/SilentUi.h"
#include "sales/Checkout.h"
#include "sales/SaleKind.h"
#include "sales/SalesVoucher.h"
#include "schema/DatabaseCheck.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <QHash>

#include <algorithm>
#include <ctime>
#include <random>
#include <sqlite3.h>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

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

// One statement as the till ran it: the engine's text and the values bound, in order.
struct Ran {
    QString sql;
    QVariantList values;
};

// The same statements straight through the SQLite C API: a connection of its own with the
// till's pragmas and busy timeout, every statement prepared once and kept, every value of every
// row read.
class RawSqlite {
public:
    explicit RawSqlite(const QString& file)
    {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return;
        sqlite3_busy_timeout(m_db, 5000);
        m_ok = exec("PRAGMA journal_mode=WAL") && exec("PRAGMA synchronous=FULL") && exec("PRAGMA foreign_keys=OFF");
    }
    ~RawSqlite()
    {
        for (const Prepared& p : std::as_const(m_statements))
            sqlite3_finalize(p.statement);
        sqlite3_close(m_db);
    }
    RawSqlite(const RawSqlite&) = delete;
    RawSqlite& operator=(const RawSqlite&) = delete;

    bool isOk() const { return m_ok; }
    QString error() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no connection"); }

    // A value ready to bind, converted before the clock starts.
    struct Value {
        int type = SQLITE_NULL;
        QByteArray text;
        double real = 0;
        sqlite3_int64 integer = 0;
    };
    struct Step {
        sqlite3_stmt* statement = nullptr;
        QList<Value> values;
    };

    // The statements of one scan, ready to run; a value equal to `from` becomes `to` (the
    // baseline writes its lines under a number of its own).
    bool prepare(const QList<Ran>& ran, const QString& from, const QString& to, QList<Step>* steps)
    {
        steps->clear();
        for (const Ran& r : ran) {
            Step step;
            step.statement = statement(r.sql);
            if (!step.statement)
                return false;
            for (const QVariant& v : r.values) {
                Value value;
                switch (v.typeId()) {
                case QMetaType::Double:
                    value.type = SQLITE_FLOAT;
                    value.real = v.toDouble();
                    break;
                case QMetaType::Int:
                case QMetaType::LongLong:
                case QMetaType::Bool:
                    value.type = SQLITE_INTEGER;
                    value.integer = v.toLongLong();
                    break;
                default:
                    if (!v.isNull()) {
                        value.type = SQLITE_TEXT;
                        const QString text = v.toString();
                        value.text = (text == from ? to : text).toUtf8();
                    }
                    break;
                }
                step.values << value;
            }
            *steps << step;
        }
        return true;
    }

    // Runs the steps; false at the first failure. `touched` sums what was read, so no read is
    // left out.
    bool run(const QList<Step>& steps, double* touched)
    {
        for (const Step& step : steps) {
            sqlite3_stmt* st = step.statement;
            for (int i = 0; i < step.values.size(); ++i) {
                const Value& v = step.values.at(i);
                switch (v.type) {
                case SQLITE_FLOAT:
                    sqlite3_bind_double(st, i + 1, v.real);
                    break;
                case SQLITE_INTEGER:
                    sqlite3_bind_int64(st, i + 1, v.integer);
                    break;
                case SQLITE_TEXT:
                    sqlite3_bind_text(st, i + 1, v.text.constData(), int(v.text.size()), SQLITE_STATIC);
                    break;
                default:
                    sqlite3_bind_null(st, i + 1);
                    break;
                }
            }
            int rc = SQLITE_ROW;
            const int columns = sqlite3_column_count(st);
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                for (int c = 0; c < columns; ++c) {
                    switch (sqlite3_column_type(st, c)) {
                    case SQLITE_INTEGER:
                        *touched += double(sqlite3_column_int64(st, c));
                        break;
                    case SQLITE_FLOAT:
                        *touched += sqlite3_column_double(st, c);
                        break;
                    case SQLITE_TEXT:
                        *touched += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) ? 1 : 0);
                        break;
                    default:
                        break;
                    }
                }
            }
            sqlite3_reset(st);
            if (rc != SQLITE_DONE)
                return false;
        }
        return true;
    }

    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

private:
    struct Prepared {
        sqlite3_stmt* statement = nullptr;
    };
    sqlite3_stmt* statement(const QString& sql)
    {
        const auto it = m_statements.constFind(sql);
        if (it != m_statements.cend())
            return it->statement;
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(m_db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr) !=
            SQLITE_OK)
            return nullptr;
        m_statements.insert(sql, {st});
        return st;
    }

    sqlite3* m_db = nullptr;
    bool m_ok = false;
    QHash<QString, Prepared> m_statements;
};

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
    // The benchmark writes sales as the till does: never beside a running till.
    ShopLock lock(folder);
    if (!lock.acquire()) {
        out() << "bench_till: " << lock.error() << "\n";
        return 1;
    }
    qputenv("POS_HOME", QFile::encodeName(folder));
    // Receipts go to a spool file in the shop, unless a device is named.
    if (qEnvironmentVariableIsEmpty("POS_RECEIPT_DEVICE"))
        qputenv("POS_RECEIPT_DEVICE", QFile::encodeName(QDir(folder).filePath(QStringLiteral("LPT1"))));

    // As the till starts: the file looked at first, then opened and brought up to this
    // program's version.
    const QString problem = DatabaseCheck::problem(QDir(folder).filePath(QStringLiteral("pos.mdb")));
    if (!problem.isEmpty()) {
        out() << "bench_till: " << problem << "\n";
        return 1;
    }
    DbConnection db;
    QString error;
    if (!db.open() || !Schema::migrate(db, &error)) {
        out() << "bench_till: " << (error.isEmpty() ? db.lastError() : error) << "\n";
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

    SilentUi ui;
    SalesVoucher voucher(SaleKind::sale(), ui);
    if (!voucher.create()) {
        out() << "bench_till: the sales screen did not open: " << ui.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    }

    RawSqlite raw(QDir(folder).filePath(QStringLiteral("pos.mdb")));
    if (!raw.isOk()) {
        out() << "bench_till: the baseline connection did not open: " << raw.error() << "\n";
        return 1;
    }
    QList<Ran> ran;
    voucher.db().setStatementObserver([&ran](const QString& sql, const QVariantList& values) {
        ran << Ran{sql, values};
    });
    // The baseline's lines go under numbers of a date no till ever draws, and are removed at the end.
    const QString rawPrefix = QStringLiteral("XS0199999999");
    double touched = 0;

    std::mt19937 rng(7);
    std::uniform_int_distribution<int> anyProduct(1, products);
    Stats scans;
    Stats scanCpu;
    Stats rawScans;
    Stats rawCpu;
    int statementsPerScan = 0;
    Stats posts;
    Stats postCpu;
    const auto failed = [&](const QString& what) {
        out() << "bench_till: " << what << ": " << ui.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    };

    for (int v = 0; v < vouchers; ++v) {
        for (int l = 0; l < linesPerVoucher; ++l) {
            voucher.setText(SalesVoucher::Spmc, SyntheticShop::barcode(anyProduct(rng)));
            ran.clear();
            QElapsedTimer t;
            const double cpu = cpuMs();
            t.start();
            const bool ok = voucher.enterProductCode();
            scans.ms << elapsedMs(t);
            scanCpu.ms << cpuMs() - cpu;
            if (!ok)
                return failed(QStringLiteral("scan"));

            // The same statements, with the same values, on raw SQLite.
            QList<RawSqlite::Step> steps;
            const QString rawNumber = rawPrefix + QStringLiteral("%1").arg(v + 1, 4, 10, QLatin1Char('0'));
            if (!raw.prepare(ran, voucher.text(SalesVoucher::Djbh), rawNumber, &steps)) {
                out() << "bench_till: the baseline did not prepare: " << raw.error() << "\n";
                return 1;
            }
            statementsPerScan = int(steps.size());
            QElapsedTimer rt;
            const double rcpu = cpuMs();
            rt.start();
            const bool rawOk = raw.run(steps, &touched);
            rawScans.ms << elapsedMs(rt);
            rawCpu.ms << cpuMs() - rcpu;
            if (!rawOk) {
                out() << "bench_till: the baseline failed: " << raw.error() << "\n";
                return 1;
            }
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

    voucher.db().setStatementObserver({});
    if (!raw.exec("delete from xiaoshoudrecord where djbh like 'XS0199999999%'"))
        out() << "bench_till: the baseline's lines could not be removed: " << raw.error() << "\n";

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
    out() << rawScans.line(QStringLiteral("the same %1 statements on raw SQLite").arg(statementsPerScan)) << "\n";
    out() << rawCpu.line(QStringLiteral("  of it processor time")) << "\n";
    const double ratio = rawScans.at(0.5) > 0 ? scans.at(0.5) / rawScans.at(0.5) : 0;
    const double cpuRatio = rawCpu.at(0.5) > 0 ? scanCpu.at(0.5) / rawCpu.at(0.5) : 0;
    out() << QStringLiteral("scan / raw SQLite, medians: %1 wall-clock, %2 processor time (limit 1.5 wall-clock)")
                 .arg(ratio, 0, 'f', 2)
                 .arg(cpuRatio, 0, 'f', 2)
          << "\n";
    out() << posts.line(QStringLiteral("postSale, %1 lines").arg(linesPerVoucher)) << "\n";
    out() << postCpu.line(QStringLiteral("  of it processor time")) << "\n";
    out() << commits.line(QStringLiteral("one committed row on this disk")) << "\n";
    const bool fastEnough = scans.at(0.5) < 5.0;
    out() << (fastEnough ? "scan median under 5 ms\n" : "scan median NOT under 5 ms\n");
    const bool closeToRaw = ratio <= 1.5;
    out() << (closeToRaw ? "scan within 1.5x raw SQLite\n" : "scan NOT within 1.5x raw SQLite\n");
    if (!fastEnough)
        return 3;
    return closeToRaw ? 0 : 4;
}
