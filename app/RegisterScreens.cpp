// Every subsystem registers its windows with the main menu here.

#include "accounts/ui/AccountsScreens.h"
#include "core/ui/CoreScreens.h"
#include "core/ui/Screens.h"
#include "masterdata/ui/CodeTableScreens.h"
#include "reports/ui/ReportScreens.h"
#include "sales/ui/SalesScreens.h"
#include "stock/ui/StockScreens.h"

void registerAllScreens()
{
    registerCoreScreens();
    registerSalesScreens();
    registerMasterDataScreens();
    registerReportScreens();
    registerStockScreens();
    registerAccountsScreens();
}
