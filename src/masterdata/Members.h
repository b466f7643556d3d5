#pragma once

#include "core/RecordForm.h"
#include "core/RecordList.h"

#include <QString>

// The member screens: the list (会员信息管理) and its add and edit dialogs, on the shared list and
// record blocks. The points base and the points exchange are in Points.h.
namespace Members {

const ListKind& listKind();
const RecordKind& recordKind();

// The prompt of the list's 查找: a card number or an 11-digit mobile number.
QString searchPrompt(); // "Txtts4_form"

} // namespace Members

// The member list. Beyond the shared list it finds a member by card or mobile number.
class MemberList : public RecordList {
public:
    explicit MemberList(Ui& ui);

    // 查找: asks for a card or mobile number and moves to that member. An answer of 11 bytes in
    // GBK is a mobile number, 0 or 1 byte is refused, anything else is a card number; the whole
    // value is compared without regard to letter case. False when the current row did not move.
    bool search();
};

// The add dialog (Thyxz_form) and the edit dialog (Thyxg_form) of a member.
class MemberForm : public RecordForm {
public:
    MemberForm(Mode mode, Ui& ui);

protected:
    bool checkAdd() override;
    bool checkEdit() override;

private:
    // Every text within its column's width, so the engine never refuses an over-long one.
    bool checkLengths();
};
