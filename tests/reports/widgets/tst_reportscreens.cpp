#include "core/Clock.h"
#include "core/LoginUser.h"
#include "core/PdfTools.h"
#include "core/ui/ChartPanel.h"
#include "core/ui/MainWindow.h"
#include "core/ui/QueryScreenWindow.h"
#include "core/ui/Screens.h"
#include "reports/ReportsFixture.h"
#include "reports/SalesReport.h"
#include "reports/ui/ReportScreens.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QBarSet>
#include <QChart>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QImage>
#include <QLineSeries>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

const ReportKind* kindOf(const QString& form)
{
    for (const ReportKind* k : ReportKind::all())
        if (k->spec.formName == form)
            return k;
    return nullptr;
}

// The figures a chart draws, per series, in the order the logic gave them.
QList<QList<double>> drawnFigures(QChart* chart)
{
    QList<QList<double>> figures;
    for (QAbstractSeries* s : chart->series()) {
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(s)) {
            // Horizontal bars are handed to Qt last first, so the first stands on top.
            const bool reversed = s->type() == QAbstractSeries::SeriesTypeHorizontalBar ||
                                  s->type() == QAbstractSeries::SeriesTypeHorizontalStackedBar;
            for (QBarSet* set : bars->barSets()) {
                QList<double> values;
                for (int i = 0; i < set->count(); ++i)
                    values << set->at(i);
                if (reversed)
                    std::reverse(values.begin(), values.end());
                figures << values;
            }
        } else if (auto* line = qobject_cast<QLineSeries*>(s)) {
            QList<double> values;
            for (const QPointF& p : line->points())
                values << p.y();
            figures << values;
        }
    }
    return figures;
}

// With POS_SCREENSHOTS naming a folder, each window is saved there as it is looked at.
void shoot(QWidget* w, const QString& name)
{
    const QString folder = qEnvironmentVariable("POS_SCREENSHOTS");
    if (!folder.isEmpty())
        w->window()->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

QList<QList<double>> logicFigures(const ChartData& data)
{
    QList<QList<double>> figures;
    for (const ChartSeries& s : data.series)
        figures << s.values;
    return figures;
}

} // namespace

// The three sales figures screens as the shop owner uses them.
class ReportScreensTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestShop> m_shop;

    std::unique_ptr<QueryScreenWindow> openWindow(const QString& form, ScriptedUi& ui)
    {
        const ReportKind* kind = kindOf(form);
        if (!kind)
            return nullptr;
        auto window = std::make_unique<QueryScreenWindow>(
            [kind](Ui& u) -> std::unique_ptr<QueryScreen> { return std::make_unique<SalesReport>(*kind, u); }, nullptr,
            &ui);
        window->resize(1280, 720);
        window->show();
        return window;
    }

