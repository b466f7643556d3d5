#include "core/report/ReportRenderer.h"

#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/TextUtil.h"
#include "core/report/Barcode.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>

#include <cmath>

namespace {

const QColor kRule(Qt::black);
const QColor kHeading(0xe6, 0xe6, 0xe6);
const QColor kCutGuide(0xa0, 0xa0, 0xa0);

int decimalsOf(const QString& format)
{
    const int dot = format.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : int(format.size()) - dot - 1;
}

} // namespace

QString reportValueText(const QVariant& value, const QString& format)
{
    if (format.trimmed().isEmpty())
        return Query::variantText(value);
    double number = 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int ||
        value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::UInt ||
        value.typeId() == QMetaType::ULongLong)
        number = value.toDouble();
    else if (!TextUtil::toNumber(Query::variantText(value), &number))
        return Query::variantText(value);
    return TextUtil::formatFixed(number, decimalsOf(format.trimmed()));
}

ReportRenderer::ReportRenderer(const ReportLayout& layout, const ReportData& data) : m_layout(layout), m_data(data) {}

QString ReportRenderer::expand(const QString& text, const ReportDataSet* set, int row) const
{
    static const QRegularExpression re(QStringLiteral("\\{([^{}]*)\\}"));
    QString out;
    qsizetype last = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString inner = m.captured(1);
        const QString name = inner.section(QLatin1Char(':'), 0, 0).trimmed();
        const QString format = inner.section(QLatin1Char(':'), 1);
        const QString lower = name.toLower();
        if (lower == QLatin1String("page"))
            out += QString::number(m_page);
        else if (lower == QLatin1String("pages"))
            out += QString::number(m_pages);
        else if (lower == QLatin1String("today"))
            out += Clock::todayText();
        else if (lower == QLatin1String("now"))
            out += Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
        else if (name.contains(QLatin1Char('.')))
            out += reportValueText(
                m_data.get(name.section(QLatin1Char('.'), 0, 0)).value(0, name.section(QLatin1Char('.'), 1)), format);
        else if (set)
            out += reportValueText(set->value(row, name), format);
    }
    out += text.mid(last);
    return out;
}

QFont ReportRenderer::font(double size, bool bold) const
{
    QFont f;
    f.setFamilies(printFontFamilies(m_layout.font));
    f.setPointSizeF(size > 0 ? size : m_layout.fontSize);
    f.setBold(bold);
    return f;
}

QFont ReportRenderer::fitted(QFont f, const QString& text, double width, double smallest) const
{
    const double full = f.pointSizeF();
    for (int step = 0; full * (1 - step * 0.05) >= full * smallest - 1e-9; ++step) {
        f.setPointSizeF(full * (1 - step * 0.05));
        if (QFontMetricsF(f, m_device).horizontalAdvance(text) <= width)
            break;
    }
    return f;
}

double ReportRenderer::lineHeight(double size, bool bold) const
{
    return QFontMetricsF(font(size, bold), m_device).height();
}

double ReportRenderer::textBlockHeight(const QList<ReportText>& lines) const
{
    double h = 0;
    for (const ReportText& t : lines)
        h += lineHeight(t.size, t.bold) * 1.3;
    return h;
}

double ReportRenderer::fieldsHeight(const QList<ReportField>& fields, int columns) const
{
    if (fields.isEmpty())
        return 0;
    const int rows = int((fields.size() + columns - 1) / columns);
    return rows * lineHeight() * 1.5;
}

double ReportRenderer::drawTextLines(QPainter& painter, const QList<ReportText>& lines, double y, double width,
                                     const ReportDataSet* set)
{
    for (const ReportText& t : lines) {
        const double h = lineHeight(t.size, t.bold) * 1.3;
        painter.setFont(font(t.size, t.bold));
        const QString text = expand(t.text, set, 0);
        painter.drawText(QRectF(0, y, width, h), t.align | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(text, Qt::ElideRight, int(width)));
        y += h;
    }
    return y;
}

