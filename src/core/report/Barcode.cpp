#include "core/report/Barcode.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

// zint's vector colour of the bars themselves (the others are colour separations we never ask for).
constexpr int kForeground = -1;

// The digits under the bars: a plain sans face of the size zint gives.
QFont digitFont(const QFont& base, double pixels)
{
    QFont f(base);
    f.setFamilies(QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")} + base.families());
    f.setBold(false);
    f.setPixelSize(qMax(1, int(std::lround(pixels))));
    return f;
}

// Dots of the device per unit of the painter, across.
double dotsPerUnit(const QTransform& toDevice)
{
    const double d = std::hypot(toDevice.m11(), toDevice.m12());
    return d > 0 ? d : 1.0;
}

// A point moved to the nearest whole device dot.
QPointF snapped(const QPointF& p, const QTransform& toDevice)
{
    bool invertible = false;
    const QTransform back = toDevice.inverted(&invertible);
    if (!invertible)
        return p;
    const QPointF d = toDevice.map(p);
    return back.map(QPointF(std::round(d.x()), std::round(d.y())));
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
    // The quiet zones the symbology asks for, and a scale of one drawing unit per module.
    symbol->output_options |= BARCODE_QUIET_ZONES;
    symbol->scale = 0.5f;
    const QByteArray data = m_code.toUtf8();
    int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    if (rc < ZINT_ERROR)
        rc = ZBarcode_Buffer_Vector(symbol.get(), 0);
    if (rc >= ZINT_ERROR || !symbol->vector || symbol->width < 1) {
        m_error = QStringLiteral("无法生成条码：") + QString::fromUtf8(symbol->errtxt);
        return;
    }
    const zint_vector& v = *symbol->vector;
    for (const zint_vector_rect* r = v.rectangles; r; r = r->next) {
        if (r->colour != kForeground)
            continue;
        m_bars << Bar{int(std::lround(r->x)), int(std::lround(r->width)), r->height};
        m_barHeight = m_barHeight > 0 ? qMin(m_barHeight, double(r->height)) : double(r->height);
    }
    for (const zint_vector_string* s = v.strings; s; s = s->next) {
        Text t;
        t.text = QString::fromUtf8(reinterpret_cast<const char*>(s->text), s->length);
        t.x = s->x;
        t.baseline = s->y;
        t.size = s->fsize;
        t.width = s->width;
        t.align = s->halign == 1 ? Qt::AlignLeft : s->halign == 2 ? Qt::AlignRight : Qt::AlignHCenter;
        m_texts << t;
    }
    if (m_bars.isEmpty()) {
        m_error = QStringLiteral("无法生成条码：") + m_code;
        return;
    }
    std::sort(m_bars.begin(), m_bars.end(), [](const Bar& a, const Bar& b) { return a.start < b.start; });
    m_size = QSizeF(v.width, v.height);
    m_modules = symbol->width;
    m_kind = kind;
}

Barcode::Placement Barcode::place(const QRectF& rect, const QTransform& toDevice) const
{
    Placement p;
    if (!isValid() || rect.width() <= 0 || rect.height() <= 0)
        return p;
    const double across = m_size.width();
    const double band = m_size.height() - m_barHeight; // guard descent and digits
    double module = qMin(rect.width() / across, rect.height() * 2.0 / across);
    // A whole number of dots per module: every bar and space keeps its exact proportion on the
    // printer instead of being rounded differently from bar to bar.
    const double dpu = dotsPerUnit(toDevice);
    const double dots = std::floor(module * dpu + 1e-9);
    if (dots >= 1)
        module = dots / dpu;
    const double width = across * module;
    const double height = qMin(rect.height(), width * 0.75);
    p.module = module;
    p.origin = snapped(QPointF(rect.left() + (rect.width() - width) / 2, rect.top() + (rect.height() - height) / 2),
                       toDevice);
    p.barsHeight = qMax(module, height - band * module);
    return p;
}

void Barcode::paint(QPainter& painter, const QRectF& rect, const QFont& font) const
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    if (!isValid()) {
        if (!m_code.isEmpty()) {
            painter.setPen(Qt::black);
            painter.setFont(font);
            painter.drawText(rect, Qt::AlignCenter | Qt::TextWordWrap, m_code);
        }
        painter.restore();
        return;
    }
    const Placement p = place(rect, painter.deviceTransform());
    const double m = p.module;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const Bar& bar : m_bars)
        painter.drawRect(QRectF(p.origin.x() + bar.start * m, p.origin.y(), bar.width * m,
                                p.barsHeight + (bar.height - m_barHeight) * m));

    painter.setPen(Qt::black);
    for (const Text& t : m_texts) {
        QFont f = digitFont(font, t.size * m);
        // A long Code 128 text gets smaller type until it fits the room zint gives it.
        const double room = (t.width > 0 ? t.width : m_size.width()) * m;
        while (f.pixelSize() > 4 && QFontMetricsF(f, painter.device()).horizontalAdvance(t.text) > room)
            f.setPixelSize(f.pixelSize() * 9 / 10);
        painter.setFont(f);
        const double advance = QFontMetricsF(f, painter.device()).horizontalAdvance(t.text);
        double x = p.origin.x() + t.x * m;
        if (t.align & Qt::AlignHCenter)
            x -= advance / 2;
        else if (t.align & Qt::AlignRight)
            x -= advance;
        painter.drawText(QPointF(x, p.origin.y() + p.barsHeight + (t.baseline - m_barHeight) * m), t.text);
    }
    painter.restore();
}
