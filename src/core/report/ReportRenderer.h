#pragma once

#include "core/report/ReportData.h"
#include "core/report/ReportLayout.h"

#include <QFont>

class QPagedPaintDevice;
class QPainter;

// Paints a report onto a printer or a PDF writer: lists and vouchers as a ruled table that
// runs over as many pages as it needs (title, header fields and column headings on every page,
// totals and footer after the last row, page numbers at the foot), labels as a grid per sheet.
class ReportRenderer {
public:
    ReportRenderer(const ReportLayout& layout, const ReportData& data);

    // Draws every page on the device, which must not be painting yet. Returns the number of
    // pages, 0 when the device could not be opened for painting.
    int render(QPagedPaintDevice* device);

    // Fills the placeholders of a template from row `row` of `set` (plain {field}), the first
    // row of another connection ({connection.field}) and the page being printed.
    QString expand(const QString& text, const ReportDataSet* set, int row) const;

private:
    int renderTable(QPainter& painter, QPagedPaintDevice* device);
    int renderLabels(QPainter& painter, QPagedPaintDevice* device);
    QFont font(double size = 0, bool bold = false) const;
    // The font made smaller, down to `smallest` of its size, until the text fits the width.
    QFont fitted(QFont font, const QString& text, double width, double smallest = 0.7) const;
    double lineHeight(double size = 0, bool bold = false) const;
    double mm(double millimetres) const { return millimetres * m_dotsPerMm; }
    double textBlockHeight(const QList<ReportText>& lines) const;
    double fieldsHeight(const QList<ReportField>& fields, int columns) const;
    double drawTextLines(QPainter& painter, const QList<ReportText>& lines, double y, double width,
                         const ReportDataSet* set = nullptr);
    double drawFields(QPainter& painter, const QList<ReportField>& fields, int columns, const QString& connection,
                      double y, double width);
    void drawPageNumber(QPainter& painter, double width, double height);

    const ReportLayout& m_layout;
    const ReportData& m_data;
    QPagedPaintDevice* m_device = nullptr;
    double m_dotsPerMm = 1;
    int m_page = 0;
    int m_pages = 0;
};

// A database value as a report prints it: numbers in their shortest form, or with a fixed
// number of decimals when a format such as "0.00" is given.
QString reportValueText(const QVariant& value, const QString& format);
