#pragma once

class QWidget;

// The windows of purchasing and stock, registered with the main menu.
void registerStockScreens();

namespace StockScreens {

// The stocktaking list "商品库存盘点"; 修改 opens the count dialog on the current product.
QWidget* openStocktaking(QWidget* owner);

} // namespace StockScreens
