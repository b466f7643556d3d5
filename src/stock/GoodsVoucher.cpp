#include "stock/GoodsVoucher.h"

#include "core/Clock.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"
#include "core/Ui.h"
#include "core/report/Report.h"

const QString GoodsVoucher::Gys = QStringLiteral("gys");
const QString GoodsVoucher::Jinjia = QStringLiteral("jinjia");
const QString GoodsVoucher::Xzdj = QStringLiteral("xzdj");
const QString GoodsVoucher::Bcdj = QStringLiteral("bcdj");
const QString GoodsVoucher::DeleteLine = QStringLiteral("ToolButton2");
const QString GoodsVoucher::PrintVoucher = QStringLiteral("ToolButton3");
const QString GoodsVoucher::Close = QStringLiteral("ToolButton5");
const QString GoodsVoucher::Hcbc = QStringLiteral("hcbc");
const QString GoodsVoucher::SupplierButton = QStringLiteral("SpeedButton1");
const QString GoodsVoucher::ProductButton = QStringLiteral("SpeedButton2");

namespace {

// Quantities and prices a person types on a voucher stay below this.
constexpr double kLargest = 1e8;

} // namespace

const GridColumns& GoodsVoucher::gridColumns()
{
    static const GridColumns columns{
        {QStringLiteral("spmc"), QStringLiteral("商品名称"), 200},
        {QStringLiteral("spxh"), QStringLiteral("商品型号"), 100},
        {QStringLiteral("spgg"), QStringLiteral("商品规格"), 100},
        {QStringLiteral("sl"), QStringLiteral("数量"), 80, GridColumn::Format::Number},
        {QStringLiteral("jinjia"), QStringLiteral("进价"), 80, GridColumn::Format::Money},
        {QStringLiteral("jine"), QStringLiteral("金额"), 100, GridColumn::Format::Money},
    };
    return columns;
}

GoodsVoucher::GoodsVoucher(const GoodsKind& kind, Ui& ui)
    : VoucherForm(ui, kind.voucher, kind.lineTable, kind.productPicker), m_kind(kind), m_header(db())
{
    QStringList order{Djbh, Czy, Rq, Ck, Zhekou};
    if (m_kind.hasSupplier)
        order << Gys;
    order << Spmc;
    setEnterOrder(order);
}

GoodsVoucher::~GoodsVoucher() = default;

