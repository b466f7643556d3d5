#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <Qt>

// One column of a grid as a screen declares it, once: the on-screen grid, grid printing and the
// spreadsheet export all read the same description.
struct GridColumn {
    enum class Format {
        Text,   // the value as it is stored
        Number, // the shortest decimal form: 3, 2.5
        Money,  // two decimals: 3.00
        Hidden, // read by the screen, never shown, printed or exported
    };

    QString field;   // column of the query
    QString caption; // grid caption, print caption, spreadsheet heading
    int width = 90;  // on screen, in pixels at 96 dpi
    Format format = Format::Text;
    // Left for text, right for figures unless a screen says otherwise.
    Qt::Alignment alignment = {};

    bool visible() const { return format != Format::Hidden; }
    Qt::Alignment effectiveAlignment() const;
    // The text a cell shows for a value of this column.
    QString display(const QVariant& value) const;
};

using GridColumns = QList<GridColumn>;

// The visible columns of a list, in order.
GridColumns visibleColumns(const GridColumns& columns);