double ReportRenderer::drawFields(QPainter& painter, const QList<ReportField>& fields, int columns,
                                  const QString& connection, double y, double width)
{
    if (fields.isEmpty())
        return y;
    const ReportDataSet* set = connection.isEmpty() ? nullptr : &m_data.get(connection);
    const double cellW = width / columns;
    const double h = lineHeight() * 1.5;
    painter.setFont(font());
    for (int i = 0; i < fields.size(); ++i) {
        const QRectF cell((i % columns) * cellW, y + (i / columns) * h, cellW - mm(2), h);
        const QString label = expand(fields.at(i).label, set, 0);
        const QString text =
            (label.isEmpty() ? QString() : label + QStringLiteral("：")) + expand(fields.at(i).value, set, 0);
        // A long value (a voucher number beside its label) gets slightly smaller type before
        // anything is cut off.
        painter.setFont(fitted(font(), text, cell.width()));
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(text, Qt::ElideRight, int(cell.width())));
    }
    painter.setFont(font());
    return y + fieldsHeight(fields, columns);
}

void ReportRenderer::drawPageNumber(QPainter& painter, double width, double height)
{
    if (m_layout.pageNumber.isEmpty())
        return;
    painter.setFont(font(m_layout.fontSize * 0.9));
    const double h = lineHeight(m_layout.fontSize * 0.9) * 1.2;
    painter.drawText(QRectF(0, height - h, width, h), Qt::AlignHCenter | Qt::AlignBottom,
                     expand(m_layout.pageNumber, nullptr, 0));
}

int ReportRenderer::render(QPagedPaintDevice* device)
{
    m_device = device;
    QPainter painter;
    if (!painter.begin(device))
        return 0;
    m_dotsPerMm = device->logicalDpiX() / 25.4;
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int pages = m_layout.hasLabels() ? renderLabels(painter, device) : renderTable(painter, device);
    painter.end();
    return pages;
}

