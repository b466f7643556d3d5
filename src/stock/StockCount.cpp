#include "stock/StockCount.h"

#include "core/Clock.h"
#include "core/LoginUser.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

const QString StockCount::Spbh = QStringLiteral("spbh");
const QString StockCount::Spmc = QStringLiteral("spmc");
const QString StockCount::Spxh = QStringLiteral("spxh");
const QString StockCount::Spgg = QStringLiteral("spgg");
const QString StockCount::Splb = QStringLiteral("splb");
const QString StockCount::Spjl = QStringLiteral("spjl");
const QString StockCount::Jinjia = QStringLiteral("jinjia");
const QString StockCount::Shoujia = QStringLiteral("shoujia");
const QString StockCount::Gys = QStringLiteral("gys");
const QString StockCount::Sl = QStringLiteral("sl");
const QString StockCount::Save = QStringLiteral("ToolButton10");
const QString StockCount::First = QStringLiteral("ToolButton6");
const QString StockCount::Prior = QStringLiteral("ToolButton4");
const QString StockCount::Next = QStringLiteral("ToolButton7");
const QString StockCount::Last = QStringLiteral("ToolButton8");
const QString StockCount::Close = QStringLiteral("ToolButton5");

namespace {

// No shelf holds more than this; a larger count is a typing mistake.
constexpr double kLargest = 1e9;

} // namespace

StockCount::StockCount(Ui& ui) : FormState(ui)
{
    setEnterOrder({Spbh, Spxh, Spmc, Splb, Spgg, Spjl, Jinjia, Shoujia, Gys, Sl}, {}, true);
}

StockCount::~StockCount() = default;

bool StockCount::create(const QString& spbh)
{
    if (!openConnection())
        return false;
    if (!load(QStringLiteral("upper(spbh)=upper(:SPBH)"), {{QStringLiteral("SPBH"), spbh}},
              QStringLiteral("spbh,ID")))
        return false;
    setEnabled(Save, false);
    focus(Sl);
    return true;
}

// The stock list is walked by its order (product number, then the row's key), one row read at a
// time, so a shop of a hundred thousand products opens as fast as one of ten.
bool StockCount::load(const QString& where, const QVariantMap& params, const QString& order)
{
    Query q(db());
    q.add(QStringLiteral("select * from kucun"));
    if (!where.isEmpty())
        q.add(QStringLiteral(" where ") + where);
    q.add(QStringLiteral(" order by ") + order + QStringLiteral(" limit 1"));
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bind(it.key(), it.value());
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (!q.first())
        return true; // at either end, or an empty list: the row shown stays
    m_id = q.value(QStringLiteral("ID"));
    for (const QString& f : {Spbh, Spmc, Spxh, Spgg, Splb, Spjl, Jinjia, Shoujia, Gys, Sl})
        setText(f, q.text(f));
    return true;
}

bool StockCount::reloadCurrent()
{
    return load(QStringLiteral("ID=:ID"), {{QStringLiteral("ID"), m_id}}, QStringLiteral("ID"));
}

void StockCount::quantityEdited(const QString& text)
{
    setText(Sl, text);
    setEnabled(Save, true);
}

void StockCount::first()
{
    if (load(QString(), {}, QStringLiteral("spbh,ID")))
        setEnabled(Save, true);
}

void StockCount::last()
{
    if (load(QString(), {}, QStringLiteral("spbh desc,ID desc")))
        setEnabled(Save, true);
}

void StockCount::next()
{
    if (!hasRow()) {
        first();
        return;
    }
    if (load(QStringLiteral("spbh>:SPBH or (spbh=:SPBH and ID>:ID)"),
             {{QStringLiteral("SPBH"), text(Spbh)}, {QStringLiteral("ID"), m_id}}, QStringLiteral("spbh,ID")))
        setEnabled(Save, true);
}

void StockCount::prior()
{
    if (!hasRow()) {
        last();
        return;
    }
    if (load(QStringLiteral("spbh<:SPBH or (spbh=:SPBH and ID<:ID)"),
             {{QStringLiteral("SPBH"), text(Spbh)}, {QStringLiteral("ID"), m_id}},
             QStringLiteral("spbh desc,ID desc")))
        setEnabled(Save, true);
}

bool StockCount::save()
{
    if (!hasRow()) {
        ui().showMessage(QStringLiteral("没有要盘点的商品"));
        return false;
    }
    if (text(Spmc).isEmpty()) {
        ui().showMessage(QStringLiteral("商品名称不能为空，请重新输入"));
        focus(Spmc);
        return false;
    }
    if (text(Shoujia).isEmpty())
        setText(Shoujia, QStringLiteral("0"));
    const QString typed = text(Sl);
    double counted = 0;
    double retail = 0;
    if (!TextUtil::toNumber(typed, &counted) || counted < 0 || counted > kLargest) {
        ui().showMessage(QStringLiteral("数据保存失败：数量“%1”不正确，请输入不小于0的数字").arg(typed));
        focus(Sl, true);
        return false;
    }
    if (!TextUtil::toNumber(text(Shoujia), &retail)) {
        ui().showMessage(QStringLiteral("数据保存失败：零售价“%1”不是数字").arg(text(Shoujia)));
        return false;
    }
    const QString spbh = text(Spbh);
    QString error;
    const bool ok = db().transaction([&] {
        // The quantity the count replaces, as the stock holds it now.
        Query q(db());
        q.setSql(QStringLiteral("select sl from kucun where ID=:ID"));
        q.bind(QStringLiteral("ID"), m_id);
        if (!q.open()) {
            error = q.lastError();
            return false;
        }
        const QVariant before = q.value(QStringLiteral("sl"));
        q.setSql(QStringLiteral("update kucun set sl=:SL,jine=:JINE where spbh=:SPBH"));
        q.bind(QStringLiteral("SL"), counted);
        q.bind(QStringLiteral("JINE"), counted * retail);
        q.bind(QStringLiteral("SPBH"), spbh);
        if (!q.execute()) {
            error = q.lastError();
            return false;
        }
        q.close();
        q.clear();
        q.add(QStringLiteral("insert into pdjl(spbh,spmc,yssl,pdsl,czy,rq,sj)"));
        q.add(QStringLiteral("values(:SPBH,:SPMC,:YSSL,:PDSL,:CZY,:RQ,:SJ)"));
        q.bind(QStringLiteral("SPBH"), spbh);
        q.bind(QStringLiteral("SPMC"), text(Spmc));
        q.bind(QStringLiteral("YSSL"), before.isNull() ? QVariant() : QVariant(Query::variantNumber(before)));
        q.bind(QStringLiteral("PDSL"), counted);
        q.bind(QStringLiteral("CZY"), LoginUser::name());
        q.bind(QStringLiteral("RQ"), Clock::todayText());
        q.bind(QStringLiteral("SJ"), Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        if (!q.execute()) {
            error = q.lastError();
            return false;
        }
        return true;
    });
    if (!ok) {
        ui().showError(QStringLiteral("数据保存失败：%1").arg(error.isEmpty() ? db().lastError() : error));
        return false;
    }
    ui().showMessage(QStringLiteral("保存成功"));
    reloadCurrent();
    setEnabled(Save, false);
    return true;
}
