#include "admin/ui/AdminScreens.h"

#include "admin/UserScreens.h"
#include "admin/ui/BackupDialog.h"
#include "admin/ui/InitializationDialog.h"
#include "admin/ui/RightsDialog.h"
#include "admin/ui/SettingsDialog.h"
#include "core/ui/ListWindow.h"
#include "core/ui/RecordDialog.h"
#include "core/ui/Screens.h"

#include <memory>

namespace AdminScreens {

QWidget* openUserList(QWidget* owner)
{
    // The window is made after its buttons; the 权限 button reaches it through this.
    auto window = std::make_shared<ListWindow*>(nullptr);
    const QHash<QString, QString> hints{
        {QStringLiteral("add"), QStringLiteral("新增人员")},
        {QStringLiteral("delete"), QStringLiteral("删除该用户")},
        {QStringLiteral("edit"), QStringLiteral("修改人员信息")},
        {QStringLiteral("refresh"), QStringLiteral("刷新记录")},
        {QStringLiteral("first"), QStringLiteral("首条记录")},
        {QStringLiteral("prior"), QStringLiteral("前条记录")},
        {QStringLiteral("next"), QStringLiteral("下条记录")},
        {QStringLiteral("last"), QStringLiteral("最后一条记录")},
        {QStringLiteral("close"), QStringLiteral("关闭退出")},
    };
    QList<ListButton> buttons;
    for (ListButton b : ListWindow::standardButtons(false)) {
        b.hint = hints.value(b.name);
        buttons << b;
        if (b.name == QLatin1String("refresh")) {
            buttons << ListButton{QStringLiteral("rights"), QStringLiteral("权限"), QStringLiteral("人员权限"),
                                  [window] {
                                      ListWindow* w = *window;
                                      if (w && w->logic().hasRows())
                                          RightsDialog::exec(w->logic().currentKey(), w);
                                  }};
        }
    }
    auto* list = new ListWindow([](Ui& ui) { return std::make_unique<UserList>(ui); }, buttons, owner);
    *window = list;
    list->setAddAction([list] {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<UserForm>(RecordForm::Mode::Add, ui); }, QString(),
                           list);
    });
    list->setEditAction([list](const QString& key) {
        RecordDialog::exec([](Ui& ui) { return std::make_unique<UserForm>(RecordForm::Mode::Edit, ui); }, key, list);
    });
    return list;
}

} // namespace AdminScreens

void registerAdminScreens()
{
    Screens::add(QStringLiteral("Tuser_form"), [](QWidget* owner) { return AdminScreens::openUserList(owner); });
    Screens::add(QStringLiteral("Txtsz_form"), [](QWidget* owner) -> QWidget* { return new SettingsDialog(owner); });
    Screens::add(QStringLiteral("Tcsh_form"),
                 [](QWidget* owner) -> QWidget* { return new InitializationDialog(owner); });
    Screens::add(QStringLiteral("Tbackup_form"), [](QWidget* owner) -> QWidget* { return new BackupDialog(owner); });
}
