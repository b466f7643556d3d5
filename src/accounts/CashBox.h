#pragma once

#include <QString>

class DbConnection;

// The cash box boxje: the cash the till should hold. Sales and refunds move it at checkout;
// every other change (a handover, an adjustment, initialization) is recorded in boxjl with
// when, who, the amount before and after, and why, so the shop owner can see who changed it.
namespace CashBox {

// The amount in the box; 0 when the box row is missing.
bool read(DbConnection& db, double* amount, QString* error);

// Sets the box to `amount` (creating its row if it is missing) and records the change from
// `before` with its kind ("交班", "调整", "初始化") and reason. Runs inside the caller's
// transaction when there is one.
bool set(DbConnection& db, double before, double amount, const QString& kind, const QString& reason, QString* error);

} // namespace CashBox
