#include "sales/ui/SalesScreens.h"

#include "core/ui/Screens.h"
#include "sales/ui/SalesVoucherWindow.h"

void registerSalesScreens()
{
    Screens::add(QStringLiteral("Tspxs_form"),
                 [](QWidget* owner) -> QWidget* { return new SalesVoucherWindow(SaleKind::sale(), owner); });
    Screens::add(QStringLiteral("Tspxsth_form"),
                 [](QWidget* owner) -> QWidget* { return new SalesVoucherWindow(SaleKind::salesReturn(), owner); });
}
