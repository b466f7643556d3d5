#pragma once

#include "admin/RightsLists.h"
#include "core/FormState.h"
#include "core/RecordForm.h"
#include "core/RecordList.h"

#include <QList>
#include <QString>

// The users' screens: the list Tuser_form, the add dialog Tuserxz_form, the edit dialog
// Tuserxg_form (all members of the list / add / edit family) and the rights dialog Tqxsz_form.
namespace UserScreens {

const ListKind& listKind();
const RecordKind& recordKind();

} // namespace UserScreens

// The user list: the password column shows "******"; deleting takes the user's rights with it
// and refuses the logged-in user and the last one who may look after the shop.
class UserList : public RecordList {
public:
    explicit UserList(Ui& ui);
    bool removeCurrent() override;
};

// The add and edit dialogs of a user.
class UserForm : public RecordForm {
public:
    UserForm(Mode mode, Ui& ui);

    // Add: Enter in the number lets 确认 be pressed once a number is there; Enter in the password
    // presses 确认 when it may be pressed. Edit: Enter in the password presses 保存 when it may be
    // pressed, and otherwise goes back to the number.
    void enterPressed(const QString& field) override;

protected:
    bool checkAdd() override;
    bool writeAdd() override;
    bool checkEdit() override;
    bool writeEdit() override;

private:
    struct Names {
        QString number, name, password, admin;
    };
    Names names() const;
};

// The rights dialog for one user: "当前用户：" and the name, the rights held and not held in two
// lists, the four moves and 确认.
class RightsForm : public FormState {
public:
    // Object names of the dialog's controls.
    static const QString SrcList, DstList, IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn, OkBtn, CancelBtn;

    RightsForm(const QString& userNumber, Ui& ui);

    // Opens the connection and reads the user's name and rights; false with the reason shown.
    bool create();
    QString userNumber() const { return m_number; }
    QString userLabel() const { return QStringLiteral("当前用户：") + m_name; }
    const RightsLists& lists() const { return m_lists; }

    // ">", ">>", "<", "<<" with the rows selected in the source list.
    void include(const QList<int>& rows);
    void includeAll();
    void exclude(const QList<int>& rows);
    void excludeAll();
    // 确认: the rights of "可使用的菜单" on, all others off.
    bool confirm();

private:
    void updateButtons();

    QString m_number;
    QString m_name;
    RightsLists m_lists;
};
