#pragma once

class QWidget;

// Registers the windows of the 系统维护 menu: users and rights, settings, initialization,
// backup and restore.
void registerAdminScreens();

namespace AdminScreens {

// The user list Tuser_form with its add, edit and rights dialogs.
QWidget* openUserList(QWidget* owner);

} // namespace AdminScreens
