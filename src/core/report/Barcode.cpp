#include "core/report/Barcode.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <zint.h>

#include <memory>

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

bool moduleSet(const zint_symbol* s, int row, int col)
{
    return (s->encoded_data[row][col >> 3] >> (col & 7)) & 1;
}

// The digits under the bars: a plain sans face, sized so that a digit stands `height` tall.
QFont digitFont(const QFont& base, double height, QPaintDevice* device)
{
    QFont f(base);
    f.setFamilies(QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")} + base.families());
    f.setBold(false);
    f.setPixelSize(100);
    const double digit = QFontMetricsF(f, device).tightBoundingRect(QStringLiteral("0123456789")).height();
    f.setPixelSize(qMax(1, int(100 * height / qMax(1.0, digit))));
    return f;
}

// Writes text centred on x with its baseline at y.
void drawCentred(QPainter& painter, double x, double baseline, const QString& text)
{
    const double w = QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
    painter.drawText(QPointF(x - w / 2, baseline), text);
}

} // namespace

bool Barcode::isEan13(const QString& code)
{
    if (code.size() != 13)
        return false;
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        const QChar c = code.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        sum += (c.unicode() - '0') * (i % 2 == 0 ? 1 : 3);
    }
    const QChar check = code.at(12);
    if (check < QLatin1Char('0') || check > QLatin1Char('9'))
        return false;
    return (10 - sum % 10) % 10 == check.unicode() - '0';
}

Barcode::Barcode(const QString& code) : m_code(code.trimmed())
{
    if (m_code.isEmpty()) {
        m_error = QStringLiteral("条码为空");
        return;
    }
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        m_error = QStringLiteral("条码库无法使用");
        return;
    }
    const Kind kind = isEan13(m_code) ? Kind::Ean13 : Kind::Code128;
    symbol->symbology = kind == Kind::Ean13 ? BARCODE_EANX : BARCODE_CODE128;
    symbol->input_mode = UNICODE_MODE;
    const QByteArray data = m_code.toUtf8();
    const int rc =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    if (rc >= ZINT_ERROR || symbol->rows < 1 || symbol->width < 1) {
        m_error = QStringLiteral("无法生成条码：") + QString::fromUtf8(symbol->errtxt);
        return;
    }
    m_kind = kind;
    m_modules = symbol->width;
    for (int x = 0; x < m_modules;) {
        if (!moduleSet(symbol.get(), 0, x)) {
            ++x;
            continue;
        }
        const int start = x;
        while (x < m_modules && moduleSet(symbol.get(), 0, x))
            ++x;
        m_bars << Bar{start, x - start};
    }
}

void Barcode::paint(QPainter& painter, const QRectF& rect, const QFont& font) const
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    switch (m_kind) {
    case Kind::Ean13:
        paintEan13(painter, rect, font);
        break;
    case Kind::Code128:
        paintCode128(painter, rect, font);
        break;
    case Kind::None:
        if (!m_code.isEmpty()) {
            painter.setPen(Qt::black);
            painter.setFont(font);
            painter.drawText(rect, Qt::AlignCenter | Qt::TextWordWrap, m_code);
        }
        break;
    }
    painter.restore();
}

// The usual EAN-13 face: the first digit left of the start guard, six digits under each half,
// the three guard bars reaching down between the digit groups.
void Barcode::paintEan13(QPainter& painter, const QRectF& rect, const QFont& font) const
{
    const int leftQuiet = 11;
    const int rightQuiet = 7;
    const double total = leftQuiet + m_modules + rightQuiet;
    // No wider than twice its height: a wide label field must not stretch the symbol beyond
    // the sizes scanners are made for.
    double module = rect.width() / total;
    module = qMin(module, rect.height() * 2.0 / total);
    const double width = module * total;
    const double left = rect.left() + (rect.width() - width) / 2 + leftQuiet * module;
    const double textHeight = module * 10;
    const double height = qMin(rect.height(), module * total * 0.75);
    const double top = rect.top() + (rect.height() - height) / 2;
    const double barsBottom = top + height - textHeight;
    const double guardBottom = barsBottom + textHeight / 2;

    auto isGuard = [](int start) { return start < 3 || (start >= 45 && start < 50) || start >= 92; };
    for (const Bar& bar : m_bars) {
        const double bottom = isGuard(bar.start) ? guardBottom : barsBottom;
        painter.drawRect(QRectF(left + bar.start * module, top, bar.width * module, bottom - top));
    }

    painter.setPen(Qt::black);
    painter.setFont(digitFont(font, textHeight * 0.7, painter.device()));
    const double baseline = barsBottom + textHeight * 0.8;
    drawCentred(painter, left - module * (leftQuiet / 2.0 + 0.5), baseline, m_code.left(1));
    drawCentred(painter, left + 24 * module, baseline, m_code.mid(1, 6));
    drawCentred(painter, left + 71 * module, baseline, m_code.mid(7, 6));
}

void Barcode::paintCode128(QPainter& painter, const QRectF& rect, const QFont& font) const
{
    const int quiet = 10;
    const double total = m_modules + 2 * quiet;
    const double module = rect.width() / total;
    const double textHeight = qMin(rect.height() * 0.3, qMax(module * 10, rect.height() * 0.2));
    const double barsBottom = rect.bottom() - textHeight;
    const double left = rect.left() + quiet * module;
    for (const Bar& bar : m_bars)
        painter.drawRect(QRectF(left + bar.start * module, rect.top(), bar.width * module, barsBottom - rect.top()));

    painter.setPen(Qt::black);
    QFont f = digitFont(font, textHeight * 0.6, painter.device());
    // Long codes: smaller text until it fits under the bars.
    while (f.pixelSize() > 4 && QFontMetricsF(f, painter.device()).horizontalAdvance(m_code) > rect.width())
        f.setPixelSize(f.pixelSize() * 9 / 10);
    painter.setFont(f);
    drawCentred(painter, rect.center().x(), barsBottom + textHeight * 0.8, m_code);
}
