#pragma once

#include "core/GridColumn.h"

#include <QList>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class QRect;
class Query;
class Ui;

// The figures of a grid print, in printer dots.
struct GridPrintLayout {
    int mx = 0;    // left and right margin: dots per centimetre across
    int my = 0;    // top and bottom margin: dots per centimetre down
    int scale = 1; // screen pixels to printer dots
    int rowH = 0;  // one table line: the title's height in 9-point type + 16
    int pageWidth = 0;
    int pageHeight = 0;
    int titleLeft = 0; // the title centred across the page
    int titleTop = 0;  // 2 × my
    int tableTop = 0;  // 3 × my
};

// One printed table line, for checking a print.
struct GridPrintLine {
    int page = 1; // from 1
    int y = 0;
    int row = -1;    // the query row printed, -1 for a caption line
    int columns = 0; // cells drawn
};

struct GridPrintResult {
    bool ok = false;
    QString error;
    int pages = 0;
    GridPrintLayout layout;
    QList<GridPrintLine> lines;
};

// Prints the rows of a query grid directly as a ruled table: landscape, the title centred in
// 16-point bold, 10-point cells of the screen's column widths (columns that do not fit across
// the page are left out), column captions at the top of the second and later pages.
namespace GridPrint {

// The Song face of the printouts, with a CJK serif standing in where it is not installed.
QStringList fontFamilies();

// A page drawn after the rows (a chart beside the grid): it gets the painter and the page inside
// the 1 cm margins.
using ExtraPage = std::function<void(QPainter& painter, const QRect& area)>;

// Prints onto a device that is not printing yet (a system printer or a PDF file). The columns
// carry their widths on screen; hidden ones are left out. An unopened or empty query prints the
// title only. The query is moved back to its first row. screenDpi 0 takes the screen's own.
// `extraPage`, when given, adds one page after the rows of a query that has rows.
GridPrintResult printTo(QPagedPaintDevice* printer, const QString& title, const GridColumns& columns, Query& query,
                        int screenDpi = 0, const ExtraPage& extraPage = {});

// The "打印" command: prints on the system's default printer, or, where the system has no
// printer, offers to save the print as a PDF file. Ends with "打印完成" when rows were printed;
// a printer that fails is reported as an error. Returns whether anything was printed.
bool print(Ui& ui, const QString& title, const GridColumns& columns, Query& query, int screenDpi = 0,
           const ExtraPage& extraPage = {});

} // namespace GridPrint