private Q_SLOTS:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(18, 0)));
        m_shop = std::make_unique<TestShop>();
        QVERIFY2(ReportsFixture::smallShop(*m_shop), qPrintable(m_shop->error()));
    }
    void cleanup()
    {
        m_shop.reset();
        Clock::reset();
    }

    void registeredWithTheMenu_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("caption");
        QTest::newRow("profit query") << QStringLiteral("Tspxsly_form") << QStringLiteral("商品销售利润表");
        QTest::newRow("ranking") << QStringLiteral("Tspxsph_form") << QStringLiteral("商品销售情况表");
        QTest::newRow("statement") << QStringLiteral("Tlrtj_form") << QStringLiteral("商品销售利润统计");
    }
    void registeredWithTheMenu()
    {
        QFETCH(QString, form);
        QFETCH(QString, caption);
        registerReportScreens();
        QVERIFY(Screens::has(form));
        std::unique_ptr<QWidget> window(Screens::find(form)(nullptr));
        QVERIFY(qobject_cast<QueryScreenWindow*>(window.get()));
        QCOMPARE(window->objectName(), form);
        QCOMPARE(window->windowTitle(), caption);
    }

    // 数据统计's three items in the main window open their screens, maximised, and 查询 on
    // them lists the shop's figures.
    void menuItemsOpenWorkingScreens()
    {
        registerReportScreens();
        LoginUser::set(QStringLiteral("001"), QStringLiteral("系统管理员"));
        ScriptedUi ui; // the main window's own questions (the missing background picture)
        MainWindow main(&ui);
        main.show();
        main.userLoggedIn();
        const struct {
            const char* item;
            const char* form;
            const char* caption;
            int rows;
        } items[] = {{"商品销售情况查询", "Tspxsph_form", "商品销售情况表", 2},
                     {"商品销售利润查询", "Tspxsly_form", "商品销售利润表", 1},
                     {"利润统计表", "Tlrtj_form", "商品销售利润统计", 1}};
        for (const auto& it : items) {
            const QString form = QString::fromLatin1(it.form);
            QAction* action = main.action(form);
            QVERIFY2(action, it.form);
            QCOMPARE(action->text(), QString::fromUtf8(it.item));
            QVERIFY(action->isEnabled());
            action->trigger();
            QCOMPARE(main.childScreenCount(), 1);
            QMdiSubWindow* sub = main.area()->subWindowList().first();
            QCOMPARE(sub->windowTitle(), QString::fromUtf8(it.caption));
            QVERIFY(sub->isMaximized());
            auto* window = main.findChild<QueryScreenWindow*>(form);
            QVERIFY(window);
            // Today (2024-03-05): a line of 1001 and one of 1003, since deleted from the catalogue.
            window->button(QStringLiteral("ToolButton3"))->click();
            QVERIFY(window->grid()->model());
            QCOMPARE(window->grid()->model()->rowCount(), it.rows);
            window->button(QStringLiteral("ToolButton5"))->click();
            QTRY_COMPARE(main.childScreenCount(), 0);
        }
        // Nothing was said but that the test shop has no background picture.
        for (const QString& said : ui.texts())
            QVERIFY2(said.contains(QStringLiteral("背景图片")), qPrintable(said));
        LoginUser::reset();
    }

    void opensWithTodayAndAnEmptyGrid_data() { registeredWithTheMenu_data(); }
    void opensWithTodayAndAnEmptyGrid()
    {
        QFETCH(QString, form);
        ScriptedUi ui;
        auto window = openWindow(form, ui);
        QVERIFY(window);
        for (const char* name : {"rq1", "rq2"}) {
            auto* date = window->findChild<QDateEdit*>(QLatin1String(name));
            QVERIFY(date);
            QCOMPARE(date->date(), QDate(2024, 3, 5));
            QCOMPARE(date->displayFormat(), QStringLiteral("yyyy-MM-dd"));
        }
        const QStringList buttons{QStringLiteral("ToolButton3"), QStringLiteral("ToolButton10"),
                                  QStringLiteral("ToolButton1"), QStringLiteral("savechart"),
                                  QStringLiteral("ToolButton5")};
        const QStringList texts{QStringLiteral("查询"), QStringLiteral("导出"), QStringLiteral("打印"),
                                QStringLiteral("保存图表"), QStringLiteral("关闭")};
        for (int i = 0; i < buttons.size(); ++i) {
            auto* b = window->findChild<QToolButton*>(buttons[i]);
            QVERIFY2(b, qPrintable(buttons[i]));
            QCOMPARE(b->text(), texts[i]);
            QVERIFY(b->isEnabled());
        }
        QVERIFY(window->findChild<QWidget*>(QStringLiteral("banner")));
        auto* grid = window->findChild<QTableView*>(QStringLiteral("DBGrid1"));
        QVERIFY(grid);
        QVERIFY(!grid->model());
        // Every command that needs a result says so and asks nothing.
        for (const char* name : {"ToolButton10", "ToolButton1", "savechart"})
            window->findChild<QToolButton*>(QLatin1String(name))->click();
        QCOMPARE(ui.texts(),
                 (QStringList{QStringLiteral("请先查询"), QStringLiteral("请先查询"), QStringLiteral("请先查询")}));
        QVERIFY(ui.fileDialogTitles.isEmpty());
        QVERIFY(ui.unexpected.isEmpty());
    }

    // 查询 fills the grid with the captions of the screen and draws the logic's figures.
    void queryFillsGridAndChart_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("chartType");
        QTest::newRow("profit query") << QStringLiteral("Tspxsly_form") << 3
                                      << QStringList{QStringLiteral("日期"),     QStringLiteral("商品名称"),
                                                     QStringLiteral("商品型号"), QStringLiteral("商品规格"),
                                                     QStringLiteral("商品类别"), QStringLiteral("销售数量"),
                                                     QStringLiteral("销售单价"), QStringLiteral("销售金额"),
                                                     QStringLiteral("商品进价"), QStringLiteral("采购金额"),
                                                     QStringLiteral("单价利润"), QStringLiteral("销售利润")}
                                      << QStringLiteral("QLineSeries");
        QTest::newRow("ranking") << QStringLiteral("Tspxsph_form") << 2
                                 << QStringList{QStringLiteral("商品编号"), QStringLiteral("商品名称"),
                                                QStringLiteral("商品型号"), QStringLiteral("商品规格"),
                                                QStringLiteral("商品类别"), QStringLiteral("商品计量"),
                                                QStringLiteral("销售数量")}
                                 << QStringLiteral("QHorizontalBarSeries");
        QTest::newRow("statement") << QStringLiteral("Tlrtj_form") << 1
                                   << QStringList{QStringLiteral("商品销售额"),     QStringLiteral("供应商退货额"),
                                                  QStringLiteral("商品销售退款额"), QStringLiteral("供应商应付额"),
                                                  QStringLiteral("商品损坏金额"),   QStringLiteral("利润")}
                                   << QStringLiteral("QHorizontalStackedBarSeries");
    }
    void queryFillsGridAndChart()
    {
        QFETCH(QString, form);
        QFETCH(int, rows);
        QFETCH(QStringList, captions);
        QFETCH(QString, chartType);
        ScriptedUi ui;
        auto window = openWindow(form, ui);
        QVERIFY(window);
        window->findChild<QDateEdit*>(QStringLiteral("rq1"))->setDate(QDate(2024, 3, 1));
        QCOMPARE(window->logic().text(QueryScreen::Rq1), QStringLiteral("2024-03-01"));
        window->findChild<QToolButton*>(QStringLiteral("ToolButton3"))->click();
        QVERIFY2(ui.shown.isEmpty(), qPrintable(ui.texts().join(QLatin1Char('\n'))));

        auto* grid = window->findChild<QTableView*>(QStringLiteral("DBGrid1"));
        QVERIFY(grid->model());
        QCOMPARE(grid->model()->rowCount(), rows);
        QStringList shown;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            shown << grid->model()->headerData(c, Qt::Horizontal).toString();
            QCOMPARE(grid->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                     Qt::AlignCenter);
        }
        QCOMPARE(shown, captions);

        auto* chart = window->findChild<ChartPanel*>(QStringLiteral("chart"));
        QVERIFY(chart);
        QVERIFY(!chart->chart()->series().isEmpty());
        QCOMPARE(QString::fromLatin1(chart->chart()->series().first()->metaObject()->className()), chartType);
        QCOMPARE(drawnFigures(chart->chart()), logicFigures(window->logic().chart()));
        shoot(window.get(), form);

        // A double click on the grid does nothing.
        const QRect cell = grid->visualRect(grid->model()->index(0, 0));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(grid->model()->rowCount(), rows);
    }

    void chartFollowsEachQuery()
    {
        ScriptedUi ui;
        auto window = openWindow(QStringLiteral("Tspxsph_form"), ui);
        QVERIFY(window);
        auto* rq1 = window->findChild<QDateEdit*>(QStringLiteral("rq1"));
        auto* query = window->findChild<QToolButton*>(QStringLiteral("ToolButton3"));
        auto* chart = window->findChild<ChartPanel*>(QStringLiteral("chart"));
        auto* rq2 = window->findChild<QDateEdit*>(QStringLiteral("rq2"));
        rq1->setDate(QDate(2024, 2, 29));
        rq2->setDate(QDate(2024, 3, 1));
        query->click();
        QCOMPARE(drawnFigures(chart->chart()), (QList<QList<double>>{{3}}));
        QCOMPARE(chart->data().categories, QStringList{QStringLiteral("商品1001")});
        // Both products sold on the later range; the grid and the chart follow.
        rq2->setDate(QDate(2024, 3, 6));
        query->click();
        QCOMPARE(drawnFigures(chart->chart()), (QList<QList<double>>{{6, 5}}));
        QCOMPARE(window->grid()->model()->data(window->grid()->model()->index(1, 6)).toString(), QStringLiteral("5"));
    }

    // A query that fails shows its error while the grid still shows the last result: the grid
    // may repaint behind the message box and must read rows that still exist.
    void gridOutlivesAFailedQuery()
    {
        ScriptedUi ui;
        auto window = openWindow(QStringLiteral("Tspxsph_form"), ui);
        QVERIFY(window);
        window->findChild<QDateEdit*>(QStringLiteral("rq1"))->setDate(QDate(2024, 3, 1));
        window->findChild<QToolButton*>(QStringLiteral("ToolButton3"))->click();
        QAbstractItemModel* shown = window->grid()->model();
        QVERIFY(shown);
        QVERIFY(m_shop->exec(QStringLiteral("drop table spxsph")));
        QVERIFY(!window->logic().query());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
        // What a repaint behind the message box reads.
        QCOMPARE(window->grid()->model(), shown);
        QCOMPARE(shown->data(shown->index(0, 0)).toString(), QStringLiteral("1001"));
        // Then the window shows that nothing was listed.
        window->findChild<QToolButton*>(QStringLiteral("ToolButton3"))->click();
        QVERIFY(!window->grid()->model());
        QVERIFY(window->logic().chart().isEmpty());
    }

    // Enter in 从 moves to 至; Enter in 至 runs 查询.
    void enterWalksTheDatesThenQueries()
    {
        ScriptedUi ui;
        auto window = openWindow(QStringLiteral("Tlrtj_form"), ui);
        QVERIFY(window);
        QApplication::setActiveWindow(window.get());
        auto* rq1 = window->findChild<QDateEdit*>(QStringLiteral("rq1"));
        auto* rq2 = window->findChild<QDateEdit*>(QStringLiteral("rq2"));
        rq1->setFocus();
        QTest::keyClick(rq1, Qt::Key_Return);
        QTRY_VERIFY(rq2->hasFocus());
        QVERIFY(!window->logic().isQueried());
        QTest::keyClick(rq2, Qt::Key_Return);
        QVERIFY(window->logic().isQueried());
        QCOMPARE(window->grid()->model()->rowCount(), 1);
    }

    void exportPrintAndSaveTheChart()
    {
        ScriptedUi ui;
        auto window = openWindow(QStringLiteral("Tspxsly_form"), ui);
        QVERIFY(window);
        window->findChild<QDateEdit*>(QStringLiteral("rq1"))->setDate(QDate(2024, 3, 1));
        window->findChild<QToolButton*>(QStringLiteral("ToolButton3"))->click();
        QTemporaryDir dir;
        const QString book = dir.filePath(QStringLiteral("利润.xlsx"));
        const QString pdf = dir.filePath(QStringLiteral("利润.pdf"));
        const QString png = dir.filePath(QStringLiteral("利润.png"));
        ui.fileNames << book << pdf << png;
        window->findChild<QToolButton*>(QStringLiteral("ToolButton10"))->click();
        window->findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click();
        window->findChild<QToolButton*>(QStringLiteral("savechart"))->click();
        QCOMPARE(ui.texts(),
                 (QStringList{QStringLiteral("导出成功"), QStringLiteral("打印完成"), QStringLiteral("保存成功")}));
        QCOMPARE(ui.fileDialogTitles.first(), QStringLiteral("导出文件"));
        QCOMPARE(ui.fileDialogTitles.last(), QStringLiteral("保存图表"));
        QVERIFY(QFileInfo(book).size() > 0);
        // The table, then the chart with its title and its legend.
        QCOMPARE(PdfTools::pageCount(pdf), 2);
        QVERIFY(PdfTools::pageText(pdf, 1).contains(QStringLiteral("销售利润查询")));
        const QString chartPage = PdfTools::pageText(pdf, 2);
        QVERIFY2(chartPage.contains(QStringLiteral("每日销售金额与销售利润")) &&
                     chartPage.contains(QStringLiteral("销售利润")),
                 qPrintable(chartPage));
        const QImage picture(png);
        QCOMPARE(picture.size(), QSize(1200, 750));
    }

    void closeEndsTheScreen()
    {
        ScriptedUi ui;
        auto window = openWindow(QStringLiteral("Tspxsph_form"), ui);
        QVERIFY(window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<QWidget> guard(window.release());
        guard->findChild<QToolButton*>(QStringLiteral("ToolButton5"))->click();
        QTRY_VERIFY(guard.isNull());
    }
};

QTEST_MAIN(ReportScreensTest)
#include "tst_reportscreens.moc"
