#include "core/ui/FormBuilder.h"
#include "core/ui/ToolBar.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

// The screens' tool bar, the "…" picker button and the captions of hand-laid screens.
class ToolBarTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A button's key presses it from any entry of the screen, unless the button is disabled;
    // the buttons never take the focus from the entry being typed in.
    void keysPressButtons()
    {
        QWidget screen;
        int saved = 0, closed = 0;
        auto* bar = new ToolBar(&screen);
        QToolButton* save = bar->add({QStringLiteral("save"), QStringLiteral("保存"), QStyle::SP_DialogSaveButton,
                                      [&] { ++saved; }, QKeySequence(Qt::CTRL | Qt::Key_S),
                                      QStringLiteral("保存当前记录")});
        bar->add({QStringLiteral("close"), QStringLiteral("关闭"), QStyle::SP_DialogCloseButton, [&] { ++closed; },
                  QKeySequence(Qt::Key_Escape)});
        auto* entry = new QLineEdit(&screen);
        auto* layout = new QVBoxLayout(&screen);
        layout->addWidget(bar);
        layout->addWidget(entry);
        screen.show();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        entry->setFocus();

        QCOMPARE(bar->objectName(), QStringLiteral("ToolBar1"));
        QCOMPARE(save->accessibleName(), QStringLiteral("保存"));
        QCOMPARE(save->accessibleDescription(), QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText));
        QCOMPARE(save->toolTip(), QStringLiteral("保存当前记录"));
        QCOMPARE(save->focusPolicy(), Qt::NoFocus);
        QCOMPARE(bar->button(QStringLiteral("close"))->toolTip(), QStringLiteral("关闭"));

        QTest::keyClick(entry, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saved, 1);
        QCOMPARE(QApplication::focusWidget(), entry);
        QTest::keyClick(entry, Qt::Key_Escape);
        QCOMPARE(closed, 1);

        save->setEnabled(false);
        QTest::keyClick(entry, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saved, 1);
        save->click();
        QCOMPARE(saved, 1);
    }

    // F4 in the entry beside a "…" button opens the list, as a click on the button does.
    void pickButtonAnswersF4()
    {
        QWidget screen;
        auto* entry = new QLineEdit(&screen);
        int picked = 0;
        QToolButton* pick = PickButton::make(QStringLiteral("SpeedButton2"), QStringLiteral("商品选择"), entry,
                                             [&] { ++picked; }, &screen);
        auto* layout = new QHBoxLayout(&screen);
        layout->addWidget(entry);
        layout->addWidget(pick);
        screen.show();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        entry->setFocus();
        QCOMPARE(pick->text(), QStringLiteral("…"));
        QCOMPARE(pick->accessibleName(), QStringLiteral("商品选择"));
        QTest::keyClick(entry, Qt::Key_F4);
        QCOMPARE(picked, 1);
        QTest::keyClick(entry, Qt::Key_F4, Qt::AltModifier);
        QCOMPARE(picked, 1);
        pick->setEnabled(false);
        QTest::keyClick(entry, Qt::Key_F4);
        QCOMPARE(picked, 1);
        pick->setEnabled(true);
        pick->click();
        QCOMPARE(picked, 2);
    }

    // A caption beside an entry, in a grid or in a row, names the entry for screen readers;
    // a name the entry has already is kept, and a caption with nothing beside it names nothing.
    void captionsNameEntries()
    {
        QWidget screen;
        auto* grid = new QGridLayout;
        auto* number = new QLineEdit(&screen);
        auto* named = new QLineEdit(&screen);
        named->setAccessibleName(QStringLiteral("供应商"));
        grid->addWidget(new QLabel(QStringLiteral("单据编号"), &screen), 0, 0);
        grid->addWidget(number, 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("供 应 商"), &screen), 0, 2);
        grid->addWidget(named, 0, 3);
        auto* row = new QHBoxLayout;
        auto* amount = new QLineEdit(&screen);
        auto* caption = new QLabel(QStringLiteral("付款金额："), &screen);
        row->addWidget(caption);
        row->addSpacing(6);
        row->addWidget(amount);
        auto* lonely = new QLabel(QStringLiteral("（条码\\编码\\拼音码）"), &screen);
        row->addWidget(lonely);
        auto* layout = new QVBoxLayout(&screen);
        layout->addLayout(grid);
        layout->addLayout(row);

        FormBuilder::nameEntriesByCaptions(&screen);
        QCOMPARE(number->accessibleName(), QStringLiteral("单据编号"));
        QCOMPARE(named->accessibleName(), QStringLiteral("供应商"));
        QCOMPARE(amount->accessibleName(), QStringLiteral("付款金额"));
        QCOMPARE(caption->buddy(), amount);
        QCOMPARE(lonely->buddy(), nullptr);
    }
};

QTEST_MAIN(ToolBarTest)
#include "tst_toolbar.moc"
