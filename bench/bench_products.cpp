// Times the product catalogue on a synthetic shop made by make_shop: the product list opening
// and painting its first rows, a keystroke in its filter field, and adding a product through the
// add dialog's logic (product row and stock row, committed). Prints medians of the wall-clock
// time and of the processor time.
//
//   bench_products FOLDER [--runs N]
//
// The products it adds (numbers starting with "BENCH") are removed again at the end.

#include "SyntheticShop.h"
#include "core/DbConnection.h"
#include "core/SilentUi.h"
#include "core/ui/ListWindow.h"
#include "masterdata/ProductForm.h"
#include "masterdata/ProductList.h"
#include "masterdata/ui/ProductScreens.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

// Processor time of the process: on a busy machine the wall-clock time also holds the time the
// program waited for a processor, and a commit waits for the disk.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(QList<double> values, double fraction = 0.5)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[qMin(int(values.size()) - 1, int(fraction * (values.size() - 1) + 0.5))];
}

// The wall-clock and processor times of one kind of run.
struct Measure {
    Measure(const QString& what, double limitMs) : name(what), limit(limitMs) {}

    QString name;
    double limit = 0;
    QList<double> wall;
    QList<double> cpu;

    void time(const std::function<void()>& run)
    {
        const double c = cpuMs();
        QElapsedTimer t;
        t.start();
        run();
        wall << t.nsecsElapsed() / 1e6;
        cpu << cpuMs() - c;
    }
    QString line() const
    {
        return QStringLiteral("%1 (%2 runs, limit %3 ms):\n    wall-clock median %4 ms, 90% %5 ms, max %6 ms\n"
                              "    processor  median %7 ms, 90% %8 ms, max %9 ms")
            .arg(name)
            .arg(wall.size())
            .arg(limit)
            .arg(median(wall), 0, 'f', 2)
            .arg(median(wall, 0.9), 0, 'f', 2)
            .arg(median(wall, 1.0), 0, 'f', 2)
            .arg(median(cpu), 0, 'f', 2)
            .arg(median(cpu, 0.9), 0, 'f', 2)
            .arg(median(cpu, 1.0), 0, 'f', 2);
    }
    bool fast() const { return median(wall) < limit; }
};

// Paints the grid's visible rows now, as the first frame on screen would.
void paintNow(QTableView* grid)
{
    QCoreApplication::processEvents();
    grid->viewport()->repaint();
}

