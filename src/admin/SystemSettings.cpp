#include "admin/SystemSettings.h"

#include "core/DbConnection.h"
#include "core/Ui.h"

#include <functional>

namespace SystemSettings {

namespace {

// Both pages update the one row; a shop whose row has gone gets it back rather than a
// "保存成功" over nothing stored.
bool updateOrInsert(DbConnection& db, Ui& ui, const std::function<void(Query&, bool insert)>& statement)
{
    QString error;
    const bool written = db.transaction([&] {
        Query q(db);
        q.setSql(QStringLiteral("select count(*) as n from xtsz"));
        if (!q.open())
            return error = q.lastError(), false;
        const bool insert = q.integer(QStringLiteral("n")) == 0;
        q.close();
        q.clear();
        statement(q, insert);
        if (!q.execute())
            return error = q.lastError(), false;
        return true;
    });
    if (!written) {
        ui.showError(error.isEmpty() ? db.lastError() : error);
        return false;
    }
    ui.showMessage(QStringLiteral("保存成功"));
    return true;
}

} // namespace

const QList<Switch>& switches()
{
    static const QList<Switch> list{
        {QStringLiteral("prnt1"), QStringLiteral("prnt1"), QStringLiteral("pos热敏打印机（并口，不需要驱动程序）")},
        {QStringLiteral("prnt2"), QStringLiteral("prnt2"), QStringLiteral("其它类型小票打印机（需安装驱动程序）")},
        {QStringLiteral("prnt3"), QStringLiteral("qx"), QStringLiteral("启用钱箱")},
        {QStringLiteral("prnt4"), QStringLiteral("ku"), QStringLiteral("销售时不提示库存不足")},
        {QStringLiteral("prnt5"), QStringLiteral("jia"), QStringLiteral("不允许销售时修改价格")},
        {QStringLiteral("prnt6"), QStringLiteral("qt1"), QStringLiteral("收银时间语音播报")},
    };
    return list;
}

const QList<Field>& companyFields()
{
    static const QList<Field> list{
        {QStringLiteral("gsmc"), QStringLiteral("公司名称"), 30},
        {QStringLiteral("gsdz"), QStringLiteral("公司地址"), 50},
        {QStringLiteral("gsdh"), QStringLiteral("公司电话"), 20},
    };
    return list;
}

bool load(DbConnection& db, Ui& ui, Values* values)
{
    Query q(db);
    q.setSql(QStringLiteral("select * from xtsz"));
    if (!q.open()) {
        ui.showError(q.lastError());
        return false;
    }
    values->company = {q.text(QStringLiteral("gsmc")), q.text(QStringLiteral("gsdz")), q.text(QStringLiteral("gsdh"))};
    values->on.clear();
    for (const Switch& s : switches())
        values->on << (q.integer(s.column) == 1);
    return true;
}

bool saveCompany(DbConnection& db, Ui& ui, const Company& company)
{
    const QString texts[] = {company.gsmc, company.gsdz, company.gsdh};
    for (int i = 0; i < companyFields().size(); ++i) {
        const Field& f = companyFields().at(i);
        if (texts[i].size() > f.length) {
            ui.showMessage(QStringLiteral("%1“%2”超过%3个字，请重新输入").arg(f.caption, texts[i]).arg(f.length));
            return false;
        }
    }
    return updateOrInsert(db, ui, [&](Query& q, bool insert) {
        q.add(insert ? QStringLiteral("insert into xtsz(gsmc,gsdz,gsdh) values(:GSMC,:GSDZ,:GSDH)")
                     : QStringLiteral("update xtsz set gsmc=:GSMC,gsdz=:GSDZ,gsdh=:GSDH"));
        q.bind(QStringLiteral("GSMC"), company.gsmc);
        q.bind(QStringLiteral("GSDZ"), company.gsdz);
        q.bind(QStringLiteral("GSDH"), company.gsdh);
    });
}

bool saveSwitches(DbConnection& db, Ui& ui, const QList<bool>& on)
{
    return updateOrInsert(db, ui, [&](Query& q, bool insert) {
        q.add(insert ? QStringLiteral("insert into xtsz(prnt1,prnt2,qx,ku,jia,qt1) "
                                      "values(:PRNT1,:PRNT2,:QX,:KU,:JIA,:QT1)")
                     : QStringLiteral("update xtsz set prnt1=:PRNT1,prnt2=:PRNT2,qx=:QX,ku=:KU,jia=:JIA,qt1=:QT1"));
        for (int i = 0; i < switches().size(); ++i)
            q.bind(switches().at(i).column.toUpper(), on.value(i) ? 1 : 0);
    });
}

} // namespace SystemSettings

// ---------------------------------------------------------------------------------------------
// SettingsForm

const QString SettingsForm::SaveCompany = QStringLiteral("saveCompany");
const QString SettingsForm::SaveSwitches = QStringLiteral("saveSwitches");

SettingsForm::SettingsForm(Ui& ui) : FormState(ui)
{
    // Enter walks the company entries and rests on their 存盘 without pressing it.
    QStringList order;
    for (const SystemSettings::Field& f : SystemSettings::companyFields())
        order << f.name;
    order << SaveCompany;
    setEnterOrder(order);
}

bool SettingsForm::create()
{
    if (!openConnection())
        return false;
    SystemSettings::Values v;
    if (!SystemSettings::load(db(), ui(), &v))
        return false;
    setText(QStringLiteral("gsmc"), v.company.gsmc);
    setText(QStringLiteral("gsdz"), v.company.gsdz);
    setText(QStringLiteral("gsdh"), v.company.gsdh);
    for (int i = 0; i < SystemSettings::switches().size(); ++i)
        setText(SystemSettings::switches().at(i).box, v.on.value(i) ? QStringLiteral("1") : QStringLiteral("0"));
    focus(QStringLiteral("gsmc"));
    return true;
}

bool SettingsForm::saveCompany()
{
    return SystemSettings::saveCompany(
        db(), ui(), {text(QStringLiteral("gsmc")), text(QStringLiteral("gsdz")), text(QStringLiteral("gsdh"))});
}

bool SettingsForm::saveSwitches()
{
    QList<bool> on;
    for (const SystemSettings::Switch& s : SystemSettings::switches())
        on << (text(s.box) == QLatin1String("1"));
    return SystemSettings::saveSwitches(db(), ui(), on);
}

void SettingsForm::enterPressed(const QString& field)
{
    if (field == SaveCompany)
        saveCompany();
    else
        FormState::enterPressed(field);
}
