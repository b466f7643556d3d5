// Times the product catalogue on a synthetic shop made by make_shop: the product list opening
// and painting its first rows, a keystroke in its filter field, and adding a product through the
// add dialog's logic (product row and stock row, committed). Prints medians.
//
//   bench_products FOLDER [--runs N]
//
// The products it adds (numbers starting with "BENCH") are removed again at the end.

#include "SyntheticShop.h"
#include "core/DbConnection.h"
#include "core/Ui.h"
#include "core/ui/ListWindow.h"
#include "masterdata/ProductForm.h"
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
#include <memory>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

// Answers nothing; whatever the dialog shows is collected for the report.
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
    QString line(const QString& name, double limit) const
    {
        return QStringLiteral("%1: median %2 ms, 90% %3 ms, max %4 ms (%5 runs; limit %6 ms: %7)")
            .arg(name)
            .arg(at(0.5), 0, 'f', 2)
            .arg(at(0.9), 0, 'f', 2)
            .arg(at(1.0), 0, 'f', 2)
            .arg(ms.size())
            .arg(limit)
            .arg(at(0.5) < limit ? QStringLiteral("ok") : QStringLiteral("TOO SLOW"));
    }
};

double elapsedMs(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

// Paints the grid's visible rows now, as the first frame on screen would.
void paintNow(QTableView* grid)
{
    QCoreApplication::processEvents();
    grid->viewport()->repaint();
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
    Stats open;
    std::unique_ptr<ListWindow> window;
    for (int i = 0; i < runs; ++i) {
        window.reset();
        QElapsedTimer t;
        t.start();
        window.reset(static_cast<ListWindow*>(ProductScreens::openList(nullptr)));
        window->resize(1280, 760);
        window->show();
        paintNow(window->grid());
        open.ms << elapsedMs(t);
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
    Stats keys;
    for (int round = 0; round < qMax(1, runs / 10); ++round) {
        for (const QString& word : words) {
            for (int n = 1; n <= word.size(); ++n) {
                QElapsedTimer t;
                t.start();
                filter->setText(word.left(n));
                // Down in the filter field applies the filter at once (no typing pause) and
                // moves in the grid.
                QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
                QCoreApplication::sendEvent(filter, &down);
                paintNow(window->grid());
                keys.ms << elapsedMs(t);
            }
            filter->clear();
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(filter, &down);
        }
    }
    window.reset();

    // Adding products through the add dialog's logic, each committed with its stock row.
    BenchUi ui;
    Stats add;
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
            QElapsedTimer t;
            t.start();
            const bool saved = form.confirm();
            add.ms << elapsedMs(t);
            if (!saved) {
                out() << "bench_products: adding failed: " << ui.shown.join(QStringLiteral("; ")) << "\n";
                return 1;
            }
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

    out() << open.line(QStringLiteral("product list opens and paints its first rows"), 300) << "\n";
    out() << keys.line(QStringLiteral("filter keystroke (filter, count, first rows painted)"), 50) << "\n";
    out() << add.line(QStringLiteral("add a product (checks, product and stock rows, commit)"), 20) << "\n";
    const bool fast = open.at(0.5) < 300 && keys.at(0.5) < 50 && add.at(0.5) < 20;
    return fast ? 0 : 3;
}