// Down in the filter field applies the filter at once (without the typing pause) and moves in
// the grid, as a person who has typed and goes on to the rows.
void applyFilter(QLineEdit* filter)
{
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(filter, &down);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString folder;
    int runs = 20;
    for (int i = 1; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt(&ok);
        else if (folder.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            folder = args[i];
        else
            ok = false;
        if (!ok || runs <= 0) {
            out() << "usage: bench_products FOLDER [--runs N]\n";
            return 2;
        }
    }
    if (folder.isEmpty() || !QFileInfo::exists(QDir(folder).filePath(QStringLiteral("pos.mdb")))) {
        out() << "usage: bench_products FOLDER [--runs N]  (FOLDER holds a pos.mdb from make_shop)\n";
        return 2;
    }
    folder = QDir(folder).absolutePath();
    qputenv("POS_HOME", QFile::encodeName(folder));

    DbConnection db;
    if (!db.open()) {
        out() << "bench_products: " << db.lastError() << "\n";
        return 1;
    }
    Query count(db);
    count.setSql(QStringLiteral("select count(*) as n from spinfo"));
    if (!count.open()) {
        out() << "bench_products: " << count.lastError() << "\n";
        return 1;
    }
    out() << "products in the shop: " << count.integer(QStringLiteral("n")) << "\n";

    // The list window: created, shown and its first rows painted.
    Measure open{QStringLiteral("product list opens and paints its first rows"), 300};
    std::unique_ptr<ListWindow> window;
    for (int i = 0; i < runs; ++i) {
        window.reset();
        open.time([&] {
            window.reset(static_cast<ListWindow*>(ProductScreens::openList(nullptr)));
            window->resize(1280, 760);
            window->show();
            paintNow(window->grid());
        });
    }

    // Keystrokes in the filter field: each narrows (or widens) the list and paints it. The
    // words are a name, a pinyin code, a product number, a barcode and one that finds nothing.
    auto* filter = window->findChild<QLineEdit*>(QStringLiteral("filter"));
    if (!filter) {
        out() << "bench_products: the list has no filter field\n";
        return 1;
    }
    const QStringList words{QStringLiteral("商品4567"), SyntheticShop::pinyinCode(31337),
                            SyntheticShop::productNumber(76543), SyntheticShop::barcode(12345),
                            QStringLiteral("没有这种")};
    Measure keys{QStringLiteral("filter keystroke in the window (filter, grid painted)"), 50};
    for (int round = 0; round < qMax(1, runs / 10); ++round) {
        for (const QString& word : words) {
            for (int n = 1; n <= word.size(); ++n) {
                keys.time([&] {
                    filter->setText(word.left(n));
                    applyFilter(filter);
                    paintNow(window->grid());
                });
            }
            filter->clear();
            applyFilter(filter);
        }
    }
    window.reset();

    // The same keystrokes on the list's logic alone: the filter and the rows a screen shows
    // (a filter that finds many rows is not counted until the number is asked for), without
    // painting them.
    SilentUi ui;
    Measure logicKeys{QStringLiteral("filter keystroke, logic only (filter, 40 rows read)"), 50};
    // 末条 after a filter that finds every product: the rows are counted then.
    Measure lastRow{QStringLiteral("末条 after a filter finding every product (rows counted)"), 300};
    {
        ProductList list(ui);
        if (!list.create()) {
            out() << "bench_products: the list did not open: " << ui.shown.join(QStringLiteral("; ")) << "\n";
            return 1;
        }
        const GridColumns& columns = list.kind().columns;
        for (int round = 0; round < qMax(1, runs / 10); ++round) {
            for (const QString& word : words) {
                for (int n = 1; n <= word.size(); ++n) {
                    logicKeys.time([&] {
                        list.setFilter(word.left(n));
                        for (int row = 0; row < qMin(40, list.rows().knownCount()); ++row)
                            for (const GridColumn& c : columns)
                                list.rows().text(row, c.field);
                    });
                }
                list.setFilter(QString());
            }
            for (int i = 0; i < 5; ++i) {
                list.setFilter(words.first().left(1));
                lastRow.time([&] { list.last(); });
                list.setFilter(QString());
            }
        }
    }

    // Adding products through the add dialog's logic, each committed with its stock row.
    Measure add{QStringLiteral("add a product (checks, product and stock rows, commit)"), 20};
    {
        ProductForm form(RecordForm::Mode::Add, ui);
        if (!form.create()) {
            out() << "bench_products: the add dialog did not open: " << ui.shown.join(QStringLiteral("; ")) << "\n";
            return 1;
        }
        for (int i = 0; i < runs; ++i) {
            const QList<QPair<QString, QString>> fields{
                {QStringLiteral("spbh"), QStringLiteral("BENCH%1").arg(i, 4, 10, QLatin1Char('0'))},
                {QStringLiteral("spmc"), QStringLiteral("可口可乐%1").arg(i)},
                {QStringLiteral("spgg"), QStringLiteral("330ml")},
                {QStringLiteral("jinjia"), QStringLiteral("1.6")},
                {QStringLiteral("sale1"), QStringLiteral("2.5")},
                {QStringLiteral("sale2"), QStringLiteral("2.3")}};
            for (const auto& f : fields)
                form.edited(f.first, f.second);
            ui.shown.clear();
            bool saved = false;
            add.time([&] { saved = form.confirm(); });
            if (!saved) {
                out() << "bench_products: adding failed: " << ui.shown.join(QStringLiteral("; ")) << "\n";
                return 1;
            }
        }
    }
    // The edit dialog's logic opening on a product (it browses all of them) and saving it.
    Measure edit{QStringLiteral("edit dialog opens on a product"), 300};
    Measure save{QStringLiteral("edit dialog saves (update, rows read again)"), 100};
    for (int i = 0; i < runs; ++i) {
        ProductForm form(RecordForm::Mode::Edit, ui);
        const QString key = SyntheticShop::productNumber(1 + (i * 7919) % qMax(1, count.integer(QStringLiteral("n"))));
        bool opened = false;
        edit.time([&] { opened = form.create(key); });
        if (!opened || form.currentKey() != key) {
            out() << "bench_products: the edit dialog did not open on " << key << "\n";
            return 1;
        }
        ui.shown.clear();
        save.time([&] { form.save(); });
        if (ui.shown != QStringList{QStringLiteral("保存成功")}) {
            out() << "bench_products: saving failed: " << ui.shown.join(QStringLiteral("; ")) << "\n";
            return 1;
        }
    }

    Query clean(db);
    db.transaction([&] {
        clean.setSql(QStringLiteral("delete from spinfo where spbh like 'BENCH%'"));
        if (!clean.execute())
            return false;
        clean.setSql(QStringLiteral("delete from kucun where spbh like 'BENCH%'"));
        return clean.execute();
    });

    out() << open.line() << "\n"
          << keys.line() << "\n"
          << logicKeys.line() << "\n"
          << lastRow.line() << "\n"
          << add.line() << "\n"
          << edit.line() << "\n"
          << save.line() << "\n";
    return open.fast() && keys.fast() && add.fast() ? 0 : 3;
}
