#include "core/ui/ChartPanel.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QImage>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<double> barValues(QBarSet* set)
{
    QList<double> values;
    for (int i = 0; i < set->count(); ++i)
        values << set->at(i);
    return values;
}

// How many pixels of a picture are neither white nor nearly white.
int inkedPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 200)
                ++n;
    return n;
}

} // namespace

// The chart beside a query grid, drawn with Qt Charts from the logic's figures.
class ChartPanelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void horizontalBarsBestOnTop()
    {
        ChartData data;
        data.kind = ChartData::Kind::HorizontalBar;
        data.title = QStringLiteral("销售数量前20名");
        data.categories = {QStringLiteral("可乐"), QStringLiteral("雪碧"), QStringLiteral("矿泉水")};
        data.series = {{QStringLiteral("销售数量"), {9, 5, 2.5}}};
        ChartPanel panel;
        panel.setData(data);
        QChart* chart = panel.chart();
        QCOMPARE(chart->title(), data.title);
        QCOMPARE(chart->series().size(), 1);
        auto* bars = qobject_cast<QHorizontalBarSeries*>(chart->series().first());
        QVERIFY(bars);
        QCOMPARE(bars->barSets().size(), 1);
        // Qt draws the first category at the bottom: the figures go in reversed.
        QCOMPARE(barValues(bars->barSets().first()), (QList<double>{2.5, 5, 9}));
        auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).first());
        QVERIFY(axis);
        QCOMPARE(axis->categories(),
                 (QStringList{QStringLiteral("矿泉水"), QStringLiteral("雪碧"), QStringLiteral("可乐")}));
    }

    void stackedBarsOneSetPerSeriesFirstOnTop()
    {
        ChartData data;
        data.kind = ChartData::Kind::StackedBar;
        data.categories = {QStringLiteral("收"), QStringLiteral("支"), QStringLiteral("利润")};
        data.series = {{QStringLiteral("收入"), {10, 0, 0}},
                       {QStringLiteral("支出"), {0, 4, 0}},
                       {QStringLiteral("利润"), {0, 0, -2}}};
        ChartPanel panel;
        panel.setData(data);
        auto* bars = qobject_cast<QHorizontalStackedBarSeries*>(panel.chart()->series().first());
        QVERIFY(bars);
        QCOMPARE(bars->barSets().size(), 3);
        QCOMPARE(bars->barSets().at(0)->label(), QStringLiteral("收入"));
        // The first category on top, as with plain bars.
        QCOMPARE(barValues(bars->barSets().at(2)), (QList<double>{-2, 0, 0}));
    }

    void linesOverDays()
    {
        ChartData data;
        data.kind = ChartData::Kind::Line;
        data.categories = {QStringLiteral("2024-03-01"), QStringLiteral("2024-03-02"), QStringLiteral("2024-03-03")};
        data.series = {{QStringLiteral("销售金额"), {7, 0, 2}}, {QStringLiteral("销售利润"), {2, 0, 0.75}}};
        ChartPanel panel;
        panel.setData(data);
        const auto series = panel.chart()->series();
        QCOMPARE(series.size(), 2);
        auto* profit = qobject_cast<QLineSeries*>(series.at(1));
        QVERIFY(profit);
        QCOMPARE(profit->name(), QStringLiteral("销售利润"));
        QCOMPARE(profit->count(), 3);
        QCOMPARE(profit->at(2).y(), 0.75);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(qint64(profit->at(2).x())).date(), QDate(2024, 3, 3));
        QVERIFY(qobject_cast<QDateTimeAxis*>(panel.chart()->axes(Qt::Horizontal).first()));
    }

    void newFiguresReplaceTheOld()
    {
        ChartData data;
        data.kind = ChartData::Kind::StackedBar;
        data.categories = {QStringLiteral("甲")};
        data.series = {{QStringLiteral("收入"), {1}}};
        ChartPanel panel;
        panel.setData(data);
        panel.setData(ChartData{});
        QVERIFY(panel.chart()->series().isEmpty());
        QVERIFY(panel.data().isEmpty());
    }

    void savedAsPng()
    {
        ChartData data;
        data.kind = ChartData::Kind::HorizontalBar;
        data.title = QStringLiteral("销售数量前20名");
        data.categories = {QStringLiteral("可乐"), QStringLiteral("雪碧")};
        data.series = {{QStringLiteral("销售数量"), {9, 5}}};
        ChartPanel panel;
        panel.setData(data);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("图表.png"));
        QString error;
        QVERIFY2(panel.savePng(file, &error), qPrintable(error));
        QImage saved(file);
        QCOMPARE(saved.size(), QSize(1200, 750));
        // Bars, axes and text were drawn, not an empty sheet.
        QVERIFY(inkedPixels(saved) > 5000);

        QVERIFY(!panel.savePng(dir.filePath(QStringLiteral("没有的文件夹/图表.png")), &error));
        QVERIFY(error.contains(QStringLiteral("无法保存图片")));
    }
};

QTEST_MAIN(ChartPanelTest)
#include "tst_chartpanel.moc"
