#include "core/Clock.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"
#include "core/ui/LoginDialog.h"
#include "core/ui/MainWindow.h"
#include "sales/SalesFixture.h"
#include "sales/ui/CheckoutDialog.h"
#include "sales/ui/SalesScreens.h"
#include "sales/ui/SalesVoucherWindow.h"
#include "support/ModalDriver.h"
#include "support/TestShop.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

// The till as the cashier uses it: the login, the menu, keys on the real windows, a real
// database, the receipt file and the bytes that reach the printer.
class TillTest : public QObject {
    Q_OBJECT

    static void type(QWidget* widget, const QString& text)
    {
        QTest::keyClicks(widget, text);
        QTest::keyClick(widget, Qt::Key_Return);
    }

    static QByteArray readAll(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The member prompt: the card typed over the "0", then "确认".
    static void answerMember(QWidget* prompt)
    {
        auto* field = prompt->findChild<QLineEdit*>(QStringLiteral("phyxx"));
        QCOMPARE(field->text(), QStringLiteral("0"));
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("88000001"));
        prompt->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    }

    // Pays on the checkout by keyboard: the amount, Enter, a key in the change, Enter on the
    // confirm button.
    static void pay(QWidget* dialog, const QString& title, const QString& due, const QString& tendered,
                    const QString& change)
    {
        QCOMPARE(dialog->windowTitle(), title);
        auto* hj = dialog->findChild<QLineEdit*>(QStringLiteral("hj"));
        auto* sk = dialog->findChild<QLineEdit*>(QStringLiteral("sk"));
        auto* zhao = dialog->findChild<QLineEdit*>(QStringLiteral("zhao"));
        QCOMPARE(hj->text(), due);
        QCOMPARE(QApplication::focusWidget(), sk);
        type(sk, tendered);
        QCOMPARE(zhao->text(), change);
        QCOMPARE(QApplication::focusWidget(), zhao);
        QTest::keyClick(zhao, Qt::Key_Space);
        auto* confirm = dialog->findChild<QPushButton*>(QStringLiteral("Button1"));
        QCOMPARE(QApplication::focusWidget(), confirm);
        QTest::keyClick(confirm, Qt::Key_Return);
    }

    // The shop's receipt device is a spool file in its folder, and the main window finds its
    // background picture there; returns the spool file.
    static QString prepareShop(TestShop& shop)
    {
        const QString spool = shop.file(QStringLiteral("printer.spool"));
        qputenv("POS_RECEIPT_DEVICE", spool.toUtf8());
        QFile::copy(QStringLiteral(POS_PROGRAM_DIR "/bj10.bmp"), shop.file(QStringLiteral("bj10.bmp")));
        return spool;
    }

    // Shows the main window and logs the cashier in.
    static bool showAndLogIn(MainWindow& main)
    {
        main.show();
        return QTest::qWaitForWindowExposed(&main) && login(main);
    }

