#include "core/TextUtil.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>

namespace TextUtil {

QByteArray toGbk(const QString& text)
{
    QStringEncoder enc("GBK");
    if (!enc.isValid())
        return text.toLocal8Bit();
    return enc.encode(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder dec("GBK");
    if (!dec.isValid())
        return QString::fromLocal8Bit(bytes);
    return dec.decode(bytes);
}

int gbkLength(const QString& text)
{
    return int(toGbk(text).size());
}

QString shortestNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        // Plain digits for the magnitudes a shop meets; exponent form only beyond them.
        const double mag = std::fabs(value);
        if (mag >= 1e-5 && mag < 1e15) {
            s = QString::number(value, 'f', 15);
            if (s.contains(QLatin1Char('.'))) {
                while (s.endsWith(QLatin1Char('0')))
                    s.chop(1);
                if (s.endsWith(QLatin1Char('.')))
                    s.chop(1);
            }
        }
    }
    return s;
}

namespace {

// Rounds the decimal text "digits" (no sign, may hold a point) to n decimals, half up.
QString roundDecimalText(const QString& text, int decimals)
{
    QString intPart = text;
    QString frac;
    const int dot = int(text.indexOf(QLatin1Char('.')));
    if (dot >= 0) {
        intPart = text.left(dot);
        frac = text.mid(dot + 1);
    }
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    bool roundUp = frac.size() > decimals && frac[decimals] >= QLatin1Char('5');
    frac = frac.left(decimals).leftJustified(decimals, QLatin1Char('0'));
    QString digits = intPart + frac;
    if (roundUp) {
        int i = int(digits.size()) - 1;
        while (i >= 0) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
                --i;
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
    }
    const int intLen = int(digits.size()) - decimals;
    QString out = digits.left(intLen);
    if (decimals > 0)
        out += QLatin1Char('.') + digits.mid(intLen);
    return out;
}

} // namespace

QString formatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString s = QString::number(std::fabs(value), 'g', 15);
    if (s.contains(QLatin1Char('e')))
        s = QString::number(std::fabs(value), 'f', 15);
    QString out = roundDecimalText(s, decimals);
    bool allZero = true;
    for (QChar c : out) {
        if (c != QLatin1Char('0') && c != QLatin1Char('.'))
            allZero = false;
    }
    if (value < 0 && !allZero)
        out.prepend(QLatin1Char('-'));
    return out;
}

double roundTo(double value, int decimals)
{
    return formatFixed(value, decimals).toDouble();
}

bool toNumber(const QString& text, double* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    if (value)
        *value = d;
    return true;
}

} // namespace TextUtil
