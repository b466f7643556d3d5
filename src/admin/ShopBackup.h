#pragma once

#include "admin/DatabaseBackup.h"

#include <QString>

class Ui;

// The backup dialog's two actions on the shop's pos.mdb in the program folder.
namespace ShopBackup {

// The status texts while an action runs.
QString backupBusyText();  // "系统正在备份，请等待..."
QString restoreBusyText(); // "系统正在恢复，请等待..."

// The file the save dialog proposes: "pos" + today + ".bak" in the program folder.
QString proposedFile();
// The file dialogs' titles and filter.
QString backupTitle();  // "备份文件"
QString restoreTitle(); // "恢复文件"
QString fileFilter();   // "Backup files (*.bak)"

// 备份: asks for the file ("" stops), adds ".bak" unless the name ends with it, copies the shop
// into it (never over an existing file) and says "备份成功！" or "备份失败，请重试！" with the reason.
// `started` is called once the file is chosen, before the copy.
bool backup(Ui& ui, const DatabaseBackup::Progress& progress, const std::function<void()>& started = {});

// 恢复: asks for the backup ("" stops), restores it (the data of now kept beside the shop) and
// says "成功恢复数据！" and where the old data went, or "恢复失败" with the reason.
bool restore(Ui& ui, const DatabaseBackup::Progress& progress, const std::function<void()>& started = {});

} // namespace ShopBackup
