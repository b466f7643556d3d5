#include "accounts/Settlement.h"

#include "core/Clock.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

#include <QDate>

const QString Settlement::Rq1 = QStringLiteral("rq1");
const QString Settlement::Rq2 = QStringLiteral("rq2");
const QString Settlement::Gys = QStringLiteral("gys");
const QString Settlement::Rkd = QStringLiteral("rkd");
const QString Settlement::Lx = QStringLiteral("lx");
const QString Settlement::Fkje = QStringLiteral("fkje");
const QString Settlement::Settle = QStringLiteral("ToolButton2");
const QString Settlement::First = QStringLiteral("ToolButton1");
const QString Settlement::Prior = QStringLiteral("ToolButton3");
const QString Settlement::Next = QStringLiteral("ToolButton6");
const QString Settlement::Last = QStringLiteral("ToolButton7");
const QString Settlement::Close = QStringLiteral("ToolButton5");
const QString Settlement::SupplierButton = QStringLiteral("SpeedButton1");

namespace {

// Money owed is kept to the cent, so a voucher paid in full reads exactly 0.
double cents(double value)
{
    const double r = TextUtil::roundTo(value, 2);
    return r == 0 ? 0.0 : r;
}

} // namespace

const GridColumns& Settlement::listColumns()
{
    using F = GridColumn::Format;
    static const GridColumns columns{
        {QStringLiteral("djbh"), QStringLiteral("单据编号"), 140},
        {QStringLiteral("rq"), QStringLiteral("日期"), 90},
        {QStringLiteral("sj"), QStringLiteral("时间"), 70},
        {QStringLiteral("gysmc"), QStringLiteral("供应商名称"), 180},
        {QStringLiteral("hjje"), QStringLiteral("合计金额"), 90, F::Money},
        {QStringLiteral("hkje"), QStringLiteral("已付金额"), 90, F::Money},
        {QStringLiteral("qkje"), QStringLiteral("欠款金额"), 90, F::Money},
        {QStringLiteral("zdy"), QString(), 0, F::Hidden},
        {QStringLiteral("zhekou"), QString(), 0, F::Hidden},
        {QStringLiteral("zkje"), QStringLiteral("折扣金额"), 0, F::Hidden},
    };
    return columns;
}

const GridColumns& Settlement::lineColumns()
{
    using F = GridColumn::Format;
    static const GridColumns columns{
        {QStringLiteral("spbh"), QStringLiteral("商品编号"), 90},
        {QStringLiteral("spmc"), QStringLiteral("商品名称"), 180},
        {QStringLiteral("spxh"), QStringLiteral("商品型号"), 90},
        {QStringLiteral("spgg"), QStringLiteral("商品规格"), 90},
        {QStringLiteral("spjl"), QStringLiteral("计量单位"), 70},
        {QStringLiteral("splb"), QStringLiteral("商品类别"), 80},
        {QStringLiteral("sl"), QStringLiteral("数量"), 70, F::Number},
        {QStringLiteral("jinjia"), QStringLiteral("进价"), 80, F::Money},
        {QStringLiteral("jine"), QStringLiteral("金额"), 90, F::Money},
        {QStringLiteral("zhekou"), QStringLiteral("折扣"), 0, F::Hidden},
        {QStringLiteral("djbh"), QString(), 0, F::Hidden},
        {QStringLiteral("rq"), QString(), 0, F::Hidden},
        {QStringLiteral("beizhu"), QString(), 0, F::Hidden},
    };
    return columns;
}

Settlement::Settlement(const SettlementKind& kind, Ui& ui)
    : FormState(ui), m_kind(kind), m_list(std::make_unique<PagedQuery>(db(), QString())),
      m_lines(db(), QStringLiteral("select * from %1 where djbh=:DJBH order by rowid").arg(kind.lineTable))
{
    m_lines.bind(QStringLiteral("DJBH"), QString());
}

Settlement::~Settlement() = default;

bool Settlement::create()
{
    if (!openConnection())
        return false;
    setText(Rq1, Clock::todayText());
    setText(Rq2, Clock::todayText());
    return true;
}

void Settlement::enterPressed(const QString& field)
{
    if (field == Fkje)
        settle();
    else if (field == Gys || field == Rkd || field == Lx || field == Rq1 || field == Rq2)
        search();
    else
        FormState::enterPressed(field);
}

bool Settlement::dateOk(const QString& field)
{
    const QString t = text(field);
    if (QDate::fromString(t, QStringLiteral("yyyy-MM-dd")).isValid())
        return true;
    ui().showMessage(QStringLiteral("日期“%1”不正确，请按“年-月-日”输入").arg(t));
    focus(field, true);
    return false;
}

QString Settlement::searchStatement() const
{
    QString sql = QStringLiteral("select * from %1 where rq>=:RQ1 and rq<=:RQ2").arg(m_kind.headerTable);
    if (!text(Gys).isEmpty())
        sql += QStringLiteral(" and  gysmc=:GYSMC");
    if (!text(Rkd).isEmpty())
        sql += QStringLiteral("  and djbh=:DJBH");
    if (text(Lx) == m_kind.openStatus)
        sql += QStringLiteral(" and qkje>0");
    else if (text(Lx) == m_kind.settledStatus)
        sql += QStringLiteral(" and qkje=0");
    return sql;
}

