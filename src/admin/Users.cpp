#include "admin/Users.h"

#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/Ui.h"

namespace Users {

namespace {

const QString kSystemRight = QStringLiteral("m7"); // 系统维护
constexpr int kNameLength = 20;
constexpr int kPasswordLength = 20;

bool onlyDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// Name and password fit their columns; the message names the field.
bool checkLengths(Ui& ui, const User& user)
{
    if (user.name.size() > kNameLength) {
        ui.showMessage(QStringLiteral("用户名称“%1”超过%2个字，请重新输入").arg(user.name).arg(kNameLength));
        return false;
    }
    if (user.password.size() > kPasswordLength) {
        ui.showMessage(QStringLiteral("用户密码超过%1个字，请重新输入").arg(kPasswordLength));
        return false;
    }
    return true;
}

QString rightName(const Right& r)
{
    return r.item.mid(2);
}

// How many users other than `except` hold the 系统维护 right; -1 when it cannot be read.
int otherSystemUsers(DbConnection& db, const QString& except, QString* error)
{
    Query q(db);
    q.add(QStringLiteral("select count(distinct userlogin.yhbh) as n from userlogin, usermenu"));
    q.add(QStringLiteral(" where userlogin.yhbh=usermenu.yhbh and usermenu.%1<>0 and userlogin.yhbh<>:YHBH")
              .arg(kSystemRight));
    q.bind(QStringLiteral("YHBH"), except);
    if (!q.open()) {
        *error = q.lastError();
        return -1;
    }
    return q.integer(QStringLiteral("n"));
}

// Whether the user holds the 系统维护 right; false on a read error (with `error` set).
bool holdsSystemRight(DbConnection& db, const QString& number, QString* error)
{
    Query q(db);
    q.setSql(QStringLiteral("select count(*) as n from usermenu where yhbh=:YHBH and %1<>0").arg(kSystemRight));
    q.bind(QStringLiteral("YHBH"), number);
    if (!q.open()) {
        *error = q.lastError();
        return false;
    }
    return q.integer(QStringLiteral("n")) > 0;
}

// Refuses taking the 系统维护 right from its last holder: nobody could manage the shop afterwards.
// True when the change may go ahead.
bool keepsAnAdministrator(DbConnection& db, Ui& ui, const QString& number, const QString& refusal, bool* failed)
{
    QString error;
    const bool holds = holdsSystemRight(db, number, &error);
    const int others = error.isEmpty() && holds ? otherSystemUsers(db, number, &error) : 1;
    if (!error.isEmpty()) {
        ui.showError(error);
        *failed = true;
        return false;
    }
    if (holds && others == 0) {
        ui.showMessage(refusal);
        return false;
    }
    return true;
}

} // namespace

QString maskedPassword()
{
    return QStringLiteral("******");
}

bool checkNew(DbConnection& db, Ui& ui, const User& user, QString* focus)
{
    *focus = QStringLiteral("yhbh");
    if (!onlyDigits(user.number)) {
        ui.showMessage(QStringLiteral("编码不是数字请重新输入"));
        return false;
    }
    Query q(db);
    q.setSql(QStringLiteral("select * from userlogin where yhbh=:YHBH"));
    q.bind(QStringLiteral("YHBH"), user.number);
    if (!q.open()) {
        ui.showError(q.lastError());
        return false;
    }
    if (!q.isEmpty()) {
        ui.showMessage(QStringLiteral("编号重复，请重新输入"));
        return false;
    }
    if (user.number.size() != 3) {
        ui.showMessage(QStringLiteral("格式错误或数据不完整，请重新输入"));
        return false;
    }
    *focus = QStringLiteral("yhmc");
    if (user.name.isEmpty()) {
        ui.showMessage(QStringLiteral("用户名称不能为空，请重新输入"));
        return false;
    }
    if (!checkLengths(ui, user)) {
        if (user.name.size() <= kNameLength)
            *focus = QStringLiteral("yhma");
        return false;
    }
    focus->clear();
    return true;
}

bool insert(DbConnection& db, const User& user, QString* error)
{
    const bool written = db.transaction([&] {
        Query w(db);
        w.setSql(QStringLiteral("insert into userlogin(yhbh,yhmc,yhma,admin) values(:YHBH,:YHMC,:YHMA,:ADMIN)"));
        w.bind(QStringLiteral("YHBH"), user.number);
        w.bind(QStringLiteral("YHMC"), user.name);
        w.bind(QStringLiteral("YHMA"), user.password);
        w.bind(QStringLiteral("ADMIN"), user.admin ? 1 : 0);
        if (!w.execute())
            return *error = w.lastError(), false;
        // Rights left behind by a user of this number deleted by an older version of the
        // program must not pass to the new one.
        w.setSql(QStringLiteral("delete from usermenu where yhbh=:YHBH"));
        w.bind(QStringLiteral("YHBH"), user.number);
        if (!w.execute())
            return *error = w.lastError(), false;
        w.setSql(QStringLiteral("insert into usermenu(yhbh) values(:YHBH)"));
        w.bind(QStringLiteral("YHBH"), user.number);
        if (!w.execute())
            return *error = w.lastError(), false;
        return true;
    });
    if (!written && error->isEmpty())
        *error = db.lastError();
    return written;
}

bool checkEdited(Ui& ui, const User& user)
{
    // The add dialog's rule holds here too: an operator without a name would be recorded on
    // every voucher as nobody.
    if (user.name.isEmpty()) {
        ui.showMessage(QStringLiteral("用户名称不能为空，请重新输入"));
        return false;
    }
    return checkLengths(ui, user);
}

bool update(DbConnection& db, const User& user, QString* error)
{
    Query q(db);
    q.setSql(QStringLiteral("update userlogin set yhmc=:YHMC,yhma=:YHMA,admin=:ADMIN where yhbh=:YHBH"));
    q.bind(QStringLiteral("YHMC"), user.name);
    q.bind(QStringLiteral("YHMA"), user.password);
    q.bind(QStringLiteral("ADMIN"), user.admin ? 1 : 0);
    q.bind(QStringLiteral("YHBH"), user.number);
    if (!q.execute()) {
        *error = q.lastError();
        return false;
    }
    if (q.rowsAffected() == 0) {
        *error = QStringLiteral("用户%1已不存在").arg(user.number);
        return false;
    }
    return true;
}

Outcome remove(DbConnection& db, Ui& ui, const QString& number, bool* deleted)
{
    if (deleted)
        *deleted = false;
    if (number.isEmpty()) {
        ui.showMessage(QStringLiteral("没有选中要删除的用户"));
        return Outcome::Refused;
    }
    if (LoginUser::isSet() && LoginUser::number().compare(number, Qt::CaseInsensitive) == 0) {
        ui.showMessage(QStringLiteral("用户%1正在使用本系统，不能删除").arg(number));
        return Outcome::Refused;
    }
    bool failed = false;
    if (!keepsAnAdministrator(
            db, ui, number,
            QStringLiteral("用户%1是唯一有系统维护权限的用户，删除后就没有人能维护本系统了，不能删除").arg(number),
            &failed))
        return failed ? Outcome::Failed : Outcome::Refused;
    if (!ui.confirm(QStringLiteral("系统提示"), QStringLiteral("确实要删除该记录吗?"), Ui::Icon::Warning))
        return Outcome::Done;

    QString error;
    const bool written = db.transaction([&] {
        Query w(db);
        for (const char* table : {"userlogin", "usermenu"}) {
            w.setSql(QStringLiteral("delete from %1 where yhbh=:YHBH").arg(QLatin1String(table)));
            w.bind(QStringLiteral("YHBH"), number);
            if (!w.execute())
                return error = w.lastError(), false;
        }
        return true;
    });
    if (!written) {
        ui.showError(QStringLiteral("删除失败\n%1").arg(error.isEmpty() ? db.lastError() : error));
        return Outcome::Failed;
    }
    if (deleted)
        *deleted = true;
    ui.showMessage(QStringLiteral("删除成功"));
    return Outcome::Done;
}

const QList<Right>& rights()
{
    static const QList<Right> list = [] {
        const char* names[] = {"基本信息", "商品销售", "商品入库", "库存管理", "数据统计", "会员管理", "系统维护"};
        QList<Right> l;
        for (int i = 0; i < 7; ++i) {
            const QString code = QString(QChar(u'A' + i)) + QLatin1Char('1');
            l << Right{code, QStringLiteral("m%1").arg(i + 1), code + QString::fromUtf8(names[i])};
        }
        return l;
    }();
    return list;
}

QStringList allRightItems()
{
    QStringList items;
    for (const Right& r : rights())
        items << r.item;
    return items;
}

bool loadRights(DbConnection& db, Ui& ui, const QString& number, QString* name, QStringList* granted)
{
    Query q(db);
    q.setSql(QStringLiteral("select * from userlogin where yhbh=:YHBH"));
    q.bind(QStringLiteral("YHBH"), number);
    if (!q.open()) {
        ui.showError(q.lastError());
        return false;
    }
    *name = q.text(QStringLiteral("yhmc"));
    granted->clear();
    q.setSql(QStringLiteral("select * from usermenu where yhbh=:YHBH"));
    q.bind(QStringLiteral("YHBH"), number);
    if (!q.open()) {
        ui.showError(q.lastError());
        return false;
    }
    for (const Right& r : rights()) {
        if (q.integer(r.column) != 0)
            *granted << r.item;
    }
    return true;
}

Outcome saveRights(DbConnection& db, Ui& ui, const QString& number, const QStringList& granted)
{
    Query q(db);
    q.setSql(QStringLiteral("select count(*) as n from userlogin where yhbh=:YHBH"));
    q.bind(QStringLiteral("YHBH"), number);
    if (!q.open()) {
        ui.showError(q.lastError());
        return Outcome::Failed;
    }
    if (q.integer(QStringLiteral("n")) == 0) {
        ui.showMessage(QStringLiteral("用户%1已不存在，没有设置权限").arg(number));
        return Outcome::Refused;
    }
    QStringList codes;
    for (const QString& item : granted)
        codes << item.left(2);
    const Right& system = rights().last();
    if (!codes.contains(system.code)) {
        bool failed = false;
        if (!keepsAnAdministrator(db, ui, number,
                                  QStringLiteral("用户%1是唯一有“%2”权限的用户，取消后就没有人能维护本系统了，不能取消")
                                      .arg(number, rightName(system)),
                                  &failed))
            return failed ? Outcome::Failed : Outcome::Refused;
    }
    QString error;
    const bool written = db.transaction([&] {
        Query w(db);
        // A user without its row (lost by an older version of the program) gets one.
        w.setSql(QStringLiteral("select count(*) as n from usermenu where yhbh=:YHBH"));
        w.bind(QStringLiteral("YHBH"), number);
        if (!w.open())
            return error = w.lastError(), false;
        if (w.integer(QStringLiteral("n")) == 0) {
            w.setSql(QStringLiteral("insert into usermenu(yhbh) values(:YHBH)"));
            w.bind(QStringLiteral("YHBH"), number);
            if (!w.execute())
                return error = w.lastError(), false;
        }
        for (const Right& r : rights()) {
            const QString column = r.column.toUpper();
            w.setSql(QStringLiteral("update usermenu set %1=:%2 where yhbh=:YHBH").arg(r.column, column));
            w.bind(column, codes.contains(r.code) ? 1 : 0);
            w.bind(QStringLiteral("YHBH"), number);
            if (!w.execute())
                return error = w.lastError(), false;
        }
        return true;
    });
    if (!written) {
        ui.showError(error.isEmpty() ? db.lastError() : error);
        return Outcome::Failed;
    }
    ui.showMessage(QStringLiteral("设置完成"));
    return Outcome::Done;
}

} // namespace Users
