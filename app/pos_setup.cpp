// pos-setup: creates pos.mdb in the program folder; backs it up and restores it.

#include "admin/DatabaseBackup.h"
#include "admin/DemoTrading.h"
#include "core/Clock.h"
#include "core/ProgramFolder.h"
#include "core/ShopLock.h"
#include "schema/Setup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
        // Screens of a running till would go on showing the old data: the till is closed first,
        // and stays away until the restore is done.
        ShopLock lock;
        if (!lock.acquire()) {
            err << "pos-setup: 恢复失败：" << lock.error() << "\n"
                << "请先关闭收银程序再恢复。数据库 " << QDir::toNativeSeparators(database) << " 没有改动。\n";
            return 1;
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
    int historyDays = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << "用法: pos-setup [--demo [--history 天数]]\n"
                   "      pos-setup --backup 文件\n"
                   "      pos-setup --restore 文件\n"
                   "\n"
                   "在程序文件夹中建立收银系统的数据库文件 pos.mdb：全部数据表、系统设置、\n"
                   "钱箱、积分基数和管理员用户 001。\n"
                   "\n"
                   "  --demo   另外加入一个演示超市：商品类别、计量单位、供应商、仓库、\n"
                   "           几十种日常商品（价格、条形码、拼音码、库存）、一位会员和\n"
                   "           收银员 002。\n"
                   "  --history 天数\n"
                   "           和 --demo 一起用：演示超市再营业到昨天为止的这些天（1 到 366），\n"
                   "           全部通过收银系统自己的操作录入：每逢周一两家供应商送货入库，\n"
                   "           同时用营业款结清上一次的货款；每天 8 到 15 笔销售（隔天有会员\n"
                   "           购物），晚上交班；其间有一次退货给供应商（收回退款）和一次商品\n"
                   "           报废；两种卖得慢的商品不再进货，卖完后出现在库存报警中。录入\n"
                   "           时小票不打印、钱箱不弹开、不播报语音。\n"
                   "  --backup 文件\n"
                   "           把 pos.mdb 备份到一个新文件（已经存在的文件不会被覆盖）。收银\n"
                   "           系统运行时也可以备份：备份的是某一时刻完整一致的数据。\n"
                   "  --restore 文件\n"
                   "           用备份文件恢复 pos.mdb。先检查备份文件（是本系统的数据库、\n"
                   "           没有损坏、版本不比本程序新），不合格时 pos.mdb 不变；恢复前的\n"
                   "           数据另存为程序文件夹中的 pos-恢复前-日期-时间.bak。收银程序运行\n"
                   "           时不能恢复。\n"
                   "  --help   显示本说明。\n"
                   "\n"
                   "程序文件夹是 pos-setup 所在的文件夹；环境变量 POS_HOME 可以指定别的文件夹。\n"
                   "已经存在的 pos.mdb 不会被覆盖；建立失败时不留下 pos.mdb。\n";
            return 0;
        }
        if (a == QLatin1String("--demo")) {
            options.demo = true;
        } else if (a == QLatin1String("--history")) {
            const QString value = args.value(i + 1);
            bool isNumber = false;
            const int days = value.toInt(&isNumber);
            if (i + 1 >= args.size() || !isNumber || days < 1 || days > DemoTrading::kMaxDays) {
                err << "pos-setup: --history 的天数“" << value << "”不正确，应为1到" << DemoTrading::kMaxDays
                    << "之间的整数（用 --help 查看用法）\n";
                return 2;
            }
            historyDays = days;
            ++i;
        } else {
            err << "pos-setup: 不认识的参数 " << a << "（用 --help 查看用法）\n";
            return 2;
        }
    }
    if (historyDays > 0 && !options.demo) {
        err << "pos-setup: --history 只能和 --demo 一起用：营业记录要用演示超市的商品和供应商\n";
        return 2;
    }

    const QString file = ProgramFolder::databaseFile();
    QString error;
    if (!Setup::createDatabase(file, options, &error)) {
        err << "pos-setup: " << error << "\n";
        return 1;
    }
    if (historyDays > 0) {
        // Nobody opens the till on the shop while its days are entered; if a step fails the
        // half-made shop goes, with the receipt file its sales wrote.
        const QString bill = ProgramFolder::file(QStringLiteral("bill.txt"));
        const bool hadBill = QFileInfo::exists(bill);
        ShopLock lock;
        bool traded = lock.acquire();
        if (!traded)
            error = lock.error();
        else
            traded = DemoTrading::run(historyDays, &error);
        lock.release();
        if (!traded) {
            Setup::removeDatabase(file);
            if (!hadBill)
                QFile::remove(bill);
            err << "pos-setup: 演示超市的营业记录没有建成：" << error << "\n"
                << "没有留下数据库文件 " << QDir::toNativeSeparators(file) << "。\n";
            return 1;
        }
    }
    out << "已建立数据库 " << QDir::toNativeSeparators(file) << (options.demo ? "（含演示数据）" : "") << "\n";
    if (historyDays > 0)
        out << "演示超市已营业 " << historyDays << " 天（到昨天为止）。\n";
    out << "登录用户编号: " << Setup::adminNumber() << "  密码: " << Setup::adminPassword() << "\n";
    if (options.demo)
        out << "收银员用户编号: 002  密码: 123\n";
    return 0;
}