bool Settlement::search()
{
    if (!dateOk(Rq1) || !dateOk(Rq2))
        return false;
    // The vouchers in the order they were saved.
    m_list = std::make_unique<PagedQuery>(db(), searchStatement() + QStringLiteral(" order by ID"));
    m_list->bind(QStringLiteral("RQ1"), text(Rq1));
    m_list->bind(QStringLiteral("RQ2"), text(Rq2));
    if (!text(Gys).isEmpty())
        m_list->bind(QStringLiteral("GYSMC"), text(Gys).trimmed());
    if (!text(Rkd).isEmpty())
        m_list->bind(QStringLiteral("DJBH"), text(Rkd).trimmed());
    m_searched = m_list->reload();
    if (!m_searched) {
        dbError(m_list->lastError());
        m_row = -1;
        selectionChanged();
        return false;
    }
    m_row = m_list->count() == 0 ? -1 : 0;
    selectionChanged();
    return true;
}

void Settlement::setCurrentRow(int row)
{
    if (m_list->count() == 0)
        return;
    const int to = qBound(0, row, m_list->count() - 1);
    if (to == m_row)
        return;
    m_row = to;
    selectionChanged();
}

void Settlement::first()
{
    setCurrentRow(0);
}

void Settlement::prior()
{
    setCurrentRow(m_row - 1);
}

void Settlement::next()
{
    setCurrentRow(m_row + 1);
}

void Settlement::last()
{
    setCurrentRow(m_list->count() - 1);
}

void Settlement::selectionChanged()
{
    const bool any = m_row >= 0 && m_row < m_list->count();
    setText(Fkje, any ? m_list->text(m_row, QStringLiteral("qkje")) : QString());
    m_lines.bind(QStringLiteral("DJBH"), any ? m_list->text(m_row, QStringLiteral("djbh")) : QString());
    if (!m_lines.reload())
        dbError(m_lines.lastError());
}

void Settlement::pickSupplier()
{
    pickInto(m_kind.supplierPicker, Gys);
}

bool Settlement::settle()
{
    if (m_row < 0 || m_row >= m_list->count()) {
        ui().showMessage(QStringLiteral("请先查询并选中要结算的单据"));
        return false;
    }
    const QString number = m_list->text(m_row, QStringLiteral("djbh"));

    // The voucher as it stands now, not as the list read it.
    Query v(db());
    v.add(QStringLiteral("select * from %1 where djbh=:DJBH").arg(m_kind.headerTable));
    v.bind(QStringLiteral("DJBH"), number);
    if (!v.open()) {
        dbError(v.lastError());
        return false;
    }
    if (!v.first()) {
        ui().showMessage(QStringLiteral("单据“%1”已不存在，请重新查询").arg(number));
        return false;
    }
    const double paid = v.number(QStringLiteral("hkje"));
    const double due =
        v.value(QStringLiteral("zkje")).isNull() ? v.number(QStringLiteral("hjje")) : v.number(QStringLiteral("zkje"));
    const double owed = cents(due - paid);
    const QString supplier = v.text(QStringLiteral("gysmc"));

    const QString typed = text(Fkje);
    double amount = 0;
    const bool isNumber = TextUtil::toNumber(typed, &amount);
    if (owed <= 0) {
        ui().showMessage(QStringLiteral("单据“%1”已经结清，欠款金额为%2").arg(number, TextUtil::money(owed)));
        return false;
    }
    // Compared to the cent like the owed amount: a voucher that owes fractions of a cent (goods by
    // weight, a discount) is settled in full by the amount the field offers.
    if (!isNumber || cents(amount) <= 0 || cents(amount) > owed) {
        ui().showMessage(
            QStringLiteral("结算金额“%1”不正确，应大于0且不超过欠款金额%2").arg(typed, TextUtil::money(owed)));
        focus(Fkje, true);
        return false;
    }
    if (!ask(QStringLiteral("确实要结算该单据吗?")))
        return false;

    QString error;
    const bool ok = write(
        [&](QString* failure) {
            Query q(db());
            q.add(QStringLiteral("update %1 set hkje=:HKJE,qkje=:QKJE where djbh=:DJBH").arg(m_kind.headerTable));
            q.bind(QStringLiteral("HKJE"), paid + amount);
            q.bind(QStringLiteral("QKJE"), cents(due - paid - amount));
            q.bind(QStringLiteral("DJBH"), number);
            if (!execute(q, failure) || !Journal::add(db(), m_kind.movement(amount, supplier), failure))
                return false;
            q.close();
            q.clear();
            q.add(QStringLiteral("insert into %1(rq,jine)").arg(m_kind.paymentTable));
            q.add(QStringLiteral("values(:RQ,:JINE)"));
            q.bind(QStringLiteral("RQ"), Clock::todayText());
            q.bind(QStringLiteral("JINE"), amount);
            return execute(q, failure);
        },
        &error);
    if (!ok) {
        ui().showError(QStringLiteral("结算失败：%1").arg(error));
        return false;
    }
    ui().showMessage(QStringLiteral("结算成功"));
    search();
    return true;
}
