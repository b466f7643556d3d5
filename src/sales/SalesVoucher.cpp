#include "sales/SalesVoucher.h"

#include "core/Clock.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"
#include "core/Ui.h"
#include "sales/Receipt.h"
#include "sales/ReceiptPrinter.h"

#include <cmath>

const QString SalesVoucher::Kh = QStringLiteral("kh");
const QString SalesVoucher::Shoujia = QStringLiteral("shoujia");
const QString SalesVoucher::NonMember = QStringLiteral("非会员");
const QString SalesVoucher::Member = QStringLiteral("会员");

namespace {

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

SalesVoucher::SalesVoucher(const SaleKind& kind, Ui& ui)
    : VoucherForm(ui, kind.voucher, kind.lineTable, kind.productPicker), m_kind(kind)
{
}

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
    if (!readWarehouses())
        return false;
    startHeader();
    if (!drawNumber())
        return false;
    setField(Kh, NonMember);
    setField(Czy, LoginUser::name());
    showLeftoverLines();
    focus(Spmc);
    return true;
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

bool SalesVoucher::stockAllows(bool* allowed)
{
    Query q(db());
    q.setSql(QStringLiteral("select * from kucun where spbh=:SPBH"));
    q.bind(QStringLiteral("SPBH"), currentProduct().spbh);
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
    if (refused())
        return false;
    // Blanks a scanner or a slip of the thumb puts around the code are not part of it.
    const QString code = text(Spmc).trimmed();
    const bool pinyin = isPinyinCode(code);
    bool found = false;
    // Codes are found whatever their letter case (the pinyin code's column compares that way
    // itself); a code that matches exactly comes first.
    if (pinyin) {
        if (!lookupProduct(QStringLiteral("pinma"), code, false, &found))
            return false;
    } else {
        if (!lookupProduct(QStringLiteral("spbh"), code, true, &found))
            return false;
        if (!found && !lookupProduct(QStringLiteral("tiaoma"), code, true, &found))
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
    setField(Shoujia, retail ? currentProduct().sale1 : currentProduct().sale2);
    m_priceSource = retail ? PriceSource::Retail : PriceSource::Member;
    setField(Spmc, currentProduct().spmc);
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
    if (hasCurrentProduct() && (m_kind.enterWithoutName || !text(Spmc).isEmpty())) {
        setField(Shoujia, currentProduct().sale1);
        m_priceSource = PriceSource::Retail;
    }
    focus(Shoujia);
}

bool SalesVoucher::addPickedProduct()
{
    if (refused())
        return false;
    if (!hasCurrentProduct()) {
        // A cancelled picker leaves a name in the entry but no product behind it.
        ui().showMessage(QStringLiteral("请先输入商品编码或用“…”选择商品"));
        focus(Spmc, true);
        return false;
    }
    return addLine();
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
        if (empty && m_priceSource == PriceSource::Member && currentProduct().sale2.isEmpty())
            ui().showMessage(QStringLiteral("该商品没有会员价，不能按会员价销售"));
        else if (empty && m_priceSource == PriceSource::Retail && currentProduct().sale1.isEmpty())
            ui().showMessage(QStringLiteral("该商品没有零售价，不能按零售价销售"));
        else
            ui().showMessage(QStringLiteral("售价“%1”不是数字，请重新输入").arg(text(Shoujia)));
        focus(m_priceReadOnly ? Spmc : Shoujia, true);
        return false;
    }
    if (!amountsAllowed(text(Sl), sl, text(Shoujia), price) || !discountAllowed(&discount))
        return false;

    const bool written = writeUnlessPosted([&](QString* error) {
        Query q(db());
        q.add(QStringLiteral("insert into %1(spbh,spmc,spxh,spgg,splb,spjl,sl,sale1,jine,zhekou,zhekouje,djbh,rq)")
                  .arg(m_kind.lineTable));
        q.add(QStringLiteral(
            " values(:SPBH,:SPMC,:SPXH,:SPGG,:SPlb,:SPJL,:SL,:SALE1,:JINE,:ZHEKOU,:ZHEKOUJE,:DJBH,:RQ)"));
        bindProduct(q);
        q.bind(QStringLiteral("SL"), sl);
        q.bind(QStringLiteral("SALE1"), price);
        q.bind(QStringLiteral("JINE"), price * sl);
        q.bind(QStringLiteral("ZHEKOU"), discount);
        q.bind(QStringLiteral("ZHEKOUJE"), price * (discount * sl));
        q.bind(QStringLiteral("DJBH"), text(Djbh));
        q.bind(QStringLiteral("RQ"), text(Rq));
        return execute(q, error);
    });
    if (!written || !reloadGrid() || !reloadTotals())
        return false;
    // The new line is the selected one, so F7 takes off what was just scanned.
    setCurrentLine(lines().count() - 1);
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

bool SalesVoucher::refused()
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

bool SalesVoucher::writeUnlessPosted(const std::function<bool(QString* error)>& body)
{
    QString error;
    bool posted = false;
    const bool written = write(
        [&](QString* failure) {
            if (!readPosted(&posted, failure) || posted)
                return false;
            return body(failure);
        },
        &error);
    if (posted) {
        ui().showMessage(QStringLiteral("单据%1已经过账，不能再修改，请在新单据上继续").arg(text(Djbh)));
        startNextVoucher(QString());
        return false;
    }
    if (!written) {
        dbError(error);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Numbers

void SalesVoucher::startNextVoucher(const QString& totals)
{
    unloadGrid();
    setField(Hjsl, totals);
    setField(Hjje, totals);
    if (drawNumber())
        showLeftoverLines();
    focus(Spmc);
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
        forgetProduct();
        ui().showError(m_noNumber);
        return false;
    }
    m_noNumber.clear();
    setField(Djbh, r.number);
    if (m_kind.numberResetsHeader) {
        setField(Ck, warehouses().value(0));
        setField(Czy, LoginUser::name());
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Hold, recall, delete, void

bool SalesVoucher::holdVoucher()
{
    if (refused())
        return false;
    if (!gridLoaded() || lines().count() == 0)
        return false;
    double total = 0;
    double discount = 0;
    double quantity = 0;
    TextUtil::toNumber(text(Hjje), &total);
    TextUtil::toNumber(text(Hjsl), &quantity);
    if (!discountAllowed(&discount))
        return false;
    const bool written = writeUnlessPosted([&](QString* error) {
        Query find(db());
        find.add(QStringLiteral("select djbh from %1 where djbh=:DJBH").arg(m_kind.voucher.headerTable));
        find.bind(QStringLiteral("DJBH"), text(Djbh));
        if (!find.open()) {
            *error = find.lastError();
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
        return execute(q, error);
    });
    if (!written)
        return false;
    startNextVoucher(QStringLiteral("0"));
    return true;
}

void SalesVoucher::recallVoucher()
{
    if (refused())
        return;
    const QString number = pick(QStringLiteral("Tsphelp3_form")).value(0);
    if (number == None)
        return;
    setField(Djbh, number);
    setCurrentLine(0);
    if (reloadGrid())
        reloadTotals();
    focus(Spmc);
}

void SalesVoucher::deleteLine()
{
    if (refused())
        return;
    if (!ask(QStringLiteral("确实要删除该记录吗?")))
        return;
    if (gridLoaded() && lines().count() > 0) {
        const int row = qBound(0, currentLine(), lines().count() - 1);
        const QString spbh = lines().text(row, QStringLiteral("spbh"));
        // Every line of the selected product goes, not only the selected row.
        const bool deleted = writeUnlessPosted([&](QString* error) {
            Query q(db());
            q.add(QStringLiteral("delete from  %1 where djbh=:DJBH and spbh=:SPBH").arg(m_kind.lineTable));
            q.bind(QStringLiteral("DJBH"), text(Djbh));
            q.bind(QStringLiteral("SPBH"), spbh);
            return execute(q, error);
        });
        if (!deleted)
            return;
    }
    if (reloadGrid())
        reloadTotals();
    focus(Spmc);
}

void SalesVoucher::voidVoucher()
{
    if (refused())
        return;
    if (!ask(QStringLiteral("确实作废此单吗?")))
        return;
    const bool voided = writeUnlessPosted([&](QString* error) {
        for (const QString& table : {m_kind.voucher.headerTable, m_kind.lineTable}) {
            Query q(db());
            q.add(QStringLiteral("delete from %1 where djbh=:DJBH").arg(table));
            q.bind(QStringLiteral("DJBH"), text(Djbh));
            if (!execute(q, error))
                return false;
        }
        return true;
    });
    if (!voided)
        return;
    startNextVoucher(QStringLiteral("0"));
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
    if (refused())
        return;
    // Blanks around a typed or scanned card are not part of it.
    const QString answer = prompt(m_kind.memberPrompt).trimmed();
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
    if (refused())
        return;
    m_discountReadOnly = false;
    focus(Zhekou, true);
}

SaleHandover SalesVoucher::handover() const
{
    SaleHandover h;
    h.total = text(Hjje);
    h.memberCard = m_memberCard.isEmpty() ? None : m_memberCard;
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
    if (refused())
        return false;
    const SaleHandover h = handover();
    if (h.total.isEmpty()) {
        ui().showMessage(m_kind.noLinesMessage);
        return false;
    }
    // After a hold or a void the total reads "0" although nothing is on the voucher.
    int count = 0;
    if (!lineCount(h.voucherNumber, &count))
        return false;
    if (count == 0) {
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
