#include "core/MainMenu.h"

#include "core/DbConnection.h"
#include "core/Ui.h"

namespace MainMenu {

namespace {

Item child(const char* caption, const char* hint, const char* form, const char* screen)
{
    return {QString::fromUtf8(caption),
            QString::fromUtf8(hint),
            QString::fromLatin1(form),
            QString::fromUtf8(screen),
            Opens::Child,
            true};
}

Item modal(const char* caption, const char* hint, const char* form, const char* screen)
{
    return {QString::fromUtf8(caption),
            QString::fromUtf8(hint),
            QString::fromLatin1(form),
            QString::fromUtf8(screen),
            Opens::Modal,
            true};
}

Item separator()
{
    return {};
}

QList<TopMenu> buildMenus()
{
    QList<TopMenu> m;
    m << TopMenu{QStringLiteral("jbxx"),
                 QStringLiteral("基本信息"),
                 QString(),
                 QStringLiteral("m1"),
                 {child("商品类别", "商品类别管理", "Tsplb_form", "商品类别管理"),
                  child("商品计量单位", "商品计量单位管理", "Tspjl_form", "商品计量单位管理"),
                  child("商品信息", "商品信息管理", "Tspxx_form", "商品信息管理"), separator(),
                  child("供应商信息", "供应商管理", "Tgysxx_form", "供应商管理"), separator(),
                  child("仓库信息", "仓库信息管理", "Tspck_form", "仓库管理")}};

    m << TopMenu{QStringLiteral("spxs"),
                 QStringLiteral("商品销售"),
                 QString(),
                 QStringLiteral("m2"),
                 {modal("商品销售", "商品销售", "Tspxs_form", "商品销售"),
                  modal("销售退货", "商品销售退货", "Tspxsth_form", "商品销售退货")}};

    Item returnToSupplier = modal("入库退货", "入库退货管理", "Tsprkth_form", "商品入库退货");
    returnToSupplier.oneScreenRule = false; // opens even over an open child screen
    m << TopMenu{QStringLiteral("sprk"),
                 QStringLiteral("商品入库"),
                 QString(),
                 QStringLiteral("m3"),
                 {modal("商品入库", "商品入库管理", "Tsprk_form", "商品入库"),
                  modal("入库应付", "入库应付管理", "Trkyf_form", "入库应付"), separator(), returnToSupplier,
                  modal("退货应收", "退货应收管理", "Tthys_form", "退货应收")}};

    m << TopMenu{QStringLiteral("kcgl"),
                 QStringLiteral("库存管理"),
                 QString(),
                 QStringLiteral("m4"),
                 {child("库存盘点", "库存盘点", "Tsppd_form", "商品库存盘点"),
                  modal("商品报废", "", "Tspbf_form", "商品报废"),
                  child("库存报警", "", "Tspkcbj_form", "商品库存表报警")}};

    m << TopMenu{QStringLiteral("sjtj"),
                 QStringLiteral("数据统计"),
                 QString(),
                 QStringLiteral("m5"),
                 {child("商品销售情况查询", "", "Tspxsph_form", "商品销售情况表"),
                  child("商品销售利润查询", "商品销售利润查询", "Tspxsly_form", "商品销售利润表"), separator(),
                  child("现金流水账", "现金流水账", "Txjls_form", "现金流水账"),
                  child("利润统计表", "", "Tlrtj_form", "商品销售利润统计")}};

    m << TopMenu{QStringLiteral("hygl"),
                 QStringLiteral("会员管理"),
                 QString(),
                 QStringLiteral("m6"),
                 {child("会员信息管理", "会员信息管理", "Thyxx_form", "会员信息管理")}};

    m << TopMenu{QStringLiteral("xtwh"),
                 QStringLiteral("系统维护"),
                 QStringLiteral("系统维护"),
                 QStringLiteral("m7"),
                 {modal("系统设置", "系统设置", "Txtsz_form", "系统参数设置"), separator(),
                  child("人员与权限", "人员与权限", "Tuser_form", "用户信息管理"), separator(),
                  modal("系统初始化", "系统初始化", "Tcsh_form", "系统初始化"), separator(),
                  modal("数据备份", "数据备份", "Tbackup_form", "数据备份与还原")}};

    Item exit{QStringLiteral("退出系统"), QStringLiteral("退出系统"), QString(), QString(), Opens::Exit, false};
    m << TopMenu{QStringLiteral("gybxt"),
                 QStringLiteral("关于本系统"),
                 QString(),
                 QString(),
                 {modal("关于软件", "关于软件", "Tabout_form", "超市收银系统"), separator(),
                  modal("交班结算", "交班结算", "Tjbjs_form", "交班结算"), separator(), exit}};
    return m;
}

} // namespace

const QList<TopMenu>& menus()
{
    static const QList<TopMenu> m = buildMenus();
    return m;
}

const Item* findItem(const QString& formName)
{
    if (formName.isEmpty())
        return nullptr;
    for (const TopMenu& top : menus()) {
        for (const Item& item : top.items) {
            if (item.formName == formName)
                return &item;
        }
    }
    return nullptr;
}

const QList<Right>& rights()
{
    static const QList<Right> r = [] {
        QList<Right> list;
        for (const TopMenu& top : menus()) {
            if (!top.right.isEmpty())
                list << Right{top.right, top.name};
        }
        return list;
    }();
    return r;
}

bool Rights::load(DbConnection& db, const QString& userNumber, Ui& ui)
{
    m_disabled.clear();
    m_loaded = true;
    Query q(db);
    q.close();
    q.clear();
    q.add(QStringLiteral("select * from usermenu where yhbh=:YHBH"));
    q.bind(QStringLiteral("YHBH"), userNumber);
    const bool ok = q.open();
    if (!ok) {
        // Rights that cannot be read grant nothing.
        ui.showError(q.lastError());
    }
    for (const Right& r : rights()) {
        // No row, an empty value or 0 all read as 0.
        const int value = ok && q.recordCount() > 0 ? q.integer(r.column) : 0;
        if (value == 0)
            m_disabled << r.menu;
    }
    return ok;
}

bool Rights::enabled(const QString& menuName) const
{
    return !m_disabled.contains(menuName);
}

bool mayOpen(const Item& item, int openChildScreens, Ui& ui)
{
    if (!item.oneScreenRule || openChildScreens <= 0)
        return true;
    ui.messageBox(QStringLiteral("系统提示"), QStringLiteral("请关闭请它窗口"), Ui::Icon::Warning);
    return false;
}

bool confirmExit(Ui& ui)
{
    return ui.confirm(QStringLiteral("退出系统"), QStringLiteral("真的要退出本系统吗？"), Ui::Icon::Question);
}

QString makerPanelText()
{
    return QStringLiteral("翠湖软件");
}

QString userPanelText(const QString& userName)
{
    return QStringLiteral("当前登录用户:") + userName;
}

} // namespace MainMenu
