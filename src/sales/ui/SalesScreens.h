#pragma once

// Registers "商品销售" and "商品销售退货" with the main menu.
void registerSalesScreens();
