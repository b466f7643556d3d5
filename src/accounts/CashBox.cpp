#include "accounts/CashBox.h"

#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"

namespace CashBox {

bool read(DbConnection& db, double* amount, QString* error)
{
    Query q(db);
    q.setSql(QStringLiteral("select * from boxje"));
    if (!q.open()) {
        *error = q.lastError();
        return false;
    }
    *amount = q.number(QStringLiteral("je"));
    return true;
}

bool set(DbConnection& db, double before, double amount, const QString& kind, const QString& reason, QString* error)
{
    return db.transaction([&] {
        Query q(db);
        q.setSql(QStringLiteral("update boxje set je=:JE"));
        q.bind(QStringLiteral("JE"), amount);
        if (!q.execute()) {
            *error = q.lastError();
            return false;
        }
        if (q.rowsAffected() == 0) {
            q.setSql(QStringLiteral("insert into boxje(je) values(:JE)"));
            q.bind(QStringLiteral("JE"), amount);
            if (!q.execute()) {
                *error = q.lastError();
                return false;
            }
        }
        q.close();
        q.clear();
        q.add(QStringLiteral("insert into boxjl(sj,rq,czy,lx,yje,xje,yy)"));
        q.add(QStringLiteral("values(:SJ,:RQ,:CZY,:LX,:YJE,:XJE,:YY)"));
        q.bind(QStringLiteral("SJ"), Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        q.bind(QStringLiteral("RQ"), Clock::todayText());
        q.bind(QStringLiteral("CZY"), LoginUser::name());
        q.bind(QStringLiteral("LX"), kind);
        q.bind(QStringLiteral("YJE"), TextUtil::roundTo(before, 4));
        q.bind(QStringLiteral("XJE"), TextUtil::roundTo(amount, 4));
        q.bind(QStringLiteral("YY"), reason);
        if (!q.execute()) {
            *error = q.lastError();
            return false;
        }
        return true;
    });
}

} // namespace CashBox