bool GoodsVoucher::create()
{
    if (!openConnection() || !readWarehouses())
        return false;
    setEnabled(Xzdj, true);
    setEnabled(Bcdj, false);
    setEnabled(PrintVoucher, false);
    focus(Spmc);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Keys

void GoodsVoucher::enterPressed(const QString& field)
{
    if (field == Spmc) {
        if (!text(Spmc).isEmpty())
            enterProductCode();
    } else if (field == Sl) {
        enterQuantity();
    } else if (field == Jinjia) {
        focus(Hcbc);
    } else if (field == Hcbc) {
        addLine();
    } else {
        FormState::enterPressed(field);
    }
}

// ---------------------------------------------------------------------------------------------
// A new voucher

void GoodsVoucher::newVoucher()
{
    if (m_open)
        return;
    startHeader();
    const VoucherNumber::Result r = VoucherNumber::qdjh(db(), m_kind.voucher, text(Rq));
    if (!r.ok()) {
        ui().showError(r.error);
        return;
    }
    setText(Djbh, r.number);
    setText(Czy, LoginUser::name());
    clearFields({Gys, Hjsl, Hjje, Spmc, Sl, Jinjia});
    unloadGrid();
    m_header.close();
    forgetProduct();
    m_open = true;
    setEnabled(Bcdj, true);
    setEnabled(Xzdj, false);
    setEnabled(PrintVoucher, false);

    // Lines left under this number by a screen that was never saved (a crash, a power cut).
    bool leftover = false;
    showLeftoverLines(&leftover);
    if (leftover)
        m_unsaved.insert(r.number);
    focus(Spmc);
}

// ---------------------------------------------------------------------------------------------
// Products

// The product number first, then the barcode a scanner sends, then (letters only) the pinyin code.
bool GoodsVoucher::enterProductCode()
{
    const QString code = text(Spmc);
    bool found = false;
    if (!lookupProduct(QStringLiteral("spbh"), code, false, &found))
        return false;
    if (!found && !lookupProduct(QStringLiteral("tiaoma"), code.trimmed(), false, &found))
        return false;
    if (!found && !code.trimmed().isEmpty() && isPinyinCode(code) &&
        !lookupProduct(QStringLiteral("pinma"), code.trimmed(), false, &found))
        return false;
    if (!found) {
        ui().showMessage(QStringLiteral("查无此商品编号，请重新输入"));
        focus(Spmc, true);
        return false;
    }
    setText(Spmc, currentProduct().spmc);
    focus(Sl);
    return true;
}

void GoodsVoucher::pickSupplier()
{
    if (m_kind.hasSupplier)
        pickInto(m_kind.supplierPicker, Gys);
}

void GoodsVoucher::enterQuantity()
{
    if (hasCurrentProduct())
        setText(Jinjia, currentProduct().jinjia);
    focus(Jinjia);
}

// ---------------------------------------------------------------------------------------------
// Lines

bool GoodsVoucher::readNumber(const QString& field, const QString& caption, double* value)
{
    const QString t = text(field);
    double v = 0;
    bool ok = TextUtil::toNumber(t, &v) && v <= kLargest;
    QString rule;
    if (field == Sl) {
        ok = ok && v > 0;
        rule = QStringLiteral("请输入大于0的数字");
    } else if (field == Zhekou) {
        ok = ok && v > 0 && v <= 1;
        rule = QStringLiteral("请输入0到1之间的数字（如0.9）");
    } else {
        ok = ok && v >= 0;
        rule = QStringLiteral("请输入不小于0的数字");
    }
    if (!ok) {
        ui().showMessage(QStringLiteral("%1“%2”不正确，%3").arg(caption, t, rule));
        return false;
    }
    *value = v;
    return true;
}

bool GoodsVoucher::headerExists(const QString& number, bool* exists)
{
    Query q(db());
    q.add(QStringLiteral("select count(*) as n from %1 where djbh=:DJBH").arg(m_kind.voucher.headerTable));
    q.bind(QStringLiteral("DJBH"), number);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    *exists = q.integer(QStringLiteral("n")) > 0;
    return true;
}

bool GoodsVoucher::addLine()
{
    if (!m_open) {
        ui().showMessage(QStringLiteral("请先按“新增单据”开始一张新单据，再录入商品"));
        focus(Spmc);
        return false;
    }
    const QString number = text(Djbh);
    bool saved = false;
    if (!headerExists(number, &saved))
        return false;
    if (saved) {
        ui().showMessage(QStringLiteral("单据“%1”已经保存，不能再录入商品").arg(number));
        focus(Djbh, true);
        return false;
    }
    if (!hasCurrentProduct()) {
        ui().showMessage(QStringLiteral("请先输入商品编号、条码或拼音码，或用“…”选择商品"));
        focus(Spmc, true);
        return false;
    }
    double sl = 0;
    double price = 0;
    double discount = 0;
    if (!readNumber(Sl, QStringLiteral("数量"), &sl)) {
        focus(Sl, true);
        return false;
    }
    if (!m_kind.priceEditable && text(Jinjia).trimmed().isEmpty()) {
        ui().showMessage(QStringLiteral("商品“%1”没有进价，请先在商品信息中录入进价").arg(currentProduct().spmc));
        focus(Spmc, true);
        return false;
    }
    if (!readNumber(Jinjia, QStringLiteral("进价"), &price)) {
        focus(m_kind.priceEditable ? Jinjia : Spmc, true);
        return false;
    }
    if (!readNumber(Zhekou, QStringLiteral("折扣"), &discount)) {
        focus(Zhekou, true);
        return false;
    }

    Query q(db());
    q.add(QStringLiteral("insert into %1(spbh,spmc,spxh,spgg,spjl,splb,sl,jinjia,jine,zhekou,djbh,rq)")
              .arg(m_kind.lineTable));
    q.add(QStringLiteral(" values(:SPBH,:SPMC,:SPXH,:SPGG,:SPJL,:SPlb,:SL,:JINJIA,:JINE,:ZHEKOU,:DJBH,:RQ)"));
    bindProduct(q);
    q.bind(QStringLiteral("SL"), sl);
    q.bind(QStringLiteral("JINJIA"), price);
    q.bind(QStringLiteral("JINE"), sl * price);
    q.bind(QStringLiteral("ZHEKOU"), discount);
    q.bind(QStringLiteral("DJBH"), number);
    q.bind(QStringLiteral("RQ"), text(Rq));
    if (!q.execute()) {
        dbError(q.lastError());
        return false;
    }
    m_unsaved.insert(number);
    if (!reloadGrid() || !reloadTotals())
        return false;
    setCurrentLine(lines().count() - 1);
    clearFields({Spmc, Sl, Jinjia});
    focus(Spmc);
    return true;
}

bool GoodsVoucher::deleteLine()
{
    const bool hasRow = gridLoaded() && lines().count() > 0;
    const int row = hasRow ? qBound(0, currentLine(), lines().count() - 1) : 0;
    if (hasRow) {
        // A saved voucher's lines are its stock changes; taking one away would leave the header
        // and the stock telling another story.
        bool saved = false;
        if (!headerExists(lines().text(row, QStringLiteral("djbh")), &saved))
            return false;
        if (saved) {
            ui().showMessage(QStringLiteral("单据已经保存，不能删除记录"));
            return false;
        }
    }
    if (!ask(QStringLiteral("确实要删除该记录吗?")))
        return false;
    if (hasRow) {
        Query q(db());
        q.add(QStringLiteral("delete from %1 where rowid=:RID").arg(m_kind.lineTable));
        q.bind(QStringLiteral("RID"), lines().value(row, QStringLiteral("rid")));
        if (!q.execute()) {
            dbError(q.lastError());
            return false;
        }
        if (!reloadGrid())
            return false;
    }
    if (!reloadTotals())
        return false;
    focus(Spmc);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Saving

// The stock row of a product follows every line; a product without one gets it now, from the
// product master, so that received goods show in the stock.
bool GoodsVoucher::writeStock(const Query& line, QString* error)
{
    const QString spbh = line.text(QStringLiteral("spbh"));
    const double change = m_kind.stockSign * line.number(QStringLiteral("sl"));
    Query stock(db());
    stock.setSql(QStringLiteral("select * from kucun where spbh=:SPBH"));
    stock.bind(QStringLiteral("SPBH"), spbh);
    if (!stock.open()) {
        *error = stock.lastError();
        return false;
    }
    Query q(db());
    if (stock.first()) {
        q.setSql(QStringLiteral("update kucun set sl=:SL where spbh=:SPBH"));
        q.bind(QStringLiteral("SL"), stock.number(QStringLiteral("sl")) + change);
        q.bind(QStringLiteral("SPBH"), spbh);
        return execute(q, error);
    }
    Query product(db());
    product.setSql(QStringLiteral("select * from spinfo where spbh=:SPBH"));
    product.bind(QStringLiteral("SPBH"), spbh);
    if (!product.open()) {
        *error = product.lastError();
        return false;
    }
    // A product taken out of the master since keeps the columns its line copied.
    const bool inMaster = product.first();
    auto column = [&](const char* name) {
        const QString c = QString::fromLatin1(name);
        return inMaster ? product.value(c) : line.value(c);
    };
    const QVariant retail = inMaster ? product.value(QStringLiteral("sale1")) : QVariant();
    q.add(QStringLiteral("insert into kucun(spbh,spmc,spxh,spgg,splb,spjl,jinjia,sl,shoujia,jine)"));
    q.add(QStringLiteral(" values(:SPBH,:SPMC,:SPXH,:SPGG,:SPLB,:SPJL,:JINJIA,:SL,:SHOUJIA,:JINE)"));
    q.bind(QStringLiteral("SPBH"), spbh);
    q.bind(QStringLiteral("SPMC"), column("spmc"));
    q.bind(QStringLiteral("SPXH"), column("spxh"));
    q.bind(QStringLiteral("SPGG"), column("spgg"));
    q.bind(QStringLiteral("SPLB"), column("splb"));
    q.bind(QStringLiteral("SPJL"), column("spjl"));
    const QVariant cost = column("jinjia");
    q.bind(QStringLiteral("JINJIA"), cost.isNull() ? QVariant() : QVariant(Query::variantNumber(cost)));
    q.bind(QStringLiteral("SL"), change);
    q.bind(QStringLiteral("SHOUJIA"), retail.isNull() ? QVariant() : QVariant(Query::variantNumber(retail)));
    q.bind(QStringLiteral("JINE"), change * Query::variantNumber(retail));
    return execute(q, error);
}

bool GoodsVoucher::saveVoucher()
{
    if (!m_open) {
        ui().showMessage(QStringLiteral("请先按“新增单据”开始一张新单据"));
        return false;
    }
    const QString number = text(Djbh);
    const QString prefix = m_kind.voucher.prefix;
    bool wellFormed = number.size() == 16 && number.startsWith(prefix);
    for (int i = prefix.size(); wellFormed && i < number.size(); ++i)
        wellFormed = number.at(i).isDigit();
    if (!wellFormed) {
        ui().showMessage(QStringLiteral("单据编号“%1”不正确，应为%2加8位日期和4位序号").arg(number, prefix));
        focus(Djbh, true);
        return false;
    }
    bool saved = false;
    if (!headerExists(number, &saved))
        return false;
    if (saved) {
        ui().showMessage(QStringLiteral("单据“%1”已经保存过，不能重复保存").arg(number));
        return false;
    }
    if (m_kind.hasSupplier && text(Gys).trimmed().isEmpty()) {
        ui().showMessage(QStringLiteral("请输入供应商"));
        focus(Gys);
        return false;
    }
    double discount = 0;
    if (!readNumber(Zhekou, QStringLiteral("折扣"), &discount)) {
        focus(Zhekou, true);
        return false;
    }
    if (!reloadGrid() || !reloadTotals())
        return false;
    if (lines().count() == 0) {
        ui().showMessage(QStringLiteral("本单还没有录入商品，不能保存"));
        focus(Spmc);
        return false;
    }
    double total = 0;
    TextUtil::toNumber(text(Hjje), &total);

    QString error;
    const bool ok = write(
        [&](QString* failure) {
            Query q(db());
            if (m_kind.owesAmount) {
                q.add(QStringLiteral("insert into %1(djbh,rq,sj,gysmc,zdy,zhekou,hjje,zkje,qkje,hkje)")
                          .arg(m_kind.voucher.headerTable));
                q.add(QStringLiteral(" values(:DJBH,:RQ,:SJ,:GYSMC,:ZDY,:ZHEKOU,:HJJE,:ZKJE,:QKJE,:HKJE)"));
                q.bind(QStringLiteral("QKJE"), total * discount);
                q.bind(QStringLiteral("HKJE"), 0.0);
            } else {
                q.add(QStringLiteral("insert into %1(djbh,rq,sj,gysmc,zdy,zhekou,hjje,zkje)")
                          .arg(m_kind.voucher.headerTable));
                q.add(QStringLiteral(" values(:DJBH,:RQ,:SJ,:GYSMC,:ZDY,:ZHEKOU,:HJJE,:ZKJE)"));
            }
            q.bind(QStringLiteral("DJBH"), number);
            q.bind(QStringLiteral("RQ"), text(Rq));
            q.bind(QStringLiteral("SJ"), Clock::timeText());
            q.bind(QStringLiteral("GYSMC"), m_kind.hasSupplier ? text(Gys) : QString());
            q.bind(QStringLiteral("ZDY"), text(Czy));
            q.bind(QStringLiteral("ZHEKOU"), discount);
            q.bind(QStringLiteral("HJJE"), total);
            q.bind(QStringLiteral("ZKJE"), total * discount);
            if (!execute(q, failure))
                return false;
            // Each line reads the stock afresh, so a product on several lines receives every one.
            Query lines(db());
            lines.add(QStringLiteral("select * from %1 where djbh=:DJBH").arg(m_kind.lineTable));
            lines.bind(QStringLiteral("DJBH"), number);
            if (!lines.open()) {
                *failure = lines.lastError();
                return false;
            }
            for (bool more = lines.first(); more; more = lines.next()) {
                if (!writeStock(lines, failure))
                    return false;
            }
            return true;
        },
        &error);
    if (!ok) {
        ui().showError(QStringLiteral("数据保存失败：%1").arg(error));
        return false;
    }
    m_header.close();
    m_header.clear();
    m_header.add(QStringLiteral("select * from %1 where djbh=:DJBH").arg(m_kind.voucher.headerTable));
    m_header.bind(QStringLiteral("DJBH"), number);
    if (!m_header.open())
        dbError(m_header.lastError());
    m_open = false;
    m_unsaved.remove(number);
    setEnabled(PrintVoucher, true);
    setEnabled(Xzdj, true);
    setEnabled(Bcdj, false);
    ui().showMessage(QStringLiteral("数据保存成功"));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Printing and closing

bool GoodsVoucher::printVoucher()
{
    if (!m_header.isOpen() || m_header.isEmpty()) {
        ui().showMessage(QStringLiteral("请先保存单据再打印"));
        return false;
    }
    Query lines(db());
    lines.add(QStringLiteral("select * from %1 where djbh=:DJBH").arg(m_kind.lineTable));
    lines.bind(QStringLiteral("DJBH"), m_header.text(QStringLiteral("djbh")));
    Query settings(db());
    settings.setSql(QStringLiteral("select * from xtsz"));
    if (!lines.open() || !settings.open()) {
        dbError(lines.lastError().isEmpty() ? settings.lastError() : lines.lastError());
        return false;
    }
    Report report(ui());
    report.setConnection(m_kind.connectionName(1), lines);
    report.setConnection(m_kind.connectionName(2), m_header);
    report.setConnection(m_kind.connectionName(3), settings);
    report.setPreviewTitle(m_kind.previewTitle, m_kind.previewMaximised);
    report.setSetupTitle(m_kind.setupTitle);
    report.setProjectFile(m_kind.reportFile);
    bool shown = false;
    if (report.open())
        shown = report.execute();
    report.close();
    return shown;
}

bool GoodsVoucher::mayClose()
{
    // The numbers whose lines would be left without a header.
    QStringList orphaned;
    for (const QString& number : std::as_const(m_unsaved)) {
        bool saved = false;
        if (!headerExists(number, &saved))
            return true;
        if (saved)
            continue;
        int count = 0;
        if (!lineCount(number, &count))
            return true;
        if (count > 0)
            orphaned << number;
    }
    if (orphaned.isEmpty())
        return true;
    if (!ask(QStringLiteral("本单尚未保存，放弃已录入的商品吗?"), Ui::Icon::Question))
        return false;
    QString error;
    const bool ok = write(
        [&](QString* failure) {
            for (const QString& number : std::as_const(orphaned)) {
                Query q(db());
                q.add(QStringLiteral("delete from %1 where djbh=:DJBH").arg(m_kind.lineTable));
                q.bind(QStringLiteral("DJBH"), number);
                if (!execute(q, failure))
                    return false;
            }
            return true;
        },
        &error);
    if (!ok) {
        dbError(error);
        return false;
    }
    m_unsaved.clear();
    unloadGrid();
    return true;
}
