#include "core/DbConnection.h"
#include "core/PdfTools.h"
#include "masterdata/Pinyin.h"
#include "masterdata/ProductCatalogue.h"
#include "masterdata/ProductForm.h"
#include "masterdata/ProductList.h"
#include "support/ScriptedUi.h"
#include "support/TestShop.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

using Texts = QList<QPair<QString, QString>>;

const QString kSupplier1 = QStringLiteral("昆明惠民食品批发部");
const QString kSupplier2 = QStringLiteral("云南日化用品配送中心");

// What a person types into a dialog, field by field.
void type(ProductForm& form, const Texts& texts)
{
    for (const auto& t : texts)
        form.edited(t.first, t.second);
}

// A complete new product as the add dialog takes it.
Texts newProduct(const QString& number)
{
    return {{QStringLiteral("spbh"), number},
            {QStringLiteral("spmc"), QStringLiteral("香蕉牛奶")},
            {QStringLiteral("spxh"), QStringLiteral("K1")},
            {QStringLiteral("spgg"), QStringLiteral("250ml")},
            {QStringLiteral("splb"), QStringLiteral("饮料")},
            {QStringLiteral("spjl"), QStringLiteral("盒")},
            {QStringLiteral("changjia"), QStringLiteral("蒙牛乳业有限公司")},
            {QStringLiteral("jinjia"), QStringLiteral("2.2")},
            {QStringLiteral("sale1"), QStringLiteral("3.456")},
            {QStringLiteral("sale2"), QStringLiteral("3.2")},
            {QStringLiteral("sale3"), QStringLiteral("3")},
            {QStringLiteral("kucun1"), QStringLiteral("120")},
            {QStringLiteral("kucun2"), QStringLiteral("12")},
            {QStringLiteral("beizhu"), kSupplier1}};
}

bool installReports(const TestShop& shop)
{
    const QString assets = QDir::cleanPath(QStringLiteral(POS_TEST_DATA "/../../../assets"));
    const QStringList names = QDir(assets).entryList({QStringLiteral("*.rav")}, QDir::Files);
    for (const QString& n : names)
        if (!QFile::copy(assets + QLatin1Char('/') + n, shop.file(n)))
            return false;
    return !names.isEmpty();
}

QStringList keysOf(ProductList& list)
{
    QStringList keys;
    for (int row = 0; row < list.count(); ++row)
        keys << list.rows().text(row, QStringLiteral("spbh"));
    return keys;
}

} // namespace

// The product catalogue: adding with its stock row, editing, deleting, the price change, the
// list's filter and supplier column, and the pinyin codes proposed from names.
class ProductsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestShop> m_shop;

    QVariant value(const QString& sql) { return m_shop->scalar(sql); }

