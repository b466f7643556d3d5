#pragma once

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// Barcodes for labels: EAN-13 for a 13-digit code whose check digit is right, Code 128 for
// anything else. The bars are drawn as filled rectangles, so they stay sharp in print and PDF.
class Barcode {
public:
    enum class Kind { None, Ean13, Code128 };

    // One dark bar, in modules from the left edge of the symbol.
    struct Bar {
        int start = 0;
        int width = 0;
        bool operator==(const Bar& other) const = default;
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
    const QList<Bar>& bars() const { return m_bars; }

    // Draws the symbol with its digits underneath, scaled into rect and centred in it.
    // A code that cannot be encoded is written as plain text instead, so the label still
    // tells the product.
    void paint(QPainter& painter, const QRectF& rect, const QFont& font) const;

    static bool isEan13(const QString& code);

private:
    void paintEan13(QPainter& painter, const QRectF& rect, const QFont& font) const;
    void paintCode128(QPainter& painter, const QRectF& rect, const QFont& font) const;

    QString m_code;
    Kind m_kind = Kind::None;
    QString m_error;
    int m_modules = 0;
    QList<Bar> m_bars;
};
