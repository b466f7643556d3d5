#include "stock/ui/StockScreens.h"

#include "core/ui/ListWindow.h"
#include "core/ui/RecordDialog.h"
#include "core/ui/Screens.h"
#include "stock/Stocktaking.h"
#include "stock/ui/GoodsVoucherWindow.h"

namespace StockScreens {

QWidget* openStocktaking(QWidget* owner)
{
    // The standard tool bar without 新增 and 删除: stock rows come and go with the products.
    QList<ListButton> buttons;
    for (const ListButton& b : ListWindow::standardButtons(true))
        if (b.name != QLatin1String("add") && b.name != QLatin1String("delete"))
            buttons << b;
    auto* window = new ListWindow(
        [](Ui& ui) { return std::make_unique<RecordList>(Stocktaking::list(), ui); }, buttons, owner);
    window->setEditAction([window](const QString& key) {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<StockCount>(ui); }, key, window);
    });
    return window;
}

} // namespace StockScreens

void registerStockScreens()
{
    for (const GoodsKind* kind : {&GoodsKind::stockIn(), &GoodsKind::supplierReturn(), &GoodsKind::scrap()})
        Screens::add(kind->screenForm,
                     [kind](QWidget* owner) -> QWidget* { return new GoodsVoucherWindow(*kind, owner); });
    Screens::add(Stocktaking::list().formName, &StockScreens::openStocktaking);
}
