#include "accounts/ShiftHandover.h"

#include "accounts/CashBox.h"
#include "accounts/Journal.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

#include <cmath>

const QString ShiftHandover::Boxje = QStringLiteral("boxje");
const QString ShiftHandover::Jbje = QStringLiteral("jbje");
const QString ShiftHandover::Boxye = QStringLiteral("boxye");
const QString ShiftHandover::Jbjl = QStringLiteral("jbjl");
const QString ShiftHandover::Tzje = QStringLiteral("tzje");
const QString ShiftHandover::Tzyy = QStringLiteral("tzyy");
const QString ShiftHandover::HandOver = QStringLiteral("Button1");
const QString ShiftHandover::Adjust = QStringLiteral("Button2");
const QString ShiftHandover::Confirm = QStringLiteral("Button3");
const QString ShiftHandover::Close = QStringLiteral("Button4");
const QString ShiftHandover::Ticked = QStringLiteral("1");
const QString ShiftHandover::Unticked = QStringLiteral("0");

namespace {

// No till holds more than this; a larger figure is a typing mistake.
constexpr double kLargest = 1e9;
// The longest reason the record keeps.
constexpr int kReasonLength = 50;

bool sameAmount(double a, double b)
{
    return std::fabs(a - b) < 0.00005;
}

} // namespace

const GridColumns& ShiftHandover::auditColumns()
{
    using F = GridColumn::Format;
    static const GridColumns columns{
        {QStringLiteral("sj"), QStringLiteral("时间"), 140},
        {QStringLiteral("lx"), QStringLiteral("类别"), 50},
        {QStringLiteral("yje"), QStringLiteral("原金额"), 80, F::Money},
        {QStringLiteral("xje"), QStringLiteral("新金额"), 80, F::Money},
        {QStringLiteral("yy"), QStringLiteral("原因"), 200},
        {QStringLiteral("czy"), QStringLiteral("操作员"), 80},
    };
    return columns;
}

ShiftHandover::ShiftHandover(Ui& ui)
    : FormState(ui),
      m_audit(db(), QStringLiteral("select * from (select * from boxjl order by ID desc limit %1) order by ID desc")
                        .arg(kAuditRows))
{
    setEnterOrder({Jbje, Boxye, HandOver});
}

ShiftHandover::~ShiftHandover() = default;

bool ShiftHandover::create()
{
    if (!openConnection())
        return false;
    m_panelVisible = false;
    setText(Jbjl, Ticked);
    if (!showBox())
        return false;
    focus(Jbje);
    return true;
}

void ShiftHandover::enterPressed(const QString& field)
{
    if (field == Jbje)
        computeBalance();
    else if (field == HandOver)
        handOver();
    else if (field == Confirm)
        adjust();
    else if (field == Tzje)
        focus(Tzyy);
    else if (field == Tzyy)
        focus(Confirm);
    else
        FormState::enterPressed(field);
}

bool ShiftHandover::readBox(double* amount, QString* error)
{
    return CashBox::read(db(), amount, error);
}

// The cash box as it is now, in every field that starts from it, and its latest records.
bool ShiftHandover::showBox()
{
    double amount = 0;
    QString error;
    if (!readBox(&amount, &error)) {
        dbError(error);
        return false;
    }
    const QString text = TextUtil::shortestNumber(amount);
    setText(Boxje, text);
    setText(Jbje, text);
    setText(Tzje, text);
    setText(Boxye, QString());
    if (!m_audit.reload()) {
        dbError(m_audit.lastError());
        return false;
    }
    return true;
}

bool ShiftHandover::computeBalance()
{
    const QString typed = text(Jbje);
    if (typed.isEmpty()) {
        focus(Boxye);
        return false;
    }
    double box = 0;
    double handed = 0;
    if (!TextUtil::toNumber(typed, &handed)) {
        ui().showMessage(QStringLiteral("交班金额“%1”不是数字，请重新输入").arg(typed));
        focus(Jbje, true);
        return false;
    }
    TextUtil::toNumber(text(Boxje), &box);
    setText(Boxye, TextUtil::shortestNumber(box - handed));
    focus(Boxye);
    return true;
}

