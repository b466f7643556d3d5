#include "masterdata/Members.h"
#include "masterdata/Points.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QTest>

#include <memory>
#include <optional>

namespace {

const QString kOk = QStringLiteral("保存成功");
const QString kSaved = QStringLiteral("数据保存成功");
const QString kBadSearch = QStringLiteral("输入的条件不正确，请重新输入");
const QString kNotFound = QStringLiteral("查无此信息");

} // namespace

// The member list, its add and edit dialogs, the search, the points base and the points
// exchange, driven through their logic on a fresh shop.
class MembersTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestShop> m_shop;

    bool addMember(const QString& card, const QString& name, const QString& mobile, double ljje = 0, double ljjf = 0,
                   double yyjf = 0)
    {
        return m_shop->exec(QStringLiteral("insert into hyinfo(hykh,hyxm,xb,sjhao,ljje,ljjf,yyjf) "
                                           "values(:HYKH,:HYXM,'男',:SJHAO,:LJJE,:LJJF,:YYJF)"),
                            {{QStringLiteral("HYKH"), card},
                             {QStringLiteral("HYXM"), name},
                             {QStringLiteral("SJHAO"), mobile},
                             {QStringLiteral("LJJE"), ljje},
                             {QStringLiteral("LJJF"), ljjf},
                             {QStringLiteral("YYJF"), yyjf}});
    }
    QVariant column(const QString& card, const QString& col)
    {
        return m_shop->scalar(QStringLiteral("select %1 from hyinfo where hykh=:HYKH").arg(col),
                              {{QStringLiteral("HYKH"), card}});
    }
    // Types the seven fields of a dialog as a person would (each change reported).
    static void type(MemberForm& form, const QStringList& values)
    {
        const QStringList names{"hykh", "hyxm", "xb", "sfzhao", "sjhao", "dz", "bz"};
        for (int i = 0; i < values.size(); ++i)
            form.edited(names.at(i), values.at(i));
    }

