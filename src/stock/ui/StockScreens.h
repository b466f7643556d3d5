#pragma once

class QWidget;
class Ui;

// The windows of purchasing and stock, registered with the main menu.
void registerStockScreens();

namespace StockScreens {

// The stocktaking list "商品库存盘点"; 修改 opens the count dialog on the current product.
QWidget* openStocktaking(QWidget* owner);
// The stock alerts "商品库存表报警", with the radio buttons "下限" and "上限" in the tool bar.
// `ui` answers instead of the window's own dialogs (tests).
QWidget* openStockAlerts(QWidget* owner, Ui* ui = nullptr);

} // namespace StockScreens
