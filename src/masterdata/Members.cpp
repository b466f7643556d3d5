#include "masterdata/Members.h"

#include "core/DbConnection.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

namespace {

using Format = GridColumn::Format;

const QString kCard = QStringLiteral("hykh");
const QString kName = QStringLiteral("hyxm");
const QString kMobile = QStringLiteral("sjhao");

// The seven fields of both dialogs, with the widths of their columns.
struct MemberField {
    const char* name;
    const char* label;
    int width;
};
constexpr MemberField kFields[] = {
    {"hykh", "会员卡号", 18}, {"hyxm", "会员姓名", 12}, {"xb", "性  别", 2},  {"sfzhao", "身份证号码", 18},
    {"sjhao", "手机号", 11},  {"dz", "地   址", 20},    {"bz", "备  注", 50},
};

FormFields memberFields(bool edit)
{
    FormFields fields;
    for (const MemberField& m : kFields) {
        FormField f;
        f.name = QString::fromUtf8(m.name);
        f.label = QString::fromUtf8(m.label);
        if (f.name == QLatin1String("xb")) {
            f.kind = FormField::Kind::Choice;
            f.fixedChoices = {QStringLiteral("男"), QStringLiteral("女")};
        }
        // The card number names the row being edited; it never changes there.
        f.readOnly = edit && f.name == kCard;
        fields << f;
    }
    return fields;
}

} // namespace

namespace Members {

const ListKind& listKind()
{
    static const ListKind kind = [] {
        ListKind k;
        k.formName = QStringLiteral("Thyxx_form");
        k.caption = QStringLiteral("会员信息管理");
        k.query = QStringLiteral("select * from hyinfo order by hykh");
        k.keyField = kCard;
        k.columns = {{kCard, QStringLiteral("会员卡号"), 130},
                     {kName, QStringLiteral("会员姓名"), 100},
                     {QStringLiteral("xb"), QStringLiteral("性别"), 50},
                     {QStringLiteral("sfzhao"), QStringLiteral("身份证号码"), 170},
                     {kMobile, QStringLiteral("手机号"), 120},
                     {QStringLiteral("ljje"), QStringLiteral("累计金额"), 90, Format::Number},
                     {QStringLiteral("ljjf"), QStringLiteral("累计积分"), 90, Format::Number},
                     {QStringLiteral("yyjf"), QStringLiteral("已用积分"), 90, Format::Number},
                     {QStringLiteral("dz"), QStringLiteral("地址"), 200},
                     {QStringLiteral("bz"), QStringLiteral("备注"), 200}};
        k.filterFields = {kCard, kName, kMobile};
        k.filterHint = QStringLiteral("会员卡号、姓名或手机号");
        k.deleteSql = QStringLiteral("delete from hyinfo where hykh=:HYKH");
        return k;
    }();
    return kind;
}

const RecordKind& recordKind()
{
    static const RecordKind kind = [] {
        RecordKind k;
        k.keyField = kCard;
        k.browseQuery = QStringLiteral("select * from hyinfo order by hykh");
        k.insertSql = QStringLiteral("insert into hyinfo(hykh,hyxm,xb,sjhao,sfzhao,dz,bz)"
                                     " values(:HYKH,:HYXM,:XB,:SJHAO,:SFZHAO,:DZ,:BZ)");
        // The totals (ljje, ljjf, yyjf) belong to checkout and the points exchange.
        k.updateSql = QStringLiteral("update hyinfo set hyxm=:HYXM,xb=:XB,sjhao=:SJHAO,sfzhao=:SFZHAO,dz=:DZ,bz=:BZ"
                                     " where hykh=:HYKH");
        k.addForm = QStringLiteral("Thyxz_form");
        k.addCaption = QStringLiteral("会员信息新增");
        k.addFields = memberFields(false);
        k.editForm = QStringLiteral("Thyxg_form");
        k.editCaption = QStringLiteral("会员信息修改");
        k.editFields = memberFields(true);
        // Enter in 备注 presses 确认 when it may be pressed, else goes back to the card number;
        // on the edit dialog it always goes back.
        k.addEnterWraps = true;
        k.editEnterWraps = true;
        return k;
    }();
    return kind;
}

QString searchPrompt()
{
    return QStringLiteral("Txtts4_form");
}

} // namespace Members

MemberList::MemberList(Ui& ui) : RecordList(Members::listKind(), ui) {}

bool MemberList::search()
{
    const QString answer = prompt(Members::searchPrompt());
    if (answer == None)
        return false;
    // Measured as the till measures it: a mobile number is eleven digits, one byte each.
    const int length = TextUtil::gbkLength(answer);
    if (length <= 1) {
        ui().showMessage(QStringLiteral("输入的条件不正确，请重新输入"));
        return false;
    }
    // The first member in the list's order with that number, the whole value without regard
    // to letter case.
    const QString field = length == 11 ? kMobile : kCard;
    Query q(db());
    q.setSql(QStringLiteral("select hykh from hyinfo where %1=:VALUE collate nocase order by hykh").arg(field));
    q.bind(QStringLiteral("VALUE"), answer);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    // Said out loud: a clerk who saw nothing happen would take the row that stayed for the one
    // asked for, and exchange that member's points.
    if (q.isEmpty()) {
        ui().showMessage(QStringLiteral("查无此信息"));
        return false;
    }
    for (bool more = q.first(); more; more = q.next())
        if (moveToKey(q.text(kCard)))
            return true;
    ui().showMessage(QStringLiteral("该会员不在筛选后的列表中，请先清空筛选框"));
    return false;
}

MemberForm::MemberForm(Mode mode, Ui& ui) : RecordForm(Members::recordKind(), mode, ui) {}

bool MemberForm::checkAdd()
{
    if (text(kCard).isEmpty()) {
        ui().showMessage(QStringLiteral("会员卡号不能为空"));
        focus(kCard);
        return false;
    }
    Query q(db());
    q.setSql(QStringLiteral("select * from hyinfo where hykh=:HYKH"));
    q.bind(QStringLiteral("HYKH"), text(kCard));
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (!q.isEmpty()) {
        ui().showMessage(QStringLiteral("卡号重复，请重新输入"));
        focus(kCard);
        return false;
    }
    if (text(kName).isEmpty()) {
        ui().showMessage(QStringLiteral("会员姓名不能为空，请重新输入"));
        focus(kName);
        return false;
    }
    return checkLengths();
}

bool MemberForm::checkEdit()
{
    return checkLengths();
}

bool MemberForm::checkLengths()
{
    for (const MemberField& m : kFields) {
        const QString name = QString::fromUtf8(m.name);
        if (text(name).size() <= m.width)
            continue;
        QString label = QString::fromUtf8(m.label);
        label.remove(QLatin1Char(' '));
        ui().showMessage(QStringLiteral("%1“%2”太长，最多%3个字，请重新输入").arg(label, text(name)).arg(m.width));
        focus(name, true);
        return false;
    }
    return true;
}
