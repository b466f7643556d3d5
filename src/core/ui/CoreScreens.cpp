#include "core/ui/CoreScreens.h"

#include "core/ui/AboutDialog.h"
#include "core/ui/Screens.h"

void registerCoreScreens()
{
    Screens::add(QStringLiteral("Tabout_form"), [](QWidget* owner) { return new AboutDialog(owner); });
}