int ReportRenderer::renderTable(QPainter& painter, QPagedPaintDevice* device)
{
    const double width = device->width();
    const double height = device->height();
    const ReportDataSet& set = m_data.get(m_layout.tableConnection);
    const int rows = set.rowCount();

    const double rowH = m_layout.rowHeight > 0 ? mm(m_layout.rowHeight) : lineHeight() * 1.8;
    const double gap = mm(2);
    const double top = textBlockHeight(m_layout.title) + (m_layout.title.isEmpty() ? 0 : gap) +
                       fieldsHeight(m_layout.headerFields, m_layout.headerColumns) +
                       (m_layout.headerFields.isEmpty() ? 0 : gap);
    const double bottom = m_layout.pageNumber.isEmpty() ? 0 : lineHeight(m_layout.fontSize * 0.9) * 1.2 + gap;
    const double totalsH = m_layout.totalsCaption.isEmpty() ? 0 : rowH;
    const double footerH = fieldsHeight(m_layout.footerFields, m_layout.footerColumns) +
                           textBlockHeight(m_layout.footerLines) +
                           (m_layout.footerFields.isEmpty() && m_layout.footerLines.isEmpty() ? 0 : mm(4));
    const double available = height - top - rowH - bottom;
    const int perPage = qMax(1, int(std::floor(available / rowH)));
    // Rows per page. When the totals and the footer do not fit under the last rows, the last
    // page hands its final row over to a new page, so the totals never stand alone.
    QList<int> pageRows;
    for (int left = rows; left > 0; left -= perPage)
        pageRows << qMin(left, perPage);
    if (pageRows.isEmpty())
        pageRows << 0;
    if (pageRows.last() * rowH + totalsH + footerH > available) {
        const int fit = qMax(1, int(std::floor((available - totalsH - footerH) / rowH)));
        const int carried = pageRows.last() > 0 ? qMax(1, pageRows.last() - fit) : 0;
        pageRows.last() -= carried;
        pageRows << carried;
    }
    m_pages = int(pageRows.size());

    // Column edges across the page width, the running number first.
    double shares = m_layout.numberCaption.isEmpty() ? 0 : m_layout.numberShare;
    for (const ReportColumn& c : m_layout.columns)
        shares += c.share;
    QList<double> edges{0};
    if (!m_layout.numberCaption.isEmpty())
        edges << width * m_layout.numberShare / shares;
    for (const ReportColumn& c : m_layout.columns)
        edges << edges.last() + width * c.share / shares;
    const int numberOffset = m_layout.numberCaption.isEmpty() ? 0 : 1;
    const double pad = mm(1.2);

    QPen rule(kRule);
    rule.setWidthF(mm(0.2));
    QPen frame(kRule);
    frame.setWidthF(mm(0.4));

    // An amount cut short would print a wrong figure: a long cell text gets smaller type first.
    auto cellText = [&](int col, double y, const QString& text, Qt::Alignment align) {
        const QRectF r(edges.at(col) + pad, y, edges.at(col + 1) - edges.at(col) - 2 * pad, rowH);
        const QFont cellFont = painter.font();
        painter.setFont(fitted(cellFont, text, r.width(), 0.5));
        painter.drawText(r, align | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(text, Qt::ElideRight, int(r.width())));
        painter.setFont(cellFont);
    };
    auto rules = [&](double y0, double y1) {
        painter.setPen(rule);
        for (double y = y0 + rowH; y < y1 - 1; y += rowH)
            painter.drawLine(QPointF(0, y), QPointF(width, y));
        for (int i = 1; i + 1 < edges.size(); ++i)
            painter.drawLine(QPointF(edges.at(i), y0), QPointF(edges.at(i), y1));
        painter.setPen(frame);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(0, y0, width, y1 - y0));
    };

    int row = 0;
    for (m_page = 1; m_page <= m_pages; ++m_page) {
        if (m_page > 1)
            device->newPage();
        painter.setPen(Qt::black);
        double y = drawTextLines(painter, m_layout.title, 0, width);
        if (!m_layout.title.isEmpty())
            y += gap;
        y = drawFields(painter, m_layout.headerFields, m_layout.headerColumns, m_layout.headerConnection, y, width);
        if (!m_layout.headerFields.isEmpty())
            y += gap;

        const double tableTop = y;
        painter.fillRect(QRectF(0, y, width, rowH), kHeading);
        painter.setPen(Qt::black);
        painter.setFont(font(0, true));
        if (numberOffset)
            cellText(0, y, m_layout.numberCaption, Qt::AlignHCenter);
        for (int c = 0; c < m_layout.columns.size(); ++c)
            cellText(c + numberOffset, y, m_layout.columns.at(c).caption, Qt::AlignHCenter);
        y += rowH;

        painter.setFont(font());
        const int end = qMin(rows, row + pageRows.at(m_page - 1));
        for (; row < end; ++row, y += rowH) {
            if (numberOffset)
                cellText(0, y, QString::number(row + 1), Qt::AlignHCenter);
            for (int c = 0; c < m_layout.columns.size(); ++c)
                cellText(c + numberOffset, y, expand(m_layout.columns.at(c).value, &set, row),
                         m_layout.columns.at(c).align);
        }
        const bool last = m_page == m_pages;
        if (last && totalsH > 0) {
            painter.setFont(font(0, true));
            cellText(0, y, m_layout.totalsCaption, Qt::AlignHCenter);
            for (int c = 0; c < m_layout.columns.size(); ++c) {
                const ReportColumn& col = m_layout.columns.at(c);
                if (col.sumField.isEmpty())
                    continue;
                double sum = 0;
                for (int r = 0; r < rows; ++r)
                    sum += Query::variantNumber(set.value(r, col.sumField));
                cellText(c + numberOffset, y, reportValueText(sum, col.sumFormat), col.align);
            }
            y += rowH;
        }
        rules(tableTop, y);
        painter.setPen(Qt::black);
        if (last) {
            y += mm(4);
            y = drawFields(painter, m_layout.footerFields, m_layout.footerColumns, m_layout.footerConnection, y, width);
            drawTextLines(painter, m_layout.footerLines, y, width,
                          m_layout.footerConnection.isEmpty() ? nullptr : &m_data.get(m_layout.footerConnection));
        }
        drawPageNumber(painter, width, height);
    }
    return m_pages;
}

