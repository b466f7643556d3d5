#include "masterdata/Points.h"

#include "core/DbConnection.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

#include <cmath>

namespace {

// Totals are kept to four decimals, as the other money-like columns.
constexpr int kDecimals = 4;

void saveFailed(Ui& ui, const QString& error)
{
    ui.showError(QStringLiteral("数据保存失败") + (error.isEmpty() ? QString() : QLatin1Char('\n') + error));
}

} // namespace

const PointsKind& PointsKind::base()
{
    static const PointsKind kind{QStringLiteral("Tjfsz_form"),
                                 QStringLiteral("积分基数设置"),
                                 QStringLiteral("积分比例换算关系"),
                                 QStringLiteral("每"),
                                 {QStringLiteral("元"), QStringLiteral("= 1分")},
                                 QStringLiteral("积分基数")};
    return kind;
}

const PointsKind& PointsKind::exchange()
{
    static const PointsKind kind{
        QStringLiteral("Tjfdh_form"),           QStringLiteral("积分兑换"), QString(),
        QStringLiteral("输入兑换礼品所需积分"), {QStringLiteral("分")},     QStringLiteral("兑换积分")};
    return kind;
}

const QString PointsForm::Entry = QStringLiteral("jfjs");
const QString PointsForm::Confirm = QStringLiteral("confirm");

PointsForm::PointsForm(const PointsKind& kind, Ui& ui) : FormState(ui), m_kind(kind)
{
    setEnterOrder({Entry}, [this] { confirm(); });
    focus(Entry, true);
}

bool PointsForm::refuse(const QString& message)
{
    ui().showMessage(message);
    focus(Entry, true);
    return false;
}

// ---- 积分基数设置 ------------------------------------------------------------------------------

PointsBase::PointsBase(Ui& ui) : PointsForm(PointsKind::base(), ui) {}

bool PointsBase::create()
{
    if (!openConnection())
        return false;
    Query q(db());
    q.setSql(QStringLiteral("select * from jfjs"));
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    setText(Entry, q.text(QStringLiteral("js")));
    focus(Entry, true);
    return true;
}

bool PointsBase::confirm()
{
    const QString typed = text(Entry);
    double value = 0;
    if (!TextUtil::toNumber(typed, &value) || value != std::floor(value) || value < kMin || value > kMax)
        return refuse(QStringLiteral("积分基数“%1”不正确，请输入%2到%3之间的整数").arg(typed).arg(kMin).arg(kMax));
    const int js = int(value);
    QString error;
    const bool saved = write(
        [&](QString* failure) {
            // The table holds one row; the statement sets every row it has.
            Query q(db());
            q.setSql(QStringLiteral("update jfjs set js=:JS"));
            q.bind(QStringLiteral("JS"), js);
            if (!execute(q, failure))
                return false;
            if (q.rowsAffected() > 0)
                return true;
            // A file that lost its row would otherwise say "saved" and keep nothing.
            q.setSql(QStringLiteral("insert into jfjs(js) values(:JS)"));
            q.bind(QStringLiteral("JS"), js);
            return execute(q, failure);
        },
        &error);
    if (!saved) {
        saveFailed(ui(), error);
        return false;
    }
    setText(Entry, QString::number(js));
    ui().showMessage(QStringLiteral("数据保存成功"));
    focus(Entry, true);
    return true;
}

// ---- 积分兑换 ----------------------------------------------------------------------------------

PointsExchange::PointsExchange(const QString& card, Ui& ui) : PointsForm(PointsKind::exchange(), ui), m_card(card) {}

bool PointsExchange::create()
{
    if (!openConnection())
        return false;
    Query q(db());
    q.setSql(QStringLiteral("select * from hyinfo where hykh=:HYKH"));
    q.bind(QStringLiteral("HYKH"), m_card);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (q.isEmpty()) {
        ui().showMessage(QStringLiteral("查无此信息"));
        return false;
    }
    m_found = true;
    m_card = q.text(QStringLiteral("hykh"));
    m_name = q.text(QStringLiteral("hyxm"));
    m_ljjf = q.number(QStringLiteral("ljjf"));
    m_yyjf = q.number(QStringLiteral("yyjf"));
    focus(Entry, true);
    return true;
}

QString PointsExchange::heading() const
{
    return QStringLiteral("当前会员信息:\n卡号:%1\n姓名:%2").arg(m_card, m_name);
}

bool PointsExchange::confirm()
{
    if (!m_found)
        return false;
    const QString typed = text(Entry);
    double points = 0;
    if (!TextUtil::toNumber(typed, &points))
        return refuse(QStringLiteral("兑换积分“%1”不是数字，请重新输入").arg(typed));
    points = TextUtil::roundTo(points, kDecimals);
    if (points <= 0)
        return refuse(QStringLiteral("兑换积分“%1”必须大于0，请重新输入").arg(typed));

    // The totals as stored now (after an earlier exchange or a sale), read and written together.
    Query q(db());
    QString refusal;
    QString error;
    double ljjf = 0;
    double yyjf = 0;
    const bool saved = write(
        [&](QString* failure) {
            q.setSql(QStringLiteral("select * from hyinfo where hykh=:HYKH"));
            q.bind(QStringLiteral("HYKH"), m_card);
            if (!q.open())
                return *failure = q.lastError(), false;
            if (q.isEmpty())
                return *failure = QStringLiteral("会员%1已不存在").arg(m_card), false;
            ljjf = q.number(QStringLiteral("ljjf"));
            yyjf = q.number(QStringLiteral("yyjf"));
            if (points > TextUtil::roundTo(ljjf, kDecimals)) {
                refusal = QStringLiteral("积分不足：该会员现有积分%1，不够兑换%2分")
                              .arg(TextUtil::shortestNumber(ljjf), TextUtil::shortestNumber(points));
                return false;
            }
            ljjf = TextUtil::roundTo(ljjf - points, kDecimals);
            yyjf = TextUtil::roundTo(yyjf + points, kDecimals);
            q.setSql(QStringLiteral("update hyinfo set ljjf=:LJJF,yyjf=:YYJF where hykh=:HYKH"));
            q.bind(QStringLiteral("LJJF"), ljjf);
            q.bind(QStringLiteral("YYJF"), yyjf);
            q.bind(QStringLiteral("HYKH"), m_card);
            return execute(q, failure);
        },
        &error);
    if (!refusal.isEmpty())
        return refuse(refusal);
    if (!saved) {
        saveFailed(ui(), error);
        return false;
    }
    m_ljjf = ljjf;
    m_yyjf = yyjf;
    ui().showMessage(QStringLiteral("数据保存成功"));
    focus(Entry, true);
    return true;
}
