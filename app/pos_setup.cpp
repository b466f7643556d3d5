// pos-setup: creates pos.mdb in the program folder; backs it up and restores it.

#include "admin/DatabaseBackup.h"
#include "core/Clock.h"
#include "core/ProgramFolder.h"
#include "schema/Setup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);

    // Backup and restore, for a nightly job and for getting a shop back.
    if (!args.isEmpty() && (args.first() == QLatin1String("--backup") || args.first() == QLatin1String("--restore"))) {
        if (args.size() != 2 || args.at(1).isEmpty()) {
            err << "pos-setup: " << args.first() << " 需要一个文件名（用 --help 查看用法）\n";
            return 2;
        }
        const QString database = ProgramFolder::databaseFile();
        const QString file = QFileInfo(args.at(1)).absoluteFilePath();
        if (args.first() == QLatin1String("--backup")) {
            QString error;
            if (!DatabaseBackup::backup(database, file, {}, &error)) {
                err << "pos-setup: 备份失败：" << error << "\n";
                return 1;
            }
            out << "已备份到 " << QDir::toNativeSeparators(file) << "\n";
            return 0;
        }
        const QString keep = DatabaseBackup::safetyFile(ProgramFolder::path(), QStringLiteral("恢复前"), Clock::now());
        const DatabaseBackup::RestoreResult r = DatabaseBackup::restore(file, database, keep, {});
        if (!r.ok) {
            err << "pos-setup: 恢复失败：" << r.reason << "\n"
                << "数据库 " << QDir::toNativeSeparators(database) << " 没有改动。\n";
            return 1;
        }
        out << "已用 " << QDir::toNativeSeparators(file) << " 恢复数据库 " << QDir::toNativeSeparators(database)
            << "\n";
        if (!r.keptAs.isEmpty())
            out << "恢复前的数据已备份到 " << QDir::toNativeSeparators(r.keptAs) << "\n";
        return 0;
    }

    Setup::Options options;
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << "用法: pos-setup [--demo]\n"
                   "      pos-setup --backup 文件\n"
                   "      pos-setup --restore 文件\n"
                   "\n"
                   "在程序文件夹中建立收银系统的数据库文件 pos.mdb：全部数据表、系统设置、\n"
                   "钱箱、积分基数和管理员用户 001。\n"
                   "\n"
                   "  --demo   另外加入一个演示超市：商品类别、计量单位、供应商、仓库、\n"
                   "           几十种日常商品（价格、条形码、拼音码、库存）和一位会员。\n"
                   "  --backup 文件\n"
                   "           把 pos.mdb 备份到一个新文件（已经存在的文件不会被覆盖）。收银\n"
                   "           系统运行时也可以备份：备份的是某一时刻完整一致的数据。\n"
                   "  --restore 文件\n"
                   "           用备份文件恢复 pos.mdb。先检查备份文件（是本系统的数据库、\n"
                   "           没有损坏、版本不比本程序新），不合格时 pos.mdb 不变；恢复前的\n"
                   "           数据另存为程序文件夹中的 pos-恢复前-日期-时间.bak。最好先关闭\n"
                   "           收银系统。\n"
                   "  --help   显示本说明。\n"
                   "\n"
                   "程序文件夹是 pos-setup 所在的文件夹；环境变量 POS_HOME 可以指定别的文件夹。\n"
                   "已经存在的 pos.mdb 不会被覆盖。\n";
            return 0;
        }
        if (a == QLatin1String("--demo")) {
            options.demo = true;
        } else {
            err << "pos-setup: 不认识的参数 " << a << "（用 --help 查看用法）\n";
            return 2;
        }
    }

    const QString file = ProgramFolder::databaseFile();
    QString error;
    if (!Setup::createDatabase(file, options, &error)) {
        err << "pos-setup: " << error << "\n";
        return 1;
    }
    out << "已建立数据库 " << QDir::toNativeSeparators(file) << (options.demo ? "（含演示数据）" : "") << "\n"
        << "登录用户编号: " << Setup::adminNumber() << "  密码: " << Setup::adminPassword() << "\n";
    if (options.demo)
        out << "收银员用户编号: 002  密码: 123\n";
    return 0;
}
