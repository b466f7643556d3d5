#include "admin/ShopBackup.h"

#include "core/Clock.h"
#include "core/ProgramFolder.h"
#include "core/Ui.h"

#include <QDir>

namespace ShopBackup {

QString backupBusyText()
{
    return QStringLiteral("系统正在备份，请等待...");
}

QString restoreBusyText()
{
    return QStringLiteral("系统正在恢复，请等待...");
}

QString proposedFile()
{
    return ProgramFolder::file(DatabaseBackup::proposedName(Clock::today()) + QStringLiteral(".bak"));
}

QString backupTitle()
{
    return QStringLiteral("备份文件");
}

QString restoreTitle()
{
    return QStringLiteral("恢复文件");
}

QString fileFilter()
{
    return QStringLiteral("Backup files (*.bak)");
}

bool backup(Ui& ui, const DatabaseBackup::Progress& progress, const std::function<void()>& started)
{
    QString target = ui.saveFileName(backupTitle(), fileFilter(), QStringLiteral("bak"));
    if (target.isEmpty())
        return false;
    // "x" and "x.bak" both give x.bak.
    if (!target.endsWith(QLatin1String(".bak"), Qt::CaseInsensitive))
        target += QStringLiteral(".bak");
    if (started)
        started();
    QString error;
    if (!DatabaseBackup::backup(ProgramFolder::databaseFile(), target, progress, &error)) {
        ui.showError(QStringLiteral("备份失败，请重试！\n%1").arg(error));
        return false;
    }
    ui.showMessage(QStringLiteral("备份成功！"));
    return true;
}

bool restore(Ui& ui, const DatabaseBackup::Progress& progress, const std::function<void()>& started)
{
    const QString file = ui.openFileName(restoreTitle(), fileFilter());
    if (file.isEmpty())
        return false;
    if (started)
        started();
    const QString database = ProgramFolder::databaseFile();
    const QString keep = DatabaseBackup::safetyFile(ProgramFolder::path(), QStringLiteral("恢复前"), Clock::now());
    const DatabaseBackup::RestoreResult r = DatabaseBackup::restore(file, database, keep, progress);
    if (!r.ok) {
        ui.showError(QStringLiteral("恢复失败：%1\n当前数据没有改动。").arg(r.reason));
        return false;
    }
    QString text = QStringLiteral("成功恢复数据！");
    if (!r.keptAs.isEmpty())
        text += QStringLiteral("\n恢复前的数据已备份到 %1").arg(QDir::toNativeSeparators(r.keptAs));
    ui.showMessage(text);
    if (r.reopenFailed)
        ui.showError(QStringLiteral("数据已恢复，但无法重新打开数据库：\n%1\n请退出后重新启动本系统。").arg(r.reason));
    return true;
}

} // namespace ShopBackup
