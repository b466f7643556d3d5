#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <Qt>

class QPainter;

// Barcodes for labels: EAN-13 for a 13-digit code whose check digit is right, Code 128 for
// anything else. zint encodes the code and lays the symbol out (bars, guard bars, quiet zones and
// where the digits go); the label draws that layout as filled rectangles, with the module width
// snapped to whole dots of the printer, so every bar is exactly as wide as the code says.
class Barcode {
public:
    enum class Kind { None, Ean13, Code128 };

    // One dark bar as zint lays it out, in modules: `start` from the left edge of the drawing
    // (quiet zone included), `height` from its top; a guard bar is taller than the others.
    struct Bar {
        int start = 0;
        int width = 0;
        double height = 0;
        bool operator==(const Bar& other) const = default;
    };

    // A group of digits under the bars as zint places it, in modules: `x` is where the text
    // starts, is centred or ends (after `align`), `baseline` from the top of the drawing, `size`
    // the type size and `width` the room zint leaves for it.
    struct Text {
        QString text;
        double x = 0;
        double baseline = 0;
        double size = 0;
        double width = 0;
        Qt::Alignment align = Qt::AlignHCenter;
    };

    // Where a drawing goes in a rectangle: the module width in the painter's units (a whole
    // number of device dots when the rectangle allows one), the top-left corner of the drawing
    // (on a dot boundary) and the height of the ordinary bars.
    struct Placement {
        double module = 0;
        QPointF origin;
        double barsHeight = 0;
    };

    // Encodes the code; an empty code or one the symbology cannot carry gives Kind::None
    // with the reason in error().
    explicit Barcode(const QString& code);

    Kind kind() const { return m_kind; }
    bool isValid() const { return m_kind != Kind::None; }
    QString code() const { return m_code; }
    QString error() const { return m_error; }
    // Width of the symbol without quiet zones, in modules.
    int modules() const { return m_modules; }
    // The whole drawing (quiet zones and digits included), in modules.
    QSizeF size() const { return m_size; }
    // Height of the ordinary bars, in modules; guard bars reach further down.
    double barHeight() const { return m_barHeight; }
    const QList<Bar>& bars() const { return m_bars; }
    const QList<Text>& texts() const { return m_texts; }

    // The drawing scaled into rect and centred in it: no wider than twice its height (scanners
    // are made for such sizes), the module a whole number of device dots (`toDevice` maps the
    // painter's units to dots), the bars stretched to the height left above the digits.
    Placement place(const QRectF& rect, const QTransform& toDevice) const;

    // Draws the symbol with its digits. A code that cannot be encoded is written as plain text
    // instead, so the label still tells the product.
    void paint(QPainter& painter, const QRectF& rect, const QFont& font) const;

    static bool isEan13(const QString& code);

private:
    QString m_code;
    Kind m_kind = Kind::None;
    QString m_error;
    int m_modules = 0;
    QSizeF m_size;
    double m_barHeight = 0;
    QList<Bar> m_bars;
    QList<Text> m_texts;
};
