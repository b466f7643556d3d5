#include "masterdata/ui/MemberScreens.h"

#include "core/ui/ListWindow.h"
#include "core/ui/RecordDialog.h"
#include "core/ui/Screens.h"
#include "masterdata/Members.h"
#include "masterdata/Points.h"
#include "masterdata/ui/PointsDialog.h"

#include <QApplication>
#include <QStyle>

#include <memory>

namespace MemberScreens {

QWidget* openList(QWidget* owner)
{
    // The list's own buttons act on the window, which exists only once they are made.
    auto window = std::make_shared<ListWindow*>(nullptr);
    ListButton search{QStringLiteral("search"), QStringLiteral("查找"), QStringLiteral("按会员卡号或手机号查找会员"),
                      [window] {
                          ListWindow* w = *window;
                          w->run([w] { static_cast<MemberList&>(w->logic()).search(); });
                      }};
    ListButton ratio{QStringLiteral("ratio"), QStringLiteral("比例"), QStringLiteral("设置积分基数"), [window] {
                         PointsDialog::exec([](Ui& ui) { return std::make_unique<PointsBase>(ui); }, *window);
                     }};
    search.key = QKeySequence(Qt::CTRL | Qt::Key_F);
    ratio.icon = QApplication::style()->standardIcon(QStyle::SP_FileDialogInfoView);
    ListButton exchange{
        QStringLiteral("exchange"), QStringLiteral("兑换"), QStringLiteral("当前会员的积分兑换礼品"), [window] {
            ListWindow* w = *window;
            if (!w->logic().hasRows())
                return;
            const QString card = w->logic().currentKey();
            PointsDialog::exec([card](Ui& ui) { return std::make_unique<PointsExchange>(card, ui); }, w);
        }};
    exchange.needsRow = true;
    exchange.icon = QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QList<ListButton> own{search, ratio, exchange};
    // 新增 删除 修改 刷新, then the list's own, then 首条 … 关闭.
    QList<ListButton> buttons = ListWindow::standardButtons(false);
    qsizetype at = 0;
    while (at < buttons.size() && buttons.at(at).name != QLatin1String("first"))
        ++at;
    for (const ListButton& b : own)
        buttons.insert(at++, b);

    auto* list = new ListWindow([](Ui& ui) { return std::make_unique<MemberList>(ui); }, buttons, owner);
    *window = list;
    list->setAddAction([list] {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<MemberForm>(RecordForm::Mode::Add, ui); }, QString(),
                           list);
    });
    list->setEditAction([list](const QString& key) {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<MemberForm>(RecordForm::Mode::Edit, ui); }, key, list);
    });
    return list;
}

} // namespace MemberScreens

void registerMemberScreens()
{
    Screens::add(QStringLiteral("Thyxx_form"),
                 [](QWidget* owner) -> QWidget* { return MemberScreens::openList(owner); });
}
