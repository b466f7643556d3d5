#include "stock/ui/StockScreens.h"

#include "core/ui/ListWindow.h"
#include "core/ui/QueryScreenWindow.h"
#include "core/ui/RecordDialog.h"
#include "core/ui/Screens.h"
#include "stock/StockAlerts.h"
#include "stock/Stocktaking.h"
#include "stock/ui/GoodsVoucherWindow.h"

#include <QHBoxLayout>
#include <QRadioButton>

namespace StockScreens {

QWidget* openStocktaking(QWidget* owner)
{
    // The standard tool bar without 新增 and 删除 (stock rows come and go with the products), and
    // 刷新 before 打印: a count is seen after 刷新, then printed.
    QList<ListButton> buttons;
    ListButton print;
    for (const ListButton& b : ListWindow::standardButtons(true)) {
        if (b.name == QLatin1String("add") || b.name == QLatin1String("delete"))
            continue;
        if (b.name == QLatin1String("print")) {
            print = b;
            continue;
        }
        buttons << b;
        if (b.name == QLatin1String("refresh"))
            buttons << print;
    }
    auto* window =
        new ListWindow([](Ui& ui) { return std::make_unique<RecordList>(Stocktaking::list(), ui); }, buttons, owner);
    window->setEditAction([window](const QString& key) {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<StockCount>(ui); }, key, window);
    });
    return window;
}

QWidget* openStockAlerts(QWidget* owner, Ui* ui)
{
    auto* window = new QueryScreenWindow(
        [](Ui& ui) -> std::unique_ptr<QueryScreen> { return std::make_unique<StockAlerts>(ui); }, owner, ui);
    auto& alerts = static_cast<StockAlerts&>(window->logic());
    auto* lower = new QRadioButton(QStringLiteral("下限"));
    lower->setObjectName(StockAlerts::Xian);
    lower->setChecked(true);
    auto* upper = new QRadioButton(QStringLiteral("上限"));
    upper->setObjectName(StockAlerts::Shang);
    QObject::connect(upper, &QRadioButton::toggled, window, [&alerts](bool on) { alerts.setUpperList(on); });
    auto* choice = new QWidget;
    auto* layout = new QHBoxLayout(choice);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(lower);
    layout->addWidget(upper);
    window->addToolWidget(choice);
    return window;
}

} // namespace StockScreens

void registerStockScreens()
{
    for (const GoodsKind* kind : {&GoodsKind::stockIn(), &GoodsKind::supplierReturn(), &GoodsKind::scrap()})
        Screens::add(kind->screenForm,
                     [kind](QWidget* owner) -> QWidget* { return new GoodsVoucherWindow(*kind, owner); });
    Screens::add(Stocktaking::list().formName, &StockScreens::openStocktaking);
    Screens::add(StockAlerts::screenSpec().formName,
                 [](QWidget* owner) { return StockScreens::openStockAlerts(owner); });
}
