#include "core/print/GridPrint.h"

#include "core/DbConnection.h"
#include "core/Ui.h"
#include "core/report/ReportLayout.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScreen>

namespace GridPrint {

namespace {

QFont printFont(int points, bool bold = false)
{
    QFont f;
    f.setFamilies(fontFamilies());
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

int screenResolution()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return qMax(1, qRound(screen->logicalDotsPerInchX()));
    return 96;
}

} // namespace

QStringList fontFamilies()
{
    return printFontFamilies(QStringLiteral("宋体"));
}

GridPrintResult printTo(QPagedPaintDevice* printer, const QString& title, const GridColumns& allColumns, Query& query,
                        int screenDpi, const ExtraPage& extraPage)
{
    GridPrintResult result;
    const GridColumns columns = visibleColumns(allColumns);
    printer->setPageOrientation(QPageLayout::Landscape);
    // The page is the printable area; the 1 cm margins below are measured from it.
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(printer)) {
        result.error = QStringLiteral("打印机无法开始打印");
        return result;
    }
    GridPrintLayout& l = result.layout;
    const int dpiX = printer->logicalDpiX();
    const int dpiY = printer->logicalDpiY();
    l.mx = int(dpiX / 2.54);
    l.my = int(dpiY / 2.54);
    l.scale = int(double(dpiX) / (screenDpi > 0 ? screenDpi : screenResolution()) + 0.5);
    l.pageWidth = printer->width();
    l.pageHeight = printer->height();
    const QFont small = printFont(9);
    l.rowH = QFontMetrics(small, printer).height() + 16;

    const QFont titleFont = printFont(16, true);
    const QFontMetrics titleMetrics(titleFont, printer);
    l.titleLeft = qRound((l.pageWidth - titleMetrics.horizontalAdvance(title)) / 2.0);
    l.titleTop = 2 * l.my;
    l.tableTop = 3 * l.my;
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(l.titleLeft, l.titleTop + titleMetrics.ascent()), title);

    result.pages = 1;
    result.ok = true;
    const QFont cellFont = printFont(10);
    painter.setFont(cellFont);
    if (!query.isOpen() || query.isEmpty()) {
        painter.end();
        return result;
    }

    QPen pen(Qt::black);
    pen.setWidth(qMax(1, dpiX / 300));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int ascent = QFontMetrics(cellFont, printer).ascent();
    int y = l.tableTop;
    bool captionLine = false;
    query.first();
    while (!query.eof()) {
        GridPrintLine line{result.pages, y, captionLine ? -1 : query.position(), 0};
        int x = l.mx;
        for (const GridColumn& c : columns) {
            const int width = c.width * l.scale;
            if (x + width <= l.pageWidth - l.mx) {
                painter.drawRect(x, y, width, l.rowH);
                const QString text = captionLine ? c.caption : c.display(query.value(c.field));
                // Text stays inside its cell rather than running over the next one.
                painter.save();
                painter.setClipRect(x, y, width, l.rowH + l.rowH / 2);
                painter.drawText(QPoint(x + 8, y + 8 + ascent), text);
                painter.restore();
                ++line.columns;
            }
            x += width;
        }
        result.lines << line;
        if (!captionLine)
            query.next();
        y += l.rowH;
        captionLine = false;
        // A new page only when rows remain, so the print never ends on an empty sheet.
        if (l.pageHeight - l.my < y + l.rowH && !query.eof()) {
            printer->newPage();
            ++result.pages;
            y = l.my;
            captionLine = true;
        }
    }
    if (extraPage) {
        printer->newPage();
        ++result.pages;
        painter.save();
        extraPage(painter, QRect(l.mx, l.my, l.pageWidth - 2 * l.mx, l.pageHeight - 2 * l.my));
        painter.restore();
    }
    painter.end();
    query.first();
    return result;
}

bool print(Ui& ui, const QString& title, const GridColumns& columns, Query& query, int screenDpi,
           const ExtraPage& extraPage)
{
    QString error;
    const Ui::PrintOutcome outcome = ui.printDirect(
        title,
        [&](QPagedPaintDevice* device) {
            const GridPrintResult result = printTo(device, title, columns, query, screenDpi, extraPage);
            return result.ok ? QString() : result.error;
        },
        &error);
    if (outcome == Ui::PrintOutcome::Cancelled)
        return false;
    if (outcome == Ui::PrintOutcome::Failed) {
        ui.showError(error);
        return false;
    }
    if (query.isOpen() && !query.isEmpty())
        ui.messageBox(QStringLiteral("查询结果打印"), QStringLiteral("打印完成"), Ui::Icon::None);
    return true;
}

} // namespace GridPrint
