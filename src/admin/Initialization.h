#pragma once

#include "core/FormState.h"

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

// The initialization dialog Tcsh_form: the six boxes c1 … c6 (texts "1" ticked), all ticked when
// it opens, and 确认.
class InitializationForm : public FormState {
public:
    explicit InitializationForm(Ui& ui);

    bool create();
    // 确认; the dialog stays open.
    bool confirm();
    // Where the backup of the last run went.
    QString lastBackup() const { return m_backup; }

private:
    QString m_backup;
};
