#include "core/ui/ChartPanel.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDateTimeAxis>
#include <QDir>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QImageWriter>
#include <QLineSeries>
#include <QPainter>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// One colour per series: the shop's green, red, blue, gold.
const QColor kColours[] = {QColor(0x2e, 0x8b, 0x57), QColor(0xd9, 0x60, 0x3b), QColor(0x2f, 0x6f, 0xb5),
                           QColor(0xe0, 0xa2, 0x1e)};

QColor colour(int i)
{
    return kColours[i % int(std::size(kColours))];
}

// The value axis runs from 0 (or below, for losses) to a little over the largest figure.
QValueAxis* valueAxis(const ChartData& data)
{
    double low = 0, high = 0;
    for (const ChartSeries& s : data.series) {
        for (double v : s.values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low == high)
        high = 1;
    auto* axis = new QValueAxis;
    axis->setRange(low, high + (high - low) * 0.08);
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.10g"));
    axis->setTitleText(data.valueTitle);
    return axis;
}

bool allDates(const QStringList& categories, QList<QDate>* dates)
{
    for (const QString& c : categories) {
        const QDate d = QDate::fromString(c, Qt::ISODate);
        if (!d.isValid())
            return false;
        *dates << d;
    }
    return !categories.isEmpty();
}

// Qt draws a horizontal bar chart's first category at the bottom; `reversed` puts it on top.
void addBars(QChart* chart, QAbstractBarSeries* series, const ChartData& data, bool reversed)
{
    for (int i = 0; i < data.series.size(); ++i) {
        const ChartSeries& s = data.series[i];
        auto* set = new QBarSet(s.name);
        QList<double> values = s.values;
        if (reversed)
            std::reverse(values.begin(), values.end());
        set->append(values);
        set->setColor(colour(i));
        set->setBorderColor(colour(i));
        series->append(set);
    }
    chart->addSeries(series);
    QStringList categories = data.categories;
    if (reversed)
        std::reverse(categories.begin(), categories.end());
    auto* categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    // Twenty names down the side stand closer than a line of text: Qt would cut each to "…".
    categoryAxis->setTruncateLabels(false);
    QValueAxis* values = valueAxis(data);
    const bool horizontal = series->type() == QAbstractSeries::SeriesTypeHorizontalBar ||
                            series->type() == QAbstractSeries::SeriesTypeHorizontalStackedBar;
    chart->addAxis(categoryAxis, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(values);
}

void addLines(QChart* chart, const ChartData& data)
{
    QList<QDate> dates;
    const bool byDate = allDates(data.categories, &dates);
    QList<QLineSeries*> lines;
    for (int i = 0; i < data.series.size(); ++i) {
        const ChartSeries& s = data.series[i];
        auto* line = new QLineSeries;
        line->setName(s.name);
        line->setColor(colour(i));
        line->setPointsVisible(s.values.size() <= 62);
        for (int k = 0; k < s.values.size() && k < data.categories.size(); ++k) {
            const double x = byDate ? double(dates[k].startOfDay().toMSecsSinceEpoch()) : double(k);
            line->append(x, s.values[k]);
        }
        chart->addSeries(line);
        lines << line;
    }
    QAbstractAxis* xAxis = nullptr;
    if (byDate) {
        auto* axis = new QDateTimeAxis;
        // Days within a year read as month and day; a longer range by month.
        const bool withinYear = dates.first().daysTo(dates.last()) < 366;
        axis->setFormat(withinYear ? QStringLiteral("MM-dd") : QStringLiteral("yyyy-MM"));
        axis->setTickCount(std::clamp(int(dates.size()), 2, 6));
        axis->setRange(dates.first().startOfDay(), dates.last().startOfDay());
        xAxis = axis;
    } else {
        auto* axis = new QValueAxis;
        axis->setRange(0, std::max(1, int(data.categories.size()) - 1));
        axis->setLabelFormat(QStringLiteral("%d"));
        xAxis = axis;
    }
    QValueAxis* values = valueAxis(data);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QLineSeries* line : lines) {
        line->attachAxis(xAxis);
        line->attachAxis(values);
    }
}

} // namespace

QChart* ChartPanel::buildChart(const ChartData& data)
{
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(data.title);
    QFont title = chart->titleFont();
    title.setPointSize(title.pointSize() + 2);
    title.setBold(true);
    chart->setTitleFont(title);
    chart->legend()->setVisible(data.series.size() > 1);
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (data.isEmpty())
        return chart;
    switch (data.kind) {
    case ChartData::Kind::HorizontalBar: {
        auto* series = new QHorizontalBarSeries;
        series->setLabelsVisible(true);
        series->setLabelsFormat(QStringLiteral("@value"));
        addBars(chart, series, data, true);
        break;
    }
    case ChartData::Kind::StackedBar:
        addBars(chart, new QHorizontalStackedBarSeries, data, true);
        break;
    case ChartData::Kind::Line:
        addLines(chart, data);
        break;
    case ChartData::Kind::None:
        break;
    }
    return chart;
}

ChartPanel::ChartPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chart"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QChartView(this);
    m_view->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(m_view);
    setData(ChartData{});
}

QChart* ChartPanel::chart() const
{
    return m_view->chart();
}

void ChartPanel::setData(const ChartData& data)
{
    m_data = data;
    QChart* old = m_view->chart();
    m_view->setChart(buildChart(m_data));
    delete old;
}

void ChartPanel::paint(QPainter& painter, const QRectF& target) const
{
    if (target.isEmpty())
        return;
    // Laid out at a screen size of the target's shape, then scaled onto it: the type keeps its
    // proportion to the picture on a printer of any resolution.
    const double height = 600;
    const double width = std::max(400.0, height * target.width() / target.height());
    QGraphicsScene scene;
    QChart* chart = buildChart(m_data);
    scene.addItem(chart);
    chart->setGeometry(0, 0, width, height);
    if (chart->layout())
        chart->layout()->activate();
    scene.setSceneRect(0, 0, width, height);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, QRectF(0, 0, width, height), Qt::KeepAspectRatio);
    painter.restore();
}

QImage ChartPanel::image(const QSize& size) const
{
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return picture;
}

bool ChartPanel::savePng(const QString& file, QString* error) const
{
    QImageWriter writer(file, "png");
    if (writer.write(image(QSize(1200, 750))))
        return true;
    if (error)
        *error = QStringLiteral("无法保存图片 %1：%2").arg(QDir::toNativeSeparators(file), writer.errorString());
    return false;
}
