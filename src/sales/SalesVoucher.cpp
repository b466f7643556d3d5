#include "sales/SalesVoucher.h"

#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"
#include "core/Ui.h"
#include "sales/Receipt.h"
#include "sales/ReceiptPrinter.h"

#include <cmath>

const QString SalesVoucher::Djbh = QStringLiteral("djbh");
const QString SalesVoucher::Czy = QStringLiteral("czy");
const QString SalesVoucher::Rq = QStringLiteral("rq");
const QString SalesVoucher::Ck = QStringLiteral("ck");
const QString SalesVoucher::Zhekou = QStringLiteral("zhekou");
const QString SalesVoucher::Kh = QStringLiteral("kh");
const QString SalesVoucher::Spmc = QStringLiteral("spmc");
const QString SalesVoucher::Sl = QStringLiteral("sl");
const QString SalesVoucher::Shoujia = QStringLiteral("shoujia");
const QString SalesVoucher::Hjsl = QStringLiteral("hjsl");
const QString SalesVoucher::Hjje = QStringLiteral("hjje");
const QString SalesVoucher::NonMember = QStringLiteral("非会员");
const QString SalesVoucher::Member = QStringLiteral("会员");

namespace {

const QString kSystemPrompt = QStringLiteral("系统提示");
const QString kNone = QStringLiteral("~");

// What a cashier can mean on one line: a quantity up to 9999 and a price below a million.
constexpr double kMaxQuantity = 9999;
constexpr double kMaxPrice = 999999.99;

} // namespace

const GridColumns& SalesVoucher::gridColumns()
{
    using F = GridColumn::Format;
    static const GridColumns columns{
        {QStringLiteral("spmc"), QStringLiteral("商品名称"), 220},
        {QStringLiteral("spxh"), QStringLiteral("型号"), 90},
        {QStringLiteral("spgg"), QStringLiteral("规格"), 90},
        {QStringLiteral("spjl"), QStringLiteral("计量单位"), 80},
        {QStringLiteral("sale1"), QStringLiteral("售价"), 90, F::Money},
        {QStringLiteral("sl"), QStringLiteral("数量"), 70, F::Number},
        {QStringLiteral("jine"), QStringLiteral("销售金额"), 100, F::Money},
        {QStringLiteral("zhekou"), QStringLiteral("折扣"), 70, F::Number},
        {QStringLiteral("zhekouje"), QStringLiteral("折扣后金额"), 100, F::Money},
    };
    return columns;
}

