#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

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

QString databaseFile()
{
    return file(QStringLiteral("pos.mdb"));
}

} // namespace ProgramFolder
