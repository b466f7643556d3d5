#include "sales/Checkout.h"

#include "core/Clock.h"
#include "core/TextUtil.h"
#include "core/Ui.h"
#include "core/VoucherNumber.h"
#include "sales/Receipt.h"
#include "sales/ReceiptPrinter.h"
#include "sales/Voice.h"

#include <cmath>

const QString Checkout::Zf = QStringLiteral("zf");
const QString Checkout::Hj = QStringLiteral("hj");
const QString Checkout::Sk = QStringLiteral("sk");
const QString Checkout::Zhao = QStringLiteral("zhao");
const QString Checkout::Button1 = QStringLiteral("Button1");

namespace {

// More than any till takes in one payment; beyond it a typing slip is far likelier.
constexpr double kMaxTendered = 99999999.99;

} // namespace

Checkout::Checkout(const SaleKind& kind, const SaleHandover& handover, Ui& ui)
    : FormState(ui), m_kind(kind), m_handover(handover)
{
}

Checkout::~Checkout() = default;

QStringList Checkout::paymentMethods()
{
    return {QStringLiteral("现金"), QStringLiteral("银行卡")};
}

bool Checkout::create()
{
    if (!openConnection())
        return false;
    if (!readSettings())
        return false;
    setField(Zf, paymentMethods().constFirst());
    setField(Hj, m_handover.total);
    focus(Sk);
    return true;
}

bool Checkout::readSettings()
{
    Query q(db());
    q.setSql(QStringLiteral("select * from xtsz"));
    if (!q.open()) {
        ui().showError(q.lastError());
        return false;
    }
    m_speak = q.integer(QStringLiteral("qt1")) == 1;
    m_drawer = q.integer(QStringLiteral("qx")) == 1;
    return true;
}

void Checkout::setText(const QString& field, const QString& value)
{
    if (field == Sk && value != text(Sk))
        setField(Zhao, QString());
    setField(field, value);
}

void Checkout::activate()
{
    if (!m_speak)
        return;
    double due = 0;
    TextUtil::toNumber(text(Hj), &due);
    Voice::speakAmount(due, ui());
}

void Checkout::enterPressed(const QString& field)
{
    if (field == Zf || field == Hj)
        focus(Sk);
    else if (field == Sk)
        computeChange();
    else if (field == Zhao)
        keyInChange();
}

void Checkout::keyInChange()
{
    focus(Button1);
}

void Checkout::computeChange()
{
    const QString tendered = text(Sk);
    if (!tendered.isEmpty()) {
        double sk = 0;
        double due = 0;
        if (!TextUtil::toNumber(tendered, &sk) || !TextUtil::toNumber(text(Hj), &due)) {
            ui().showMessage(QStringLiteral("%1金额“%2”不是数字，请重新输入").arg(m_kind.amountLabel, tendered));
            focus(Sk, true);
            return;
        }
        if (!tenderedAllowed(sk)) {
            focus(Sk, true);
            return;
        }
        setField(Zhao, TextUtil::shortestNumber(sk - due));
    }
    focus(Zhao);
}

bool Checkout::tenderedAllowed(double amount)
{
    // A sale takes money in; only a refund pays it out, so only a refund may be negative.
    const bool allowed =
        m_kind.positiveAmounts ? amount >= 0 && amount <= kMaxTendered : std::abs(amount) <= kMaxTendered;
    if (!allowed) {
        const QString range = m_kind.positiveAmounts ? QStringLiteral("0到%1").arg(TextUtil::money(kMaxTendered))
                                                     : QStringLiteral("-%1到%1").arg(TextUtil::money(kMaxTendered));
        ui().showMessage(
            QStringLiteral("%1金额“%2”不对：%1金额必须在%3之间，请重新输入").arg(m_kind.amountLabel, text(Sk), range));
    }
    return allowed;
}

