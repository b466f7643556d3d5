#include "admin/UserScreens.h"
#include "admin/ui/AdminScreens.h"
#include "admin/ui/BackupDialog.h"
#include "admin/ui/RightsDialog.h"
#include "core/Clock.h"
#include "core/DbConnection.h"
#include "core/LoginUser.h"
#include "core/ui/MainWindow.h"
#include "core/ui/RecordDialog.h"
#include "core/ui/Screens.h"
#include "support/ModalDriver.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// The windows of 系统维护 driven as a person would: the rights dialog's moves and 确认, and a
// backup and a restore through the backup dialog with its file dialogs.
class AdminWindowsTest : public QObject {
    Q_OBJECT

    // Message boxes are recorded and closed with OK; a file dialog goes to the next handler;
    // any other dialog that comes up is recorded and closed at once.
    struct Modals : ModalDriver::Script {
        Modals() : Script(true) {}
        void onFileDialog(const std::function<void(QFileDialog*)>& handle)
        {
            expect([](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; },
                   [handle](QWidget* w) { handle(static_cast<QFileDialog*>(w)); });
        }
    };

    static QStringList items(QListWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

    static void select(QListWidget* list, const QStringList& texts)
    {
        list->clearSelection();
        for (const QString& t : texts)
            list->findItems(t, Qt::MatchExactly).first()->setSelected(true);
    }

private Q_SLOTS:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(15, 30, 0))); }
    void cleanup() { Clock::reset(); }

    // Every item of 系统维护 opens its screen from the main window: the user list as a child, the
    // other three as dialogs.
    void everyItemOpensItsScreen()
    {
        TestShop shop(true);
        registerAdminScreens();
        LoginUser::set(QStringLiteral("001"), QStringLiteral("系统管理员"));
        // The main window's own questions (the missing background picture) go to a script.
        ScriptedUi ui;
        MainWindow window(&ui);
        window.show();
        window.userLoggedIn();
        Modals modals;
        QVERIFY(window.openScreen(QStringLiteral("Tuser_form")));
        QCOMPARE(window.childScreenCount(), 1);
        auto* list = window.findChild<QWidget*>(QStringLiteral("Tuser_form"));
        QVERIFY(list);
        QCOMPARE(list->windowTitle(), QStringLiteral("用户信息管理"));
        list->close();
        QTRY_COMPARE(window.childScreenCount(), 0);
        for (const char* form : {"Txtsz_form", "Tcsh_form", "Tbackup_form"})
            QVERIFY2(window.openScreen(QLatin1String(form)), form);
        QCOMPARE(modals.closed,
                 (QStringList{QStringLiteral("Txtsz_form/系统参数设置"), QStringLiteral("Tcsh_form/系统初始化"),
                              QStringLiteral("Tbackup_form/数据备份与还原")}));
        QVERIFY(modals.messages.isEmpty());
        LoginUser::reset();
    }

    // No password is on the screen in clear: the list's 用户密码 column shows "******" for every
    // user, and the add and edit dialogs take and show it with password echo.
    void passwordsHidden()
    {
        TestShop shop(true);
        std::unique_ptr<QWidget> list(AdminScreens::openUserList(nullptr));
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        auto* grid = list->findChild<QTableView*>();
        QVERIFY(grid);
        const QAbstractItemModel* model = grid->model();
        int column = -1;
        for (int c = 0; c < model->columnCount(); ++c) {
            if (model->headerData(c, Qt::Horizontal).toString() == QStringLiteral("用户密码"))
                column = c;
        }
        QVERIFY(column >= 0);
        QCOMPARE(model->rowCount(), 2);
        for (int r = 0; r < model->rowCount(); ++r)
            QCOMPARE(model->index(r, column).data().toString(), QStringLiteral("******"));

        const auto makeForm = [](RecordForm::Mode mode) {
            return [mode](Ui& ui) { return std::make_unique<UserForm>(mode, ui); };
        };
        RecordDialog add(makeForm(RecordForm::Mode::Add), QString());
        RecordDialog edit(makeForm(RecordForm::Mode::Edit), QStringLiteral("002"));
        QVERIFY(add.isReady());
        QVERIFY(edit.isReady());
        for (RecordDialog* dialog : {&add, &edit}) {
            auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("yhma"));
            QVERIFY2(password, qPrintable(dialog->objectName()));
            QCOMPARE(password->echoMode(), QLineEdit::Password);
        }
        // The edit dialog holds the stored password, hidden.
        QCOMPARE(edit.findChild<QLineEdit*>(QStringLiteral("yhma"))->text(), QStringLiteral("123"));
    }

    // The rights dialog: the held rights on the right, the moves, 确认 granting and taking away.
    void rightsDialogMoves()
    {
        TestShop shop(true);
        QVERIFY(shop.exec(QStringLiteral("insert into userlogin(yhbh,yhmc) values('003','新人')")));
        QVERIFY(shop.exec(QStringLiteral("insert into usermenu(yhbh) values('003')")));
        Modals modals;
        auto rights = [&] {
            QStringList list;
            for (int i = 1; i <= 7; ++i)
                list << shop.scalar(QStringLiteral("select m%1 from usermenu where yhbh='003'").arg(i)).toString();
            return list;
        };
        {
            RightsDialog dialog(QStringLiteral("003"));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            auto* src = dialog.findChild<QListWidget*>(QStringLiteral("SrcList"));
            auto* dst = dialog.findChild<QListWidget*>(QStringLiteral("DstList"));
            auto button = [&](const char* name) { return dialog.findChild<QPushButton*>(QLatin1String(name)); };
            QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("当前用户：新人"));
            QCOMPARE(src->count(), 7);
            QCOMPARE(dst->count(), 0);
            QVERIFY(!button("ExcludeBtn")->isEnabled());
            QVERIFY(!button("ExAllBtn")->isEnabled());

            select(src, {QStringLiteral("A1基本信息"), QStringLiteral("C1商品入库")});
            QTest::mouseClick(button("IncludeBtn"), Qt::LeftButton);
            QCOMPARE(items(dst), (QStringList{QStringLiteral("C1商品入库"), QStringLiteral("A1基本信息")}));
            QCOMPARE(src->count(), 5);
            QVERIFY(src->hasFocus());
            QCOMPARE(src->currentRow(), 0);
            QVERIFY(button("ExcludeBtn")->isEnabled());

            // Enter presses 确认.
            QTest::keyClick(src, Qt::Key_Return);
            QTRY_COMPARE(modals.messages, QStringList{QStringLiteral("设置完成")});
            QCOMPARE(rights(), (QStringList{"1", "0", "1", "0", "0", "0", "0"}));
        }
        {
            RightsDialog dialog(QStringLiteral("003"));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            auto* src = dialog.findChild<QListWidget*>(QStringLiteral("SrcList"));
            auto* dst = dialog.findChild<QListWidget*>(QStringLiteral("DstList"));
            auto button = [&](const char* name) { return dialog.findChild<QPushButton*>(QLatin1String(name)); };
            QCOMPARE(items(dst), (QStringList{QStringLiteral("A1基本信息"), QStringLiteral("C1商品入库")}));
            select(dst, {QStringLiteral("C1商品入库")});
            QTest::mouseClick(button("ExcludeBtn"), Qt::LeftButton);
            QCOMPARE(items(dst), QStringList{QStringLiteral("A1基本信息")});
            QVERIFY(dst->hasFocus());
            QCOMPARE(src->count(), 6);
            QCOMPARE(items(src), (QStringList{QStringLiteral("B1商品销售"), QStringLiteral("C1商品入库"),
                                              QStringLiteral("D1库存管理"), QStringLiteral("E1数据统计"),
                                              QStringLiteral("F1会员管理"), QStringLiteral("G1系统维护")}));
            QTest::mouseClick(button("OKBtn"), Qt::LeftButton);
            QTRY_COMPARE(modals.messages.size(), 2);
            QCOMPARE(rights(), (QStringList{"1", "0", "0", "0", "0", "0", "0"}));

            QTest::mouseClick(button("IncAllBtn"), Qt::LeftButton);
            QCOMPARE(src->count(), 0);
            QVERIFY(!button("IncludeBtn")->isEnabled());
            QVERIFY(!button("IncAllBtn")->isEnabled());
            QTest::mouseClick(button("ExAllBtn"), Qt::LeftButton);
            QCOMPARE(items(src).size(), 7);
            QVERIFY(!button("ExcludeBtn")->isEnabled());
            // Esc leaves without writing.
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(rights(), (QStringList{"1", "0", "0", "0", "0", "0", "0"}));
        }
    }

    // A backup with the proposed name, a change, and the restore of that backup through the
    // dialog: the wait text and the progress bar while it works, the main window's connection
    // closed and opened again on the restored data; a second backup under the same name fails.
    void backupAndRestoreThroughDialog()
    {
        TestShop shop(true);
        const QString proposed = shop.file(QStringLiteral("pos2026-12-10.bak"));
        DbConnection mainWindow;
        QVERIFY(mainWindow.open());
        Modals modals;
        BackupDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* status = dialog.findChild<QLabel*>(QStringLiteral("Panel1"));
        auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
        QVERIFY(status->isHidden());
        QVERIFY(bar->isHidden());
        int highest = 0;
        connect(bar, &QProgressBar::valueChanged, this, [&](int v) { highest = qMax(highest, v); });

        QString seenStatus;
        modals.onFileDialog([&](QFileDialog* files) {
            QCOMPARE(files->windowTitle(), QStringLiteral("备份文件"));
            QCOMPARE(files->selectedFiles().value(0), proposed);
            seenStatus = status->isVisible() ? status->text() : QString();
            static_cast<QDialog*>(files)->accept();
        });
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("backup")), Qt::LeftButton);
        QTRY_COMPARE(modals.messages, QStringList{QStringLiteral("备份成功！")});
        QCOMPARE(seenStatus, QStringLiteral("系统正在备份，请等待..."));
        QCOMPARE(highest, 100);
        QVERIFY(status->isHidden());
        QVERIFY(bar->isHidden());
        QVERIFY(QFileInfo::exists(proposed));
        const qint64 size = QFileInfo(proposed).size();

        // Later that day.
        const int products = shop.count(QStringLiteral("spinfo"));
        QVERIFY(shop.exec(QStringLiteral("delete from spinfo")));
        QVERIFY(shop.exec(QStringLiteral("insert into hyinfo(hykh,hyxm) values('8809','下午的会员')")));

        highest = 0;
        modals.onFileDialog([&](QFileDialog* files) {
            QCOMPARE(files->windowTitle(), QStringLiteral("恢复文件"));
            seenStatus = status->isVisible() ? status->text() : QString();
            // Typed into the name field, as a person would.
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(proposed);
            static_cast<QDialog*>(files)->accept();
        });
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("restore")), Qt::LeftButton);
        QTRY_COMPARE(modals.messages.size(), 2);
        const QString kept = shop.file(QStringLiteral("pos-恢复前-2026-12-10-153000.bak"));
        QCOMPARE(modals.messages.last(), QStringLiteral("成功恢复数据！\n恢复前的数据已备份到 %1").arg(kept));
        QCOMPARE(seenStatus, QStringLiteral("系统正在恢复，请等待..."));
        QCOMPARE(highest, 100);
        QVERIFY(mainWindow.isOpen());
        Query q(mainWindow);
        q.setSql(QStringLiteral("select count(*) as n from spinfo"));
        QVERIFY(q.open());
        QCOMPARE(q.integer(QStringLiteral("n")), products);
        QCOMPARE(shop.count(QStringLiteral("hyinfo"), QStringLiteral("hykh='8809'")), 0);

        // The proposed name again: refused, the first backup as it was.
        modals.onFileDialog([](QFileDialog* files) { static_cast<QDialog*>(files)->accept(); });
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("backup")), Qt::LeftButton);
        QTRY_COMPARE(modals.messages.size(), 3);
        QVERIFY2(modals.messages.last().startsWith(QStringLiteral("备份失败，请重试！")),
                 qPrintable(modals.messages.last()));
        QCOMPARE(QFileInfo(proposed).size(), size);
    }
};

QTEST_MAIN(AdminWindowsTest)
#include "tst_adminwindows.moc"
