// Times the back office's sales figures on a synthetic shop made by make_shop: the ranking of a
// year, the profit query of a month and the profit statement of a year, each as the screen runs
// it on "查询" (statements, scratch table, chart, and the grid's row count and first page). Prints
// the median and the slowest run of each, a page read from the middle of the grid, and what
// reading every row costs (export and printing read them all).
//
//   bench_reports FOLDER [--runs N] [--loop-sample N]
//
// The ranking also times the old way, one sum per product, on a sample of products and scales
// it to the whole catalogue. The scratch tables keep the last result; nothing else is written.

#include "BenchSupport.h"
#include "core/DbConnection.h"
#include "reports/SalesReport.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

using namespace Bench;

namespace {

QString ms(double v)
{
    return QString::number(v, 'f', 1) + QStringLiteral(" ms");
}

struct Case {
    const char* name;
    const ReportKind* kind;
    QDate from;
    QDate to;
    double limitMs; // for the query with its first page on screen
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString folder;
    int runs = 5;
    int loopSample = 200;
    if (!readArguments(args, &folder,
                       {{QStringLiteral("--runs"), &runs, 1}, {QStringLiteral("--loop-sample"), &loopSample, 0}}) ||
        folder.isEmpty()) {
        out() << "usage: bench_reports FOLDER [--runs N] [--loop-sample N]\n";
        return 2;
    }
    const QString file = QDir(folder).absoluteFilePath(QStringLiteral("pos.mdb"));
    if (!QFileInfo::exists(file)) {
        out() << "bench_reports: no shop at " << file << " (make one with make_shop)\n";
        return 1;
    }
    // The program brings an older shop file up to date when it starts; so does the benchmark.
    // It writes only the screens' scratch tables, as the program does beside the till.
    {
        Shop shop;
        if (!shop.open(QStringLiteral("bench_reports"), QFileInfo(file).absolutePath(), false))
            return 1;
        out() << "schema up to date in " << ms(shop.openMs()) << "\n";
    }

    // The synthetic shop's sales end the day before it was made; the last sale sets "today".
    QDate last;
    {
        DbConnection db(file);
        Query q(db);
        q.setSql(QStringLiteral("select max(rq) as rq from xiaoshoudrecord"));
        if (!db.open() || !q.open() || q.text(QStringLiteral("rq")).isEmpty()) {
            out() << "bench_reports: the shop has no sales lines\n";
            return 1;
        }
        last = QDate::fromString(q.text(QStringLiteral("rq")), Qt::ISODate);
    }

    const Case cases[] = {
        {"ranking, one year", &ReportKind::ranking(), last.addYears(-1).addDays(1), last, 2000},
        {"profit query, one month", &ReportKind::profitQuery(), last.addMonths(-1).addDays(1), last, 500},
        {"profit statement, one year", &ReportKind::statement(), last.addYears(-1).addDays(1), last, 500},
    };

    bool allUnder = true;
    BenchUi ui;
    for (const Case& c : cases) {
        SalesReport screen(*c.kind, ui);
        if (!screen.create()) {
            out() << "bench_reports: " << ui.shown.join(QLatin1Char(' ')) << "\n";
            return 1;
        }
        screen.setText(QueryScreen::Rq1, c.from.toString(Qt::ISODate));
        screen.setText(QueryScreen::Rq2, c.to.toString(Qt::ISODate));
        Stats total, cpu, middlePage, everyRow;
        int rows = 0;
        int pageRows = 0;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            const double cpuStart = cpuMs();
            if (!screen.query()) {
                out() << "bench_reports: " << ui.shown.join(QLatin1Char(' ')) << "\n";
                return 1;
            }
            // The grid's first page was read with the count; a page further on as the person
            // scrolls to the middle.
            const double shown = t.nsecsElapsed() / 1e6;
            cpu.ms << cpuMs() - cpuStart;
            PagedQuery* grid = screen.rows();
            pageRows = grid ? qMin(grid->count(), PagedQuery::kPageSize) : -1;
            QElapsedTimer scroll;
            scroll.start();
            if (grid && grid->count() > 0)
                grid->value(grid->count() / 2, c.kind->spec.columns.first().field);
            middlePage.ms << scroll.nsecsElapsed() / 1e6;
            total.ms << shown;
            QElapsedTimer all;
            all.start();
            const Query* every = screen.result();
            rows = every ? every->recordCount() : -1;
            everyRow.ms << all.nsecsElapsed() / 1e6;
        }
        const bool under = total.median() < c.limitMs;
        allUnder = allUnder && under;
        out() << c.name << " (" << c.from.toString(Qt::ISODate) << " .. " << c.to.toString(Qt::ISODate) << ", " << rows
              << " rows, chart of " << screen.chart().categories.size() << "):\n"
              << "  查询 with the first page of " << pageRows << " rows on screen: " << ms(total.median()) << " (max "
              << ms(total.max()) << "; processor " << ms(cpu.median()) << "), target under " << ms(c.limitMs)
              << (under ? ": ok" : ": TOO SLOW") << "\n"
              << "  a page from the middle " << ms(middlePage.median()) << "\n"
              << "  every row read (export, print) " << ms(everyRow.median()) << "\n";
    }

    // The old ranking: one sum and one update per product, timed on a sample.
    if (loopSample > 0) {
        DbConnection db(file);
        if (!db.open())
            return 1;
        Query products(db);
        products.setSql(QStringLiteral("select spbh from spinfo limit %1").arg(loopSample));
        Query count(db);
        count.setSql(QStringLiteral("select count(*) as n from spinfo"));
        if (!products.open() || !count.open())
            return 1;
        const QString rq1 = last.addYears(-1).addDays(1).toString(Qt::ISODate);
        const QString rq2 = last.toString(Qt::ISODate);
        QElapsedTimer t;
        t.start();
        db.transaction([&] {
            for (bool more = products.first(); more; more = products.next()) {
                Query q(db);
                q.setSql(QStringLiteral(
                    "select sum(sl) as psl from xiaoshoudrecord where rq>=:RQ1 and rq<=:RQ2 and spbh=:SPBH"));
                q.bind(QStringLiteral("RQ1"), rq1);
                q.bind(QStringLiteral("RQ2"), rq2);
                q.bind(QStringLiteral("SPBH"), products.text(QStringLiteral("spbh")));
                q.open();
                Query u(db);
                u.setSql(QStringLiteral("update spxsph set spsl=:SPSL where spbh=:SPBH"));
                u.bind(QStringLiteral("SPSL"), q.number(QStringLiteral("psl")));
                u.bind(QStringLiteral("SPBH"), products.text(QStringLiteral("spbh")));
                u.execute();
            }
            return false; // leave the ranking as it was
        });
        const double each = t.nsecsElapsed() / 1e6 / qMax(1, products.recordCount());
        const int catalogue = count.integer(QStringLiteral("n"));
        out() << "ranking one sum per product: " << ms(each) << " a product on " << products.recordCount()
              << " products, about " << QString::number(each * catalogue / 1000.0, 'f', 0) << " s for all " << catalogue
              << "\n";
    }
    if (!allUnder) {
        out() << "bench_reports: a figure is over its target\n";
        return 3;
    }
    return 0;
}
