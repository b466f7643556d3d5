#include "masterdata/CodeTables.h"

#include "core/DbConnection.h"
#include "core/Ui.h"

namespace {

using Format = GridColumn::Format;

FormField entry(const QString& name, const QString& label, const QString& column = QString(), bool readOnly = false,
                const QString& hint = QString())
{
    FormField f;
    f.name = name;
    f.label = label;
    f.column = column;
    f.readOnly = readOnly;
    f.hint = hint;
    return f;
}

CodeTableKind makeKind(const QString& table, const QString& code, const QString& name, int length)
{
    CodeTableKind k;
    k.table = table;
    k.nameField = name;
    k.codeLength = length;
    const QString order = QStringLiteral("select * from %1 order by %2").arg(table, code);
    k.list.query = order;
    k.list.keyField = code;
    k.list.deleteSql = QStringLiteral("delete from %1 where %2=:%3").arg(table, code, code.toUpper());
    k.record.keyField = code;
    k.record.browseQuery = order;
    k.duplicateSql = QStringLiteral("select * from %1 where %2=:%3").arg(table, code, code.toUpper());
    k.record.insertSql =
        QStringLiteral("insert into %1(%2,%3) values(:%4,:%5)").arg(table, code, name, code.toUpper(), name.toUpper());
    k.record.updateSql =
        QStringLiteral("update %1 set %3=:%5 where %2=:%4").arg(table, code, name, code.toUpper(), name.toUpper());
    k.record.editEnterWraps = true;
    return k;
}

} // namespace

const CodeTableKind& CodeTableKind::categories()
{
    static const CodeTableKind kind = [] {
        CodeTableKind k = makeKind(QStringLiteral("splb"), QStringLiteral("lbbh"), QStringLiteral("lbmc"), 2);
        k.list.formName = QStringLiteral("Tsplb_form");
        k.list.caption = QStringLiteral("商品类别管理");
        k.list.columns = {{QStringLiteral("lbbh"), QStringLiteral("类别编码"), 120},
                          {QStringLiteral("lbmc"), QStringLiteral("类别名称"), 240}};
        k.list.reportFile = QStringLiteral("splb.rav");
        k.list.reportConnection = QStringLiteral("splbRvDataSetConnection1");
        k.list.reportTitle = QStringLiteral("商品类别打印");
        k.list.reportSetupTitle = QStringLiteral("商品类别打印设置");
        k.record.addForm = QStringLiteral("Tlbxz_form");
        k.record.addCaption = QStringLiteral("商品类别新增");
        k.record.addFields = {entry(QStringLiteral("lbbh"), QStringLiteral("类别编号"), {}, false,
                                    QStringLiteral("(格式：**)")),
                              entry(QStringLiteral("lbmc"), QStringLiteral("类别名称"))};
        k.record.editForm = QStringLiteral("Tsplbxg_form");
        k.record.editCaption = QStringLiteral("商品类别管理");
        k.record.editFields = {entry(QStringLiteral("xglbbh"), QStringLiteral("类别编号"), QStringLiteral("lbbh"), true),
                               entry(QStringLiteral("xglbmc"), QStringLiteral("类别名称"), QStringLiteral("lbmc"))};
        k.digitMessage = QStringLiteral("编码不是数字,请重新输入");
        return k;
    }();
    return kind;
}

const CodeTableKind& CodeTableKind::units()
{
    static const CodeTableKind kind = [] {
        CodeTableKind k = makeKind(QStringLiteral("spjl"), QStringLiteral("jlbh"), QStringLiteral("jlmc"), 2);
        k.list.formName = QStringLiteral("Tspjl_form");
        k.list.caption = QStringLiteral("商品计量单位管理");
        k.list.columns = {{QStringLiteral("jlbh"), QStringLiteral("计量编号"), 120},
                          {QStringLiteral("jlmc"), QStringLiteral("计量名称"), 240}};
        k.record.addForm = QStringLiteral("Tjlxz_form");
        k.record.addCaption = QStringLiteral("商品计量单位新增");
        k.record.addFields = {entry(QStringLiteral("jlbh"), QStringLiteral("计量编号"), {}, false,
                                    QStringLiteral("(格式：**)")),
                              entry(QStringLiteral("jlmc"), QStringLiteral("计量名称"))};
        k.record.editForm = QStringLiteral("Tspjlxg_form");
        k.record.editCaption = QStringLiteral("商品计量单位管理");
        k.record.editFields = {entry(QStringLiteral("xgjlbh"), QStringLiteral("计量编号"), QStringLiteral("jlbh"), true),
                               entry(QStringLiteral("xgjlmc"), QStringLiteral("计量名称"), QStringLiteral("jlmc"))};
        k.digitMessage = QStringLiteral("编码不是数字,重新输入");
        return k;
    }();
    return kind;
}

