#pragma once

class QWidget;

// The windows of the product catalogue: the list 商品信息管理 with its add and edit dialogs, the
// price change of its context menu, and the label screen behind its 条码 button.
namespace ProductScreens {

QWidget* openList(QWidget* owner);

} // namespace ProductScreens

void registerProductScreens();
