#pragma once

class QWidget;

// The member list (会员信息管理) with its add and edit dialogs and the two points dialogs.
namespace MemberScreens {

QWidget* openList(QWidget* owner);

} // namespace MemberScreens

void registerMemberScreens();
