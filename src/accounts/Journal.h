#pragma once

#include <QString>

class DbConnection;

// The cash journal xjls: one row per movement of the shop's cash outside the till, each with
// the balance after it. Every writer (supplier payments and refunds, the shift handover) adds
// its row through add(), so the balance rule lives here only.
namespace Journal {

// One movement as its writer describes it.
struct Movement {
    QString neirong;  // "入库应付款", "退货应收款", "交班营业额"
    double jiaje = 0;  // amount added
    double jianje = 0; // amount taken away, as the writer stores it (payments negative)
    double change = 0; // signed effect on the balance
    QString shuoming;
};

// A payment to a supplier: jianje −amount, the balance falls by it.
Movement supplierPayment(double amount, const QString& supplier);
// Money a supplier pays back for returned goods: jiaje +amount, the balance rises by it.
Movement supplierRefund(double amount, const QString& supplier);
// The till's takings handed over at the end of a shift.
Movement handover(double amount);

// The balance after the most recently added row (the highest row id), 0 for an empty journal.
bool previousBalance(DbConnection& db, double* balance, QString* error);

// Adds the movement's row: now, today, the balance after the previous row plus the change, the
// operator who logged in. Amounts are kept to four decimals. Runs inside the caller's
// transaction when there is one.
bool add(DbConnection& db, const Movement& movement, QString* error);

// The first `bytes` bytes of the text in GBK, never ending in half a Chinese character.
QString leftGbk(const QString& text, int bytes);

} // namespace Journal