int ReportRenderer::renderLabels(QPainter& painter, QPagedPaintDevice* device)
{
    const double width = device->width();
    const double height = device->height();
    const ReportDataSet& set = m_data.get(m_layout.labelConnection);
    const double top = textBlockHeight(m_layout.title) + (m_layout.title.isEmpty() ? 0 : mm(2));
    const double bottom = m_layout.pageNumber.isEmpty() ? 0 : lineHeight(m_layout.fontSize * 0.9) * 1.2 + mm(2);
    const QSizeF size(mm(m_layout.labelSize.width()), mm(m_layout.labelSize.height()));
    const QSizeF gap(mm(m_layout.labelGap.width()), mm(m_layout.labelGap.height()));
    // A grid larger than the paper keeps to the labels that fit, so none is cut off.
    // Half a millimetre of slack for the rounding of the page's margins to whole dots.
    const double slack = mm(0.5);
    const int columns =
        qBound(1, int((width + gap.width() + slack) / (size.width() + gap.width())), m_layout.labelColumns);
    const int rows = qBound(1, int((height - top - bottom + gap.height() + slack) / (size.height() + gap.height())),
                            m_layout.labelRows > 0 ? m_layout.labelRows : 1000);
    const int perPage = columns * rows;
    m_pages = qMax(1, (set.rowCount() + perPage - 1) / perPage);

    QPen guide(kCutGuide);
    guide.setWidthF(mm(0.15));
    for (m_page = 1; m_page <= m_pages; ++m_page) {
        if (m_page > 1)
            device->newPage();
        painter.setPen(Qt::black);
        drawTextLines(painter, m_layout.title, 0, width);
        for (int i = 0; i < perPage; ++i) {
            const int row = (m_page - 1) * perPage + i;
            if (row >= set.rowCount())
                break;
            const QPointF origin((i % columns) * (size.width() + gap.width()),
                                 top + (i / columns) * (size.height() + gap.height()));
            if (m_layout.labelBorder) {
                painter.setPen(guide);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRectF(origin, size));
            }
            for (const ReportLabelItem& item : m_layout.labelItems) {
                const QRectF r(origin.x() + mm(item.rect.x()), origin.y() + mm(item.rect.y()), mm(item.rect.width()),
                               mm(item.rect.height()));
                const QString text = expand(item.text.text, &set, row);
                if (item.kind == ReportLabelItem::Kind::Barcode) {
                    Barcode(text).paint(painter, r, font());
                    continue;
                }
                painter.setPen(Qt::black);
                const QFont full = font(item.text.size, item.text.bold);
                const QFontMetricsF fm(full, device);
                if (fm.horizontalAdvance(text) > r.width() && r.height() >= 2 * fm.height()) {
                    painter.setFont(full);
                    painter.drawText(r, item.text.align | Qt::AlignVCenter | Qt::TextWordWrap, text);
                    continue;
                }
                // One line: a price cut to "￥15.…" would mislead, so the type gets smaller first.
                painter.setFont(fitted(full, text, r.width(), 0.5));
                painter.drawText(r, item.text.align | Qt::AlignVCenter,
                                 QFontMetricsF(painter.font(), device).elidedText(text, Qt::ElideRight, r.width()));
            }
        }
        painter.setPen(Qt::black);
        drawPageNumber(painter, width, height);
    }
    return m_pages;
}
