#include "admin/UserScreens.h"

#include "admin/Users.h"
#include "core/Ui.h"

namespace UserScreens {

namespace {

FormField field(const QString& name, const QString& label, const QString& column,
                FormField::Kind kind = FormField::Kind::Line)
{
    FormField f;
    f.name = name;
    f.label = label;
    f.column = column;
    f.kind = kind;
    if (kind == FormField::Kind::Check)
        f.start = QStringLiteral("0");
    return f;
}

} // namespace

const ListKind& listKind()
{
    static const ListKind kind = [] {
        ListKind k;
        k.formName = QStringLiteral("Tuser_form");
        k.caption = QStringLiteral("用户信息管理");
        // The list never reads the passwords.
        k.query = QStringLiteral("select yhbh,yhmc,'%1' as yhma,admin from userlogin order by yhbh")
                      .arg(Users::maskedPassword());
        k.keyField = QStringLiteral("yhbh");
        k.columns = {
            {QStringLiteral("yhbh"), QStringLiteral("用户编号"), 120},
            {QStringLiteral("yhmc"), QStringLiteral("用户名"), 200},
            {QStringLiteral("yhma"), QStringLiteral("用户密码"), 140},
            {QStringLiteral("admin"), QStringLiteral("是否管理员"), 120, GridColumn::Format::Text, Qt::AlignCenter}};
        return k;
    }();
    return kind;
}

const RecordKind& recordKind()
{
    static const RecordKind kind = [] {
        RecordKind k;
        k.keyField = QStringLiteral("yhbh");
        k.browseQuery = QStringLiteral("select * from userlogin order by yhbh");
        k.addForm = QStringLiteral("Tuserxz_form");
        k.addCaption = QStringLiteral("用户新增");
        FormField number = field(QStringLiteral("yhbh"), QStringLiteral("用户编号"), QString());
        number.hint = QStringLiteral("(格式：***)");
        k.addFields = {
            number, field(QStringLiteral("yhmc"), QStringLiteral("用户名称"), QString()),
            field(QStringLiteral("yhma"), QStringLiteral("用户密码"), QString(), FormField::Kind::Password),
            field(QStringLiteral("gly"), QStringLiteral("是管理员"), QStringLiteral("admin"), FormField::Kind::Check)};
        k.editForm = QStringLiteral("Tuserxg_form");
        k.editCaption = QStringLiteral("用户信息修改");
        FormField shown = field(QStringLiteral("yhbh"), QStringLiteral("用户编号"), QString());
        shown.readOnly = true;
        k.editFields = {
            shown, field(QStringLiteral("yhmc"), QStringLiteral("用户名称"), QString()),
            field(QStringLiteral("yhma"), QStringLiteral("用户密码"), QString(), FormField::Kind::Password),
            field(QStringLiteral("gly2"), QStringLiteral("是管理员"), QStringLiteral("admin"), FormField::Kind::Check)};
        k.saveNeedsChange = true;
        k.editEnterWraps = true;
        return k;
    }();
    return kind;
}

} // namespace UserScreens

