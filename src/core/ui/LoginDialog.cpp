#include "core/ui/LoginDialog.h"

#include "core/ui/MainWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

LoginDialog::LoginDialog(Ui* ui, QWidget* parent) : QDialog(parent), m_ui(ui ? ui : &m_widgetUi)
{
    setObjectName(QStringLiteral("Tqx_form"));
    setWindowTitle(QStringLiteral("系统登录"));
    // A title bar without buttons: the dialog is left only through its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setStyleSheet(QStringLiteral("QLineEdit { padding: 2px; }"
                                 "QLineEdit#yhma { lineedit-password-character: 42; }"));

    auto* banner = new QLabel(QStringLiteral("翠湖超市收银系统"), this);
    QFont bannerFont = banner->font();
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.6);
    bannerFont.setBold(true);
    banner->setFont(bannerFont);
    banner->setAlignment(Qt::AlignCenter);
    banner->setStyleSheet(QStringLiteral("color: #1d5e3a; padding: 6px;"));

    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("yhbh"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("yhmc"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("yhma"));
    m_password->setEchoMode(QLineEdit::Password);
    for (QLineEdit* e : {m_number, m_name, m_password}) {
        e->setMinimumWidth(180);
        e->installEventFilter(this);
    }

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    form->addWidget(new QLabel(QStringLiteral("用户编号"), this), 0, 0);
    form->addWidget(m_number, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("用户名称"), this), 1, 0);
    form->addWidget(m_name, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("密    码"), this), 2, 0);
    form->addWidget(m_password, 2, 1);

    m_confirm = new QPushButton(QStringLiteral("确认"), this);
    m_confirm->setObjectName(QStringLiteral("Button1"));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("Button2"));
    // Enter presses only the button that has the focus.
    m_confirm->setAutoDefault(true);
    m_cancel->setAutoDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    buttons->addWidget(m_cancel);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(12);
    layout->addWidget(banner);
    layout->addWidget(line);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_number, m_password);
    setTabOrder(m_password, m_confirm);
    setTabOrder(m_confirm, m_cancel);
    setTabOrder(m_cancel, m_name);
    m_number->setFocus();

    connect(m_confirm, &QPushButton::clicked, this, &LoginDialog::confirmClicked);
    connect(m_cancel, &QPushButton::clicked, this, &LoginDialog::cancelClicked);

    // Centred on the desktop.
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_login = std::make_unique<Login>(m_db, *m_ui);
    if (!m_db.open())
        m_ui->showError(m_db.lastError());
    else
        m_login->start();
}

LoginDialog::~LoginDialog()
{
    m_db.close();
}

bool LoginDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == m_number) {
                numberEntered();
                return true;
            }
            if (watched == m_name) {
                m_password->setFocus();
                return true;
            }
            if (watched == m_password) {
                // Enter here does not log in: a further Enter on the button does.
                m_confirm->setFocus();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LoginDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc has no meaning here.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LoginDialog::closeEvent(QCloseEvent* event)
{
    // The window system's close command (Alt+F4) is ignored.
    if (!m_finishing) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void LoginDialog::reject()
{
    if (m_finishing)
        QDialog::reject();
}

void LoginDialog::numberEntered()
{
    QString name;
    if (m_login->enterNumber(m_number->text(), &name)) {
        m_name->setText(name);
        m_password->setFocus();
    } else {
        m_number->setFocus();
        m_number->selectAll();
    }
}

void LoginDialog::confirmClicked()
{
    switch (m_login->confirm(m_number->text(), m_password->text(), m_name->text())) {
    case Login::Outcome::LoggedIn:
        finish(Outcome::LoggedIn);
        break;
    case Login::Outcome::LimitReached:
        MainWindow::showTaskbar();
        finish(Outcome::LimitReached);
        break;
    case Login::Outcome::Refused:
        // The name and the password keep their text.
        m_number->setFocus();
        m_number->selectAll();
        break;
    }
}

void LoginDialog::cancelClicked()
{
    MainWindow::showTaskbar();
    finish(Outcome::Cancelled);
}

void LoginDialog::finish(Outcome outcome)
{
    m_outcome = outcome;
    m_finishing = true;
    m_db.close();
    done(outcome == Outcome::LoggedIn ? QDialog::Accepted : QDialog::Rejected);
}
