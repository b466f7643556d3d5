#include "stock/Stocktaking.h"

#include "core/Clock.h"
#include "core/DbConnection.h"
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

namespace {

// No shelf holds more than this; a larger count is a typing mistake.
constexpr double kLargest = 1e9;

FormField shown(const QString& name, const QString& label)
{
    FormField f;
    f.name = name;
    f.label = label;
    f.readOnly = true;
    return f;
}

} // namespace

namespace Stocktaking {

const ListKind& list()
{
    using F = GridColumn::Format;
    static const ListKind kind = [] {
        ListKind k;
        k.formName = QStringLiteral("Tsppd_form");
        k.caption = QStringLiteral("商品库存盘点");
        // The difference of each product's latest count, found through the count records'
        // index on (product, key).
        k.query = QStringLiteral("select a.*,b.pdsl-b.yssl as pdce from kucun a left join pdjl b "
                                 "on b.ID=(select max(c.ID) from pdjl c where c.spbh=a.spbh) order by a.spbh");
        k.keyField = QStringLiteral("spbh");
        k.columns = {
            {QStringLiteral("spbh"), QStringLiteral("商品编号"), 90},
            {QStringLiteral("spmc"), QStringLiteral("商品名称"), 180},
            {QStringLiteral("spxh"), QStringLiteral("商品型号"), 80},
            {QStringLiteral("spgg"), QStringLiteral("商品规格"), 80},
            {QStringLiteral("splb"), QStringLiteral("商品类别"), 80},
            {QStringLiteral("spjl"), QStringLiteral("计量单位"), 60},
            {QStringLiteral("jinjia"), QStringLiteral("进价"), 70, F::Money},
            {QStringLiteral("sl"), QStringLiteral("数量"), 70, F::Number},
            {QStringLiteral("shoujia"), QStringLiteral("售价"), 70, F::Money},
            {QStringLiteral("jine"), QStringLiteral("金额"), 90, F::Money},
            {QStringLiteral("pdce"), QStringLiteral("上次盘点差异"), 90, F::Number},
            {QStringLiteral("beizhu"), QStringLiteral("备注"), 100},
            {QStringLiteral("gys"), QStringLiteral("供应商"), 150},
            {QStringLiteral("ckmc"), QStringLiteral("仓库名称"), 80},
        };
        k.reportFile = QStringLiteral("sppd.rav");
        k.reportConnection = QStringLiteral("sppdRvDataSetConnection1");
        k.reportTitle = QStringLiteral("商品盘点");
        k.reportSetupTitle = QStringLiteral("商品盘点");
        return k;
    }();
    return kind;
}

const RecordKind& record()
{
    static const RecordKind kind = [] {
        RecordKind k;
        k.keyField = QStringLiteral("spbh");
        k.browseQuery = QStringLiteral("select * from kucun order by spbh");
        k.updateSql = QStringLiteral("update kucun set sl=:SL,jine=:JINE where spbh=:SPBH");
        k.editForm = QStringLiteral("Tsppdxg_form");
        k.editCaption = QStringLiteral("商品盘点库存修改");
        FormField count;
        count.name = StockCount::Sl;
        count.label = QStringLiteral("数  量");
        k.editFields = {
            shown(StockCount::Spbh, QStringLiteral("商品编号")),  shown(StockCount::Spmc, QStringLiteral("商品名称")),
            shown(StockCount::Spxh, QStringLiteral("型  号")),    shown(StockCount::Spgg, QStringLiteral("规   格")),
            shown(StockCount::Splb, QStringLiteral("类  别")),    shown(StockCount::Spjl, QStringLiteral("计量单位")),
            shown(StockCount::Jinjia, QStringLiteral("进   价")), shown(StockCount::Shoujia, QStringLiteral("零售价")),
            shown(StockCount::Gys, QStringLiteral("供应商")),     count};
        k.editEnterWraps = true;
        k.saveNeedsChange = true;
        k.moveCountsAsChange = true;
        return k;
    }();
    return kind;
}

} // namespace Stocktaking

StockCount::StockCount(Ui& ui) : RecordForm(Stocktaking::record(), Mode::Edit, ui)
{
    setEnterOrder({Spbh, Spxh, Spmc, Splb, Spgg, Spjl, Jinjia, Shoujia, Gys, Sl}, {}, true);
}

StockCount::~StockCount() = default;

void StockCount::enterPressed(const QString& field)
{
    FormState::enterPressed(field);
}

bool StockCount::checkEdit()
{
    if (text(Spmc).isEmpty()) {
        ui().showMessage(QStringLiteral("商品名称不能为空，请重新输入"));
        focus(Spmc);
        return false;
    }
    if (text(Shoujia).isEmpty())
        setText(Shoujia, QStringLiteral("0"));
    const QString typed = text(Sl);
    if (!TextUtil::toNumber(typed, &m_counted) || m_counted < 0 || m_counted > kLargest) {
        ui().showMessage(QStringLiteral("数据保存失败：数量“%1”不正确，请输入不小于0的数字").arg(typed));
        focus(Sl, true);
        return false;
    }
    if (!TextUtil::toNumber(text(Shoujia), &m_retail)) {
        ui().showMessage(QStringLiteral("数据保存失败：零售价“%1”不是数字").arg(text(Shoujia)));
        return false;
    }
    return true;
}

// The new quantity and stock value, and the record of the count with the quantity it replaced.
bool StockCount::writeEdit()
{
    const QString spbh = currentKey();
    QString error;
    const bool ok = write(
        [&](QString* failure) {
            Query q(db());
            q.setSql(QStringLiteral("select sl from kucun where spbh=:SPBH"));
            q.bind(QStringLiteral("SPBH"), spbh);
            if (!q.open()) {
                *failure = q.lastError();
                return false;
            }
            const QVariant before = q.value(QStringLiteral("sl"));
            q.setSql(kind().updateSql);
            q.bind(QStringLiteral("SL"), m_counted);
            q.bind(QStringLiteral("JINE"), m_counted * m_retail);
            q.bind(QStringLiteral("SPBH"), spbh);
            if (!execute(q, failure))
                return false;
            q.close();
            q.clear();
            q.add(QStringLiteral("insert into pdjl(spbh,spmc,yssl,pdsl,czy,rq,sj)"));
            q.add(QStringLiteral("values(:SPBH,:SPMC,:YSSL,:PDSL,:CZY,:RQ,:SJ)"));
            q.bind(QStringLiteral("SPBH"), spbh);
            q.bind(QStringLiteral("SPMC"), text(Spmc));
            q.bind(QStringLiteral("YSSL"), before.isNull() ? QVariant() : QVariant(Query::variantNumber(before)));
            q.bind(QStringLiteral("PDSL"), m_counted);
            q.bind(QStringLiteral("CZY"), LoginUser::name());
            q.bind(QStringLiteral("RQ"), Clock::todayText());
            q.bind(QStringLiteral("SJ"), Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
            return execute(q, failure);
        },
        &error);
    if (!ok) {
        saveFailed(error);
        return false;
    }
    return true;
}
