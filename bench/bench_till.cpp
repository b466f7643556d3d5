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

#include "BenchSupport.h"
#include "SyntheticShop.h"
#include "core/DbConnection.h"
#include "sales/Checkout.h"
#include "sales/SaleKind.h"
#include "sales/SalesVoucher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>

#include <random>
#include <sqlite3.h>

using namespace Bench;

namespace {

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
    if (!readShopArguments(
            args, QStringLiteral("bench_till FOLDER [--vouchers N] [--lines N]"), &folder,
            {{QStringLiteral("--vouchers"), &vouchers, 1}, {QStringLiteral("--lines"), &linesPerVoucher, 1}}))
        return 2;
    // The benchmark writes sales as the till does: never beside a running till.
    Shop shop;
    if (!shop.open(QStringLiteral("bench_till"), folder, true))
        return 1;
    DbConnection& db = shop.db();
    // Receipts go to a spool file in the shop, unless a device is named.
    if (qEnvironmentVariableIsEmpty("POS_RECEIPT_DEVICE"))
        qputenv("POS_RECEIPT_DEVICE", QFile::encodeName(QDir(folder).filePath(QStringLiteral("LPT1"))));

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
    Timing scans;
    Timing rawScans;
    int statementsPerScan = 0;
    Timing posts;
    const auto failed = [&](const QString& what) {
        out() << "bench_till: " << what << ": " << ui.shown.join(QStringLiteral("; ")) << "\n";
        return 1;
    };

    for (int v = 0; v < vouchers; ++v) {
        for (int l = 0; l < linesPerVoucher; ++l) {
            voucher.setText(SalesVoucher::Spmc, SyntheticShop::barcode(anyProduct(rng)));
            ran.clear();
            bool ok = false;
            scans.time([&] { ok = voucher.enterProductCode(); });
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
            bool rawOk = false;
            rawScans.time([&] { rawOk = raw.run(steps, &touched); });
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
            posts.time([&] { posted = checkout.postSale(); });
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
    out() << scans.wall.line(QStringLiteral("scan by barcode (enterProductCode + addLine)")) << "\n";
    out() << scans.cpu.line(QStringLiteral("  of it processor time")) << "\n";
    out() << rawScans.wall.line(QStringLiteral("the same %1 statements on raw SQLite").arg(statementsPerScan)) << "\n";
    out() << rawScans.cpu.line(QStringLiteral("  of it processor time")) << "\n";
    const double ratio = rawScans.wall.median() > 0 ? scans.wall.median() / rawScans.wall.median() : 0;
    const double cpuRatio = rawScans.cpu.median() > 0 ? scans.cpu.median() / rawScans.cpu.median() : 0;
    out() << QStringLiteral("scan / raw SQLite, medians: %1 wall-clock, %2 processor time (limit 1.5 wall-clock)")
                 .arg(ratio, 0, 'f', 2)
                 .arg(cpuRatio, 0, 'f', 2)
          << "\n";
    out() << posts.wall.line(QStringLiteral("postSale, %1 lines").arg(linesPerVoucher)) << "\n";
    out() << posts.cpu.line(QStringLiteral("  of it processor time")) << "\n";
    out() << commits.line(QStringLiteral("one committed row on this disk")) << "\n";
    const bool fastEnough = scans.wall.median() < 5.0;
    out() << (fastEnough ? "scan median under 5 ms\n" : "scan median NOT under 5 ms\n");
    const bool closeToRaw = ratio <= 1.5;
    out() << (closeToRaw ? "scan within 1.5x raw SQLite\n" : "scan NOT within 1.5x raw SQLite\n");
    if (!fastEnough)
        return 3;
    return closeToRaw ? 0 : 4;
}
