#include "core/ShopLock.h"

#include "core/ProgramFolder.h"

#include <QDir>

ShopLock::ShopLock() : ShopLock(ProgramFolder::path()) {}

ShopLock::ShopLock(const QString& folder) : m_fileName(QDir(folder).filePath(lockFileName())), m_lock(m_fileName)
{
    // Held for the whole working day: a lock is stale only when its program is gone, never
    // because it is old.
    m_lock.setStaleLockTime(0);
}

ShopLock::~ShopLock() = default;

QString ShopLock::lockFileName()
{
    return QStringLiteral("pos.lock");
}

QString ShopLock::alreadyRunningText()
{
    return QStringLiteral("本店的收银程序已经在运行");
}

bool ShopLock::acquire()
{
    m_error.clear();
    if (m_lock.isLocked())
        return true;
    // tryLock removes a lock whose process has ended before it gives up.
    if (m_lock.tryLock(0))
        return true;
    const QString native = QDir::toNativeSeparators(m_fileName);
    switch (m_lock.error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString app;
        QString holder;
        if (m_lock.getLockInfo(&pid, &host, &app))
            holder = QStringLiteral("（%1，进程号 %2）").arg(app.isEmpty() ? QStringLiteral("程序") : app).arg(pid);
        m_error = alreadyRunningText() + holder +
                  QStringLiteral("\n同一个店只能开一个收银程序，请先关闭正在运行的那一个（锁文件 %1）。").arg(native);
        break;
    }
    case QLockFile::PermissionError:
        m_error = QStringLiteral("无法在本店的文件夹建立锁文件 %1：文件夹是只读的").arg(native);
        break;
    default:
        m_error = QStringLiteral("无法建立锁文件 %1").arg(native);
        break;
    }
    return false;
}

void ShopLock::release()
{
    m_lock.unlock();
}