private Q_SLOTS:
    void init()
    {
        m_shop = std::make_unique<TestShop>();
        QVERIFY2(m_shop->isValid(), qPrintable(m_shop->error()));
        // M002's mobile number 13900000002 is also the card number of another member.
        QVERIFY(addMember(QStringLiteral("M001"), QStringLiteral("张三"), QStringLiteral("13900000001"), 500, 100, 0));
        QVERIFY(addMember(QStringLiteral("M002"), QStringLiteral("李四"), QStringLiteral("13900000002")));
        QVERIFY(addMember(QStringLiteral("13900000002"), QStringLiteral("王五"), QStringLiteral("13700000000")));
        QVERIFY(addMember(QStringLiteral("M004"), QStringLiteral("赵六"), QStringLiteral("13600000000")));
    }
    void cleanup() { m_shop.reset(); }

    // ---- add dialog ----------------------------------------------------------------------------

    // The checks in their order: card, duplicate (before the name is looked at), name, widths.
    void addChecks_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");

        QTest::newRow("empty card") << ""
                                    << "新会员"
                                    << ""
                                    << "会员卡号不能为空"
                                    << "hykh";
        QTest::newRow("duplicate before name") << "M002"
                                               << ""
                                               << ""
                                               << "卡号重复，请重新输入"
                                               << "hykh";
        QTest::newRow("duplicate with name") << "M001"
                                             << "另一个"
                                             << ""
                                             << "卡号重复，请重新输入"
                                             << "hykh";
        QTest::newRow("empty name") << "M009"
                                    << ""
                                    << ""
                                    << "会员姓名不能为空，请重新输入"
                                    << "hyxm";
        QTest::newRow("name too long") << "M009"
                                       << "一二三四五六七八九十一二三"
                                       << ""
                                       << "会员姓名“一二三四五六七八九十一二三”太长，最多12个字，请重新输入"
                                       << "hyxm";
        QTest::newRow("mobile too long") << "M009"
                                         << "新会员"
                                         << "139000000012"
                                         << "手机号“139000000012”太长，最多11个字，请重新输入"
                                         << "sjhao";
        QTest::newRow("accepted") << "M009"
                                  << "新会员"
                                  << "13800000009" << kOk << "hykh";
    }
    void addChecks()
    {
        QFETCH(QString, card);
        QFETCH(QString, name);
        QFETCH(QString, mobile);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        ScriptedUi ui;
        MemberForm form(RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        QVERIFY(!form.isEnabled(RecordForm::Confirm));
        type(form, {card, name, QStringLiteral("女"), QString(), mobile});
        QVERIFY(form.isEnabled(RecordForm::Confirm)); // any change of the card number

        const int before = m_shop->count(QStringLiteral("hyinfo"));
        const bool saved = form.confirm();
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(form.focusField(), focus);
        QCOMPARE(saved, message == kOk);
        QCOMPARE(m_shop->count(QStringLiteral("hyinfo")), before + (saved ? 1 : 0));
        if (!saved) {
            QCOMPARE(form.text(QStringLiteral("hyxm")), name); // the fields keep what was typed
            QVERIFY(form.isEnabled(RecordForm::Confirm));
        }
    }

    // A new member gets the seven fields and the default totals; the dialog is ready for the next.
    void addWritesSevenFields()
    {
        ScriptedUi ui;
        MemberForm form(RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        type(form, {"8800", "钱七", "女", "110101199001011234", "13811112222", "湖滨路1号", "老顾客"});
        // Enter walks the fields; in 备注 it presses 确认.
        form.focus(QStringLiteral("hykh"));
        for (const char* next : {"hyxm", "xb", "sfzhao", "sjhao", "dz", "bz"}) {
            form.enterPressed(form.focusField());
            QCOMPARE(form.focusField(), QString::fromLatin1(next));
        }
        form.enterPressed(QStringLiteral("bz"));
        QCOMPARE(ui.texts(), QStringList{kOk});

        Query q(m_shop->db());
        q.setSql(QStringLiteral("select * from hyinfo where hykh='8800'"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 1);
        const QStringList stored{q.text("hyxm"),  q.text("xb"), q.text("sfzhao"),
                                 q.text("sjhao"), q.text("dz"), q.text("bz")};
        QCOMPARE(stored, (QStringList{"钱七", "女", "110101199001011234", "13811112222", "湖滨路1号", "老顾客"}));
        for (const char* total : {"ljje", "ljjf", "yyjf", "zhekou"})
            QVERIFY2(q.value(QString::fromLatin1(total)).isNull(), total);

        // Cleared, 确认 off until the card changes; Enter in 备注 then goes back to the card.
        for (const char* f : {"hykh", "hyxm", "xb", "sfzhao", "sjhao", "dz", "bz"})
            QVERIFY(form.text(QString::fromLatin1(f)).isEmpty());
        QVERIFY(!form.isEnabled(RecordForm::Confirm));
        QCOMPARE(form.focusField(), QStringLiteral("hykh"));
        form.enterPressed(QStringLiteral("bz"));
        QCOMPARE(form.focusField(), QStringLiteral("hykh"));
        QCOMPARE(ui.texts().size(), 1);
        QCOMPARE(form.choices(QStringLiteral("xb")), (QStringList{"男", "女"}));
    }

    // ---- edit dialog ---------------------------------------------------------------------------

    // The edit writes the six fields and never the totals; the dialog stays on the member.
    void editKeepsTotals()
    {
        QVERIFY(m_shop->exec(QStringLiteral("update hyinfo set yyjf=20 where hykh='M001'")));
        ScriptedUi ui;
        MemberForm form(RecordForm::Mode::Edit, ui);
        QVERIFY(form.create(QStringLiteral("m001"))); // the card as the list hands it, any case
        QCOMPARE(form.text(QStringLiteral("hykh")), QStringLiteral("M001"));
        QCOMPARE(form.text(QStringLiteral("hyxm")), QStringLiteral("张三"));
        QVERIFY(form.isEnabled(RecordForm::Save));

        form.edited(QStringLiteral("hyxm"), QString()); // an empty name is accepted here
        form.edited(QStringLiteral("sjhao"), QStringLiteral("13911110000"));
        form.edited(QStringLiteral("dz"), QStringLiteral("新地址"));
        QVERIFY(form.save());
        QCOMPARE(ui.texts(), QStringList{kOk});
        QCOMPARE(form.currentKey(), QStringLiteral("M001"));
        QCOMPARE(column("M001", "hyxm").toString(), QString());
        QCOMPARE(column("M001", "sjhao").toString(), QStringLiteral("13911110000"));
        QCOMPARE(column("M001", "dz").toString(), QStringLiteral("新地址"));
        QCOMPARE(column("M001", "ljje").toDouble(), 500.0);
        QCOMPARE(column("M001", "ljjf").toDouble(), 100.0);
        QCOMPARE(column("M001", "yyjf").toDouble(), 20.0);
        QCOMPARE(column("M002", "hyxm").toString(), QStringLiteral("李四"));

        // Browsing refills the fields; Enter in 备注 goes back to the card without saving.
        form.next();
        QCOMPARE(form.text(QStringLiteral("hyxm")), QStringLiteral("李四"));
        form.last();
        QCOMPARE(form.text(QStringLiteral("hykh")), QStringLiteral("M004"));
        form.enterPressed(QStringLiteral("bz"));
        QCOMPARE(form.focusField(), QStringLiteral("hykh"));
        QCOMPARE(ui.texts().size(), 1);

        // A text longer than its column is refused before the engine sees it.
        form.edited(QStringLiteral("xb"), QStringLiteral("男性的"));
        QVERIFY(!form.save());
        QCOMPARE(ui.lastText(), QStringLiteral("性别“男性的”太长，最多2个字，请重新输入"));
        QCOMPARE(column("M004", "xb").toString(), QStringLiteral("男"));
    }

    // ---- list: search, filter, delete ----------------------------------------------------------

    void search_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("message");

        using A = std::optional<QString>;
        // Eleven bytes are a mobile number, even when a member has that as card number.
        QTest::newRow("mobile") << A(QStringLiteral("13900000002")) << "M002"
                                << "";
        QTest::newRow("another mobile") << A(QStringLiteral("13900000001")) << "M001"
                                        << "";
        QTest::newRow("card") << A(QStringLiteral("M001")) << "M001"
                              << "";
        QTest::newRow("card in lower case") << A(QStringLiteral("m002")) << "M002"
                                            << "";
        QTest::newRow("part of a card") << A(QStringLiteral("M00")) << "M004" << kNotFound;
        QTest::newRow("unknown mobile") << A(QStringLiteral("13500000000")) << "M004" << kNotFound;
        QTest::newRow("Chinese is two bytes a character") << A(QStringLiteral("赵六")) << "M004" << kNotFound;
        QTest::newRow("the prompt's 0") << A(QStringLiteral("0")) << "M004" << kBadSearch;
        QTest::newRow("empty") << A(QString()) << "M004" << kBadSearch;
        QTest::newRow("退出") << A(QStringLiteral("~")) << "M004"
                              << "";
        QTest::newRow("close box") << A() << "M004"
                                   << "";
    }
    void search()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, current);
        QFETCH(QString, message);
        ScriptedUi ui;
        MemberList list(ui);
        QVERIFY(list.create());
        QCOMPARE(list.count(), 4);
        QVERIFY(list.moveToKey(QStringLiteral("M004"))); // where a search that finds nothing stays
        ui.promptAnswers << answer;
        list.search();
        QCOMPARE(ui.prompts.size(), 1);
        QCOMPARE(ui.prompts.first().formName, QStringLiteral("Txtts4_form"));
        QCOMPARE(ui.prompts.first().question, QStringLiteral("请输入会员卡号或手机号"));
        QCOMPARE(ui.prompts.first().defaultText, QStringLiteral("0"));
        QCOMPARE(list.currentKey(), current);
        QCOMPARE(ui.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    // The filter field looks in card, name and mobile; the search works among the rows shown.
    void filterAndSearch()
    {
        ScriptedUi ui;
        MemberList list(ui);
        QVERIFY(list.create());
        QVERIFY(list.setFilter(QStringLiteral("李")));
        QCOMPARE(list.count(), 1);
        QVERIFY(list.setFilter(QStringLiteral("1370")));
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.currentKey(), QStringLiteral("13900000002"));
        QVERIFY(list.setFilter(QStringLiteral("m00")));
        QCOMPARE(list.count(), 3);

        ui.promptAnswers << QStringLiteral("M004");
        QVERIFY(list.search());
        QCOMPARE(list.currentKey(), QStringLiteral("M004"));
        // A member the filter hides: said so, and the row stays.
        ui.promptAnswers << QStringLiteral("13700000000");
        QVERIFY(!list.search());
        QCOMPARE(list.currentKey(), QStringLiteral("M004"));
        QCOMPARE(ui.lastText(), QStringLiteral("该会员不在筛选后的列表中，请先清空筛选框"));
    }

    void deleteMember()
    {
        ScriptedUi ui;
        MemberList list(ui);
        QVERIFY(list.create());
        list.setCurrent(1);
        ui.confirms << false;
        QVERIFY(!list.removeCurrent());
        QCOMPARE(m_shop->count(QStringLiteral("hyinfo")), 4);

        // Points and totals do not keep a member.
        QVERIFY(list.moveToKey(QStringLiteral("M001")));
        ui.confirms << true;
        QVERIFY(list.removeCurrent());
        QCOMPARE(ui.confirmTexts.last(), QStringLiteral("确实要删除该记录吗?"));
        QCOMPARE(ui.lastText(), QStringLiteral("删除成功"));
        QCOMPARE(m_shop->count(QStringLiteral("hyinfo"), QStringLiteral("hykh='M001'")), 0);
        QCOMPARE(list.count(), 3);

        // A delete the engine refuses is shown, and the member stays.
        QVERIFY(m_shop->exec(QStringLiteral(
            "create trigger keep_members before delete on hyinfo begin select raise(abort, '会员被锁定'); end")));
        ui.clear();
        ui.confirms << true;
        QVERIFY(!list.removeCurrent());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
        QVERIFY(ui.shown.first().text.contains(QStringLiteral("会员被锁定")));
        QCOMPARE(list.count(), 3);
    }

    // ---- points exchange -----------------------------------------------------------------------

    void exchange_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("ljjf");
        QTest::addColumn<double>("yyjf");

        // M001 holds 100 points and has used none.
        QTest::newRow("30") << "30" << kSaved << 70.0 << 30.0;
        QTest::newRow("all of it") << "100" << kSaved << 0.0 << 100.0;
        QTest::newRow("a fraction") << " 12.5 " << kSaved << 87.5 << 12.5;
        QTest::newRow("150, more than the balance") << "150"
                                                    << "积分不足：该会员现有积分100，不够兑换150分" << 100.0 << 0.0;
        QTest::newRow("letters") << "abc"
                                 << "兑换积分“abc”不是数字，请重新输入" << 100.0 << 0.0;
        QTest::newRow("empty") << ""
                               << "兑换积分“”不是数字，请重新输入" << 100.0 << 0.0;
        QTest::newRow("infinite") << "inf"
                                  << "兑换积分“inf”不是数字，请重新输入" << 100.0 << 0.0;
        QTest::newRow("0") << "0"
                           << "兑换积分“0”必须大于0，请重新输入" << 100.0 << 0.0;
        QTest::newRow("negative") << "-30"
                                  << "兑换积分“-30”必须大于0，请重新输入" << 100.0 << 0.0;
    }
    void exchange()
    {
        QFETCH(QString, entry);
        QFETCH(QString, message);
        QFETCH(double, ljjf);
        QFETCH(double, yyjf);
        ScriptedUi ui;
        PointsExchange form(QStringLiteral("M001"), ui);
        QVERIFY(form.create());
        QCOMPARE(form.heading(), QStringLiteral("当前会员信息:\n卡号:M001\n姓名:张三"));
        form.setText(PointsForm::Entry, entry);
        form.enterPressed(PointsForm::Entry); // Enter in the entry presses 确认
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(column("M001", "ljjf").toDouble(), ljjf);
        QCOMPARE(column("M001", "yyjf").toDouble(), yyjf);
        QCOMPARE(column("M001", "ljje").toDouble(), 500.0);
        QCOMPARE(form.focusField(), PointsForm::Entry);
        QVERIFY(form.focusSelectAll());
    }

    // Each exchange starts from the totals as stored: the first one's, and a sale's in between.
    void exchangesInOneDialog()
    {
        ScriptedUi ui;
        PointsExchange form(QStringLiteral("M001"), ui);
        QVERIFY(form.create());
        form.setText(PointsForm::Entry, QStringLiteral("30"));
        QVERIFY(form.confirm());
        form.setText(PointsForm::Entry, QStringLiteral("50"));
        QVERIFY(form.confirm());
        QCOMPARE(column("M001", "ljjf").toDouble(), 20.0);
        QCOMPARE(column("M001", "yyjf").toDouble(), 80.0);
        QCOMPARE(form.balance(), 20.0);

        form.setText(PointsForm::Entry, QStringLiteral("30"));
        QVERIFY(!form.confirm());
        QCOMPARE(ui.lastText(), QStringLiteral("积分不足：该会员现有积分20，不够兑换30分"));

        // A sale at the till adds 15 points while the dialog is open.
        QVERIFY(m_shop->exec(QStringLiteral("update hyinfo set ljjf=ljjf+15 where hykh='M001'")));
        QVERIFY(form.confirm());
        QCOMPARE(column("M001", "ljjf").toDouble(), 5.0);
        QCOMPARE(column("M001", "yyjf").toDouble(), 110.0);
        QCOMPARE(ui.texts().size(), 4);
        QCOMPARE(ui.texts().last(), kSaved);
    }

    void exchangeForAMemberThatIsGone()
    {
        ScriptedUi ui;
        PointsExchange missing(QStringLiteral("X999"), ui);
        QVERIFY(!missing.create());
        QCOMPARE(ui.texts(), QStringList{kNotFound});

        // Deleted while the dialog was open: the failure is shown, nothing is written.
        ui.clear();
        PointsExchange form(QStringLiteral("M004"), ui);
        QVERIFY(form.create());
        QVERIFY(m_shop->exec(QStringLiteral("delete from hyinfo where hykh='M004'")));
        form.setText(PointsForm::Entry, QStringLiteral("1"));
        QVERIFY(!form.confirm());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
        QVERIFY(ui.shown.first().text.startsWith(QStringLiteral("数据保存失败")));
        QCOMPARE(m_shop->count(QStringLiteral("hyinfo")), 3);
    }

    // ---- points base ---------------------------------------------------------------------------

    void pointsBase_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("stored");

        const QString range = QStringLiteral("”不正确，请输入0到1000之间的整数");
        QTest::newRow("10") << "10" << kSaved << 10;
        QTest::newRow("0 earns nothing") << "0" << kSaved << 0;
        QTest::newRow("1000") << "1000" << kSaved << 1000;
        QTest::newRow("letters") << "abc"
                                 << "积分基数“abc" + range << 1;
        QTest::newRow("empty") << ""
                               << "积分基数“" + range << 1;
        QTest::newRow("fraction") << "2.5"
                                  << "积分基数“2.5" + range << 1;
        QTest::newRow("negative") << "-1"
                                  << "积分基数“-1" + range << 1;
        QTest::newRow("too big") << "1001"
                                 << "积分基数“1001" + range << 1;
        QTest::newRow("beyond a small integer") << "40000"
                                                << "积分基数“40000" + range << 1;
    }
    void pointsBase()
    {
        QFETCH(QString, entry);
        QFETCH(QString, message);
        QFETCH(int, stored);
        ScriptedUi ui;
        PointsBase form(ui);
        QVERIFY(form.create());
        QCOMPARE(form.text(PointsForm::Entry), QStringLiteral("1")); // the set-up's base
        form.setText(PointsForm::Entry, entry);
        form.enterPressed(PointsForm::Entry);
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(m_shop->count(QStringLiteral("jfjs")), 1);
        QCOMPARE(m_shop->scalar(QStringLiteral("select js from jfjs")).toInt(), stored);
    }

    // A file that lost the row gets it back instead of a "saved" that keeps nothing.
    void pointsBaseWithoutItsRow()
    {
        QVERIFY(m_shop->exec(QStringLiteral("delete from jfjs")));
        ScriptedUi ui;
        PointsBase form(ui);
        QVERIFY(form.create());
        QCOMPARE(form.text(PointsForm::Entry), QString());
        form.setText(PointsForm::Entry, QStringLiteral("5"));
        QVERIFY(form.confirm());
        QCOMPARE(m_shop->count(QStringLiteral("jfjs")), 1);
        QCOMPARE(m_shop->scalar(QStringLiteral("select js from jfjs")).toInt(), 5);
    }
};

QTEST_GUILESS_MAIN(MembersTest)
#include "tst_members.moc"
