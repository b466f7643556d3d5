// Times the demonstration shop's trading as `pos-setup --demo --history N` does it: a new
// demonstration shop in a temporary folder, then every day worked through the screens' logic
// (deliveries, sales scanned and posted, handovers, settlements). Prints the wall-clock and the
// processor time and what was entered.
//
//   bench_demo [--days 30] [--runs 3]
//
// It exits with status 3 when the median run of 30 days takes 3 s of processor time or more
// (scaled for other lengths). The processor time is the measure: on a busy machine the
// wall-clock time also holds the time the program waited for a processor. The commits do not
// wait for the disk while the shop is made; the one checkpoint at the end does.

#include "admin/DemoTrading.h"
#include "core/DbConnection.h"
#include "schema/Setup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>

namespace {

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    int days = 30;
    int runs = 3;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--days"))
            days = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--runs"))
            runs = qMax(1, args.at(i + 1).toInt());
    }

    QList<double> wall;
    QList<double> cpu;
    for (int r = 0; r < runs; ++r) {
        QTemporaryDir dir;
        qputenv("POS_HOME", dir.path().toUtf8());
        const QString file = dir.filePath(QStringLiteral("pos.mdb"));
        Setup::Options options;
        options.demo = true;
        QString error;
        if (!Setup::createDatabase(file, options, &error)) {
            out << "bench_demo: " << error << "\n";
            return 1;
        }
        QElapsedTimer t;
        t.start();
        const double c0 = cpuMs();
        if (!DemoTrading::run(days, &error)) {
            out << "bench_demo: " << error << "\n";
            return 1;
        }
        wall << t.nsecsElapsed() / 1e6;
        cpu << cpuMs() - c0;
        if (r == 0) {
            DbConnection db(file);
            if (db.open()) {
                Query q(db);
                q.setSql(QStringLiteral("select (select count(*) from xiaoshoud) as sales,(select count(*) from "
                                        "xiaoshoudrecord) as lines,(select count(*) from jinhuodan) as deliveries,"
                                        "(select count(*) from xjls) as journal"));
                if (q.open())
                    out << days << " days: " << q.text(QStringLiteral("sales")) << " sales with "
                        << q.text(QStringLiteral("lines")) << " lines, " << q.text(QStringLiteral("deliveries"))
                        << " deliveries, " << q.text(QStringLiteral("journal")) << " cash journal rows\n";
                db.close();
            }
        }
    }
    const double limit = 3000.0 * days / 30;
    out << "trading " << days << " days: median " << QString::number(median(wall), 'f', 0) << " ms wall-clock, "
        << QString::number(median(cpu), 'f', 0) << " ms processor (" << runs << " runs; limit "
        << QString::number(limit, 'f', 0) << " ms of processor time)\n";
    return median(cpu) < limit ? 0 : 3;
}
