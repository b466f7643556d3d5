#pragma once

#include "schema/Setup.h"

#include <QChar>
#include <QString>

// Product numbers, barcodes and pinyin codes of the synthetic shop, shared by the generator
// and the benchmarks so a benchmark can scan any product by its code.
namespace SyntheticShop {

inline QString productNumber(int i)
{
    return QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
}

// EAN-13 with the Chinese prefix 69.
inline QString barcode(int i)
{
    const QString twelve = QStringLiteral("69%1").arg(i, 10, 10, QLatin1Char('0'));
    return twelve + QString::number(Setup::ean13CheckDigit(twelve));
}

// Letters only, so the pinyin lookup finds it: SPAAAB, SPAAAC, ...
inline QString pinyinCode(int i)
{
    QString s;
    int n = i;
    for (int k = 0; k < 4; ++k) {
        s.prepend(QChar('A' + n % 26));
        n /= 26;
    }
    return QStringLiteral("SP") + s;
}

} // namespace SyntheticShop
