#pragma once

// Registers "商品销售情况表", "商品销售利润表" and "商品销售利润统计" with the main menu.
void registerReportScreens();
