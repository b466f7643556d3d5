#include "core/Login.h"

#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/Ui.h"

namespace {
const QString kLoginTitle = QStringLiteral("系统登录提示");
}

Login::Login(DbConnection& db, Ui& ui) : m_db(db), m_ui(ui) {}

bool Login::start()
{
    m_attempts = 0;
    Query q(m_db);
    q.close();
    q.clear();
    q.add(QStringLiteral("select * from userlogin order by yhbh"));
    if (!q.open()) {
        m_ui.showError(q.lastError());
        return false;
    }
    return true;
}

bool Login::lookupUserName(const QString& number, QString* name)
{
    return findUser(number, nullptr, name) == Found::Yes;
}

bool Login::checkLogin(const QString& number, const QString& password, QString* matchedName)
{
    return findUser(number, &password, matchedName) == Found::Yes;
}

Login::Found Login::findUser(const QString& number, const QString* password, QString* name)
{
    if (name)
        name->clear();
    // Nobody logs in without a number: the menu rights are read by it, and an empty number
    // would leave every menu usable.
    if (number.isEmpty())
        return Found::No;
    Query q(m_db);
    q.close();
    q.clear();
    if (password) {
        q.add(QStringLiteral("select * from userlogin where yhbh=:YHBH and yhma=:YHMA"));
        q.bind(QStringLiteral("YHMA"), *password);
    } else {
        q.add(QStringLiteral("select * from userlogin where yhbh=:YHBH"));
    }
    q.bind(QStringLiteral("YHBH"), number);
    if (!q.open()) {
        m_ui.showError(q.lastError());
        return Found::Error;
    }
    if (q.recordCount() <= 0)
        return Found::No;
    if (name)
        *name = q.text(QStringLiteral("yhmc"));
    return Found::Yes;
}

bool Login::enterNumber(const QString& number, QString* name)
{
    QString foundName;
    const Found found = findUser(number, nullptr, &foundName);
    // A database error has been shown already; only a number that is not there gets the hint.
    if (found == Found::No)
        m_ui.showMessage(QStringLiteral("无此编号，请重新输入"));
    if (found == Found::Yes) {
        m_filledNumber = number;
        m_filledName = foundName;
    }
    if (name)
        *name = foundName;
    return found == Found::Yes;
}

Login::Outcome Login::confirm(const QString& number, const QString& password, const QString& nameField)
{
    ++m_attempts;
    if (m_attempts > kMaxAttempts) {
        // Three attempts have failed: this one is not tried.
        m_ui.messageBox(kLoginTitle, QStringLiteral("你只有3次登录机会,系统将关闭"), Ui::Icon::Warning);
        return Outcome::LimitReached;
    }
    QString matchedName;
    const Found found = findUser(number, &password, &matchedName);
    if (found == Found::Error)
        return Outcome::Refused; // the engine's error has been shown
    if (found == Found::No) {
        m_ui.messageBox(kLoginTitle, QStringLiteral("密码或用户名错误"), Ui::Icon::Warning);
        return Outcome::Refused;
    }
    // Number and password typed without Enter in the number field leave the name field empty;
    // the operator recorded on every voucher is then the matched user's name, not "". So it is
    // when the name field still shows the name looked up for another number (the number was
    // changed afterwards without Enter). A name the person typed is kept.
    const bool staleName = !m_filledNumber.isNull() && number != m_filledNumber && nameField == m_filledName;
    LoginUser::set(number, nameField.isEmpty() || staleName ? matchedName : nameField);
    return Outcome::LoggedIn;
}