// Sets the cash box and records the change (and, for a handover, the journal row) together.
bool ShiftHandover::setBox(double amount, const QString& kind, const QString& reason, double journalAmount,
                           bool journal)
{
    double shown = 0;
    TextUtil::toNumber(text(Boxje), &shown);
    QString error;
    bool moved = false;
    double old = 0;
    const bool ok = write(
        [&](QString* failure) {
            if (!readBox(&old, failure))
                return false;
            // The box changed since it was shown (a sale at another window): the person decided on
            // figures that no longer hold.
            if (!sameAmount(old, shown)) {
                moved = true;
                return false;
            }
            if (!CashBox::set(db(), old, amount, kind, reason, failure))
                return false;
            return !journal || Journal::add(db(), Journal::handover(journalAmount), failure);
        },
        &error);
    if (moved) {
        ui().showMessage(QStringLiteral("钱箱金额已变为%1，请核对后重新操作").arg(TextUtil::shortestNumber(old)));
        showBox();
        return false;
    }
    if (!ok) {
        ui().showError(QStringLiteral("数据保存失败：%1").arg(error));
        return false;
    }
    return true;
}

bool ShiftHandover::handOver()
{
    const QString typed = text(Jbje);
    double handed = 0;
    double box = 0;
    TextUtil::toNumber(text(Boxje), &box);
    if (!TextUtil::toNumber(typed, &handed) || handed <= 0 || handed > kLargest) {
        ui().showMessage(QStringLiteral("交班金额“%1”不正确，请输入大于0的数字").arg(typed));
        focus(Jbje, true);
        return false;
    }
    if (handed > box + 0.00005) {
        ui().showMessage(QStringLiteral("交班金额%1大于钱箱金额%2，请核对或先调整钱箱金额")
                             .arg(TextUtil::shortestNumber(handed), TextUtil::shortestNumber(box)));
        focus(Jbje, true);
        return false;
    }
    double balance = 0;
    if (text(Boxye).trimmed().isEmpty()) {
        ui().showMessage(QStringLiteral("请在“交班金额”中按回车，算出交班后余额"));
        focus(Jbje, true);
        return false;
    }
    if (!TextUtil::toNumber(text(Boxye), &balance) || !sameAmount(balance, box - handed)) {
        ui().showMessage(QStringLiteral("交班金额已改动，请在“交班金额”中按回车重新计算交班后余额"));
        focus(Jbje, true);
        return false;
    }
    if (!setBox(balance, QStringLiteral("交班"), QStringLiteral("交班金额%1").arg(TextUtil::shortestNumber(handed)),
                handed, text(Jbjl) == Ticked))
        return false;
    ui().showMessage(QStringLiteral("交班成功"));
    // The new cash box in every field, so pressing "交班" again cannot book the same takings twice.
    showBox();
    focus(Jbje);
    return true;
}

bool ShiftHandover::adjust()
{
    const QString typed = text(Tzje);
    double amount = 0;
    if (!TextUtil::toNumber(typed, &amount) || amount < 0 || amount > kLargest) {
        ui().showMessage(QStringLiteral("钱箱金额“%1”不正确，请输入不小于0的数字").arg(typed));
        focus(Tzje, true);
        return false;
    }
    const QString reason = text(Tzyy).trimmed();
    if (reason.size() > kReasonLength) {
        ui().showMessage(QStringLiteral("调整原因不能超过%1个字").arg(kReasonLength));
        focus(Tzyy, true);
        return false;
    }
    if (!setBox(amount, QStringLiteral("调整"), reason, 0, false))
        return false;
    showBox();
    setText(Tzyy, QString());
    ui().showMessage(QStringLiteral("调整成功"));
    return true;
}