const CodeTableKind& CodeTableKind::suppliers()
{
    static const CodeTableKind kind = [] {
        CodeTableKind k = makeKind(QStringLiteral("gysxx"), QStringLiteral("gysbh"), QStringLiteral("gysmc"), 3);
        k.list.formName = QStringLiteral("Tgysxx_form");
        k.list.caption = QStringLiteral("供应商管理");
        k.list.columns = {{QStringLiteral("gysbh"), QStringLiteral("供应商编号"), 120},
                          {QStringLiteral("gysmc"), QStringLiteral("供应商名称"), 360}};
        k.record.addForm = QStringLiteral("Tgysxz_form");
        k.record.addCaption = QStringLiteral("供应商新增");
        k.record.addFields = {entry(QStringLiteral("gysbh"), QStringLiteral("供应商编号"), {}, false,
                                    QStringLiteral("(格式：***)")),
                              entry(QStringLiteral("gysmc"), QStringLiteral("供应商名称"))};
        k.record.editForm = QStringLiteral("Tgysxg_form");
        k.record.editCaption = QStringLiteral("供应商信息管理");
        k.record.editFields = {
            entry(QStringLiteral("xggysbh"), QStringLiteral("供应商编号"), QStringLiteral("gysbh"), true),
            entry(QStringLiteral("xggysmc"), QStringLiteral("供应商名称"), QStringLiteral("gysmc"))};
        k.digitMessage = QStringLiteral("编码不是数字,请重新输入");
        return k;
    }();
    return kind;
}

const CodeTableKind& CodeTableKind::warehouses()
{
    static const CodeTableKind kind = [] {
        CodeTableKind k = makeKind(QStringLiteral("ckinfo"), QStringLiteral("ckbh"), QStringLiteral("ckmc"), 2);
        k.list.formName = QStringLiteral("Tspck_form");
        k.list.caption = QStringLiteral("仓库管理");
        k.list.columns = {{QStringLiteral("ckbh"), QStringLiteral("仓库编号"), 100},
                          {QStringLiteral("ckmc"), QStringLiteral("仓库名称"), 200},
                          {QStringLiteral("ckdz"), QStringLiteral("仓库地址"), 280},
                          {QStringLiteral("fzr"), QStringLiteral("负责人"), 120}};
        k.record.insertSql = QStringLiteral("insert into ckinfo(ckbh,ckmc,ckdz,fzr) values(:CKBH,:CKMC,:CKDZ,:FZR)");
        k.record.updateSql = QStringLiteral("update ckinfo set ckmc=:CKMC,ckdz=:CKDZ,fzr=:FZR where ckbh=:CKBH");
        k.record.addForm = QStringLiteral("Tckxz_form");
        k.record.addCaption = QStringLiteral("仓库新增");
        k.record.addFields = {
            entry(QStringLiteral("ckbh"), QStringLiteral("仓库编号"), {}, false, QStringLiteral("(格式：**)")),
            entry(QStringLiteral("ckmc"), QStringLiteral("仓库名称")), entry(QStringLiteral("ckdz"), QStringLiteral("仓库地址")),
            entry(QStringLiteral("fzr"), QStringLiteral("仓库负责人"))};
        k.record.editForm = QStringLiteral("Tckxg_form");
        k.record.editCaption = QStringLiteral("仓库管理");
        k.record.editFields = {entry(QStringLiteral("ckbh"), QStringLiteral("仓库编号"), {}, true),
                               entry(QStringLiteral("ckmc"), QStringLiteral("仓库名称")),
                               entry(QStringLiteral("ckdz"), QStringLiteral("仓库地址")),
                               entry(QStringLiteral("fzr"), QStringLiteral("负责人"))};
        // 保存 waits for a change; Enter in the last entry presses it, or goes back to the code.
        k.record.saveNeedsChange = true;
        k.digitMessage = QStringLiteral("编码不是数字请重新输入");
        k.nameRequiredMessage = QStringLiteral("仓库名称不能为空，请重新输入");
        k.focusCodeAfterFailedInsert = true;
        return k;
    }();
    return kind;
}

QList<const CodeTableKind*> CodeTableKind::all()
{
    return {&categories(), &units(), &suppliers(), &warehouses()};
}

CodeTableForm::CodeTableForm(const CodeTableKind& kind, Mode mode, Ui& ui)
    : RecordForm(kind.record, mode, ui), m_table(kind)
{
}

void CodeTableForm::enterPressed(const QString& field)
{
    // Enter in the code of the add dialog also lets 确认 be pressed once a code is there.
    if (mode() == Mode::Add && field == kind().keyField && !text(field).isEmpty())
        setEnabled(Confirm, true);
    RecordForm::enterPressed(field);
}

bool CodeTableForm::checkAdd()
{
    const QString codeField = kind().keyField;
    const QString code = text(codeField);
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            ui().showMessage(m_table.digitMessage);
            focus(codeField);
            return false;
        }
    }
    Query q(db());
    q.setSql(m_table.duplicateSql);
    q.bind(codeField, code);
    if (!q.open()) {
        dbError(q.lastError());
        return false;
    }
    if (!q.isEmpty()) {
        ui().showMessage(QStringLiteral("编号重复，请重新输入"));
        focus(codeField);
        return false;
    }
    if (code.isEmpty() || code.size() != m_table.codeLength) {
        ui().showMessage(QStringLiteral("格式错误或数据不完整，请重新输入"));
        focus(codeField);
        return false;
    }
    if (!m_table.nameRequiredMessage.isEmpty() && text(m_table.nameField).isEmpty()) {
        ui().showMessage(m_table.nameRequiredMessage);
        focus(m_table.nameField);
        return false;
    }
    return true;
}

bool CodeTableForm::writeAdd()
{
    if (RecordForm::writeAdd())
        return true;
    if (m_table.focusCodeAfterFailedInsert)
        focus(kind().keyField);
    return false;
}
