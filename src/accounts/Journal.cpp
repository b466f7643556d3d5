#include "accounts/Journal.h"

#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"

namespace Journal {

namespace {

// A supplier's name in the description is cut to the width of ten Chinese characters.
constexpr int kSupplierBytes = 20;

double currency(double value)
{
    return TextUtil::roundTo(value, 4);
}

} // namespace

QString leftGbk(const QString& text, int bytes)
{
    QString out;
    int used = 0;
    for (int i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character.
        const int len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        const int width = TextUtil::gbkLength(ch);
        if (used + width > bytes)
            break;
        out += ch;
        used += width;
        i += len - 1;
    }
    return out;
}

Movement supplierPayment(double amount, const QString& supplier)
{
    Movement m;
    m.neirong = QStringLiteral("入库应付款");
    m.jiaje = 0;
    m.jianje = -amount;
    m.change = -amount;
    m.shuoming = QStringLiteral("付") + leftGbk(supplier, kSupplierBytes);
    return m;
}

Movement supplierRefund(double amount, const QString& supplier)
{
    Movement m;
    m.neirong = QStringLiteral("退货应收款");
    m.jiaje = amount;
    m.jianje = 0;
    m.change = amount;
    m.shuoming = QStringLiteral("收退货") + leftGbk(supplier, kSupplierBytes);
    return m;
}

Movement handover(double amount)
{
    Movement m;
    m.neirong = QStringLiteral("交班营业额");
    m.jiaje = amount;
    m.jianje = 0;
    m.change = amount;
    m.shuoming = QStringLiteral("营业额款");
    return m;
}

bool previousBalance(DbConnection& db, double* balance, QString* error)
{
    // The journal has no key column of its own; its row id grows with every row added, so the
    // highest one is the row added last whatever order a select returns rows in.
    Query q(db);
    q.setSql(QStringLiteral("select ye from xjls order by rowid desc limit 1"));
    if (!q.open()) {
        *error = q.lastError();
        return false;
    }
    *balance = q.isEmpty() ? 0.0 : q.number(QStringLiteral("ye"));
    return true;
}

bool add(DbConnection& db, const Movement& movement, QString* error)
{
    return db.transaction([&] {
        double previous = 0;
        if (!previousBalance(db, &previous, error))
            return false;
        Query q(db);
        q.add(QStringLiteral("insert into xjls(sj,rq,neirong,jiaje,jianje,ye,shuoming,czy)"));
        q.add(QStringLiteral("values(:SJ,:RQ,:NEIRONG,:JIAJE,:JIANJE,:YE,:SHUOMING,:CZY)"));
        q.bind(QStringLiteral("SJ"), Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        q.bind(QStringLiteral("RQ"), Clock::todayText());
        q.bind(QStringLiteral("NEIRONG"), movement.neirong);
        q.bind(QStringLiteral("JIAJE"), currency(movement.jiaje));
        q.bind(QStringLiteral("JIANJE"), currency(movement.jianje));
        q.bind(QStringLiteral("YE"), currency(previous + currency(movement.change)));
        q.bind(QStringLiteral("SHUOMING"), movement.shuoming);
        q.bind(QStringLiteral("CZY"), LoginUser::name());
        if (!q.execute()) {
            *error = q.lastError();
            return false;
        }
        return true;
    });
}

} // namespace Journal
