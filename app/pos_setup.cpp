// pos-setup: creates pos.mdb in the program folder.

#include "core/ProgramFolder.h"
#include "schema/Setup.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);

    Setup::Options options;
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << "用法: pos-setup [--demo]\n"
                   "\n"
                   "在程序文件夹中建立收银系统的数据库文件 pos.mdb：全部数据表、系统设置、\n"
                   "钱箱、积分基数和管理员用户 001。\n"
                   "\n"
                   "  --demo   另外加入一个演示超市：商品类别、计量单位、供应商、仓库、\n"
                   "           几十种日常商品（价格、条形码、拼音码、库存）和一位会员。\n"
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