bool Checkout::postSale()
{
    // A voucher is posted once; the dialog closes when it is, but a second press must not
    // apply anything again.
    if (m_answer.posted)
        return true;
    if (!readSettings())
        return false;

    // Every text is a number before anything is written.
    double due = 0;
    double tendered = 0;
    double change = 0;
    double discount = 0;
    const QString label = m_kind.amountLabel;
    if (text(Sk).trimmed().isEmpty()) {
        ui().showMessage(QStringLiteral("请输入%1金额").arg(label));
        focus(Sk, true);
        return false;
    }
    if (!TextUtil::toNumber(text(Sk), &tendered)) {
        ui().showMessage(QStringLiteral("%1金额“%2”不是数字，请重新输入").arg(label, text(Sk)));
        focus(Sk, true);
        return false;
    }
    if (!tenderedAllowed(tendered)) {
        focus(Sk, true);
        return false;
    }
    if (!TextUtil::toNumber(text(Zhao), &change)) {
        ui().showMessage(QStringLiteral("还没有计算找还金额，请在%1金额处按回车").arg(label));
        focus(Sk, true);
        return false;
    }
    if (!TextUtil::toNumber(text(Hj), &due)) {
        ui().showMessage(QStringLiteral("合计金额“%1”不是数字，不能过账").arg(text(Hj)));
        return false;
    }
    if (!TextUtil::toNumber(m_handover.discount, &discount)) {
        ui().showMessage(QStringLiteral("折扣“%1”不是数字，请返回修改折扣").arg(m_handover.discount));
        return false;
    }

    QString error;
    bool refused = false;
    const bool written = write(
        [&](QString* failure) { return writePosting(due, tendered, change, discount, failure, &refused); }, &error);
    if (!written) {
        if (refused)
            ui().showMessage(error);
        else
            ui().showError(error);
        return false;
    }

    // The sale is written. Whatever happens to the receipt or the drawer now, it stays posted
    // and the sales screen moves on to the next number.
    m_answer.posted = true;
    printReceipt();

    // Without a next number (the day's 9999 are used) the answer holds none; the screen then
    // draws its own and, failing too, says so and holds no voucher.
    const VoucherNumber::Result next = VoucherNumber::nextAfterPosting(db(), m_kind.voucher, m_handover.date);
    if (next.ok())
        m_answer.nextNumber = next.number;
    return true;
}

