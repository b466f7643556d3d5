// Every subsystem registers its windows with the main menu here.

#include "core/ui/Screens.h"

void registerAllScreens()
{
}
