#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;
class Ui;

// Emptying groups of tables so that the shop can start afresh.
namespace Initialization {

// One check box and the statements it stands for, in order.
struct Group {
    QString box;     // "c1"
    QString caption; // "商品信息"
    QStringList statements;
};
// c1 … c6.
const QList<Group>& groups();

// 确认: asks, keeps the shop's data as "pos-初始化前-<date>-<time>.bak" in the program folder, then
// runs the statements of every ticked box (one flag per group) in one transaction: all or
// nothing. Says where the backup went. True when the data was initialized.
bool run(DbConnection& db, Ui& ui, const QList<bool>& ticked, QString* backupFile = nullptr);

} // namespace Initialization
