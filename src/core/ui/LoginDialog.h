#pragma once

#include "core/DbConnection.h"
#include "core/Login.h"
#include "core/ui/WidgetUi.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QPushButton;

// The login dialog "系统登录". It ends only by a successful login (accepted), by "取消" or by
// the fourth press of "确认" (both rejected: the program then ends); the window system's close
// command is ignored.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Pending, LoggedIn, Cancelled, LimitReached };

    // Messages go to ui; without one they are real message boxes.
    explicit LoginDialog(Ui* ui = nullptr, QWidget* parent = nullptr);
    ~LoginDialog() override;

    Outcome outcome() const { return m_outcome; }
    int attempts() const { return m_login->attempts(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void numberEntered();
    void confirmClicked();
    void cancelClicked();
    void finish(Outcome outcome);

    WidgetUi m_widgetUi{this};
    Ui* m_ui;
    DbConnection m_db;
    std::unique_ptr<Login> m_login;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_confirm = nullptr;
    QPushButton* m_cancel = nullptr;
    Outcome m_outcome = Outcome::Pending;
    bool m_finishing = false;
};
