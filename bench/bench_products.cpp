// Times the product catalogue on a synthetic shop made by make_shop: the product list opening
// and painting its first rows, a keystroke in its filter field, and adding a product through the
// add dialog's logic (product row and stock row, committed). Prints medians of the wall-clock
// time and of the processor time.
//
//   bench_products FOLDER [--runs N]
//
// The products it adds (numbers starting with "BENCH") are removed again at the end.

#include "BenchSupport.h"
#include "SyntheticShop.h"
#include "core/DbConnection.h"
#include "core/ui/ListWindow.h"
#include "masterdata/ProductForm.h"
#include "masterdata/ProductList.h"
#include "masterdata/ui/ProductScreens.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

#include <memory>

using namespace Bench;

namespace {

// The wall-clock and processor times of one kind of run, against its limit.
struct Measure : Timing {
    Measure(const QString& what, double limitMs) : name(what), limit(limitMs) {}

    QString name;
    double limit = 0;

    QString line() const { return lines(name, QStringLiteral(", limit %1 ms").arg(limit)); }
    bool fast() const { return wall.median() < limit; }
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
    if (!readShopArguments(args, QStringLiteral("bench_products FOLDER [--runs N]"), &folder,
                           {{QStringLiteral("--runs"), &runs, 1}}))
        return 2;
    // The benchmark adds and saves products: never beside a running till.
    Shop shop;
    if (!shop.open(QStringLiteral("bench_products"), folder, true))
        return 1;
    DbConnection& db = shop.db();
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
    Measure keys{QStringLiteral("filter keystroke in the window (filter, count, grid painted)"), 50};
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

    // The same keystrokes on the list's logic alone: the filter, the count and the rows a
    // screen shows, without painting them.
    BenchUi ui;
    Measure logicKeys{QStringLiteral("filter keystroke, logic only (filter, count, 40 rows read)"), 50};
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
                        for (int row = 0; row < qMin(40, list.count()); ++row)
                            for (const GridColumn& c : columns)
                                list.rows().text(row, c.field);
                    });
                }
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
          << add.line() << "\n"
          << edit.line() << "\n"
          << save.line() << "\n";
    return open.fast() && keys.fast() && add.fast() ? 0 : 3;
}