bool SalesVoucher::isPinyinCode(const QString& text)
{
    for (QChar c : text.trimmed()) {
        const bool letter =
            (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
        if (!letter)
            return false;
    }
    return true;
}

SalesVoucher::SalesVoucher(const SaleKind& kind, Ui& ui) : FormState(ui), m_kind(kind), m_grid(db()) {}

SalesVoucher::~SalesVoucher() = default;

bool SalesVoucher::create()
{
    if (!openConnection())
        return false;
    if (m_kind.readsSettings) {
        Query q(db());
        q.setSql(QStringLiteral("select * from xtsz"));
        if (!q.open()) {
            dbError(q.lastError());
            return false;
        }
        m_priceReadOnly = q.integer(QStringLiteral("jia")) == 1;
        m_stockCheckOff = q.integer(QStringLiteral("ku")) == 1;
    } else {
        // The return screen reads no settings: the price is never typed and stock never checked.
        m_priceReadOnly = true;
        m_stockCheckOff = true;
    }
    setField(Rq, Clock::todayText());
    setField(Zhekou, QStringLiteral("1"));

    Query q(db());
    q.setSql(QStringLiteral("select * from ckinfo"));
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    m_warehouses.clear();
    for (bool more = q.first(); more; more = q.next())
        m_warehouses << q.text(QStringLiteral("ckmc"));
    setField(Ck, m_warehouses.value(0));

    if (!drawNumber())
        return false;
    setField(Kh, NonMember);
    setField(Czy, LoginUser::name());
    showLeftoverLines();
    focus(Spmc);
    return true;
}

void SalesVoucher::setCurrentLine(int row)
{
    m_currentLine = row;
}

QString SalesVoucher::clockText()
{
    return QStringLiteral("现在时间是:") + Clock::todayText() + QLatin1Char(' ') + Clock::timeText();
}

// ---------------------------------------------------------------------------------------------
// Keys

void SalesVoucher::enterPressed(const QString& field)
{
    if (field == Spmc) {
        if (!text(Spmc).isEmpty())
            enterProductCode();
        else
            focus(Sl);
    } else if (field == Sl) {
        enterQuantity();
    } else if (field == Shoujia) {
        if (m_kind.enterWithoutName || !text(Spmc).isEmpty())
            addPickedProduct();
    } else if (field == Djbh) {
        focus(Czy);
    } else if (field == Czy) {
        focus(Rq);
    } else if (field == Rq) {
        focus(Ck);
    } else if (field == Ck) {
        focus(Zhekou);
    } else if (field == Zhekou) {
        m_discountReadOnly = true;
        focus(Spmc);
    } else if (field == Kh) {
        focus(Spmc);
    }
}

void SalesVoucher::pressF5()
{
    if (m_kind.canHold)
        holdVoucher();
    else
        voidVoucher();
}

void SalesVoucher::pressF6()
{
    if (m_kind.canHold)
        recallVoucher();
}

// ---------------------------------------------------------------------------------------------
// Entering products

bool SalesVoucher::lookupProduct(const QString& sql, const QString& param, const QString& value, bool* found)
{
    Query q(db());
    q.setSql(sql);
    q.bind(param, value);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    *found = q.first();
    m_hasProduct = *found;
    if (*found) {
        m_product.spbh = q.text(QStringLiteral("spbh"));
        m_product.spmc = q.text(QStringLiteral("spmc"));
        m_product.spxh = q.text(QStringLiteral("spxh"));
        m_product.spgg = q.text(QStringLiteral("spgg"));
        m_product.splb = q.text(QStringLiteral("splb"));
        m_product.spjl = q.text(QStringLiteral("spjl"));
        m_product.sale1 = q.text(QStringLiteral("sale1"));
        m_product.sale2 = q.text(QStringLiteral("sale2"));
    } else {
        m_product = Product();
    }
    return true;
}

bool SalesVoucher::stockAllows(bool* allowed)
{
    Query q(db());
    q.setSql(QStringLiteral("select * from kucun where spbh=:SPBH"));
    q.bind(QStringLiteral("SPBH"), m_product.spbh);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    // No stock row reads as zero stock.
    *allowed = q.number(QStringLiteral("sl")) > 0;
    return true;
}

bool SalesVoucher::enterProductCode()
{
    if (refusedWithoutNumber())
        return false;
    // Blanks a scanner or a slip of the thumb puts around the code are not part of it.
    const QString code = text(Spmc).trimmed();
    const bool pinyin = isPinyinCode(code);
    bool found = false;
    // Codes are found whatever their letter case (the pinyin code's column compares that way
    // itself); a code that matches exactly comes first.
    if (pinyin) {
        if (!lookupProduct(QStringLiteral("select * from spinfo where pinma=:PINMA"), QStringLiteral("PINMA"), code,
                           &found))
            return false;
    } else {
        if (!lookupProduct(
                QStringLiteral("select * from spinfo where spbh=:SPBH collate nocase order by spbh=:SPBH desc"),
                QStringLiteral("SPBH"), code, &found))
            return false;
        if (!found &&
            !lookupProduct(
                QStringLiteral("select * from spinfo where tiaoma=:TIAOMA collate nocase order by tiaoma=:TIAOMA desc"),
                QStringLiteral("TIAOMA"), code, &found))
            return false;
    }
    if (!found) {
        ui().showMessage(QStringLiteral("查无此商品，请重新输入"));
        focus(Spmc, true);
        return false;
    }
    if (!m_stockCheckOff) {
        bool allowed = false;
        if (!stockAllows(&allowed))
            return false;
        if (!allowed) {
            ui().showMessage(QStringLiteral("该商品库存为零不能销售"));
            focus(Spmc, true);
            return false;
        }
    }
    setField(Sl, QStringLiteral("1"));
    const bool retail = text(Kh) == NonMember;
    setField(Shoujia, retail ? m_product.sale1 : m_product.sale2);
    m_priceSource = retail ? PriceSource::Retail : PriceSource::Member;
    setField(Spmc, m_product.spmc);
    if (!addLine())
        return false;
    if (pinyin && m_kind.pinyinLeavesZero) {
        setField(Sl, QStringLiteral("0"));
        setField(Shoujia, QStringLiteral("0"));
    }
    return true;
}

void SalesVoucher::enterQuantity()
{
    if (m_hasProduct && (m_kind.enterWithoutName || !text(Spmc).isEmpty())) {
        setField(Shoujia, m_product.sale1);
        m_priceSource = PriceSource::Retail;
    }
    focus(Shoujia);
}

bool SalesVoucher::addPickedProduct()
{
    if (refusedWithoutNumber())
        return false;
    if (!m_hasProduct) {
        // A cancelled picker leaves a name in the entry but no product behind it.
        ui().showMessage(QStringLiteral("请先输入商品编码或用“…”选择商品"));
        focus(Spmc, true);
        return false;
    }
    return addLine();
}

void SalesVoucher::pickProduct()
{
    if (refusedWithoutNumber())
        return;
    QStringList answers{kNone, kNone};
    ui().pick(Dialogs::picker(m_kind.productPicker), answers);
    if (answers.value(1) != kNone)
        setField(Spmc, answers.value(1));
    bool found = false;
    if (!lookupProduct(QStringLiteral("select * from spinfo where spbh=:SPBH"), QStringLiteral("SPBH"),
                       answers.value(0), &found))
        return;
    focus(Sl);
}

bool SalesVoucher::addLine()
{
    double sl = 0;
    double price = 0;
    double discount = 0;
    if (!TextUtil::toNumber(text(Sl), &sl)) {
        ui().showMessage(QStringLiteral("数量“%1”不是数字，请重新输入").arg(text(Sl)));
        focus(Sl, true);
        return false;
    }
    if (!TextUtil::toNumber(text(Shoujia), &price)) {
        const bool empty = text(Shoujia).trimmed().isEmpty();
        // The message names the price list the empty price came from.
        if (empty && m_priceSource == PriceSource::Member && m_product.sale2.isEmpty())
            ui().showMessage(QStringLiteral("该商品没有会员价，不能按会员价销售"));
        else if (empty && m_priceSource == PriceSource::Retail && m_product.sale1.isEmpty())
            ui().showMessage(QStringLiteral("该商品没有零售价，不能按零售价销售"));
        else
            ui().showMessage(QStringLiteral("售价“%1”不是数字，请重新输入").arg(text(Shoujia)));
        focus(m_priceReadOnly ? Spmc : Shoujia, true);
        return false;
    }
    if (!amountsAllowed(text(Sl), sl, text(Shoujia), price) || !discountAllowed(&discount))
        return false;

    QString error;
    bool posted = false;
    const bool written = db().transaction([&] {
        if (!readPosted(&posted, &error) || posted)
            return false;
        Query q(db());
        q.close();
        q.clear();
        q.add(QStringLiteral("insert into %1(spbh,spmc,spxh,spgg,splb,spjl,sl,sale1,jine,zhekou,zhekouje,djbh,rq)")
                  .arg(m_kind.lineTable));
        q.add(QStringLiteral(
            " values(:SPBH,:SPMC,:SPXH,:SPGG,:SPlb,:SPJL,:SL,:SALE1,:JINE,:ZHEKOU,:ZHEKOUJE,:DJBH,:RQ)"));
        q.bind(QStringLiteral("SPBH"), m_product.spbh);
        q.bind(QStringLiteral("SPMC"), m_product.spmc);
        q.bind(QStringLiteral("SPXH"), m_product.spxh);
        q.bind(QStringLiteral("SPGG"), m_product.spgg);
        q.bind(QStringLiteral("SPLB"), m_product.splb);
        q.bind(QStringLiteral("SPJL"), m_product.spjl);
        q.bind(QStringLiteral("SL"), sl);
        q.bind(QStringLiteral("SALE1"), price);
        q.bind(QStringLiteral("JINE"), price * sl);
        q.bind(QStringLiteral("ZHEKOU"), discount);
        q.bind(QStringLiteral("ZHEKOUJE"), price * (discount * sl));
        q.bind(QStringLiteral("DJBH"), text(Djbh));
        q.bind(QStringLiteral("RQ"), text(Rq));
        if (!q.execute()) {
            error = q.lastError();
            return false;
        }
        return true;
    });
    if (posted) {
        leavePostedVoucher();
        return false;
    }
    if (!written) {
        dbError(error.isEmpty() ? db().lastError() : error);
        return false;
    }
    if (!reloadGrid() || !reloadTotals())
        return false;
    // The new line is the selected one, so F7 takes off what was just scanned.
    m_currentLine = m_grid.recordCount() - 1;
    setField(Spmc, QString());
    setField(Sl, QString());
    setField(Shoujia, QString());
    m_priceSource = PriceSource::Typed;
    focus(Spmc);
    return true;
}

bool SalesVoucher::amountsAllowed(const QString& quantityText, double quantity, const QString& priceText, double price)
{
    // A sale never takes goods back or pays money out: that is the return screen's work, with
    // its own signs.
    const bool positive = m_kind.positiveAmounts;
    const bool quantityOk = positive ? quantity > 0 && quantity <= kMaxQuantity : std::abs(quantity) <= kMaxQuantity;
    if (!quantityOk) {
        ui().showMessage(positive
                             ? QStringLiteral("数量“%1”不对：数量必须大于0，最多9999，请重新输入").arg(quantityText)
                             : QStringLiteral("数量“%1”不对：数量最多9999，请重新输入").arg(quantityText));
        focus(Sl, true);
        return false;
    }
    const bool priceOk = positive ? price >= 0 && price <= kMaxPrice : std::abs(price) <= kMaxPrice;
    if (!priceOk) {
        ui().showMessage(positive
                             ? QStringLiteral("售价“%1”不对：售价必须在0到999999.99之间，请重新输入").arg(priceText)
                             : QStringLiteral("售价“%1”不对：售价最多999999.99，请重新输入").arg(priceText));
        focus(m_priceReadOnly ? Spmc : Shoujia, true);
        return false;
    }
    return true;
}

bool SalesVoucher::discountAllowed(double* discount)
{
    const QString t = text(Zhekou);
    if (!TextUtil::toNumber(t, discount)) {
        ui().showMessage(QStringLiteral("折扣“%1”不是数字，请按F12修改折扣").arg(t));
        focus(Spmc, true);
        return false;
    }
    // 1 is no discount, 0.9 is 90 % payable; a discount never raises a price or turns it round.
    if (*discount < 0 || *discount > 1) {
        ui().showMessage(QStringLiteral("折扣“%1”不对：折扣必须在0到1之间，请按F12修改折扣").arg(t));
        focus(Spmc, true);
        return false;
    }
    return true;
}

bool SalesVoucher::refusedWithoutNumber()
{
    if (m_noNumber.isEmpty())
        return false;
    ui().showMessage(m_noNumber);
    return true;
}

bool SalesVoucher::readPosted(bool* posted, QString* error)
{
    Query q(db());
    q.add(QStringLiteral("select lkje from %1 where djbh=:DJBH").arg(m_kind.voucher.headerTable));
    q.bind(QStringLiteral("DJBH"), text(Djbh));
    if (!q.open()) {
        *error = q.lastError();
        return false;
    }
    // Posting writes the amount tendered; a held header has none.
    *posted = false;
    for (bool more = q.first(); more; more = q.next())
        *posted = *posted || !q.value(QStringLiteral("lkje")).isNull();
    return true;
}

void SalesVoucher::leavePostedVoucher()
{
    ui().showMessage(QStringLiteral("单据%1已经过账，不能再修改，请在新单据上继续").arg(text(Djbh)));
    unloadGrid();
    setField(Hjsl, QString());
    setField(Hjje, QString());
    if (drawNumber())
        showLeftoverLines();
    focus(Spmc);
}

// ---------------------------------------------------------------------------------------------
// Grid, totals, numbers

bool SalesVoucher::reloadGrid()
{
    m_grid.close();
    m_grid.clear();
    m_grid.add(QStringLiteral("select * from %1 where djbh=:DJBH").arg(m_kind.lineTable));
    m_grid.bind(QStringLiteral("DJBH"), text(Djbh));
    if (!m_grid.open()) {
        m_gridLoaded = false;
        dbError(m_grid.lastError());
        return false;
    }
    m_gridLoaded = true;
    if (m_currentLine >= m_grid.recordCount())
        m_currentLine = m_grid.recordCount() - 1;
    if (m_currentLine < 0)
        m_currentLine = 0;
    return true;
}

bool SalesVoucher::reloadTotals()
{
    Query q(db());
    q.add(QStringLiteral("select sum(sl) as sl,sum(jine) as jine from  %1 where djbh=:DJBH").arg(m_kind.lineTable));
    q.bind(QStringLiteral("DJBH"), text(Djbh));
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    setField(Hjsl, q.text(QStringLiteral("sl")));
    setField(Hjje, q.text(QStringLiteral("jine")));
    return true;
}

void SalesVoucher::unloadGrid()
{
    m_grid.close();
    m_gridLoaded = false;
    m_currentLine = 0;
}

bool SalesVoucher::drawNumber()
{
    const VoucherNumber::Result r = VoucherNumber::qdjh(db(), m_kind.voucher, text(Rq));
    if (!r.ok()) {
        // The screen must not stay on the number it had: that voucher is posted, held or
        // voided. Without a number it holds no voucher and does nothing but close.
        m_noNumber = QStringLiteral("%1\n本窗口不能再开单，请关闭本窗口").arg(r.error);
        setField(Djbh, QString());
        setField(Hjsl, QString());
        setField(Hjje, QString());
        unloadGrid();
        m_hasProduct = false;
        ui().showError(m_noNumber);
        return false;
    }
    m_noNumber.clear();
    setField(Djbh, r.number);
    if (m_kind.numberResetsHeader) {
        setField(Ck, m_warehouses.value(0));
        setField(Czy, LoginUser::name());
    }
    return true;
}

// Lines left under a number by a screen that was closed without holding or paying would
// otherwise stay hidden until the next product is entered, and then be charged to that
// customer. Whenever a number is drawn, lines already under it are shown at once so the
// cashier can see them and void them.
void SalesVoucher::showLeftoverLines()
{
    Query q(db());
    q.add(QStringLiteral("select count(*) as n from %1 where djbh=:DJBH").arg(m_kind.lineTable));
    q.bind(QStringLiteral("DJBH"), text(Djbh));
    if (!q.open()) {
        dbError(q.lastError());
        return;
    }
    if (q.integer(QStringLiteral("n")) > 0) {
        if (reloadGrid())
            reloadTotals();
    } else {
        unloadGrid();
    }
}

// ---------------------------------------------------------------------------------------------
// Hold, recall, delete, void

bool SalesVoucher::holdVoucher()
{
    if (refusedWithoutNumber())
        return false;
    if (!m_gridLoaded || m_grid.recordCount() == 0)
        return false;
    double total = 0;
    double discount = 0;
    double quantity = 0;
    TextUtil::toNumber(text(Hjje), &total);
    TextUtil::toNumber(text(Hjsl), &quantity);
    if (!discountAllowed(&discount))
        return false;
    QString error;
    bool posted = false;
    Query find(db());
    find.add(QStringLiteral("select djbh from %1 where djbh=:DJBH").arg(m_kind.voucher.headerTable));
    find.bind(QStringLiteral("DJBH"), text(Djbh));
    bool written = db().transaction([&] {
        if (!readPosted(&posted, &error) || posted)
            return false;
        if (!find.open()) {
            error = find.lastError();
            return false;
        }
        Query q(db());
        if (find.isEmpty()) {
            q.add(QStringLiteral("insert into %1(djbh,hjje,zhje,qkje,xm,rq,sj,khmc,ckmc,hjsl)")
                      .arg(m_kind.voucher.headerTable));
            q.add(QStringLiteral(" values(:DJBH,:HJJE,:ZHEJE,:QKJE,:XM,:RQ,:SJ,:KHMC,:CKMC,:HJSL)"));
        } else {
            // A recalled voucher held again keeps its one header.
            q.add(QStringLiteral("update %1 set hjje=:HJJE,zhje=:ZHEJE,qkje=:QKJE,xm=:XM,rq=:RQ,sj=:SJ,khmc=:KHMC,"
                                 "ckmc=:CKMC,hjsl=:HJSL")
                      .arg(m_kind.voucher.headerTable));
            q.add(QStringLiteral(" where djbh=:DJBH"));
        }
        q.bind(QStringLiteral("DJBH"), text(Djbh));
        q.bind(QStringLiteral("HJJE"), total);
        q.bind(QStringLiteral("ZHEJE"), total * discount);
        q.bind(QStringLiteral("QKJE"), total * discount);
        q.bind(QStringLiteral("XM"), text(Czy));
        q.bind(QStringLiteral("RQ"), text(Rq));
        q.bind(QStringLiteral("SJ"), Clock::timeText());
        q.bind(QStringLiteral("KHMC"), text(Kh));
        q.bind(QStringLiteral("CKMC"), text(Ck));
        q.bind(QStringLiteral("HJSL"), quantity);
        if (!q.execute()) {
            error = q.lastError();
            return false;
        }
        return true;
    });
    if (posted) {
        leavePostedVoucher();
        return false;
    }
    if (!written) {
        dbError(error.isEmpty() ? db().lastError() : error);
        return false;
    }
    unloadGrid();
    setField(Hjsl, QStringLiteral("0"));
    setField(Hjje, QStringLiteral("0"));
    if (drawNumber())
        showLeftoverLines();
    focus(Spmc);
    return true;
}

void SalesVoucher::recallVoucher()
{
    if (refusedWithoutNumber())
        return;
    QStringList answers{kNone};
    ui().pick(Dialogs::picker(QStringLiteral("Tsphelp3_form")), answers);
    const QString number = answers.value(0);
    if (number == kNone)
        return;
    setField(Djbh, number);
    m_currentLine = 0;
    if (reloadGrid())
        reloadTotals();
    focus(Spmc);
}

void SalesVoucher::deleteLine()
{
    if (refusedWithoutNumber())
        return;
    if (!ui().confirm(kSystemPrompt, QStringLiteral("确实要删除该记录吗?"), Ui::Icon::Warning))
        return;
    if (m_gridLoaded && m_grid.recordCount() > 0) {
        const int row = qBound(0, m_currentLine, m_grid.recordCount() - 1);
        QString error;
        bool posted = false;
        const bool ok = db().transaction([&] {
            if (!readPosted(&posted, &error) || posted)
                return false;
            Query q(db());
            q.add(QStringLiteral("delete from  %1 where djbh=:DJBH and spbh=:SPBH").arg(m_kind.lineTable));
            q.bind(QStringLiteral("DJBH"), text(Djbh));
            q.bind(QStringLiteral("SPBH"), m_grid.text(row, QStringLiteral("spbh")));
            if (!q.execute()) {
                error = q.lastError();
                return false;
            }
            return true;
        });
        if (posted) {
            leavePostedVoucher();
            return;
        }
        if (!ok) {
            dbError(error.isEmpty() ? db().lastError() : error);
            return;
        }
    }
    if (reloadGrid())
        reloadTotals();
    focus(Spmc);
}

void SalesVoucher::voidVoucher()
{
    if (refusedWithoutNumber())
        return;
    if (!ui().confirm(kSystemPrompt, QStringLiteral("确实作废此单吗?"), Ui::Icon::Warning))
        return;
    QString error;
    bool posted = false;
    const bool ok = db().transaction([&] {
        if (!readPosted(&posted, &error) || posted)
            return false;
        Query q(db());
        q.add(QStringLiteral("delete from %1 where djbh=:DJBH").arg(m_kind.voucher.headerTable));
        q.bind(QStringLiteral("DJBH"), text(Djbh));
        if (!q.execute()) {
            error = q.lastError();
            return false;
        }
        q.close();
        q.clear();
        q.add(QStringLiteral("delete from %1 where djbh=:DJBH").arg(m_kind.lineTable));
        q.bind(QStringLiteral("DJBH"), text(Djbh));
        if (!q.execute()) {
            error = q.lastError();
            return false;
        }
        return true;
    });
    if (posted) {
        leavePostedVoucher();
        return;
    }
    if (!ok) {
        dbError(error.isEmpty() ? db().lastError() : error);
        return;
    }
    unloadGrid();
    if (drawNumber()) {
        setField(Hjsl, QStringLiteral("0"));
        setField(Hjje, QStringLiteral("0"));
        showLeftoverLines();
    }
    focus(Spmc);
    ui().showMessage(QStringLiteral("操作成功"));
}

// ---------------------------------------------------------------------------------------------
// Member, discount, checkout

bool SalesVoucher::lookupMember(const QString& column, const QString& value)
{
    Query q(db());
    // Cards and mobile numbers are found whatever the letter case typed.
    q.add(QStringLiteral("select * from  hyinfo where %1=:%2 collate nocase").arg(column, column.toUpper()));
    q.bind(column, value);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (q.first()) {
        setField(Kh, Member);
        m_memberCard = q.text(QStringLiteral("hykh"));
    } else {
        setField(Kh, NonMember);
        m_memberCard.clear();
        ui().showMessage(QStringLiteral("查无此信息"));
    }
    return true;
}

void SalesVoucher::findMember()
{
    if (refusedWithoutNumber())
        return;
    QString answer = kNone;
    ui().prompt(Dialogs::prompt(m_kind.memberPrompt), answer);
    // Blanks around a typed or scanned card are not part of it.
    answer = answer.trimmed();
    const int length = TextUtil::gbkLength(answer);
    focus(Spmc);
    // Eleven characters are a mobile number, anything else from two up a card number.
    if (length != 11 && length != 1) {
        if (!lookupMember(QStringLiteral("hykh"), answer))
            return;
    }
    if (length == 11) {
        if (!lookupMember(QStringLiteral("sjhao"), answer))
            return;
    }
    if (length <= 1) {
        setField(Kh, NonMember);
        m_memberCard.clear();
        ui().showMessage(QStringLiteral("输入的条件不正确，请重新输入"));
    }
}

void SalesVoucher::editDiscount()
{
    if (refusedWithoutNumber())
        return;
    m_discountReadOnly = false;
    focus(Zhekou, true);
}

SaleHandover SalesVoucher::handover() const
{
    SaleHandover h;
    h.total = text(Hjje);
    h.memberCard = m_memberCard.isEmpty() ? kNone : m_memberCard;
    h.voucherNumber = text(Djbh);
    h.customer = text(Kh);
    h.date = text(Rq);
    h.quantity = text(Hjsl);
    h.operatorName = text(Czy);
    h.discount = text(Zhekou);
    h.warehouse = text(Ck);
    return h;
}

bool SalesVoucher::startCheckout(const CheckoutRunner& checkout)
{
    if (refusedWithoutNumber())
        return false;
    const SaleHandover h = handover();
    if (h.total.isEmpty()) {
        ui().showMessage(m_kind.noLinesMessage);
        return false;
    }
    // After a hold or a void the total reads "0" although nothing is on the voucher.
    Query q(db());
    q.add(QStringLiteral("select count(*) as n from %1 where djbh=:DJBH").arg(m_kind.lineTable));
    q.bind(QStringLiteral("DJBH"), h.voucherNumber);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (q.integer(QStringLiteral("n")) == 0) {
        ui().showMessage(m_kind.noLinesMessage);
        return false;
    }
    const CheckoutAnswer answer = checkout(h);
    if (!answer.posted)
        return false;
    unloadGrid();
    setField(Hjsl, QString());
    setField(Hjje, QString());
    setField(Zhekou, QStringLiteral("1"));
    m_discountReadOnly = true;
    setField(Kh, NonMember);
    m_memberCard.clear();
    if (!answer.nextNumber.isEmpty()) {
        setField(Djbh, answer.nextNumber);
        showLeftoverLines();
    } else if (drawNumber()) {
        showLeftoverLines();
    }
    focus(Spmc);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Reprint

void SalesVoucher::reprintReceipt()
{
    // Posting writes the amount tendered and the time; the last posting is the latest date and
    // time (a held voucher paid later was inserted earlier).
    Query q(db());
    q.add(QStringLiteral("select djbh from %1 where lkje is not null order by rq desc,sj desc,ID desc limit 1")
              .arg(m_kind.voucher.headerTable));
    if (!q.open()) {
        dbError(q.lastError());
        return;
    }
    if (!q.first()) {
        ui().showMessage(m_kind.nothingToReprint);
        return;
    }
    ReceiptData data;
    QString error;
    if (!Receipt::load(db(), m_kind, q.text(QStringLiteral("djbh")), &data, &error)) {
        dbError(error);
        return;
    }
    data.reprint = true;
    // Straight to the printer: bill.txt keeps the receipt of the last posting.
    if (!ReceiptPrinter::printText(Receipt::render(data), &error)) {
        if (error == ReceiptPrinter::openErrorText())
            ui().showMessage(error);
        else
            ui().showError(error);
    }
}
