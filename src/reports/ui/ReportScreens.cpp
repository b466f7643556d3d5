#include "reports/ui/ReportScreens.h"

#include "core/ui/QueryScreenWindow.h"
#include "core/ui/Screens.h"
#include "reports/SalesReport.h"

void registerReportScreens()
{
    for (const ReportKind* kind : ReportKind::all()) {
        Screens::add(kind->spec.formName, [kind](QWidget* owner) -> QWidget* {
            return new QueryScreenWindow(
                [kind](Ui& ui) -> std::unique_ptr<QueryScreen> { return std::make_unique<SalesReport>(*kind, ui); },
                owner);
        });
    }
}
