#include "admin/Initialization.h"

#include "accounts/CashBox.h"
#include "admin/DatabaseBackup.h"
#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/Ui.h"

#include <QDir>
#include <QFileInfo>

namespace Initialization {

namespace {

QStringList deletes(std::initializer_list<const char*> tables)
{
    QStringList list;
    for (const char* t : tables)
        list << QStringLiteral("delete from ") + QLatin1String(t);
    return list;
}

} // namespace

const QList<Group>& groups()
{
    static const QList<Group> list{
        {QStringLiteral("c1"), QStringLiteral("商品信息"), deletes({"splb", "spjl", "spinfo"})},
        {QStringLiteral("c2"), QStringLiteral("库存信息"),
         deletes({"ckinfo", "kucun", "jinhuodan", "jinhuodanrecord", "jinhuodanth", "jinhuodanrecordth"})},
        {QStringLiteral("c3"), QStringLiteral("销售信息"),
         deletes(
             {"xiaoshoud", "xiaoshoud2", "xiaoshoudth", "xiaoshoudrecord", "xiaoshoudrecord2", "xiaoshoudrecordth"})},
        {QStringLiteral("c4"), QStringLiteral("会员信息"), deletes({"hyinfo"})},
        {QStringLiteral("c5"), QStringLiteral("资金信息"),
         QStringList{QStringLiteral("update boxje set je=:JE")} + deletes({"xjls", "jine", "jine2"})},
        {QStringLiteral("c6"), QStringLiteral("供应商信息"), deletes({"gysxx"})},
    };
    return list;
}

bool run(DbConnection& db, Ui& ui, const QList<bool>& ticked, QString* backupFile)
{
    if (!ticked.contains(true)) {
        ui.showMessage(QStringLiteral("请选择要初始化的数据"));
        return false;
    }
    if (!ui.confirm(QStringLiteral("系统提示"), QStringLiteral("确实要初始化这些数据吗?"), Ui::Icon::Warning))
        return false;

    // What is about to go is kept first; without that copy nothing is cleared.
    const QString source = QFileInfo(db.file()).absoluteFilePath();
    const QString backup =
        DatabaseBackup::safetyFile(QFileInfo(source).absolutePath(), QStringLiteral("初始化前"), Clock::now());
    QString error;
    if (!DatabaseBackup::backup(source, backup, {}, &error)) {
        ui.showError(QStringLiteral("初始化前备份数据失败，没有初始化任何数据：\n%1").arg(error));
        return false;
    }
    if (backupFile)
        *backupFile = backup;

    const bool done = db.transaction([&] {
        Query q(db);
        for (int i = 0; i < groups().size(); ++i) {
            if (!ticked.value(i))
                continue;
            for (const QString& statement : groups().at(i).statements) {
                if (statement.contains(QLatin1String(":JE"))) {
                    // The cash box goes to 0 through CashBox, which records who emptied it.
                    double before = 0;
                    if (!CashBox::read(db, &before, &error) ||
                        !CashBox::set(db, before, 0.0, QStringLiteral("初始化"), QStringLiteral("数据初始化"), &error))
                        return false;
                    continue;
                }
                q.setSql(statement);
                if (!q.execute())
                    return error = q.lastError(), false;
            }
        }
        return true;
    });
    if (!done) {
        ui.showError(QStringLiteral("初始化失败，数据没有改动：\n%1").arg(error.isEmpty() ? db.lastError() : error));
        return false;
    }
    ui.showMessage(QStringLiteral("初始化成功\n初始化前的数据已备份到 %1").arg(QDir::toNativeSeparators(backup)));
    return true;
}

} // namespace Initialization

// ---------------------------------------------------------------------------------------------
// InitializationForm

InitializationForm::InitializationForm(Ui& ui) : FormState(ui) {}

bool InitializationForm::create()
{
    if (!openConnection())
        return false;
    for (const Initialization::Group& g : Initialization::groups())
        setText(g.box, QStringLiteral("1"));
    focus(Initialization::groups().first().box);
    return true;
}

bool InitializationForm::confirm()
{
    QList<bool> ticked;
    for (const Initialization::Group& g : Initialization::groups())
        ticked << (text(g.box) == QLatin1String("1"));
    return Initialization::run(db(), ui(), ticked, &m_backup);
}
