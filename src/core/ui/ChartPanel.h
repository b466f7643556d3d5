#pragma once

#include "core/ChartData.h"

#include <QWidget>

class QChart;
class QChartView;
class QPainter;
class QRectF;

// The chart beside a query grid: draws the figures the logic computed with Qt Charts, and
// hands the same picture to the printer or to a PNG file.
class ChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChartPanel(QWidget* parent = nullptr);

    // Draws new figures (an empty set leaves the axes empty under the title).
    void setData(const ChartData& data);
    const ChartData& data() const { return m_data; }
    QChart* chart() const;
    QChartView* view() const { return m_view; }

    // The picture at a size of its own (for a printed page or a file), not the one on screen.
    void paint(QPainter& painter, const QRectF& target) const;
    QImage image(const QSize& size) const;
    // Writes the picture as PNG; false with the reason in `error`.
    bool savePng(const QString& file, QString* error) const;

    // Builds a chart of the figures; the caller owns it.
    static QChart* buildChart(const ChartData& data);

private:
    ChartData m_data;
    QChartView* m_view = nullptr;
};
