#pragma once

// The windows of accounts and cash, registered with the main menu.
void registerAccountsScreens();
