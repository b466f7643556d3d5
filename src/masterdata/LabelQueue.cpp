#include "masterdata/LabelQueue.h"

#include "core/DbConnection.h"
#include "core/TextUtil.h"
#include "core/Ui.h"

#include <QRegularExpression>

const QString LabelQueue::Number = QStringLiteral("spbh");
const QString LabelQueue::Quantity = QStringLiteral("sl");

namespace {

// A label carries the product's name, model, specification, category, unit and both prices
// beside its number and barcode, all taken from the product as it is now.
const QString kInsertHead = QStringLiteral("insert into spinfotm (spbh,spmc,spxh,spgg,splb,spjl,sale1,sale2,tiaoma)");
const QString kSelect = QStringLiteral(" select spbh,spmc,spxh,spgg,splb,spjl,sale1,sale2,tiaoma from  spinfo where");

// The typed start of a number as a like pattern; its own % and _ are taken literally.
QString prefixPattern(const QString& prefix)
{
    QString escaped;
    for (const QChar c : prefix) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped + QLatin1Char('%');
}

} // namespace

const ListKind& LabelQueue::listKind()
{
    static const ListKind kind = [] {
        ListKind k;
        k.formName = QStringLiteral("Tsptm_form");
        k.caption = QStringLiteral("商品条码");
        // Identical labels of one product differ only in their row id, which names the one row
        // 删除数据 removes.
        k.query = QStringLiteral("select rowid as tmid, * from spinfotm order by spbh, tmid");
        k.keyField = QStringLiteral("tmid");
        k.columns = {
            {QStringLiteral("spbh"), QStringLiteral("商品编号"), 100},
            {QStringLiteral("spmc"), QStringLiteral("商品名称"), 180},
            {QStringLiteral("spxh"), QStringLiteral("商品型号"), 90},
            {QStringLiteral("spgg"), QStringLiteral("规格"), 90},
            {QStringLiteral("splb"), QStringLiteral("类别"), 90},
            {QStringLiteral("spjl"), QStringLiteral("计量"), 60},
            {QStringLiteral("sale1"), QStringLiteral("售价"), 80, GridColumn::Format::Money},
            {QStringLiteral("sale2"), QStringLiteral("sale2"), 80, GridColumn::Format::Money},
            {QStringLiteral("tiaoma"), QStringLiteral("tiaoma"), 130},
        };
        k.deleteSql = QStringLiteral("delete from spinfotm where rowid=:TMID");
        k.reportConnection = QStringLiteral("RvDataSetConnection1");
        k.reportTitle = QStringLiteral("商品标签打印");
        return k;
    }();
    return kind;
}

LabelQueue::LabelQueue(Ui& ui) : RecordList(listKind(), ui)
{
    setText(Quantity, QStringLiteral("1"));
    setEnterOrder({Number, Quantity}, [this] { addByNumber(); });
    focus(Number);
}

bool LabelQueue::addByNumber()
{
    if (text(Quantity).trimmed().isEmpty())
        setText(Quantity, QStringLiteral("1"));
    const QString typed = text(Quantity).trimmed();
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    if (!whole.match(typed).hasMatch()) {
        ui().showMessage(QStringLiteral("数量“%1”不是整数，请重新输入").arg(typed));
        focus(Quantity, true);
        return false;
    }
    bool ok = false;
    const qlonglong count = typed.toLongLong(&ok);
    if (!ok || count < 0 || count > kMaxLabels) {
        ui().showMessage(QStringLiteral("数量“%1”超出范围（0 至 %2 条），请重新输入").arg(typed).arg(kMaxLabels));
        focus(Quantity, true);
        return false;
    }
    const QString number = text(Number);
    QString error;
    const bool written = write(
        [&](QString* failure) {
            Query q(db());
            for (qlonglong i = 0; i < count; ++i) {
                q.clear();
                q.add(kInsertHead);
                q.add(kSelect);
                q.add(QStringLiteral(" spbh=:SPBH"));
                q.bind(QStringLiteral("SPBH"), number);
                if (!execute(q, failure))
                    return false;
                // A number that is no product's adds nothing, however many were asked for.
                if (q.rowsAffected() == 0)
                    break;
            }
            return true;
        },
        &error);
    if (!written) {
        dbError(error);
        return false;
    }
    reload();
    focus(Number, true);
    return true;
}

bool LabelQueue::addByPrefix()
{
    PromptSpec spec;
    spec.formName = QStringLiteral("InputBox");
    spec.caption = QStringLiteral("系统提示");
    spec.question = QStringLiteral("请输入商品编号 ");
    spec.defaultText = QStringLiteral("0");
    spec.fieldName = QStringLiteral("Edit1");
    QString answer = spec.defaultText;
    ui().prompt(spec, answer);
    // Cancelling the input box answers its default text.
    if (answer == QLatin1String("~"))
        answer = spec.defaultText;
    if (TextUtil::gbkLength(answer) < 2) {
        ui().showMessage(QStringLiteral("输入的条件不正确，请重新输入"));
        return false;
    }
    Query q(db());
    q.add(kInsertHead);
    q.add(kSelect);
    q.add(QStringLiteral(" spbh like :SPBH escape '\\' order by spbh"));
    q.bind(QStringLiteral("SPBH"), prefixPattern(answer));
    if (!q.execute()) {
        dbError(q.lastError());
        return false;
    }
    reload();
    return true;
}

bool LabelQueue::removeCurrent()
{
    if (!hasRows())
        return false;
    const int keep = current();
    if (!deleteRecord(currentKey()))
        return false;
    reload();
    setCurrent(keep);
    return true;
}

bool LabelQueue::clearAll()
{
    if (!ask(QStringLiteral("确实要清空记录吗?")))
        return false;
    Query q(db());
    q.setSql(QStringLiteral("delete  from spinfotm"));
    if (!q.execute()) {
        dbError(q.lastError());
        return false;
    }
    ui().showMessage(QStringLiteral("删除成功"));
    reload();
    return true;
}
