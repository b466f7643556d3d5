#pragma once

#include <QString>
#include <QStringList>

// Days of trading in a new demonstration shop, so that a shop owner trying the program finds
// sales, stock movements, supplier accounts, handovers and a cash journal to look at. Every
// day is worked through the screens' own logic with the clock set to that day and hour, exactly
// as the cashier and the owner would: goods received on Mondays, sales at the till, the
// evening handover, suppliers paid out of the takings. So everything adds up as it does in a
// shop that really traded. The same shop comes out every time for the same days.
namespace DemoTrading {

constexpr int kMaxDays = 366;

// The change the cashier keeps in the cash box over night (put in on the first morning).
double cashFloat();
// The two products the shop stops reordering: they sell out and stand in the stock alerts.
// 泸州老窖 and 海飞丝洗发水, part of which goes back to its supplier early on.
QStringList slowSellers();

// Trades the `days` days before today (1 … kMaxDays) in the demonstration shop of the program
// folder. While it runs, receipts go to /dev/null and the cash drawer and the spoken amount
// are switched off; the switches, the clock, the logged-in user and the receipt device are put
// back afterwards. False, with the day, the step and the program's own message in `error`, when
// a step fails; what was entered before stays, and the caller throws the shop away.
bool run(int days, QString* error);

} // namespace DemoTrading
