// Every subsystem registers its windows with the main menu here.

#include "core/ui/CoreScreens.h"
#include "core/ui/Screens.h"
#include "masterdata/ui/CodeTableScreens.h"
#include "masterdata/ui/MemberScreens.h"
#include "reports/ui/ReportScreens.h"
#include "sales/ui/SalesScreens.h"

void registerAllScreens()
{
    registerCoreScreens();
    registerSalesScreens();
    registerMasterDataScreens();
    registerReportScreens();
    registerMemberScreens();
}