    // Logs the cashier in by keyboard over the main window.
    static bool login(MainWindow& window)
    {
        LoginDialog dialog(nullptr, &window);
        dialog.show();
        if (!QTest::qWaitForWindowActive(&dialog))
            return false;
        type(dialog.findChild<QLineEdit*>(QStringLiteral("yhbh")), QStringLiteral("002"));
        type(dialog.findChild<QLineEdit*>(QStringLiteral("yhma")), QStringLiteral("123"));
        QTest::keyClick(dialog.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::Key_Return);
        if (dialog.outcome() != LoginDialog::Outcome::LoggedIn)
            return false;
        window.userLoggedIn();
        return true;
    }

private Q_SLOTS:
    void initTestCase() { registerSalesScreens(); }
    void init() { Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9))); }
    void cleanup()
    {
        Clock::reset();
        LoginUser::reset();
        qunsetenv("POS_RECEIPT_DEVICE");
    }

    // Log in, "商品销售", three codes by keyboard (number, barcode, pinyin code), a member by
    // PgUp, payment by PgDn.
    void sellToMember()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const QString spool = prepareShop(shop);
        ModalDriver::Script script;
        MainWindow main;
        QVERIFY(showAndLogIn(main));
        QAction* menuItem = main.action(QStringLiteral("Tspxs_form"));
        QVERIFY(menuItem);
        QCOMPARE(menuItem->text(), QStringLiteral("商品销售"));
        QVERIFY(menuItem->isEnabled());

        bool sold = false;
        script.expect(QStringLiteral("Tspxs_form"), [&](QWidget* window) {
            QCOMPARE(window->windowTitle(), QStringLiteral("商品销售"));
            auto* spmc = window->findChild<QLineEdit*>(QStringLiteral("spmc"));
            auto* hjje = window->findChild<QLineEdit*>(QStringLiteral("hjje"));
            auto* djbh = window->findChild<QLineEdit*>(QStringLiteral("djbh"));
            auto* grid = window->findChild<QTableView*>(QStringLiteral("DBGrid1"));
            QCOMPARE(djbh->text(), QStringLiteral("XS01202403050001"));
            QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("czy"))->text(), QStringLiteral("收银员小王"));
            QCOMPARE(QApplication::focusWidget(), spmc);

            type(spmc, QStringLiteral("1001"));                  // 可口可乐 2.50 by number
            type(spmc, SalesFixture::barcodeOf("690000100200")); // 百事可乐 2.50 by barcode
            script.expect(QStringLiteral("Txtts2_form"), answerMember);
            QTest::keyClick(spmc, Qt::Key_PageUp);
            QTRY_COMPARE(window->findChild<QLineEdit*>(QStringLiteral("kh"))->text(), QStringLiteral("会员"));
            type(spmc, QStringLiteral("nfsq")); // 农夫山泉 at the member price 1.80
            QCOMPARE(grid->model()->rowCount(), 3);
            QCOMPARE(hjje->text(), QStringLiteral("6.8"));
            QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("hjsl"))->text(), QStringLiteral("3"));

            // Esc on the checkout goes back to the voucher and changes nothing.
            script.expect(QStringLiteral("Tskgz_form"), [](QWidget* dialog) {
                QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("sk")), QStringLiteral("10"));
                QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("sk")), Qt::Key_Escape);
            });
            QTest::keyClick(spmc, Qt::Key_PageDown); // returns when the checkout has closed
            QCOMPARE(djbh->text(), QStringLiteral("XS01202403050001"));
            QCOMPARE(hjje->text(), QStringLiteral("6.8"));
            QCOMPARE(grid->model()->rowCount(), 3);

            script.expect(QStringLiteral("Tskgz_form"), [](QWidget* dialog) {
                pay(dialog, QStringLiteral("收款过账"), QStringLiteral("6.8"), QStringLiteral("10"),
                    QStringLiteral("3.2"));
            });
            QTest::keyClick(spmc, Qt::Key_PageDown);
            QTRY_COMPARE(djbh->text(), QStringLiteral("XS01202403050002"));
            QCOMPARE(hjje->text(), QString());
            QCOMPARE(grid->model()->rowCount(), 0);
            QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("kh"))->text(), QStringLiteral("非会员"));
            QTRY_COMPARE(QApplication::focusWidget(), spmc);
            sold = true;
            window->findChild<QToolButton*>(QStringLiteral("ToolButton5"))->click();
        });
        menuItem->trigger(); // the screen runs modally until "关闭"
        QVERIFY(sold);
        QVERIFY(script.done());
        QCOMPARE(script.messages, QStringList{});

        // The database.
        QCOMPARE(shop.scalar(QStringLiteral(
                                 "select count(*) from xiaoshoud where djbh='XS01202403050001' and hjje=6.8 and "
                                 "qkje=0 and lkje=10 and zhaoje=3.2 and fkfs='现金' and khmc='会员' and hjsl=3 and "
                                 "xm='收银员小王'"))
                     .toInt(),
                 1);
        QCOMPARE(
            shop.scalar(QStringLiteral("select group_concat(spbh||':'||sale1, ' ') from xiaoshoudrecord")).toString(),
            QStringLiteral("1001:2.5 1002:2.5 1003:1.8"));
        QCOMPARE(shop.count(QStringLiteral("xiaoshoud")), 1);
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 6.8);
        QCOMPARE(shop.scalar(QStringLiteral("select ljjf from hyinfo where hykh='88000001'")).toDouble(), 6.0);
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1003'")).toDouble(), 239.0);

        // The receipt and what reached the printer: the receipt, then the drawer kick.
        const QByteArray bill = readAll(shop.file(QStringLiteral("bill.txt")));
        const QString text = TextUtil::fromGbk(bill);
        QVERIFY(text.startsWith(QStringLiteral("        翠湖超市购物清单\r\n收银员:收银员小王单号:XS01202403050001\r\n"
                                               "日期:2024-03-05  时间:14:05:09\r\n")));
        QVERIFY(text.contains(QStringLiteral("\r\n农夫山泉矿泉水         1    1.8   1.80\r\n")));
        QVERIFY(text.contains(QStringLiteral("\r\n合计:6.80\r\n收款:10.00\r\n找还:3.20\r\n")));
        QCOMPARE(readAll(spool), bill + QByteArray("\x1b\x70\x00\x3c\xff", 5));
    }

    // The function keys on the window: F12 and the discount, F7, F5, F6 and F8.
    void functionKeys()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        LoginUser::set(QStringLiteral("002"), QStringLiteral("收银员小王"));
        ModalDriver::Script script;
        SalesVoucherWindow window(SaleKind::sale());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* spmc = window.findChild<QLineEdit*>(QStringLiteral("spmc"));
        auto* zhekou = window.findChild<QLineEdit*>(QStringLiteral("zhekou"));
        auto* djbh = window.findChild<QLineEdit*>(QStringLiteral("djbh"));
        auto* hjje = window.findChild<QLineEdit*>(QStringLiteral("hjje"));
        QVERIFY(zhekou->isReadOnly());

        QTest::keyClick(spmc, Qt::Key_F12);
        QVERIFY(!zhekou->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), zhekou);
        QCOMPARE(zhekou->selectedText(), QStringLiteral("1"));
        type(zhekou, QStringLiteral("0.9"));
        QVERIFY(zhekou->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), spmc);

        type(spmc, QStringLiteral("1001"));
        type(spmc, QStringLiteral("2003"));
        QCOMPARE(hjje->text(), QStringLiteral("10.4"));
        QCOMPARE(shop.scalar(QStringLiteral("select zhekouje from xiaoshoudrecord where spbh='2003'")).toDouble(),
                 7.11);
        QTest::keyClick(spmc, Qt::Key_F7); // the last line scanned is the selected one
        QTRY_COMPARE(hjje->text(), QStringLiteral("2.5"));
        QCOMPARE(script.messages, QStringList{QStringLiteral("确实要删除该记录吗?")});

        QTest::keyClick(spmc, Qt::Key_F5);
        QCOMPARE(djbh->text(), QStringLiteral("XS01202403050002"));
        QCOMPARE(hjje->text(), QStringLiteral("0"));
        QCOMPARE(shop.count(QStringLiteral("xiaoshoud"), QStringLiteral("qkje>0")), 1);

        script.expect(QStringLiteral("Tsphelp3_form"),
                      [](QWidget* picker) { picker->findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click(); });
        QTest::keyClick(spmc, Qt::Key_F6);
        QTRY_COMPARE(djbh->text(), QStringLiteral("XS01202403050001"));
        QCOMPARE(hjje->text(), QStringLiteral("2.5"));

        QTest::keyClick(spmc, Qt::Key_F8);
        QTRY_COMPARE(script.messages.size(), 3);
        QCOMPARE(script.messages.mid(1), (QStringList{QStringLiteral("确实作废此单吗?"), QStringLiteral("操作成功")}));
        QCOMPARE(shop.count(QStringLiteral("xiaoshoud")), 0);
        QCOMPARE(shop.count(QStringLiteral("xiaoshoudrecord")), 0);
        QCOMPARE(djbh->text(), QStringLiteral("XS01202403050001"));
        QVERIFY(script.done());
    }

    // Enter walks the header fields in their order on the real window, and the field that has
    // the focus is painted sky blue, read-only or not.
    void enterOrderAndFocusColour()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        LoginUser::set(QStringLiteral("002"), QStringLiteral("收银员小王"));
        SalesVoucherWindow window(SaleKind::sale());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto field = [&](const char* name) { return window.findChild<QWidget*>(QString::fromLatin1(name)); };
        const QColor skyBlue(166, 202, 240);
        // The colour in the middle of a line edit, away from its text and frame.
        auto fill = [](QWidget* edit) {
            const QImage image = edit->grab().toImage();
            return image.pixelColor(image.width() - 4, image.height() / 2);
        };

        field("djbh")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field("djbh"));
        QCOMPARE(fill(field("djbh")), skyBlue);
        QVERIFY(fill(field("czy")) != skyBlue);
        const char* order[] = {"czy", "rq", "ck", "zhekou", "spmc"};
        for (const char* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused);
            // The warehouse list has the focus through its own text field.
            QVERIFY2(focused == field(next) || focused->parentWidget() == field(next), next);
            if (qobject_cast<QLineEdit*>(focused) && focused->objectName() == QLatin1String(next))
                QCOMPARE(fill(focused), skyBlue);
        }
        QVERIFY(fill(field("djbh")) != skyBlue);

        field("kh")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field("kh"));
        QTest::keyClick(field("kh"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), field("spmc"));
        QTest::keyClick(field("spmc"), Qt::Key_Return); // empty entry: on to the quantity
        QCOMPARE(QApplication::focusWidget(), field("sl"));
        QTest::keyClick(field("sl"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), field("shoujia"));
        QCOMPARE(fill(field("shoujia")), skyBlue);
    }

    // "…" on the sales screen, a quantity, Enter, a price typed over the retail price (the
    // price may be changed in the demonstration shop), Enter: one line at that price.
    void pickAtTypedPrice()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        LoginUser::set(QStringLiteral("002"), QStringLiteral("收银员小王"));
        ModalDriver::Script script;
        SalesVoucherWindow window(SaleKind::sale());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* spmc = window.findChild<QLineEdit*>(QStringLiteral("spmc"));
        auto* sl = window.findChild<QLineEdit*>(QStringLiteral("sl"));
        auto* shoujia = window.findChild<QLineEdit*>(QStringLiteral("shoujia"));
        QVERIFY(!shoujia->isReadOnly());
        script.expect(QStringLiteral("Tsphelp2_form"), [](QWidget* picker) {
            auto* grid = picker->findChild<QTableView*>();
            const QModelIndexList hits = grid->model()->match(grid->model()->index(0, 0), Qt::DisplayRole,
                                                              QStringLiteral("2003"), 1, Qt::MatchExactly);
            QVERIFY(!hits.isEmpty());
            grid->setCurrentIndex(hits.first());
            picker->findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click();
        });
        window.findChild<QToolButton*>(QStringLiteral("SpeedButton2"))->click();
        QTRY_COMPARE(spmc->text(), QStringLiteral("奥利奥饼干"));
        QTRY_COMPARE(QApplication::focusWidget(), sl);
        type(sl, QStringLiteral("2"));
        QCOMPARE(shoujia->text(), QStringLiteral("7.9"));
        QCOMPARE(QApplication::focusWidget(), shoujia);
        shoujia->selectAll();
        type(shoujia, QStringLiteral("7"));
        QCOMPARE(spmc->text(), QString());
        QCOMPARE(QApplication::focusWidget(), spmc);
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("hjje"))->text(), QStringLiteral("14"));
        QCOMPARE(
            shop.scalar(QStringLiteral("select spbh||':'||sl||':'||sale1||':'||jine from xiaoshoudrecord")).toString(),
            QStringLiteral("2003:2.0:7.0:14.0"));
        QVERIFY(script.done());
        QCOMPARE(script.messages, QStringList{});
    }

    // The checkout's keys on the real dialog: Enter in the payment method or in the amount due
    // goes to the amount tendered, and Esc leaves without posting.
    void checkoutKeys()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        QVERIFY(shop.exec(QStringLiteral("update xtsz set qt1=0")));
        SaleHandover handover;
        handover.total = QStringLiteral("12.5");
        handover.memberCard = QStringLiteral("~");
        handover.voucherNumber = QStringLiteral("XS01202403050001");
        handover.date = QStringLiteral("2024-03-05");
        handover.discount = QStringLiteral("1");
        CheckoutDialog dialog(SaleKind::sale(), handover);
        QVERIFY(dialog.isReady());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* zf = dialog.findChild<QComboBox*>(QStringLiteral("zf"));
        auto* hj = dialog.findChild<QLineEdit*>(QStringLiteral("hj"));
        auto* sk = dialog.findChild<QLineEdit*>(QStringLiteral("sk"));
        QCOMPARE(QApplication::focusWidget(), sk);

        zf->setFocus();
        QTRY_VERIFY(zf->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), sk);
        hj->setFocus();
        QTRY_VERIFY(hj->hasFocus());
        QTest::keyClick(hj, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), sk);

        QTest::keyClick(sk, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.checkout().posted());
        QCOMPARE(shop.count(QStringLiteral("xiaoshoud")), 0);
    }

    // "销售退货": a member brings back two products, one scanned and one picked with a
    // quantity of 2; the refund goes out by bank card.
    void returnToMember()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const QString spool = prepareShop(shop);
        QVERIFY(shop.exec(QStringLiteral("update boxje set je=50")));
        QVERIFY(shop.exec(QStringLiteral("update hyinfo set ljje=20,ljjf=20")));
        ModalDriver::Script script;
        MainWindow main;
        QVERIFY(showAndLogIn(main));
        QAction* menuItem = main.action(QStringLiteral("Tspxsth_form"));
        QVERIFY(menuItem && menuItem->isEnabled());

        bool returned = false;
        script.expect(QStringLiteral("Tspxsth_form"), [&](QWidget* window) {
            QCOMPARE(window->windowTitle(), QStringLiteral("商品销售退货"));
            QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("Button1"))); // no hold
            QVERIFY(!window->findChild<QLabel*>(QStringLiteral("Label13")));      // no clock
            QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("hcbc"))->text(), QStringLiteral("退款（PgDn）"));
            auto* spmc = window->findChild<QLineEdit*>(QStringLiteral("spmc"));
            auto* sl = window->findChild<QLineEdit*>(QStringLiteral("sl"));
            auto* shoujia = window->findChild<QLineEdit*>(QStringLiteral("shoujia"));
            auto* djbh = window->findChild<QLineEdit*>(QStringLiteral("djbh"));
            QVERIFY(shoujia->isReadOnly());
            QCOMPARE(djbh->text(), QStringLiteral("XT01202403050001"));

            script.expect(QStringLiteral("Txtts3_form"), answerMember);
            QTest::keyClick(spmc, Qt::Key_PageUp);
            QTRY_COMPARE(window->findChild<QLineEdit*>(QStringLiteral("kh"))->text(), QStringLiteral("会员"));
            type(spmc, QStringLiteral("1001")); // 可口可乐 at 2.30
            // "…": the picker, then a quantity of 2 and Enter twice.
            script.expect(QStringLiteral("Tsphelp5_form"), [](QWidget* picker) {
                auto* grid = picker->findChild<QTableView*>();
                const QModelIndexList hits = grid->model()->match(grid->model()->index(0, 0), Qt::DisplayRole,
                                                                  QStringLiteral("2003"), 1, Qt::MatchExactly);
                QVERIFY(!hits.isEmpty());
                grid->setCurrentIndex(hits.first());
                picker->findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click();
            });
            window->findChild<QToolButton*>(QStringLiteral("SpeedButton2"))->click();
            QTRY_COMPARE(spmc->text(), QStringLiteral("奥利奥饼干"));
            QTRY_COMPARE(QApplication::focusWidget(), sl);
            type(sl, QStringLiteral("2"));
            QCOMPARE(shoujia->text(), QStringLiteral("7.9"));
            QTest::keyClick(shoujia, Qt::Key_Return);
            QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("hjje"))->text(), QStringLiteral("18.1"));

            script.expect(QStringLiteral("Tskgzth_form"), [](QWidget* dialog) {
                QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("Button1"))->text(),
                         QStringLiteral("确认付款"));
                auto* zf = dialog->findChild<QComboBox*>(QStringLiteral("zf"));
                zf->setCurrentIndex(1);
                pay(dialog, QStringLiteral("销售退款"), QStringLiteral("18.1"), QStringLiteral("18.1"),
                    QStringLiteral("0"));
            });
            QTest::keyClick(spmc, Qt::Key_PageDown);
            QTRY_COMPARE(djbh->text(), QStringLiteral("XT01202403050002"));
            returned = true;
            window->findChild<QToolButton*>(QStringLiteral("ToolButton5"))->click();
        });
        menuItem->trigger();
        QVERIFY(returned);
        QVERIFY(script.done());
        QCOMPARE(script.messages, QStringList{});

        QCOMPARE(
            shop.scalar(QStringLiteral("select count(*) from xiaoshoudth where djbh='XT01202403050001' and hjje=18.1 "
                                       "and lkje=18.1 and zhaoje=0 and fkfs='银行卡' and khmc='会员' and hjsl=3"))
                .toInt(),
            1);
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1001'")).toDouble(), 121.0);
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='2003'")).toDouble(), 50.0);
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 31.9);
        QCOMPARE(shop.scalar(QStringLiteral("select ljje from hyinfo")).toDouble(), 1.9);
        QCOMPARE(shop.scalar(QStringLiteral("select ljjf from hyinfo")).toDouble(), 2.0);

        const QByteArray bill = readAll(shop.file(QStringLiteral("bill.txt")));
        const QString text = TextUtil::fromGbk(bill);
        QVERIFY(text.startsWith(QStringLiteral("        翠湖超市退款清单\r\n")));
        QVERIFY(text.contains(QStringLiteral("\r\n可口可乐               1    2.3   2.30\r\n"
                                             "奥利奥饼干             2    7.9  15.80\r\n")));
        QVERIFY(text.contains(QStringLiteral("\r\n合计:18.10\r\n付款:18.10\r\n找还:0.00\r\n")));
        QCOMPARE(readAll(spool), bill + QByteArray("\x1b\x70\x00\x3c\xff", 5));
    }

    // "重打小票 (F9)" on the sales and the return window, and the key F9: the last posted receipt
    // goes to the printer again with "重打" under the title.
    void reprintButtonAndKey_data()
    {
        QTest::addColumn<bool>("refund");
        QTest::newRow("sale") << false;
        QTest::newRow("return") << true;
    }
    void reprintButtonAndKey()
    {
        QFETCH(bool, refund);
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const QString spool = prepareShop(shop);
        const SaleKind& kind = refund ? SaleKind::salesReturn() : SaleKind::sale();
        const QString number = kind.voucher.prefix + QStringLiteral("202403040007");
        QVERIFY(shop.exec(QStringLiteral("insert into %1(djbh,hjje,xm,rq,sj,lkje,zhaoje) "
                                         "values(:D,5,'收银员小王','2024-03-04','18:00:00',10,5)")
                              .arg(kind.voucher.headerTable),
                          {{QStringLiteral("D"), number}}));
        QVERIFY(shop.exec(QStringLiteral("insert into %1(spbh,spmc,sl,sale1,jine,djbh,rq) "
                                         "values('1001','可口可乐',2,2.5,5,:D,'2024-03-04')")
                              .arg(kind.lineTable),
                          {{QStringLiteral("D"), number}}));
        LoginUser::set(QStringLiteral("002"), QStringLiteral("收银员小王"));
        ModalDriver::Script script;
        SalesVoucherWindow window(kind);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* button = window.findChild<QPushButton*>(QStringLiteral("Button6"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("重打小票 (F9)"));
        auto* spmc = window.findChild<QLineEdit*>(QStringLiteral("spmc"));
        QTest::keyClick(spmc, Qt::Key_F9);
        const QByteArray first = readAll(spool);
        const QString printed = TextUtil::fromGbk(first);
        QVERIFY2(printed.contains(QStringLiteral("清单\r\n              重打\r\n收银员:收银员小王单号:") + number),
                 qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("日期:2024-03-04  时间:18:00:00\r\n")));
        QCOMPARE(QApplication::focusWidget(), spmc);
        button->click();
        QCOMPARE(readAll(spool), first + first);
        QCOMPARE(script.messages, QStringList{});
        QVERIFY(!QFile::exists(shop.file(QStringLiteral("bill.txt"))));
    }
};

QTEST_MAIN(TillTest)
#include "tst_till.moc"
