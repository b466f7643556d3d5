#include "core/DbConnection.h"
#include "core/Dialogs.h"
#include "core/LoginUser.h"
#include "core/ui/CoreScreens.h"
#include "core/ui/LoginDialog.h"
#include "core/ui/MainWindow.h"
#include "core/ui/PickerDialogWindow.h"
#include "core/ui/PromptDialogWindow.h"
#include "core/ui/QueryTableModel.h"
#include "core/ui/Screens.h"
#include "core/ui/WidgetUi.h"
#include "support/ModalDriver.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

using ModalDriver::child;

void pressEnter(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

using ModalDriver::typeText;

// A list screen standing in for the screens of later subsystems.
QWidget* makeList(QWidget*)
{
    auto* w = new QWidget;
    w->setObjectName(QStringLiteral("list"));
    return w;
}

QWidget* makeVoucher(QWidget* owner)
{
    auto* d = new QDialog(owner);
    d->setObjectName(QStringLiteral("voucher"));
    return d;
}

} // namespace

// The login dialog, the main window's menus and rights, and the prompt and picker dialogs,
// driven through their widgets.
class ShellTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestShop> m_shop;

    // The rows the picker's own query gives, read independently of the picker.
    QList<QStringList> answerRows(const PickerSpec& spec)
    {
        QList<QStringList> rows;
        Query q(m_shop->db());
        q.setSql(spec.query);
        if (!q.open())
            return rows;
        for (int r = 0; r < q.recordCount(); ++r) {
            QStringList a;
            for (const QString& f : spec.answerFields)
                a << q.text(r, f);
            rows << a;
        }
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_shop = std::make_unique<TestShop>(true);
        QVERIFY2(m_shop->isValid(), qPrintable(m_shop->error()));
        // Two held sales for the held-sale picker.
        QVERIFY(m_shop->exec(QStringLiteral("insert into xiaoshoud(djbh,rq,sj,qkje,hjje) "
                                            "values('XS01202612090001','2026-12-09','10:00:00',12.5,12.5)")));
        QVERIFY(m_shop->exec(QStringLiteral(
            "insert into xiaoshoud(djbh,rq,sj,qkje,hjje) values('XS01202612090002','2026-12-09','10:05:00',3,3)")));
        QVERIFY(m_shop->exec(QStringLiteral(
            "insert into xiaoshoud(djbh,rq,sj,qkje,hjje) values('XS01202612090003','2026-12-09','10:09:00',0,8)")));
        QFile::copy(QStringLiteral(POS_PROGRAM_DIR "/bj10.bmp"), m_shop->file(QStringLiteral("bj10.bmp")));
        Screens::add(QStringLiteral("Tsplb_form"), makeList);
        Screens::add(QStringLiteral("Txjls_form"), makeList);
        Screens::add(QStringLiteral("Tsprkth_form"), makeVoucher);
        Screens::add(QStringLiteral("Tsprk_form"), makeVoucher);
    }
    void cleanupTestCase() { m_shop.reset(); }
    void init() { LoginUser::reset(); }

    // ---- login dialog ------------------------------------------------------------------------

    void loginByKeyboard()
    {
        ScriptedUi ui;
        LoginDialog dialog(&ui);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* number = child<QLineEdit>(&dialog, "yhbh");
        auto* name = child<QLineEdit>(&dialog, "yhmc");
        auto* password = child<QLineEdit>(&dialog, "yhma");
        auto* confirm = child<QPushButton>(&dialog, "Button1");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("系统登录"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(QApplication::focusWidget(), number);

        // An unknown number: the message, and the number selected for typing again.
        QTest::keyClicks(number, QStringLiteral("009"));
        pressEnter(number);
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("无此编号，请重新输入")});
        QCOMPARE(QApplication::focusWidget(), number);
        QCOMPARE(number->selectedText(), QStringLiteral("009"));
        QVERIFY(name->text().isEmpty());

        // Enter in the number fills the name and moves to the password; Enter there moves to
        // "确认" without logging in; Enter on "确认" logs in.
        QTest::keyClicks(number, QStringLiteral("002"));
        pressEnter(number);
        QCOMPARE(name->text(), QStringLiteral("收银员小王"));
        QCOMPARE(QApplication::focusWidget(), password);
        QTest::keyClicks(password, QStringLiteral("123"));
        pressEnter(password);
        QCOMPARE(QApplication::focusWidget(), confirm);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.outcome(), LoginDialog::Outcome::Pending);
        pressEnter(confirm);
        QCOMPARE(dialog.outcome(), LoginDialog::Outcome::LoggedIn);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(LoginUser::number(), QStringLiteral("002"));
        QCOMPARE(LoginUser::name(), QStringLiteral("收银员小王"));
        QVERIFY(ui.unexpected.isEmpty());
    }

    void loginEnterInNameField()
    {
        ScriptedUi ui;
        LoginDialog dialog(&ui);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* name = child<QLineEdit>(&dialog, "yhmc");
        name->setFocus();
        pressEnter(name);
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&dialog, "yhma"));
    }

    // Alt+F4, the close command and Esc leave the dialog open.
    void loginCannotBeClosed()
    {
        ScriptedUi ui;
        LoginDialog dialog(&ui);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(!dialog.close());
        QTest::keyClick(&dialog, Qt::Key_F4, Qt::AltModifier);
        QTest::keyClick(child<QLineEdit>(&dialog, "yhbh"), Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.outcome(), LoginDialog::Outcome::Pending);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    }

    void loginEnds_data()
    {
        QTest::addColumn<QStringList>("passwords"); // one press of "确认" each; "cancel" presses "取消"
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("messages");
        const QString wrong = QStringLiteral("密码或用户名错误");
        QTest::newRow("cancel") << QStringList{"cancel"} << int(LoginDialog::Outcome::Cancelled) << QStringList{};
        QTest::newRow("wrong then cancel")
            << QStringList{"x", "cancel"} << int(LoginDialog::Outcome::Cancelled) << QStringList{wrong};
        QTest::newRow("fourth press") << QStringList{"x", "y", "z", "123"} << int(LoginDialog::Outcome::LimitReached)
                                      << QStringList{wrong, wrong, wrong, "你只有3次登录机会,系统将关闭"};
        // Number and password without Enter in the number field: the name is the user's.
        QTest::newRow("no enter in number")
            << QStringList{"123"} << int(LoginDialog::Outcome::LoggedIn) << QStringList{};
    }
    void loginEnds()
    {
        QFETCH(QStringList, passwords);
        QFETCH(int, outcome);
        QFETCH(QStringList, messages);
        ScriptedUi ui;
        LoginDialog dialog(&ui);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* number = child<QLineEdit>(&dialog, "yhbh");
        auto* password = child<QLineEdit>(&dialog, "yhma");
        QTest::keyClicks(number, QStringLiteral("001"));
        for (const QString& p : passwords) {
            if (p == QLatin1String("cancel")) {
                QTest::mouseClick(child<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
                break;
            }
            password->setText(p);
            QTest::mouseClick(child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
            if (dialog.outcome() == LoginDialog::Outcome::Pending) {
                // A refused login selects the number again; the password keeps its text.
                QCOMPARE(number->selectedText(), QStringLiteral("001"));
                QCOMPARE(password->text(), p);
            }
        }
        QCOMPARE(int(dialog.outcome()), outcome);
        QCOMPARE(ui.texts(), messages);
        QCOMPARE(dialog.isVisible(), outcome == int(LoginDialog::Outcome::Pending));
        const bool in = outcome == int(LoginDialog::Outcome::LoggedIn);
        QCOMPARE(dialog.result(), in ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(LoginUser::isSet(), in);
        if (in)
            QCOMPARE(LoginUser::name(), QStringLiteral("系统管理员"));
    }

    // ---- main window -------------------------------------------------------------------------

    void mainWindowMenusAfterLogin()
    {
        ScriptedUi ui;
        MainWindow w(&ui);
        w.show();
        QCOMPARE(w.objectName(), QStringLiteral("Tf_main"));
        QCOMPARE(w.windowTitle(), QStringLiteral("超市收银软件"));
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(w.userText(), QStringLiteral("当前登录用户:"));
        QCOMPARE(child<QLabel>(&w, "makerPanel")->text(), QStringLiteral("翠湖软件"));

        QStringList tops;
        for (QAction* a : w.menuBar()->actions())
            tops << a->text();
        QCOMPARE(tops, (QStringList{"基本信息", "商品销售", "商品入库", "库存管理", "数据统计", "会员管理", "系统维护",
                                    "关于本系统"}));
        // Before the login every top menu is usable; only screens that exist can be chosen.
        for (QAction* a : w.menuBar()->actions())
            QVERIFY(a->isEnabled());
        QVERIFY(w.action(QStringLiteral("Tsplb_form"))->isEnabled());
        QVERIFY(!w.action(QStringLiteral("Tspxx_form"))->isEnabled());
        QVERIFY(w.action(QStringLiteral("exit"))->isEnabled());

        // The cashier of the demonstration shop has m2 and m6 only.
        LoginUser::set(QStringLiteral("002"), QStringLiteral("收银员小王"));
        w.userLoggedIn();
        QCOMPARE(w.userText(), QStringLiteral("当前登录用户:收银员小王"));
        QStringList enabled;
        for (QAction* a : w.menuBar()->actions()) {
            if (a->isEnabled())
                enabled << a->text();
        }
        QCOMPARE(enabled, (QStringList{"商品销售", "会员管理", "关于本系统"}));

        // Rights are read once: a later change takes effect at the next start.
        QVERIFY(m_shop->exec(QStringLiteral("update usermenu set m1=1 where yhbh='002'")));
        w.userLoggedIn();
        QVERIFY(!w.topMenu(QStringLiteral("jbxx"))->menuAction()->isEnabled());
        QVERIFY(m_shop->exec(QStringLiteral("update usermenu set m1=0 where yhbh='002'")));

        // Hints follow the mouse.
        Q_EMIT w.topMenu(QStringLiteral("jbxx"))->hovered(w.action(QStringLiteral("Tsplb_form")));
        QCOMPARE(w.hintText(), QStringLiteral("商品类别管理"));
        Q_EMIT w.menuBar()->hovered(w.topMenu(QStringLiteral("xtwh"))->menuAction());
        QCOMPARE(w.hintText(), QStringLiteral("系统维护"));
        Q_EMIT w.topMenu(QStringLiteral("kcgl"))->hovered(w.action(QStringLiteral("Tspbf_form")));
        QCOMPARE(w.hintText(), QString());
        QVERIFY(ui.shown.isEmpty());
        ui.confirms << true;
    }

    void oneScreenRuleAndExit()
    {
        ScriptedUi ui;
        auto w = std::make_unique<MainWindow>(&ui);
        w->show();
        LoginUser::set(QStringLiteral("001"), QStringLiteral("系统管理员"));
        w->userLoggedIn();

        QVERIFY(w->openScreen(QStringLiteral("Tsplb_form")));
        QCOMPARE(w->childScreenCount(), 1);
        QCOMPARE(w->area()->subWindowList().first()->windowTitle(), QStringLiteral("商品类别管理"));
        QVERIFY(w->area()->subWindowList().first()->isMaximized());

        // A second list is refused and the first stays open.
        QVERIFY(!w->openScreen(QStringLiteral("Txjls_form")));
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("请关闭请它窗口")});
        QCOMPARE(ui.shown.first().title, QStringLiteral("系统提示"));
        QCOMPARE(w->childScreenCount(), 1);
        // So is a modal voucher, except the return to supplier.
        QVERIFY(!w->openScreen(QStringLiteral("Tsprk_form")));
        ModalDriver::closeNext();
        QVERIFY(w->openScreen(QStringLiteral("Tsprkth_form")));
        QCOMPARE(ui.shown.size(), 2);

        // Cancel keeps the program and its screens; OK closes them all.
        ui.confirms << false;
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(w->childScreenCount(), 1);
        ui.confirms << true;
        QVERIFY(w->close());
        QCOMPARE(w->childScreenCount(), 0);
        QCOMPARE(ui.confirmTexts, (QStringList{"真的要退出本系统吗？", "真的要退出本系统吗？"}));

        // After its screen closed, the next one opens.
        auto w2 = std::make_unique<MainWindow>(&ui);
        w2->show();
        QVERIFY(w2->openScreen(QStringLiteral("Txjls_form")));
        w2->area()->subWindowList().first()->close();
        QCOMPARE(w2->childScreenCount(), 0);
        QVERIFY(w2->openScreen(QStringLiteral("Tsplb_form")));
        ui.confirms << true;
        w2->close();
    }

    // The about box opens over an open list, centred, and a click closes it.
    void aboutBox()
    {
        registerCoreScreens();
        ScriptedUi ui;
        MainWindow w(&ui);
        w.resize(1000, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.action(QStringLiteral("Tabout_form"))->isEnabled());
        QString seen;
        ModalDriver::when([](QWidget*) { return true; },
                          [&](QWidget* about) {
                              const QLabel* label = about->findChild<QLabel*>(QStringLiteral("Label1"));
                              seen = about->objectName() + QLatin1Char(' ') + QString::number(about->width()) +
                                     QLatin1Char('x') + QString::number(about->height()) + QLatin1Char(' ') +
                                     (label ? label->text() : QString());
                              if (about->frameGeometry().center() != w.frameGeometry().center())
                                  seen += QStringLiteral(" off centre");
                              QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(30, 30));
                          });
        QVERIFY(w.openScreen(QStringLiteral("Tabout_form")));
        QCOMPARE(seen, QStringLiteral("Tabout_form 600x440 版本：翠湖超市收银软件1.0"));
        QVERIFY(!QApplication::activeModalWidget());
        ui.confirms << true;
    }

    // The picture is tiled from the top-left corner; a missing picture is reported.
    void background()
    {
        {
            ScriptedUi ui;
            MainWindow w(&ui);
            w.resize(700, 500);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY(ui.shown.isEmpty());
            const QImage tile = w.area()->tile();
            QVERIFY(!tile.isNull());
            const QImage shot = w.area()->viewport()->grab().toImage();
            const int y = shot.height() - 5; // below the logo
            const int x = 3;
            QCOMPARE(shot.pixelColor(x, y), tile.pixelColor(x, y % tile.height()));
            QCOMPARE(shot.pixelColor(x + tile.width(), y), tile.pixelColor(x, y % tile.height()));
            ui.confirms << true;
        }
        QVERIFY(QFile::rename(m_shop->file(QStringLiteral("bj10.bmp")), m_shop->file(QStringLiteral("bj10.old"))));
        {
            ScriptedUi ui;
            MainWindow w(&ui);
            QCOMPARE(ui.shown.size(), 1);
            QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
            QVERIFY(ui.shown.first().text.contains(QStringLiteral("bj10.bmp")));
            QVERIFY(w.area()->tile().isNull());
            w.show();
            w.area()->viewport()->grab(); // paints without tiles
            ui.confirms << true;
        }
        QVERIFY(QFile::rename(m_shop->file(QStringLiteral("bj10.old")), m_shop->file(QStringLiteral("bj10.bmp"))));
    }

    // ---- prompts -----------------------------------------------------------------------------

    void prompt_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answer"); // the caller's value starts as "before"
        for (const QString& form : Dialogs::promptNames()) {
            const QString def = Dialogs::prompt(form).defaultText;
            const QByteArray f = form.toLatin1();
            QTest::addRow("%s default", f.constData()) << form << "confirm"
                                                       << "" << def;
            QTest::addRow("%s typed as is", f.constData()) << form << "confirm"
                                                           << " 1380000 "
                                                           << " 1380000 ";
            QTest::addRow("%s enter twice", f.constData()) << form << "enter"
                                                           << "12"
                                                           << "12";
            QTest::addRow("%s quit", f.constData()) << form << "quit"
                                                    << "12"
                                                    << "~";
            QTest::addRow("%s close box", f.constData()) << form << "closebox"
                                                         << "12"
                                                         << "before";
            QTest::addRow("%s escape", f.constData()) << form << "escape"
                                                      << "12"
                                                      << "before";
        }
    }
    void prompt()
    {
        QFETCH(QString, form);
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(QString, answer);
        const PromptSpec spec = Dialogs::prompt(form);
        PromptDialogWindow dialog(spec);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.objectName(), form);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("系统提示"));
        QCOMPARE(child<QLabel>(&dialog, "Label1")->text(), spec.question);
        auto* field = child<QLineEdit>(&dialog, spec.fieldName);
        QVERIFY(field);
        QCOMPARE(field->text(), spec.defaultText);
        QCOMPARE(QApplication::focusWidget(), field);
        if (!typed.isEmpty()) {
            field->selectAll();
            QTest::keyClicks(field, typed);
        }
        if (action == QLatin1String("confirm")) {
            QTest::mouseClick(child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
        } else if (action == QLatin1String("enter")) {
            pressEnter(field);
            QVERIFY(dialog.isVisible()); // the first Enter only moves to "确认"
            QCOMPARE(QApplication::focusWidget(), child<QPushButton>(&dialog, "Button1"));
            pressEnter(QApplication::focusWidget());
        } else if (action == QLatin1String("quit")) {
            QTest::mouseClick(child<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
        } else if (action == QLatin1String("closebox")) {
            dialog.close();
        } else {
            QTest::keyClick(field, Qt::Key_Escape);
        }
        QVERIFY(!dialog.isVisible());
        QString value = QStringLiteral("before");
        dialog.writeAnswer(value);
        QCOMPARE(value, answer);
    }

    // The Ui port's prompt and pick run the dialogs modally and hand the answers back.
    void modalThroughTheUiPort()
    {
        WidgetUi ui(nullptr);
        QString answer = QStringLiteral("~");
        ModalDriver::whenForm(QStringLiteral("Txtts2_form"), [](QWidget* w) {
            w->findChild<QLineEdit*>(QStringLiteral("phyxx"))->setText(QStringLiteral("13800000000"));
            w->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        });
        ui.prompt(Dialogs::prompt(QStringLiteral("Txtts2_form")), answer);
        QCOMPARE(answer, QStringLiteral("13800000000"));

        ModalDriver::closeNext();
        ui.prompt(Dialogs::prompt(QStringLiteral("Txtts2_form")), answer);
        QCOMPARE(answer, QStringLiteral("13800000000"));

        QStringList answers{QStringLiteral("~"), QStringLiteral("~")};
        ModalDriver::when([](QWidget* w) { return qobject_cast<PickerDialogWindow*>(w) != nullptr; },
                          [](QWidget* modal) {
                              auto* w = static_cast<PickerDialogWindow*>(modal);
                              w->findChild<QLineEdit*>(QStringLiteral("filter"))->setText(QStringLiteral("百事"));
                              w->applyFilterNow();
                              w->findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click();
                          });
        ui.pick(Dialogs::picker(QStringLiteral("Tsphelp5_form")), answers);
        QCOMPARE(answers, (QStringList{QStringLiteral("1002"), QStringLiteral("百事可乐")}));

        ModalDriver::closeNext();
        ui.pick(Dialogs::picker(QStringLiteral("Tsphelp9_form")), answers);
        QCOMPARE(answers, (QStringList{QStringLiteral("1002"), QStringLiteral("百事可乐")}));
    }

    // ---- pickers -----------------------------------------------------------------------------

    void picker_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("row"); // the row whose answers come back; -1: "~" each; -2: nothing written
        for (const QString& form : Dialogs::pickerNames()) {
            const QByteArray f = form.toLatin1();
            QTest::addRow("%s confirm", f.constData()) << form << "confirm" << 0;
            QTest::addRow("%s double click", f.constData()) << form << "doubleclick" << 1;
            QTest::addRow("%s down and enter", f.constData()) << form << "downenter" << 1;
            QTest::addRow("%s close", f.constData()) << form << "close" << -1;
            QTest::addRow("%s escape", f.constData()) << form << "escape" << -1;
            QTest::addRow("%s close box", f.constData()) << form << "closebox" << -2;
        }
    }
    void picker()
    {
        QFETCH(QString, form);
        QFETCH(QString, action);
        QFETCH(int, row);
        const PickerSpec spec = Dialogs::picker(form);
        const QList<QStringList> rows = answerRows(spec);
        QVERIFY2(rows.size() >= 2, qPrintable(form));

        PickerDialogWindow dialog(spec);
        QVERIFY(dialog.load());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.objectName(), form);
        QCOMPARE(dialog.windowTitle(), spec.caption);
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        auto* grid = child<QTableView>(&dialog, "DBGrid1");
        QCOMPARE(grid->model()->rowCount(), int(rows.size()));
        QCOMPARE(grid->model()->columnCount(), int(spec.columns.size()));
        for (int c = 0; c < spec.columns.size(); ++c)
            QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), spec.columns.at(c).caption);
        QCOMPARE(grid->currentIndex().row(), 0);
        QCOMPARE(child<QToolButton>(&dialog, "ToolButton1")->text(), QStringLiteral("确认选择"));
        QCOMPARE(child<QToolButton>(&dialog, "ToolButton5")->text(), QStringLiteral("关闭"));
        auto* filter = dialog.findChild<QLineEdit*>(QStringLiteral("filter"));
        QCOMPARE(filter != nullptr, spec.filterable);
        QWidget* focus = filter ? static_cast<QWidget*>(filter) : grid;
        QCOMPARE(QApplication::focusWidget(), focus);

        if (action == QLatin1String("confirm")) {
            QTest::mouseClick(child<QToolButton>(&dialog, "ToolButton1"), Qt::LeftButton);
        } else if (action == QLatin1String("doubleclick")) {
            const QRect cell = grid->visualRect(grid->model()->index(1, 0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        } else if (action == QLatin1String("downenter")) {
            QTest::keyClick(focus, Qt::Key_Down);
            QCOMPARE(grid->currentIndex().row(), 1);
            QCOMPARE(QApplication::focusWidget(), focus);
            pressEnter(focus);
        } else if (action == QLatin1String("close")) {
            QTest::mouseClick(child<QToolButton>(&dialog, "ToolButton5"), Qt::LeftButton);
        } else if (action == QLatin1String("escape")) {
            QTest::keyClick(focus, Qt::Key_Escape);
        } else {
            dialog.close();
        }
        QVERIFY(!dialog.isVisible());

        QStringList answers{QStringLiteral("before")};
        dialog.writeAnswers(answers);
        if (row >= 0)
            QCOMPARE(answers, rows.at(row));
        else if (row == -1)
            QCOMPARE(answers, QStringList(spec.answerFields.size(), QStringLiteral("~")));
        else
            QCOMPARE(answers, QStringList{QStringLiteral("before")});
    }

    // A filter that finds many rows shows the rows known at once; the grid scrolled to its end
    // counts the rest and shows them, and so does a count the screen asks for.
    void broadFilterGridGrows()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const int n = 2300;
        QVERIFY(shop.db().transaction([&] {
            for (int i = 0; i < n; ++i) {
                if (!shop.exec(QStringLiteral("insert into spinfo(spbh,spmc) values(:B,:M)"),
                               {{"B", QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'))},
                                {"M", QStringLiteral("商品%1").arg(i)}}))
                    return false;
            }
            return true;
        }));
        const PickerSpec spec = Dialogs::picker(QStringLiteral("Tsphelp2_form"));
        PagedQuery rows(shop.db(), spec.query, PagedQuery::productFilterFields());
        auto model = std::make_unique<QueryTableModel>(rows, spec.columns);
        QTableView grid;
        grid.setModel(model.get());
        grid.resize(600, 400);
        grid.show();
        QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
        QVERIFY(model->refilter(QStringLiteral("商品")));
        QCOMPARE(model->rowCount(), PagedQuery::kHeldWhole + 1);
        QVERIFY(model->canFetchMore(QModelIndex()));
        QCoreApplication::processEvents();
        QCOMPARE(inserted.size(), 0);
        // To the end of the grid: the rest are counted and added.
        grid.scrollToBottom();
        QTRY_COMPARE(model->rowCount(), n);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), PagedQuery::kHeldWhole + 1);
        QCOMPARE(inserted.first().at(2).toInt(), n - 1);
        QVERIFY(!model->canFetchMore(QModelIndex()));
        QCOMPARE(model->index(n - 1, 0).data().toString(), QStringLiteral("%1").arg(n - 1, 5, 10, QLatin1Char('0')));

        // The screen asks for the number itself (末条): the grid is told as well.
        QVERIFY(model->refilter(QStringLiteral("商")));
        QCOMPARE(model->rowCount(), PagedQuery::kHeldWhole + 1);
        QCOMPARE(rows.count(), n);
        QCOMPARE(model->rowCount(), n);
        QCOMPARE(grid.verticalHeader()->count(), n);
        // A model that is gone hears no more.
        model.reset();
        QVERIFY(rows.setFilter(QStringLiteral("0")));
        QCOMPARE(rows.count(), n);
    }

    // A page that cannot be read while the grid paints is reported once, not swallowed.
    void pickerReadFailure()
    {
        TestShop shop;
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.db().transaction([&] {
            for (int i = 0; i < PagedQuery::kPageSize + 10; ++i) {
                if (!shop.exec(QStringLiteral("insert into spinfo(spbh,spmc) values(:B,'x')"), {{"B", i}}))
                    return false;
            }
            return true;
        }));
        const PickerSpec spec = Dialogs::picker(QStringLiteral("Tsphelp2_form"));
        PagedQuery rows(shop.db(), spec.query, PagedQuery::productFilterFields());
        QueryTableModel model(rows, spec.columns);
        QSignalSpy failed(&model, &QueryTableModel::readFailed);
        QVERIFY(model.refilter(QString()));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("1"));
        QVERIFY(shop.exec(QStringLiteral("drop table spinfo")));
        QCOMPARE(model.index(PagedQuery::kPageSize + 1, 0).data().toString(), QString());
        model.index(PagedQuery::kPageSize + 2, 0).data();
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.first().first().toString().contains(QStringLiteral("spinfo")));
    }

    // An empty table answers empty texts, not "~".
    void pickerEmptyTable()
    {
        TestShop empty;
        QVERIFY2(empty.isValid(), qPrintable(empty.error()));
        for (const QString& form : {QStringLiteral("Tsphelp6_form"), QStringLiteral("Tsphelp2_form")}) {
            PickerDialogWindow dialog(Dialogs::picker(form));
            QVERIFY(dialog.load());
            QCOMPARE(dialog.rowCount(), 0);
            dialog.show();
            QTest::mouseClick(child<QToolButton>(&dialog, "ToolButton1"), Qt::LeftButton);
            QStringList answers{QStringLiteral("~"), QStringLiteral("~")};
            dialog.writeAnswers(answers);
            QCOMPARE(answers, (QStringList{QString(), QString()}));
        }
    }

    void pickerFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("firstName"); // empty: nothing matches
        QTest::newRow("empty shows all") << ""
                                         << "可口可乐";
        QTest::newRow("name") << "可乐"
                              << "可口可乐";
        QTest::newRow("pinyin in lower case") << "bskl"
                                              << "百事可乐";
        QTest::newRow("barcode") << "6900001003007"
                                 << "农夫山泉矿泉水";
        QTest::newRow("number") << "1004"
                                << "康师傅冰红茶";
        QTest::newRow("blanks around") << "  NFSQ "
                                       << "农夫山泉矿泉水";
        QTest::newRow("wildcard is literal") << "%"
                                             << "";
        QTest::newRow("underscore is literal") << "_"
                                               << "";
        QTest::newRow("quote") << "'"
                               << "";
        QTest::newRow("no match") << "zzzz"
                                  << "";
    }
    void pickerFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, firstName);
        const PickerSpec spec = Dialogs::picker(QStringLiteral("Tsphelp2_form"));
        // The rows the filter should leave, found here by plain string matching.
        Query all(m_shop->db());
        all.setSql(spec.query);
        QVERIFY(all.open());
        const QString needle = typed.trimmed();
        QStringList expected;
        for (int r = 0; r < all.recordCount(); ++r) {
            for (const char* f : {"spbh", "spmc", "tiaoma", "pinma"}) {
                if (all.text(r, QLatin1String(f)).contains(needle, Qt::CaseInsensitive)) {
                    expected << all.text(r, QStringLiteral("spbh"));
                    break;
                }
            }
        }

        PickerDialogWindow dialog(spec);
        QVERIFY(dialog.load());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* filter = child<QLineEdit>(&dialog, "filter");
        auto* grid = child<QTableView>(&dialog, "DBGrid1");
        typeText(filter, typed);
        // The grid narrows after a short pause in typing.
        QTRY_COMPARE(dialog.rowCount(), int(expected.size()));
        QStringList shown;
        for (int r = 0; r < dialog.rowCount(); ++r)
            shown << grid->model()->index(r, 0).data().toString();
        QCOMPARE(shown, expected);
        if (firstName.isEmpty()) {
            QVERIFY(expected.isEmpty());
        } else {
            QCOMPARE(grid->currentIndex().row(), 0);
            QCOMPARE(grid->model()->index(0, 1).data().toString(), firstName);
        }
        pressEnter(filter);
        QStringList answers;
        dialog.writeAnswers(answers);
        const QStringList chosen =
            firstName.isEmpty() ? QStringList{QString(), QString()} : QStringList{expected.first(), firstName};
        QCOMPARE(answers, chosen);
    }

    // Enter right after typing uses the new filter; typing on the grid goes on in the filter.
    void pickerFilterKeys()
    {
        PickerDialogWindow dialog(Dialogs::picker(QStringLiteral("Tsphelp7_form")));
        QVERIFY(dialog.load());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* filter = child<QLineEdit>(&dialog, "filter");
        auto* grid = child<QTableView>(&dialog, "DBGrid1");
        grid->setFocus();
        QTest::keyClicks(grid, QStringLiteral("KSF"));
        QCOMPARE(filter->text(), QStringLiteral("KSF"));
        QCOMPARE(QApplication::focusWidget(), filter);
        pressEnter(filter);
        QStringList answers;
        dialog.writeAnswers(answers);
        QCOMPARE(answers, (QStringList{QStringLiteral("1004"), QStringLiteral("康师傅冰红茶")}));

        // Enter on the focused "关闭" presses it.
        PickerDialogWindow second(Dialogs::picker(QStringLiteral("Tsphelp7_form")));
        QVERIFY(second.load());
        second.show();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        auto* close = child<QToolButton>(&second, "ToolButton5");
        close->setFocus();
        QTest::keyClick(close, Qt::Key_Return);
        QVERIFY(!second.isVisible());
        second.writeAnswers(answers);
        QCOMPARE(answers, (QStringList{QStringLiteral("~"), QStringLiteral("~")}));
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
