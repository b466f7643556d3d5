#include "masterdata/ui/ProductScreens.h"

#include "core/ui/ListWindow.h"
#include "core/ui/RecordDialog.h"
#include "core/ui/Screens.h"
#include "masterdata/ProductForm.h"
#include "masterdata/ProductList.h"
#include "masterdata/ui/LabelScreen.h"

#include <QAction>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

namespace {

// The standard tool bar with the product list's hints, 刷新 before 打印, and 条码 after it.
QList<ListButton> productButtons()
{
    const QHash<QString, QString> hints{
        {QStringLiteral("add"), QStringLiteral("新增商品")},
        {QStringLiteral("delete"), QStringLiteral("删除所选择的商品")},
        {QStringLiteral("edit"), QStringLiteral("修改所选择的商品")},
        {QStringLiteral("print"), QStringLiteral("打印商品信息")},
        {QStringLiteral("first"), QStringLiteral("记录移到首")},
        {QStringLiteral("prior"), QStringLiteral("记录后退一条")},
        {QStringLiteral("next"), QStringLiteral("记录前进一条")},
        {QStringLiteral("last"), QStringLiteral("记录移到末")},
        {QStringLiteral("close"), QStringLiteral("关闭窗口退出当前")},
    };
    QList<ListButton> standard = ListWindow::standardButtons(true);
    QList<ListButton> buttons;
    ListButton print;
    for (ListButton b : standard) {
        b.hint = hints.value(b.name);
        if (b.name == QLatin1String("print")) {
            print = b;
            continue;
        }
        buttons << b;
        if (b.name == QLatin1String("refresh"))
            buttons << print << ListButton{QStringLiteral("labels"), QStringLiteral("条码"), QString(), {}};
    }
    return buttons;
}

} // namespace

namespace ProductScreens {

QWidget* openList(QWidget* owner)
{
    auto* window = new ListWindow([](Ui& ui) { return std::make_unique<ProductList>(ui); }, productButtons(), owner);
    window->setAddAction([window] {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<ProductForm>(RecordForm::Mode::Add, ui); }, QString(),
                           window);
    });
    window->setEditAction([window](const QString& key) {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<ProductForm>(RecordForm::Mode::Edit, ui); }, key,
                           window);
    });
    if (QToolButton* labels = window->button(QStringLiteral("labels"))) {
        labels->setIcon(window->style()->standardIcon(QStyle::SP_FileDialogListView));
        QObject::connect(labels, &QToolButton::clicked, window, [window] { LabelScreen::exec(window); });
    }

    // The grid's context menu: the price change of the current product.
    QTableView* grid = window->grid();
    auto* price = new QAction(QStringLiteral("当前商品调价"), grid);
    price->setObjectName(QStringLiteral("priceChange"));
    QObject::connect(price, &QAction::triggered, window, [window] {
        window->run([window] { static_cast<ProductList&>(window->logic()).changePrice(); });
    });
    grid->addAction(price);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    return window;
}

} // namespace ProductScreens

void registerProductScreens()
{
    Screens::add(QStringLiteral("Tspxx_form"), [](QWidget* owner) -> QWidget* { return ProductScreens::openList(owner); });
}
