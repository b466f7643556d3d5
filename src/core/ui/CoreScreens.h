#pragma once

// Registers the screens of the application core with the main menu (the about box).
void registerCoreScreens();