namespace {

Users::User userOf(const FormState& form, const QString& number, const QString& name, const QString& password,
                   const QString& admin)
{
    return {form.text(number), form.text(name), form.text(password), form.text(admin) == QLatin1String("1")};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// UserList

UserList::UserList(Ui& ui) : RecordList(UserScreens::listKind(), ui) {}

bool UserList::removeCurrent()
{
    if (!hasRows())
        return false;
    bool deleted = false;
    Users::remove(db(), ui(), currentKey(), &deleted);
    if (!deleted)
        return false;
    const int keep = current();
    if (!reload())
        return false;
    setCurrent(keep);
    return true;
}

// ---------------------------------------------------------------------------------------------
// UserForm

UserForm::UserForm(Mode mode, Ui& ui) : RecordForm(UserScreens::recordKind(), mode, ui) {}

UserForm::Names UserForm::names() const
{
    const bool add = mode() == Mode::Add;
    return {QStringLiteral("yhbh"), QStringLiteral("yhmc"), QStringLiteral("yhma"),
            add ? QStringLiteral("gly") : QStringLiteral("gly2")};
}

void UserForm::enterPressed(const QString& field)
{
    const Names n = names();
    if (mode() == Mode::Add) {
        if (field == n.number && !text(field).isEmpty())
            setEnabled(Confirm, true);
        if (field == n.password) {
            if (isEnabled(Confirm))
                confirm();
            return;
        }
    } else if (field == n.password) {
        if (isEnabled(Save))
            save();
        else
            focus(n.number);
        return;
    }
    RecordForm::enterPressed(field);
}

bool UserForm::checkAdd()
{
    const Names n = names();
    QString at;
    if (Users::checkNew(db(), ui(), userOf(*this, n.number, n.name, n.password, n.admin), &at)) {
        return true;
    }
    if (!at.isEmpty())
        focus(at);
    return false;
}

bool UserForm::writeAdd()
{
    const Names n = names();
    QString error;
    if (Users::insert(db(), userOf(*this, n.number, n.name, n.password, n.admin), &error))
        return true;
    saveFailed(error);
    focus(n.number);
    return false;
}

bool UserForm::checkEdit()
{
    const Names n = names();
    return Users::checkEdited(ui(), userOf(*this, n.number, n.name, n.password, n.admin));
}

bool UserForm::writeEdit()
{
    const Names n = names();
    Users::User user = userOf(*this, n.number, n.name, n.password, n.admin);
    // The row's number as stored, whatever the entry shows.
    user.number = currentKey();
    QString error;
    if (Users::update(db(), user, &error))
        return true;
    saveFailed(error);
    return false;
}

// ---------------------------------------------------------------------------------------------
// RightsForm

const QString RightsForm::SrcList = QStringLiteral("SrcList");
const QString RightsForm::DstList = QStringLiteral("DstList");
const QString RightsForm::IncludeBtn = QStringLiteral("IncludeBtn");
const QString RightsForm::IncAllBtn = QStringLiteral("IncAllBtn");
const QString RightsForm::ExcludeBtn = QStringLiteral("ExcludeBtn");
const QString RightsForm::ExAllBtn = QStringLiteral("ExAllBtn");
const QString RightsForm::OkBtn = QStringLiteral("OKBtn");
const QString RightsForm::CancelBtn = QStringLiteral("CancelBtn");

RightsForm::RightsForm(const QString& userNumber, Ui& ui) : FormState(ui), m_number(userNumber) {}

bool RightsForm::create()
{
    if (!openConnection())
        return false;
    QStringList granted;
    if (!Users::loadRights(db(), ui(), m_number, &m_name, &granted))
        return false;
    m_lists.reset(granted);
    updateButtons();
    focus(SrcList);
    return true;
}

void RightsForm::updateButtons()
{
    setEnabled(IncludeBtn, m_lists.canGrant());
    setEnabled(IncAllBtn, m_lists.canGrant());
    setEnabled(ExcludeBtn, m_lists.canRevoke());
    setEnabled(ExAllBtn, m_lists.canRevoke());
}

void RightsForm::include(const QList<int>& rows)
{
    m_lists.moveSelected(RightsLists::Side::All, rows);
    updateButtons();
    focus(SrcList);
}

void RightsForm::includeAll()
{
    m_lists.moveAll(RightsLists::Side::All);
    updateButtons();
    focus(SrcList);
}

void RightsForm::exclude(const QList<int>& rows)
{
    m_lists.moveSelected(RightsLists::Side::Usable, rows);
    updateButtons();
    focus(DstList);
}

void RightsForm::excludeAll()
{
    m_lists.moveAll(RightsLists::Side::Usable);
    updateButtons();
    focus(DstList);
}

bool RightsForm::confirm()
{
    return Users::saveRights(db(), ui(), m_number, m_lists.usable()) == Users::Outcome::Done;
}
