#include "core/Clock.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"
#include "sales/ui/CheckoutDialog.h"
#include "sales/ui/SalesVoucherWindow.h"
#include "schema/Setup.h"
#include "support/TestShop.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

// The till as the cashier uses it: keys on the real windows, a real database, the receipt
// file and the bytes that reach the printer.
class TillTest : public QObject {
    Q_OBJECT

    // Runs `action` on the modal window named `name` as soon as it is up (from inside its
    // own event loop). Any message box that shows up instead is recorded and closed.
    struct ModalScript {
        QStringList messages;
        QList<QPair<QString, std::function<void(QWidget*)>>> steps;
        QTimer timer;

        ModalScript()
        {
            timer.setInterval(20);
            QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
            timer.start();
        }
        void expect(const QString& name, std::function<void(QWidget*)> action) { steps.append({name, std::move(action)}); }
        void poll()
        {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages << box->text();
                box->accept();
                return;
            }
            if (!steps.isEmpty() && modal->objectName() == steps.first().first && modal->isActiveWindow()) {
                auto step = steps.takeFirst();
                step.second(modal);
                // A failed check inside the step must not leave the window waiting forever.
                if (QTest::currentTestFailed() && modal->isVisible()) {
                    if (auto* dialog = qobject_cast<QDialog*>(modal))
                        dialog->reject();
                }
            }
        }
    };

    static void type(QWidget* widget, const QString& text)
    {
        widget->setFocus();
        QTest::keyClicks(widget, text);
        QTest::keyClick(widget, Qt::Key_Return);
    }

    static QByteArray readAll(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        LoginUser::set(QStringLiteral("002"), QStringLiteral("收银员小王"));
    }
    void cleanup()
    {
        Clock::reset();
        LoginUser::reset();
        qunsetenv("POS_RECEIPT_DEVICE");
    }

    // Three codes by keyboard (number, barcode, pinyin code), a member by PgUp, payment by PgDn.
    void sellToMember()
    {
        TestShop shop(true);
        QVERIFY2(shop.isValid(), qPrintable(shop.error()));
        const QString spool = shop.file(QStringLiteral("printer.spool"));
        qputenv("POS_RECEIPT_DEVICE", spool.toUtf8());

        SalesVoucherWindow window(SaleKind::sale());
        QCOMPARE(window.objectName(), QStringLiteral("Tspxs_form"));
        QCOMPARE(window.windowTitle(), QStringLiteral("商品销售"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* spmc = window.findChild<QLineEdit*>(QStringLiteral("spmc"));
        auto* hjje = window.findChild<QLineEdit*>(QStringLiteral("hjje"));
        auto* djbh = window.findChild<QLineEdit*>(QStringLiteral("djbh"));
        auto* grid = window.findChild<QTableView*>(QStringLiteral("DBGrid1"));
        QVERIFY(spmc && hjje && djbh && grid);
        QCOMPARE(djbh->text(), QStringLiteral("XS01202403050001"));
        QCOMPARE(QApplication::focusWidget(), spmc);

        ModalScript script;
        const QString barcode = QStringLiteral("690000100200") + QString::number(Setup::ean13CheckDigit(QStringLiteral("690000100200")));
        type(spmc, QStringLiteral("1001"));   // 可口可乐 2.50, by number
        type(spmc, barcode);                  // 百事可乐 2.50, by barcode
        script.expect(QStringLiteral("Txtts2_form"), [](QWidget* prompt) {
            auto* field = prompt->findChild<QLineEdit*>(QStringLiteral("phyxx"));
            field->selectAll();
            QTest::keyClicks(field, QStringLiteral("88000001"));
            prompt->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        });
        QTest::keyClick(spmc, Qt::Key_PageUp);
        QTRY_COMPARE(window.findChild<QLineEdit*>(QStringLiteral("kh"))->text(), QStringLiteral("会员"));
        type(spmc, QStringLiteral("nfsq")); // 农夫山泉 at the member price 1.80
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(hjje->text(), QStringLiteral("6.8"));
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("hjsl"))->text(), QStringLiteral("3"));
        QVERIFY(script.messages.isEmpty());

        script.expect(QStringLiteral("Tskgz_form"), [](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("收款过账"));
            auto* hj = dialog->findChild<QLineEdit*>(QStringLiteral("hj"));
            auto* sk = dialog->findChild<QLineEdit*>(QStringLiteral("sk"));
            auto* zhao = dialog->findChild<QLineEdit*>(QStringLiteral("zhao"));
            QCOMPARE(hj->text(), QStringLiteral("6.8"));
            QCOMPARE(QApplication::focusWidget(), sk);
            QTest::keyClicks(sk, QStringLiteral("10"));
            QTest::keyClick(sk, Qt::Key_Return);
            QCOMPARE(zhao->text(), QStringLiteral("3.2"));
            QCOMPARE(QApplication::focusWidget(), zhao);
            QTest::keyClick(zhao, Qt::Key_Space);
            auto* confirm = dialog->findChild<QPushButton*>(QStringLiteral("Button1"));
            QCOMPARE(QApplication::focusWidget(), confirm);
            QTest::keyClick(confirm, Qt::Key_Return);
        });
        QTest::keyClick(spmc, Qt::Key_PageDown);
        QTRY_COMPARE(djbh->text(), QStringLiteral("XS01202403050002"));
        QCOMPARE(hjje->text(), QString());
        QCOMPARE(grid->model()->rowCount(), 0);

        // The database.
        QCOMPARE(shop.scalar(QStringLiteral("select count(*) from xiaoshoud where djbh='XS01202403050001' and hjje=6.8 and "
                                            "qkje=0 and lkje=10 and zhaoje=3.2 and fkfs='现金' and khmc='会员' and hjsl=3"))
                     .toInt(),
                 1);
        QCOMPARE(shop.scalar(QStringLiteral("select group_concat(spbh||':'||sale1, ' ') from xiaoshoudrecord")).toString(),
                 QStringLiteral("1001:2.5 1002:2.5 1003:1.8"));
        QCOMPARE(shop.scalar(QStringLiteral("select je from boxje")).toDouble(), 6.8);
        QCOMPARE(shop.scalar(QStringLiteral("select ljjf from hyinfo where hykh='88000001'")).toDouble(), 6.0);
        QCOMPARE(shop.scalar(QStringLiteral("select sl from kucun where spbh='1003'")).toDouble(), 239.0);

        // The receipt and what reached the printer: the receipt, then the drawer kick.
        const QByteArray bill = readAll(shop.file(QStringLiteral("bill.txt")));
        const QString text = TextUtil::fromGbk(bill);
        QVERIFY(text.startsWith(QStringLiteral("        翠湖超市购物清单\r\n收银员:收银员小王单号:XS01202403050001\r\n")));
        QVERIFY(text.contains(QStringLiteral("\r\n合计:6.80\r\n收款:10.00\r\n找还:3.20\r\n")));
        QCOMPARE(readAll(spool), bill + QByteArray("\x1b\x70\x00\x3c\xff", 5));
    }
};

QTEST_MAIN(TillTest)
#include "tst_till.moc"
