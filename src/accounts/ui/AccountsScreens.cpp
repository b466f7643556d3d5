#include "accounts/ui/AccountsScreens.h"

#include "accounts/ui/SettlementWindow.h"
#include "accounts/ui/ShiftHandoverWindow.h"
#include "core/ui/Screens.h"

void registerAccountsScreens()
{
    for (const SettlementKind* kind : {&SettlementKind::payables(), &SettlementKind::receivables()})
        Screens::add(kind->screenForm,
                     [kind](QWidget* owner) -> QWidget* { return new SettlementWindow(*kind, owner); });
    Screens::add(QStringLiteral("Tjbjs_form"),
                 [](QWidget* owner) -> QWidget* { return new ShiftHandoverWindow(owner); });
}