private Q_SLOTS:
    void init()
    {
        m_shop = std::make_unique<TestShop>(true);
        QVERIFY2(m_shop->isValid(), qPrintable(m_shop->error()));
    }
    void cleanup() { m_shop.reset(); }

    void pinyinInitials_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("four characters") << QStringLiteral("可口可乐") << QStringLiteral("KKKL");
        QTest::newRow("readings starting with a vowel") << QStringLiteral("奥利奥饼干") << QStringLiteral("ALABG");
        QTest::newRow("digits and units left out") << QStringLiteral("百事可乐330ml") << QStringLiteral("BSKLML");
        QTest::newRow("Latin letters kept") << QStringLiteral("Oreo饼干") << QStringLiteral("OREOBG");
        QTest::newRow("full-width letters") << QStringLiteral("ＡＢ钙奶") << QStringLiteral("ABGN");
        QTest::newRow("at most ten") << QStringLiteral("康师傅红烧牛肉面特大桶装家庭版")
                                     << QStringLiteral("KSFHSNRMTD");
        QTest::newRow("blanks and signs") << QStringLiteral(" 雪碧（柠檬味）") << QStringLiteral("XBNMW");
        QTest::newRow("nothing to read") << QStringLiteral("330") << QString();
    }
    void pinyinInitials()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QCOMPARE(Pinyin::initials(name), code);
    }

    // The add dialog's checks in their order; each stops with its message, the focus in the
    // field, and nothing written.
    void addChecks_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString name = QStringLiteral("香蕉牛奶");
        QTest::newRow("no number") << QString() << name << QString() << QString() << QStringLiteral("商品编号不能为空")
                                   << QStringLiteral("spbh");
        QTest::newRow("number of blanks") << QStringLiteral("  ") << name << QString() << QString()
                                          << QStringLiteral("商品编号不能为空") << QStringLiteral("spbh");
        QTest::newRow("number taken, before the name is looked at")
            << QStringLiteral("1001") << QString() << QString() << QString() << QStringLiteral("编号重复，请重新输入")
            << QStringLiteral("spbh");
        QTest::newRow("no name") << QStringLiteral("9001") << QString() << QString() << QString()
                                 << QStringLiteral("商品名称不能为空，请重新输入") << QStringLiteral("spmc");
        QTest::newRow("price not a number")
            << QStringLiteral("9001") << name << QStringLiteral("jinjia") << QStringLiteral("abc")
            << QStringLiteral("进价“abc”不是数字，请重新输入") << QStringLiteral("jinjia");
        QTest::newRow("negative price") << QStringLiteral("9001") << name << QStringLiteral("sale2")
                                        << QStringLiteral("-0.5")
                                        << QStringLiteral("会员价“-0.5”超出范围（0 至 99999999.99），请重新输入")
                                        << QStringLiteral("sale2");
        QTest::newRow("price beyond reason")
            << QStringLiteral("9001") << name << QStringLiteral("sale1") << QStringLiteral("100000000")
            << QStringLiteral("零售价“100000000”超出范围（0 至 99999999.99），请重新输入") << QStringLiteral("sale1");
        QTest::newRow("infinite price") << QStringLiteral("9001") << name << QStringLiteral("sale3")
                                        << QStringLiteral("inf") << QStringLiteral("批发价“inf”不是数字，请重新输入")
                                        << QStringLiteral("sale3");
        QTest::newRow("limit not whole") << QStringLiteral("9001") << name << QStringLiteral("kucun1")
                                         << QStringLiteral("1.5") << QStringLiteral("库存上限“1.5”不是整数，请重新输入")
                                         << QStringLiteral("kucun1");
        QTest::newRow("limit beyond reason")
            << QStringLiteral("9001") << name << QStringLiteral("kucun2") << QStringLiteral("1e10")
            << QStringLiteral("库存下限“1e10”超出范围（0 至 999999999），请重新输入") << QStringLiteral("kucun2");
    }
    void addChecks()
    {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const int products = m_shop->count(QStringLiteral("spinfo"));
        const int stock = m_shop->count(QStringLiteral("kucun"));
        ScriptedUi ui;
        ProductForm form(RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        QVERIFY(!form.isEnabled(RecordForm::Confirm));
        type(form, {{QStringLiteral("spbh"), number}, {QStringLiteral("spmc"), name}});
        if (!field.isEmpty())
            type(form, {{field, typed}});
        QVERIFY(form.isEnabled(RecordForm::Confirm));
        QVERIFY(!form.confirm());
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(form.focusField(), focus);
        // Nothing written, nothing typed lost.
        QCOMPARE(m_shop->count(QStringLiteral("spinfo")), products);
        QCOMPARE(m_shop->count(QStringLiteral("kucun")), stock);
        QCOMPARE(form.text(QStringLiteral("spbh")), number);
        if (!field.isEmpty())
            QCOMPARE(form.text(field), typed);
    }

    // One product row and one stock row, written together; an empty barcode stores the number.
    void addWritesProductAndStock()
    {
        ScriptedUi ui;
        ProductForm form(RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        QCOMPARE(form.choices(QStringLiteral("beizhu")), (QStringList{kSupplier1, kSupplier2}));
        QCOMPARE(form.choices(QStringLiteral("splb")).first(), QStringLiteral("饮料"));
        type(form, newProduct(QStringLiteral("9001")));
        QVERIFY(form.confirm());
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("保存成功")});

        Query p(m_shop->db());
        p.setSql(QStringLiteral("select * from spinfo where spbh='9001'"));
        QVERIFY(p.open());
        QCOMPARE(p.recordCount(), 1);
        QCOMPARE(p.text(QStringLiteral("tiaoma")), QStringLiteral("9001"));
        QCOMPARE(p.text(QStringLiteral("spmc")), QStringLiteral("香蕉牛奶"));
        QCOMPARE(p.number(QStringLiteral("sale1")), 3.46); // kept to the cent
        QCOMPARE(p.integer(QStringLiteral("kucun1")), 120);
        QCOMPARE(p.integer(QStringLiteral("kucun2")), 12);
        QCOMPARE(p.text(QStringLiteral("beizhu")), kSupplier1);
        QCOMPARE(p.text(QStringLiteral("pinma")), QStringLiteral("XJNN")); // proposed from the name
        QVERIFY(p.value(QStringLiteral("qita")).isNull());

        Query s(m_shop->db());
        s.setSql(QStringLiteral("select * from kucun where spbh='9001'"));
        QVERIFY(s.open());
        QCOMPARE(s.recordCount(), 1);
        QCOMPARE(s.text(QStringLiteral("spmc")), QStringLiteral("香蕉牛奶"));
        QCOMPARE(s.text(QStringLiteral("spxh")), QStringLiteral("K1"));
        QCOMPARE(s.text(QStringLiteral("spgg")), QStringLiteral("250ml"));
        QCOMPARE(s.text(QStringLiteral("splb")), QStringLiteral("饮料"));
        QCOMPARE(s.text(QStringLiteral("spjl")), QStringLiteral("盒"));
        QCOMPARE(s.number(QStringLiteral("jinjia")), 2.2);
        QCOMPARE(s.number(QStringLiteral("shoujia")), 3.46);
        QVERIFY(s.value(QStringLiteral("sl")).isNull());

        // Ready for the next product.
        QCOMPARE(form.text(QStringLiteral("spbh")), QString());
        QCOMPARE(form.text(QStringLiteral("spmc")), QString());
        QCOMPARE(form.text(QStringLiteral("pinma")), QString());
        QCOMPARE(form.text(QStringLiteral("jinjia")), QStringLiteral("0"));
        QCOMPARE(form.text(QStringLiteral("kucun2")), QStringLiteral("0"));
        QVERIFY(!form.isEnabled(RecordForm::Confirm));
        QCOMPARE(form.focusField(), QStringLiteral("spbh"));

        // A barcode of its own is kept; two products may share one.
        type(form, {{QStringLiteral("spbh"), QStringLiteral("9002")},
                    {QStringLiteral("tiaoma"), QStringLiteral("6900001001000")},
                    {QStringLiteral("spmc"), QStringLiteral("可乐")}});
        QVERIFY(form.confirm());
        QCOMPARE(value(QStringLiteral("select count(*) from spinfo where tiaoma='6900001001000'")).toInt(), 1);
        QCOMPARE(value(QStringLiteral("select count(*) from kucun where spbh='9002'")).toInt(), 1);
    }

    // A deleted product leaves its stock row; adding its number again takes that row over with
    // the new descriptions and prices and the quantity it had, never a second row.
    void addAgainTakesOverTheStockRow()
    {
        QVERIFY(m_shop->exec(QStringLiteral("update kucun set sl=-2 where spbh='5005'")));
        const int id = value(QStringLiteral("select ID from kucun where spbh='5005'")).toInt();
        {
            ScriptedUi ui;
            ui.confirms << true;
            ProductList list(ui);
            QVERIFY(list.create());
            QVERIFY(list.moveToKey(QStringLiteral("5005")));
            QVERIFY(list.removeCurrent());
        }
        QCOMPARE(m_shop->count(QStringLiteral("spinfo"), QStringLiteral("spbh='5005'")), 0);
        QCOMPARE(m_shop->count(QStringLiteral("kucun"), QStringLiteral("spbh='5005'")), 1);

        ScriptedUi ui;
        ProductForm form(RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        Texts texts = newProduct(QStringLiteral("5005"));
        texts << QPair<QString, QString>{QStringLiteral("spmc"), QStringLiteral("防风打火机")};
        type(form, texts);
        QVERIFY(form.confirm());
        QCOMPARE(m_shop->count(QStringLiteral("kucun"), QStringLiteral("spbh='5005'")), 1);
        Query s(m_shop->db());
        s.setSql(QStringLiteral("select * from kucun where spbh='5005'"));
        QVERIFY(s.open());
        QCOMPARE(s.integer(QStringLiteral("ID")), id);
        QCOMPARE(s.number(QStringLiteral("sl")), -2.0);
        QCOMPARE(s.text(QStringLiteral("spmc")), QStringLiteral("防风打火机"));
        QCOMPARE(s.text(QStringLiteral("spgg")), QStringLiteral("250ml"));
        QCOMPARE(s.text(QStringLiteral("splb")), QStringLiteral("饮料"));
        QCOMPARE(s.number(QStringLiteral("jinjia")), 2.2);
        QCOMPARE(s.number(QStringLiteral("shoujia")), 3.46);
    }

    // When the stock row cannot be written, the product row is not kept either.
    void addIsAllOrNothing()
    {
        QVERIFY(m_shop->exec(QStringLiteral(
            "create trigger refuse_stock before insert on kucun begin select raise(abort, 'stock refused'); end")));
        ScriptedUi ui;
        ProductForm form(RecordForm::Mode::Add, ui);
        QVERIFY(form.create());
        type(form, newProduct(QStringLiteral("9001")));
        QVERIFY(!form.confirm());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.first().kind, QStringLiteral("error"));
        QVERIFY(ui.lastText().startsWith(QStringLiteral("数据保存失败")));
        QVERIFY(ui.lastText().contains(QStringLiteral("stock refused")));
        QCOMPARE(m_shop->count(QStringLiteral("spinfo"), QStringLiteral("spbh='9001'")), 0);
        QCOMPARE(form.text(QStringLiteral("spmc")), QStringLiteral("香蕉牛奶"));
        QVERIFY(form.isEnabled(RecordForm::Confirm));
    }

    // The edit dialog writes spinfo only: an empty barcode becomes the number, emptied figures 0.
    void editSaves()
    {
        QVERIFY(m_shop->exec(QStringLiteral("update spinfo set spbh='A100' where spbh='1003'")));
        ScriptedUi ui;
        ProductForm form(RecordForm::Mode::Edit, ui);
        QVERIFY(form.create(QStringLiteral("a100"))); // the list's key, letter case aside
        QCOMPARE(form.text(QStringLiteral("spbh")), QStringLiteral("A100"));
        QCOMPARE(form.text(QStringLiteral("spmc")), QStringLiteral("农夫山泉矿泉水"));
        QCOMPARE(form.text(QStringLiteral("beizhu")), kSupplier1);
        type(form, {{QStringLiteral("tiaoma"), QString()},
                    {QStringLiteral("spmc"), QStringLiteral("农夫山泉天然水")},
                    {QStringLiteral("sale2"), QString()},
                    {QStringLiteral("kucun1"), QStringLiteral("300")},
                    {QStringLiteral("kucun2"), QStringLiteral("5")},
                    {QStringLiteral("beizhu"), kSupplier2}});
        QVERIFY(form.save());
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("保存成功")});
        QCOMPARE(form.currentKey(), QStringLiteral("A100"));
        QCOMPARE(form.focusField(), QStringLiteral("spbh"));

        Query p(m_shop->db());
        p.setSql(QStringLiteral("select * from spinfo where spbh='A100'"));
        QVERIFY(p.open());
        QCOMPARE(p.text(QStringLiteral("tiaoma")), QStringLiteral("A100"));
        QCOMPARE(p.text(QStringLiteral("spmc")), QStringLiteral("农夫山泉天然水"));
        QCOMPARE(p.value(QStringLiteral("sale2")).toDouble(), 0.0);
        QVERIFY(!p.value(QStringLiteral("sale2")).isNull());
        QCOMPARE(p.integer(QStringLiteral("kucun1")), 300);
        QCOMPARE(p.integer(QStringLiteral("kucun2")), 5);
        QCOMPARE(p.text(QStringLiteral("beizhu")), kSupplier2);
        QCOMPARE(p.number(QStringLiteral("sale1")), 2.0);
        QVERIFY(p.value(QStringLiteral("qita")).isNull());
        // The stock row keeps what it was given when the product was added.
        QCOMPARE(value(QStringLiteral("select spmc from kucun where spbh='1003'")).toString(),
                 QStringLiteral("农夫山泉矿泉水"));

        // Refused saves change nothing.
        ui.clear();
        type(form, {{QStringLiteral("spmc"), QString()}});
        QVERIFY(!form.save());
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("商品名称不能为空，请重新输入")});
        QCOMPARE(form.focusField(), QStringLiteral("spmc"));
        ui.clear();
        type(form, {{QStringLiteral("spmc"), QStringLiteral("水")}, {QStringLiteral("jinjia"), QStringLiteral("1,5")}});
        QVERIFY(!form.save());
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("进价“1,5”不是数字，请重新输入")});
        QCOMPARE(value(QStringLiteral("select spmc from spinfo where spbh='A100'")).toString(),
                 QStringLiteral("农夫山泉天然水"));
    }

    void deleteProduct_data()
    {
        QTest::addColumn<QVariant>("stock"); // invalid: no stock row
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QStringList>("messages");
        const QStringList done{QStringLiteral("删除成功")};
        QTest::newRow("nothing in stock") << QVariant(0.0) << true << true << done;
        QTest::newRow("stock below zero") << QVariant(-1.0) << true << true << done;
        QTest::newRow("stock never counted") << QVariant(QVariant::fromValue(nullptr)) << true << true << done;
        QTest::newRow("no stock row") << QVariant() << true << true << done;
        QTest::newRow("a little in stock")
            << QVariant(0.01) << true << false << QStringList{QStringLiteral("该商品有库存不能删除")};
        QTest::newRow("cancelled") << QVariant(0.0) << false << false << QStringList();
    }
    void deleteProduct()
    {
        QFETCH(QVariant, stock);
        QFETCH(bool, confirmed);
        QFETCH(bool, deleted);
        QFETCH(QStringList, messages);
        QVERIFY(m_shop->exec(QStringLiteral("insert into spinfo(spbh,spmc,sale1) values('8001','测试商品',1)")));
        if (stock.isValid())
            QVERIFY(m_shop->exec(QStringLiteral("insert into kucun(spbh,spmc,sl) values('8001','测试商品',:SL)"),
                                 {{QStringLiteral("SL"), stock.isNull() ? QVariant() : stock}}));
        ScriptedUi ui;
        ui.confirms << confirmed;
        ProductList list(ui);
        QVERIFY(list.create());
        QVERIFY(list.moveToKey(QStringLiteral("8001")));
        QCOMPARE(list.removeCurrent(), deleted);
        QCOMPARE(ui.confirmTexts, QStringList{QStringLiteral("确实要删除该记录吗?")});
        QCOMPARE(ui.texts(), messages);
        QCOMPARE(m_shop->count(QStringLiteral("spinfo"), QStringLiteral("spbh='8001'")), deleted ? 0 : 1);
        // The stock row is never deleted with the product.
        QCOMPARE(m_shop->count(QStringLiteral("kucun"), QStringLiteral("spbh='8001'")), stock.isValid() ? 1 : 0);
        QCOMPARE(list.count(), m_shop->count(QStringLiteral("spinfo")));
    }

    // "当前商品调价": the retail price and the stock row's selling price move together.
    void priceChange_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<double>("price");
        QTest::addColumn<QStringList>("messages");
        const QStringList done{QStringLiteral("修改完毕")};
        QTest::newRow("new price") << std::optional<QString>(QStringLiteral("12.5")) << 12.5 << done;
        QTest::newRow("kept to the cent") << std::optional<QString>(QStringLiteral(" 3.456 ")) << 3.46 << done;
        QTest::newRow("zero changes nothing") << std::optional<QString>(QStringLiteral("0")) << 2.5 << QStringList();
        QTest::newRow("below zero changes nothing")
            << std::optional<QString>(QStringLiteral("-2")) << 2.5 << QStringList();
        QTest::newRow("not a number") << std::optional<QString>(QStringLiteral("2,8")) << 2.5
                                      << QStringList{QStringLiteral("售价“2,8”不是数字，请重新输入")};
        QTest::newRow("beyond reason") << std::optional<QString>(QStringLiteral("1e9")) << 2.5
                                       << QStringList{
                                              QStringLiteral("售价“1e9”超出范围（0 至 99999999.99），请重新输入")};
        QTest::newRow("退出") << std::optional<QString>(QStringLiteral("~")) << 2.5 << QStringList();
        QTest::newRow("close box") << std::optional<QString>() << 2.5 << QStringList();
    }
    void priceChange()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(double, price);
        QFETCH(QStringList, messages);
        ScriptedUi ui;
        ui.promptAnswers << answer;
        ProductList list(ui);
        QVERIFY(list.create());
        QVERIFY(list.moveToKey(QStringLiteral("1002")));
        QCOMPARE(list.changePrice(), messages == QStringList{QStringLiteral("修改完毕")});
        QCOMPARE(ui.prompts.size(), 1);
        QCOMPARE(ui.prompts.first().formName, QStringLiteral("Txtts1_form"));
        QCOMPARE(ui.prompts.first().question, QStringLiteral("请输入该商品的售价"));
        QCOMPARE(ui.prompts.first().defaultText, QStringLiteral("0.00"));
        QCOMPARE(ui.texts(), messages);
        QCOMPARE(value(QStringLiteral("select sale1 from spinfo where spbh='1002'")).toDouble(), price);
        QCOMPARE(value(QStringLiteral("select shoujia from kucun where spbh='1002'")).toDouble(), price);
        // Only the current product.
        QCOMPARE(value(QStringLiteral("select sale1 from spinfo where spbh='1001'")).toDouble(), 2.5);
    }

    void priceChangeIsAllOrNothing()
    {
        QVERIFY(m_shop->exec(QStringLiteral(
            "create trigger refuse_price before update on kucun begin select raise(abort, 'stock locked'); end")));
        ScriptedUi ui;
        ui.promptAnswers << std::optional<QString>(QStringLiteral("9.9"));
        ProductList list(ui);
        QVERIFY(list.create());
        QVERIFY(list.moveToKey(QStringLiteral("1002")));
        QVERIFY(!list.changePrice());
        QCOMPARE(ui.shown.size(), 1);
        QVERIFY(ui.lastText().contains(QStringLiteral("stock locked")));
        QCOMPARE(value(QStringLiteral("select sale1 from spinfo where spbh='1002'")).toDouble(), 2.5);
    }

    // The filter looks in number, name, barcode and pinyin code.
    void filter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("number, and barcodes holding it")
            << QStringLiteral("1001") << QStringList{QStringLiteral("1001"), QStringLiteral("3001")};
        QTest::newRow("number") << QStringLiteral("4008") << QStringList{QStringLiteral("4008")};
        QTest::newRow("name") << QStringLiteral("可乐") << QStringList{QStringLiteral("1001"), QStringLiteral("1002")};
        QTest::newRow("barcode") << QStringLiteral("6900001003") << QStringList{QStringLiteral("1003")};
        QTest::newRow("pinyin code, any case")
            << QStringLiteral("ksf") << QStringList{QStringLiteral("1004"), QStringLiteral("2001")};
        QTest::newRow("nothing") << QStringLiteral("没有这种商品") << QStringList();
    }
    void filter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, keys);
        ScriptedUi ui;
        ProductList list(ui);
        QVERIFY(list.create());
        QVERIFY(list.setFilter(filter));
        QCOMPARE(keysOf(list), keys);
        QVERIFY(list.setFilter(QString()));
        QCOMPARE(list.count(), m_shop->count(QStringLiteral("spinfo")));
    }

    // A filter that finds thousands of products: moving among the first rows needs no count,
    // 末条 reaches the real last product, 刷新 comes back to a product far down the list.
    void longFilteredList()
    {
        QVERIFY(m_shop->db().transaction([&] {
            for (int i = 0; i < 3000; ++i)
                if (!m_shop->exec(QStringLiteral("insert into spinfo(spbh,spmc) values(:B,:M)"),
                                  {{QStringLiteral("B"), QStringLiteral("X%1").arg(i, 5, 10, QLatin1Char('0'))},
                                   {QStringLiteral("M"), QStringLiteral("散装糖果%1").arg(i)}}))
                    return false;
            return true;
        }));
        ScriptedUi ui;
        ProductList list(ui);
        QVERIFY(list.create());
        QVERIFY(list.setFilter(QStringLiteral("糖果")));
        QVERIFY(list.hasRows());
        list.setCurrent(5);
        list.next();
        QCOMPARE(list.currentKey(), QStringLiteral("X00006"));
        QVERIFY(!list.rows().countKnown());
        list.last();
        QCOMPARE(list.current(), 2999);
        QCOMPARE(list.currentKey(), QStringLiteral("X02999"));
        list.setCurrent(2500);
        QVERIFY(list.reload());
        QCOMPARE(list.currentKey(), QStringLiteral("X02500"));
        QCOMPARE(list.count(), 3000);
        QVERIFY(ui.shown.isEmpty());
    }

    // The column "供应商" and the printed list show the supplier the product was saved with.
    void supplierColumnAndPrint()
    {
        const ListKind& kind = ProductCatalogue::list();
        QStringList captions;
        for (const GridColumn& c : kind.columns) {
            captions << c.caption;
            if (c.caption == QStringLiteral("供应商"))
                QCOMPARE(c.field, QStringLiteral("beizhu"));
        }
        QCOMPARE(captions, (QStringList{QStringLiteral("商品编号"), QStringLiteral("条码"), QStringLiteral("商品名称"),
                                        QStringLiteral("型号"), QStringLiteral("规格"), QStringLiteral("类别"),
                                        QStringLiteral("计量单位"), QStringLiteral("进价"), QStringLiteral("零售价"),
                                        QStringLiteral("会员价"), QStringLiteral("批发价"), QStringLiteral("库存上限"),
                                        QStringLiteral("库存下限"), QStringLiteral("生产厂家"),
                                        QStringLiteral("供应商"), QStringLiteral("拼音码")}));

        QVERIFY(installReports(*m_shop));
        QVERIFY(m_shop->exec(QStringLiteral("update spinfo set qita='OLDQITA' where spbh='1001'")));
        ScriptedUi ui;
        const QString pdf = m_shop->file(QStringLiteral("spxx.pdf"));
        ui.previewPdfFiles << pdf;
        ProductList list(ui);
        QVERIFY(list.create());
        QVERIFY(list.print());
        QVERIFY2(ui.shown.isEmpty(), qPrintable(ui.lastText()));
        QCOMPARE(ui.previews.size(), 1);
        QCOMPARE(ui.previews.first().title, QStringLiteral("商品信息打印"));
        QVERIFY(ui.previews.first().maximised);
        const QString text = PdfTools::pageText(pdf, 1);
        QVERIFY2(text.contains(QStringLiteral("批发部")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("OLDQITA")));
        QVERIFY(text.contains(QStringLiteral("可口可乐")));
    }

    // The dialogs propose the pinyin code from the name until the person types one.
    void pinyinProposal()
    {
        ScriptedUi ui;
        ProductForm add(RecordForm::Mode::Add, ui);
        QVERIFY(add.create());
        type(add, {{QStringLiteral("spmc"), QStringLiteral("可口")}});
        QCOMPARE(add.text(QStringLiteral("pinma")), QStringLiteral("KK"));
        type(add, {{QStringLiteral("spmc"), QStringLiteral("可口可乐")}});
        QCOMPARE(add.text(QStringLiteral("pinma")), QStringLiteral("KKKL"));
        QVERIFY(add.pinyinProposed());
        type(add, {{QStringLiteral("pinma"), QStringLiteral("KL")}, {QStringLiteral("spmc"), QStringLiteral("百事")}});
        QCOMPARE(add.text(QStringLiteral("pinma")), QStringLiteral("KL"));
        QVERIFY(!add.pinyinProposed());
        type(add, {{QStringLiteral("pinma"), QString()}, {QStringLiteral("spmc"), QStringLiteral("百事可乐")}});
        QCOMPARE(add.text(QStringLiteral("pinma")), QStringLiteral("BSKL"));

        // The edit dialog proposes a code for a product without one and keeps a stored one.
        QVERIFY(m_shop->exec(QStringLiteral("update spinfo set pinma=null where spbh='1004'")));
        ProductForm edit(RecordForm::Mode::Edit, ui);
        QVERIFY(edit.create(QStringLiteral("1004")));
        QCOMPARE(edit.text(QStringLiteral("pinma")), QStringLiteral("KSFBHC"));
        edit.next();
        QCOMPARE(edit.text(QStringLiteral("pinma")), QStringLiteral("MNCNN"));
        edit.prior();
        QVERIFY(edit.save());
        QCOMPARE(value(QStringLiteral("select pinma from spinfo where spbh='1004'")).toString(),
                 QStringLiteral("KSFBHC"));
    }
};

QTEST_MAIN(ProductsTest)
#include "tst_products.moc"