bool Checkout::writePosting(double due, double tendered, double change, double discount, QString* error, bool* refused)
{
    const QString header = m_kind.voucher.headerTable;
    const QString number = m_handover.voucherNumber;
    Query q(db());
    auto fail = [&](const Query& failed) {
        *error = failed.lastError();
        return false;
    };

    // Header: a held voucher has one already and is completed; otherwise it is written now.
    q.add(QStringLiteral("select * from %1  where djbh=:DJBH").arg(header));
    q.bind(QStringLiteral("DJBH"), number);
    if (!q.open())
        return fail(q);
    const bool found = q.first();
    if (found && !q.value(QStringLiteral("lkje")).isNull()) {
        // Paid already (two screens on one number): its stock, cash and points are booked.
        *refused = true;
        *error = QStringLiteral("单据%1已经过账，不能再次过账").arg(number);
        return false;
    }
    const double openAmount = TextUtil::roundTo((tendered - change) - due, 2);
    double quantity = 0;
    TextUtil::toNumber(m_handover.quantity, &quantity);
    q.close();
    q.clear();
    if (found) {
        q.add(QStringLiteral(
                  "update %1 set hjje=:HJJE,zhje=:ZHJE,%2rq=:RQ,sj=:SJ,hjsl=:HJSL,lkje=:LKJE,zhaoje=:ZHAOJE,fkfs=:FKFS")
                  .arg(header, m_kind.writesOpenAmount ? QStringLiteral("qkje=:QKJE,") : QString()));
        q.add(QStringLiteral(" WHERE djbh=:DJBH"));
        q.bind(QStringLiteral("ZHAOJE"), change);
    } else {
        q.add(QStringLiteral("insert into %1(djbh,hjje,zhje,%2xm,rq,sj,khmc,ckmc,hjsl,lkje,zhaoje,fkfs)")
                  .arg(header, m_kind.writesOpenAmount ? QStringLiteral("qkje,") : QString()));
        q.add(QStringLiteral(" values(:DJBH,:HJJE,:ZHJE,%1:XM,:RQ,:SJ,:KHMC,:CKMC,:HJSL,:LKJE,:ZHAOJIE,:FKFS)")
                  .arg(m_kind.writesOpenAmount ? QStringLiteral(":QKJE,") : QString()));
        q.bind(QStringLiteral("XM"), m_handover.operatorName);
        q.bind(QStringLiteral("KHMC"), m_handover.customer);
        q.bind(QStringLiteral("CKMC"), m_handover.warehouse);
        q.bind(QStringLiteral("ZHAOJIE"), change);
    }
    q.bind(QStringLiteral("DJBH"), number);
    q.bind(QStringLiteral("HJJE"), due);
    q.bind(QStringLiteral("ZHJE"), due * discount);
    // Kept to the fen: a paid voucher must never look held (qkje > 0).
    q.bind(QStringLiteral("QKJE"), openAmount);
    q.bind(QStringLiteral("RQ"), m_handover.date);
    q.bind(QStringLiteral("SJ"), Clock::timeText());
    q.bind(QStringLiteral("HJSL"), quantity);
    q.bind(QStringLiteral("LKJE"), tendered);
    q.bind(QStringLiteral("FKFS"), text(Zf));
    if (!q.execute())
        return fail(q);

    // Member: the accumulated amount moves by the discounted amount, the points by the whole
    // part of amount due × points base.
    if (m_handover.memberCard != None) {
        q.setSql(QStringLiteral("select * from jfjs"));
        if (!q.open())
            return fail(q);
        const double js = q.number(QStringLiteral("js"));
        q.setSql(QStringLiteral("select * from hyinfo where hykh=:HYKH"));
        q.bind(QStringLiteral("HYKH"), m_handover.memberCard);
        if (!q.open())
            return fail(q);
        const double ljje = q.number(QStringLiteral("ljje"));
        const double ljjf = q.number(QStringLiteral("ljjf"));
        // Rounded first so that 0.29 × 100 counts 29 points, not 28.
        const double points = std::trunc(TextUtil::roundTo(due * js, 6));
        q.setSql(QStringLiteral("update hyinfo set ljje=:LJJE,ljjf=:LJJF where hykh=:HYKH"));
        q.bind(QStringLiteral("LJJE"), TextUtil::roundTo(ljje + m_kind.memberSign * (due * discount), 4));
        q.bind(QStringLiteral("LJJF"), ljjf + m_kind.memberSign * points);
        q.bind(QStringLiteral("HYKH"), m_handover.memberCard);
        if (!q.execute())
            return fail(q);
    }

    // Cash box, for every payment method.
    q.setSql(QStringLiteral("select * from boxje"));
    if (!q.open())
        return fail(q);
    const double box = q.number(QStringLiteral("je"));
    q.setSql(QStringLiteral("update boxje set je=:JE"));
    q.bind(QStringLiteral("JE"), TextUtil::roundTo(box + m_kind.cashSign * due, 4));
    if (!q.execute())
        return fail(q);

    // Stock, line by line; several lines of one product move it one after another.
    Query lines(db());
    lines.add(QStringLiteral("select * from %1 where djbh=:DJBH").arg(m_kind.lineTable));
    lines.bind(QStringLiteral("DJBH"), number);
    if (!lines.open())
        return fail(lines);
    for (int row = 0; row < lines.recordCount(); ++row) {
        const QString spbh = lines.text(row, QStringLiteral("spbh"));
        q.setSql(QStringLiteral("select sl from kucun where spbh=:SPBH"));
        q.bind(QStringLiteral("SPBH"), spbh);
        if (!q.open())
            return fail(q);
        const double stock = q.number(QStringLiteral("sl"));
        q.setSql(QStringLiteral("update kucun set sl=:SL where spbh=:SPBH"));
        q.bind(QStringLiteral("SL"),
               TextUtil::roundTo(stock + m_kind.stockSign * lines.number(row, QStringLiteral("sl")), 6));
        q.bind(QStringLiteral("SPBH"), spbh);
        if (!q.execute())
            return fail(q);
    }
    return true;
}

void Checkout::printReceipt()
{
    // Made from the posted voucher as the database holds it, as every reprint will be.
    ReceiptData data;
    QString error;
    if (!Receipt::load(db(), m_kind, m_handover.voucherNumber, &data, &error)) {
        ui().showError(error);
        return;
    }
    const QString bill = Receipt::billFile();
    if (!Receipt::write(data, bill, &error)) {
        ui().showError(error);
        return;
    }
    // A printer that cannot be opened keeps the drawer shut; bill.txt stays for a reprint.
    // That case has the till's own short message; any other input-output error on the way to
    // the printer or the drawer goes to the error box.
    if (!ReceiptPrinter::printFile(bill, &error)) {
        if (error == ReceiptPrinter::openErrorText())
            ui().showMessage(error);
        else
            ui().showError(error);
        return;
    }
    if (m_drawer && !ReceiptPrinter::openMoneyBox(&error))
        ui().showError(error);
}
