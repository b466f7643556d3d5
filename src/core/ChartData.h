#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A picture beside a query grid, as plain figures: the logic computes them, the window draws
// them with Qt Charts. Every series has one value per category, in the categories' order.
struct ChartSeries {
    QString name;
    QList<double> values;
};

struct ChartData {
    enum class Kind {
        None,          // the screen has no chart
        HorizontalBar, // one bar per category, the first category at the top
        StackedBar,    // the same, each series in a colour of its own; a series at 0 there adds nothing
        Line,          // one line per series over the categories (days)
    };

    Kind kind = Kind::None;
    QString title;
    QString valueTitle; // the axis of the values
    QStringList categories;
    QList<ChartSeries> series;

    bool isEmpty() const { return categories.isEmpty(); }
    // The values of a series by name (empty when there is none).
    QList<double> values(const QString& seriesName) const
    {
        for (const ChartSeries& s : series)
            if (s.name == seriesName)
                return s.values;
        return {};
    }
};
