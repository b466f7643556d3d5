#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;
class Ui;

// The people who may log in (userlogin) and their seven menu rights (usermenu).
namespace Users {

// One userlogin row as the add and edit dialogs hold it.
struct User {
    QString number;   // yhbh: three digits
    QString name;     // yhmc
    QString password; // yhma
    bool admin = false;
};

enum class Outcome {
    Done,    // written (or, for a delete, the person said no: nothing to do)
    Refused, // a check said no; its message was shown and nothing was written
    Failed,  // the database said no; its error was shown and nothing was written
};

// What the list shows in the 用户密码 column instead of the password.
QString maskedPassword();

// The add dialog's checks in their order: digits only, not a number in use, three digits, a
// name; then the lengths of name and password. The message is shown and `focus` names the
// entry to go to ("" for none). False when the user may not be added.
bool checkNew(DbConnection& db, Ui& ui, const User& user, QString* focus);
// The userlogin row and an empty usermenu row (every menu right off) in one transaction.
bool insert(DbConnection& db, const User& user, QString* error);

// The edit dialog's checks: a name, and name and password within their lengths.
bool checkEdited(Ui& ui, const User& user);
// Name, password and administrator flag of the user `user.number`. A user deleted meanwhile
// is an error, not a silent "saved".
bool update(DbConnection& db, const User& user, QString* error);

// 删除 on the list: refuses the logged-in user and the last user with the 系统维护 right, asks,
// then deletes the userlogin and usermenu rows in one transaction and says "删除成功".
// Done also when the person answers no; `deleted` tells whether the user went.
Outcome remove(DbConnection& db, Ui& ui, const QString& number, bool* deleted = nullptr);

// The seven rights as the rights dialog lists them: "A1基本信息" … "G1系统维护".
struct Right {
    QString code;   // "A1": the first two characters of the item
    QString column; // "m1"
    QString item;   // "A1基本信息"
};
const QList<Right>& rights();
QStringList allRightItems();

// The name of a user and the items of the rights it holds (any value but 0 or empty), in the
// order of rights(). False, with the error shown, when the tables cannot be read.
bool loadRights(DbConnection& db, Ui& ui, const QString& number, QString* name, QStringList* granted);

// 确认 on the rights dialog: the rights of the items in `granted` set to 1 and all others to 0,
// in one transaction; "设置完成". Taking 系统维护 from the last user who has it is refused.
Outcome saveRights(DbConnection& db, Ui& ui, const QString& number, const QStringList& granted);

} // namespace Users
