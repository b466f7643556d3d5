#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ProgramFolder {

QString path()
{
    const QString home = qEnvironmentVariable("POS_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString file(const QString& name)
{
    return path() + QLatin1Char('/') + name;
}

QString shipped(const QString& name)
{
    const QString own = file(name);
    if (QFileInfo::exists(own) || !QCoreApplication::instance())
        return own;
    const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    return QFileInfo::exists(beside) ? beside : own;
}

QString databaseFile()
{
    return file(QStringLiteral("pos.mdb"));
}

} // namespace ProgramFolder
