#pragma once

#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

// The layout a report file describes (docs/reports.md has the file format). Lengths are in
// millimetres, type sizes in points. Texts are templates: "{field}" is a value of the section's
// data connection, "{connection.field}" the first row of another, "{page}", "{pages}",
// "{today}" and "{now}" are filled in while printing; "{jine:0.00}" gives two decimals.
struct ReportText {
    QString text;
    double size = 0; // 0: the report's type size
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft;
};

// "label: value" pairs of a header or footer, laid out in a grid of `columns` columns.
struct ReportField {
    QString label;
    QString value;
};

struct ReportColumn {
    QString caption;
    QString value;
    double share = 1; // part of the table width
    Qt::Alignment align = Qt::AlignLeft;
    QString sumField; // the field summed in the totals row; empty: no sum
    QString sumFormat;
};

struct ReportLabelItem {
    enum class Kind { Text, Barcode };
    Kind kind = Kind::Text;
    QRectF rect; // inside the label
    ReportText text;
};

struct ReportLayout {
    // [report]
    QPageSize pageSize{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{15, 12, 15, 12};
    QString font = QStringLiteral("宋体");
    double fontSize = 10;
    QString pageNumber = QStringLiteral("第 {page} 页  共 {pages} 页");

    // [title]
    QList<ReportText> title;

    // [header]
    QString headerConnection;
    int headerColumns = 3;
    QList<ReportField> headerFields;

    // [table]
    QString tableConnection;
    QList<ReportColumn> columns;
    double rowHeight = 0;  // 0: from the type size
    QString numberCaption; // a running number column when not empty
    double numberShare = 0.5;
    QString totalsCaption; // a totals row when not empty

    // [footer]
    QString footerConnection;
    int footerColumns = 3;
    QList<ReportField> footerFields;
    QList<ReportText> footerLines;

    // [labels]
    QString labelConnection;
    int labelColumns = 0;
    int labelRows = 0;
    QSizeF labelSize;
    QSizeF labelGap;
    bool labelBorder = true;
    QList<ReportLabelItem> labelItems;

    bool hasTable() const { return !columns.isEmpty(); }
    bool hasLabels() const { return !labelItems.isEmpty(); }
    QPageLayout pageLayout() const;
    // Every data connection the layout reads, in the order first used.
    QStringList connections() const;

    // Reads a report file's text. On a fault returns false and sets error to a message that
    // names the line.
    static bool parse(const QString& text, ReportLayout* layout, QString* error);
};

// The font families tried for report and list printing, the shop's Song face first.
QStringList printFontFamilies(const QString& preferred = QStringLiteral("宋体"));
