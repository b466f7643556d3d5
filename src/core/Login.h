#pragma once

#include <QString>

class DbConnection;
class Ui;

// The login: looks users up in userlogin, checks number and password, counts the presses of
// "确认" and sets LoginUser when a login succeeds. The login dialog forwards its keys here.
class Login {
public:
    // How a press of "确认" ended.
    enum class Outcome {
        LoggedIn,     // LoginUser is set; the dialog closes
        Refused,      // wrong number or password (or the table could not be read); try again
        LimitReached, // the fourth press: the program ends without checking it
    };

    static constexpr int kMaxAttempts = 3;

    Login(DbConnection& db, Ui& ui);

    // The dialog's start: reads the user table once, as the dialog always has.
    // A database error is shown and gives false.
    bool start();

    // The name of a user number; false (and an empty name) when the number is not found.
    // A database error is shown through the Ui.
    bool lookupUserName(const QString& number, QString* name);
    // Whether the pair is in userlogin; the matched row's name goes into matchedName.
    bool checkLogin(const QString& number, const QString& password, QString* matchedName = nullptr);

    // Enter in the number field: the user's name, or the message "无此编号，请重新输入" and
    // false (the dialog then selects the number again).
    bool enterNumber(const QString& number, QString* name);

    // "确认" with the texts of the three fields.
    Outcome confirm(const QString& number, const QString& password, const QString& nameField);

    int attempts() const { return m_attempts; }

private:
    enum class Found { Yes, No, Error };
    // The userlogin row of a number (and password, when given); an error is shown.
    Found findUser(const QString& number, const QString* password, QString* name);

    DbConnection& m_db;
    Ui& m_ui;
    int m_attempts = 0;
    // The number last found by Enter and the name it put into the name field.
    QString m_filledNumber;
    QString m_filledName;
};
