// Times the member screens on a synthetic shop made by make_shop (20,000 members): the member
// list window opening until its first rows are painted, each keystroke in its filter field
// until the grid is painted again, the 查找 by mobile and by card number, and the edit dialog
// opening on a member. Runs offscreen; prints medians.
//
//   bench_members FOLDER [--runs N]
//
// Reads only; the shop is left as it was.

#include "BenchSupport.h"
#include "core/DbConnection.h"
#include "core/ui/ListWindow.h"
#include "masterdata/Members.h"
#include "masterdata/ui/MemberScreens.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

#include <memory>

using namespace Bench;

namespace {

// "(N runs; goal under L ms)" after the figures of a step with a goal.
QString goal(const Stats& stats, const QString& name, double limit)
{
    return stats.line(name, 2, QStringLiteral("; goal under %1 ms").arg(limit));
}

// One keystroke in the filter field: the character typed, then the arrow key that makes the
// list apply the filter at once instead of after its typing pause, and the grid painted.
void keystroke(QLineEdit* filter, QTableView* grid, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(filter, &press);
    QKeyEvent apply(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(filter, &apply);
    grid->viewport()->repaint();
}

// The offscreen platform's note on every window shown says nothing about the figures.
QtMessageHandler g_standardHandler = nullptr;
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.contains(QLatin1String("propagateSizeHints")) && g_standardHandler)
        g_standardHandler(type, context, text);
}

} // namespace

int main(int argc, char** argv)
{
    g_standardHandler = qInstallMessageHandler(quietOffscreen);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        out() << "usage: bench_members FOLDER [--runs N]\n";
        return 2;
    }
    const QString folder = QFileInfo(args.at(1)).absoluteFilePath();
    int runs = 20;
    const qsizetype r = args.indexOf(QStringLiteral("--runs"));
    if (r > 0 && r + 1 < args.size())
        runs = qMax(1, args.at(r + 1).toInt());
    if (!QFileInfo::exists(QDir(folder).filePath(QStringLiteral("pos.mdb")))) {
        out() << "bench_members: no pos.mdb in " << folder << " (make it with make_shop)\n";
        return 2;
    }
    int members = 0;
    {
        // It only reads: it may run beside a till.
        Shop shop;
        if (!shop.open(QStringLiteral("bench_members"), folder, false))
            return 2;
        Query q(shop.db());
        q.setSql(QStringLiteral("select count(*) as n from hyinfo"));
        if (q.open())
            members = q.integer(QStringLiteral("n"));
    }
    out() << "bench_members: " << folder << ", " << members << " members\n";
    bool failed = false;

    // The list window: made, shown and painted with its first rows.
    Stats open;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        std::unique_ptr<QWidget> window(MemberScreens::openList(nullptr));
        auto* list = static_cast<ListWindow*>(window.get());
        list->resize(1280, 760);
        list->show();
        list->repaint();
        const QString first = list->grid()->model()->index(0, 0).data().toString();
        open.ms << elapsedMs(t);
        if (first.isEmpty() && members > 0)
            failed = true;
    }
    out() << goal(open, QStringLiteral("member list opens, first rows painted"), 200) << "\n";

    // Keystrokes in the filter field: a name, a mobile number and a card number typed one
    // character at a time, then rubbed out again to the whole list.
    Stats keys;
    {
        std::unique_ptr<QWidget> window(MemberScreens::openList(nullptr));
        auto* list = static_cast<ListWindow*>(window.get());
        list->resize(1280, 760);
        list->show();
        list->repaint();
        auto* filter = list->findChild<QLineEdit*>(QStringLiteral("filter"));
        if (!filter) {
            out() << "bench_members: the member list has no filter field\n";
            return 1;
        }
        for (const QString& word : {QStringLiteral("会员1234"), QStringLiteral("13900012345"),
                                    QStringLiteral("880000019999"), QStringLiteral("zz")}) {
            for (const QChar c : word) {
                QElapsedTimer t;
                t.start();
                keystroke(filter, list->grid(), Qt::Key_unknown, QString(c));
                keys.ms << elapsedMs(t);
            }
            for (qsizetype n = word.size(); n > 0; --n) {
                QElapsedTimer t;
                t.start();
                keystroke(filter, list->grid(), Qt::Key_Backspace, QString());
                keys.ms << elapsedMs(t);
            }
        }
        if (!filter->text().isEmpty() || list->logic().count() != members)
            failed = true;
    }
    out() << goal(keys, QStringLiteral("filter keystroke, grid painted"), 50) << "\n";

    // 查找 on the whole list, by mobile number and by card number.
    Stats search;
    {
        BenchUi ui;
        ui.confirmAnswer = false;
        MemberList list(ui);
        if (!list.create())
            return 1;
        for (int i = 0; i < runs; ++i) {
            const int n = 1 + (i * 7919) % qMax(1, members);
            ui.answers << QStringLiteral("139%1").arg(n, 8, 10, QLatin1Char('0'))
                       << QStringLiteral("8800%1").arg(n, 8, 10, QLatin1Char('0'));
            for (int k = 0; k < 2; ++k) {
                QElapsedTimer t;
                t.start();
                if (!list.search())
                    failed = true;
                search.ms << elapsedMs(t);
            }
        }
        if (!ui.shown.isEmpty())
            out() << "bench_members: the search said " << ui.shown.join(QStringLiteral(" / ")) << "\n";
    }
    out() << goal(search, QStringLiteral("查找 by mobile or card"), 50) << "\n";

    // The edit dialog reads every member to browse them, and stands on the one asked for.
    Stats edit;
    for (int i = 0; i < qMin(runs, 10); ++i) {
        BenchUi ui;
        ui.confirmAnswer = false;
        MemberForm form(RecordForm::Mode::Edit, ui);
        QElapsedTimer t;
        t.start();
        if (!form.create(QStringLiteral("8800%1").arg(members / 2, 8, 10, QLatin1Char('0'))))
            failed = true;
        edit.ms << elapsedMs(t);
    }
    out() << goal(edit, QStringLiteral("edit dialog's rows read"), 200) << "\n";

    if (failed) {
        out() << "bench_members: a step did not give the expected rows\n";
        return 1;
    }
    const bool fast = open.at(0.5) < 200 && keys.at(0.5) < 50;
    return fast ? 0 : 3;
}
