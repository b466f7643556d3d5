#pragma once

#include <QByteArray>
#include <QString>

// Text helpers shared by the screens: GBK widths for receipts, number forms for fields.
namespace TextUtil {

// The text in GBK, the code page of receipts and of every printed width.
QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);
// Bytes the text takes in GBK (a Chinese character counts 2).
int gbkLength(const QString& text);

// The shortest decimal form of a number, up to 15 significant digits: 3, 2.5, 87.5, -2.5.
QString shortestNumber(double value);

// A fixed number of decimals, rounding half away from zero on the shortest decimal form
// (so 2.25 gives "2.3" and 1.005 gives "1.01", as a person reading the number expects).
QString formatFixed(double value, int decimals);
inline QString money(double value)
{
    return formatFixed(value, 2);
}

// Rounds to the given decimals the same way formatFixed does.
double roundTo(double value, int decimals);

// Reads a number typed into a field: blanks around it are allowed, the decimal point is ".".
// An empty text or any other text is not a number.
bool toNumber(const QString& text, double* value);

} // namespace TextUtil
