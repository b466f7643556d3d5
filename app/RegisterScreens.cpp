// Every subsystem registers its windows with the main menu here.

#include "accounts/ui/AccountsScreens.h"
#include "admin/ui/AdminScreens.h"
#include "core/ui/CoreScreens.h"
#include "core/ui/Screens.h"
#include "masterdata/ui/CodeTableScreens.h"
#include "masterdata/ui/MemberScreens.h"
#include "masterdata/ui/ProductScreens.h"
#include "reports/ui/ReportScreens.h"
#include "sales/ui/SalesScreens.h"
#include "stock/ui/StockScreens.h"

void registerAllScreens()
{
    registerCoreScreens();
    registerSalesScreens();
    registerMasterDataScreens();
    registerReportScreens();
    registerAdminScreens();
    registerMemberScreens();
    registerProductScreens();
    registerStockScreens();
    registerAccountsScreens();
}
