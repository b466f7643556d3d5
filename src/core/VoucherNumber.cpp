#include "core/VoucherNumber.h"

#include "core/DbConnection.h"

namespace VoucherNumber {

Kind sale()
{
    return {QStringLiteral("XS01"), QStringLiteral("xiaoshoud")};
}

Kind salesReturn()
{
    return {QStringLiteral("XT01"), QStringLiteral("xiaoshoudth")};
}

Kind stockIn()
{
    return {QStringLiteral("RK01"), QStringLiteral("jinhuodan")};
}

Kind supplierReturn()
{
    return {QStringLiteral("TH01"), QStringLiteral("jinhuodanth")};
}

Kind scrap()
{
    return {QStringLiteral("BF01"), QStringLiteral("jinhuodanbf")};
}

Kind kindOf(const QString& prefix)
{
    for (const Kind& k : {sale(), salesReturn(), stockIn(), supplierReturn(), scrap()}) {
        if (k.prefix == prefix)
            return k;
    }
    return {};
}

QString datePart(const QString& dateText)
{
    return dateText.mid(0, 4) + dateText.mid(5, 2) + dateText.mid(8, 2);
}

QString sequenceText(int n)
{
    if (n < 1 || n > 9999)
        return QString();
    return QString::number(n).rightJustified(4, QLatin1Char('0'));
}

namespace {

// The sequence after the one in characters 13–16 of `last`, or an error.
Result following(const Kind& kind, const QString& date8, const QString& last)
{
    const QString seq = last.mid(12, 4);
    bool digits = seq.size() == 4;
    for (QChar c : seq)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits)
        return {QString(), QStringLiteral("单据编号“%1”的末四位不是数字，无法生成新的单据编号").arg(last)};
    const int n = seq.toInt() + 1;
    if (n > 9999)
        return {QString(), QStringLiteral("今天的单据已达9999张，不能再开新单据")};
    return {kind.prefix + date8 + sequenceText(n), QString()};
}

} // namespace

Result qdjh(DbConnection& db, const Kind& kind, const QString& dateText)
{
    const QString date8 = datePart(dateText);
    Query q(db);
    q.close();
    q.clear();
    // The header inserted last of that day; ID follows the order of insertion.
    q.add(QStringLiteral("select * from %1 where mid(djbh,5,8)=:DJBH order by ID").arg(kind.headerTable));
    q.bind(QStringLiteral("DJBH"), date8);
    if (!q.open())
        return {QString(), q.lastError()};
    if (q.recordCount() == 0)
        return {kind.prefix + date8 + sequenceText(1), QString()};
    q.last();
    return following(kind, date8, q.text(QStringLiteral("djbh")));
}

Result nextAfterPosting(DbConnection& db, const Kind& kind, const QString& dateText)
{
    const QString date8 = datePart(dateText);
    Query q(db);
    q.close();
    q.clear();
    q.add(QStringLiteral("select max(djbh) as djbh from %1 where rq=:RQ").arg(kind.headerTable));
    q.bind(QStringLiteral("RQ"), dateText);
    if (!q.open())
        return {QString(), q.lastError()};
    const QString last = q.text(QStringLiteral("djbh"));
    if (last.isEmpty())
        return {kind.prefix + date8 + sequenceText(1), QString()};
    return following(kind, date8, last);
}

} // namespace VoucherNumber
