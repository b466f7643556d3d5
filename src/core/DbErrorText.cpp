#include "core/DbErrorText.h"

#include <QHash>
#include <QRegularExpression>

namespace DbErrorText {

namespace {

const QString kNotSaved = QStringLiteral("本次操作没有保存");

// The columns as the screens label them; a column typed by a person needs a name the person
// knows when the engine refuses its value.
const QHash<QString, QString>& captions()
{
    static const QHash<QString, QString> names{
        {QStringLiteral("spbh"), QStringLiteral("商品编号")},
        {QStringLiteral("spmc"), QStringLiteral("商品名称")},
        {QStringLiteral("spxh"), QStringLiteral("型号")},
        {QStringLiteral("spgg"), QStringLiteral("规格")},
        {QStringLiteral("splb"), QStringLiteral("类别")},
        {QStringLiteral("spjl"), QStringLiteral("计量单位")},
        {QStringLiteral("tiaoma"), QStringLiteral("条形码")},
        {QStringLiteral("pinma"), QStringLiteral("拼音码")},
        {QStringLiteral("wbma"), QStringLiteral("五笔码")},
        {QStringLiteral("changjia"), QStringLiteral("生产厂家")},
        {QStringLiteral("jinjia"), QStringLiteral("进价")},
        {QStringLiteral("sale1"), QStringLiteral("售价")},
        {QStringLiteral("sale2"), QStringLiteral("会员价")},
        {QStringLiteral("sale3"), QStringLiteral("批发价")},
        {QStringLiteral("kucun1"), QStringLiteral("库存上限")},
        {QStringLiteral("kucun2"), QStringLiteral("库存下限")},
        {QStringLiteral("beizhu"), QStringLiteral("备注")},
        {QStringLiteral("qita"), QStringLiteral("其他")},
        {QStringLiteral("bz"), QStringLiteral("备注")},
        {QStringLiteral("djbh"), QStringLiteral("单据编号")},
        {QStringLiteral("rq"), QStringLiteral("日期")},
        {QStringLiteral("sj"), QStringLiteral("时间")},
        {QStringLiteral("sl"), QStringLiteral("数量")},
        {QStringLiteral("jine"), QStringLiteral("金额")},
        {QStringLiteral("zhekou"), QStringLiteral("折扣")},
        {QStringLiteral("zhekouje"), QStringLiteral("折扣后金额")},
        {QStringLiteral("hjje"), QStringLiteral("合计金额")},
        {QStringLiteral("hjsl"), QStringLiteral("合计数量")},
        {QStringLiteral("lkje"), QStringLiteral("收款金额")},
        {QStringLiteral("zhaoje"), QStringLiteral("找还金额")},
        {QStringLiteral("fkfs"), QStringLiteral("付款方式")},
        {QStringLiteral("xm"), QStringLiteral("操作员")},
        {QStringLiteral("czy"), QStringLiteral("操作员")},
        {QStringLiteral("zdy"), QStringLiteral("制单员")},
        {QStringLiteral("khmc"), QStringLiteral("客户")},
        {QStringLiteral("ckmc"), QStringLiteral("仓库名称")},
        {QStringLiteral("ckbh"), QStringLiteral("仓库编号")},
        {QStringLiteral("ckdz"), QStringLiteral("仓库地址")},
        {QStringLiteral("fzr"), QStringLiteral("负责人")},
        {QStringLiteral("gysbh"), QStringLiteral("供应商编号")},
        {QStringLiteral("gysmc"), QStringLiteral("供应商名称")},
        {QStringLiteral("gys"), QStringLiteral("供应商")},
        {QStringLiteral("lbbh"), QStringLiteral("类别编号")},
        {QStringLiteral("lbmc"), QStringLiteral("类别名称")},
        {QStringLiteral("jlbh"), QStringLiteral("单位编号")},
        {QStringLiteral("jlmc"), QStringLiteral("单位名称")},
        {QStringLiteral("hykh"), QStringLiteral("会员卡号")},
        {QStringLiteral("hyxm"), QStringLiteral("会员姓名")},
        {QStringLiteral("xb"), QStringLiteral("性别")},
        {QStringLiteral("sjhao"), QStringLiteral("手机号")},
        {QStringLiteral("sfzhao"), QStringLiteral("身份证号")},
        {QStringLiteral("dz"), QStringLiteral("地址")},
        {QStringLiteral("js"), QStringLiteral("积分基数")},
        {QStringLiteral("yhbh"), QStringLiteral("用户编号")},
        {QStringLiteral("yhmc"), QStringLiteral("用户名称")},
        {QStringLiteral("yhma"), QStringLiteral("密码")},
        {QStringLiteral("gsmc"), QStringLiteral("公司名称")},
        {QStringLiteral("gsdz"), QStringLiteral("公司地址")},
        {QStringLiteral("gsdh"), QStringLiteral("公司电话")},
        {QStringLiteral("neirong"), QStringLiteral("内容")},
        {QStringLiteral("shuoming"), QStringLiteral("说明")},
        {QStringLiteral("je"), QStringLiteral("金额")},
    };
    return names;
}

QString withEngineText(const QString& message, const QString& engineText)
{
    return message + QLatin1Char('\n') + engineText;
}

struct Fixed {
    const char* engine; // the start of the engine's message
    const char* person;
};

// SQLite's messages for its result codes, as sqlite3_errmsg gives them.
const Fixed kFixed[] = {
    {"database or disk is full", "磁盘已满，本次操作没有保存"},
    {"disk I/O error", "读写磁盘时出错，本次操作没有保存"},
    {"attempt to write a readonly database", "数据库文件是只读的，不能写入，本次操作没有保存"},
    {"unable to open database file", "无法打开数据库文件，本次操作没有保存"},
    {"database is locked", "数据库正被另一个程序使用，本次操作没有保存，请稍后再试"},
    {"database table is locked", "数据库正被另一个程序使用，本次操作没有保存，请稍后再试"},
    {"database disk image is malformed", "数据库文件已经损坏，本次操作没有保存，请用备份恢复"},
    {"file is not a database", "数据库文件不是本系统能读的数据库，本次操作没有保存"},
    {"out of memory", "内存不足，本次操作没有保存"},
    {"interrupted", "操作被中断，本次操作没有保存"},
};

} // namespace

QString columnCaption(const QString& column)
{
    return captions().value(column.toLower(), column);
}

QString forPerson(const QString& engineText)
{
    const QString text = engineText.trimmed();
    if (text.isEmpty() || text.contains(kNotSaved))
        return engineText;
    for (const Fixed& f : kFixed) {
        if (text.startsWith(QLatin1String(f.engine), Qt::CaseInsensitive))
            return withEngineText(QString::fromUtf8(f.person), text);
    }

    // Text columns carry CHECK(length(col) <= n).
    static const QRegularExpression tooLong(QStringLiteral(R"(^CHECK constraint failed: length\((\w+)\)\s*<=\s*(\d+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch m = tooLong.match(text);
    if (m.hasMatch()) {
        return withEngineText(
            QStringLiteral("“%1”太长，最多%2个字，本次操作没有保存").arg(columnCaption(m.captured(1)), m.captured(2)),
            text);
    }
    // Whole-number columns carry CHECK(col BETWEEN low AND high).
    static const QRegularExpression outOfRange(
        QStringLiteral(R"(^CHECK constraint failed: (\w+) BETWEEN (-?\d+) AND (-?\d+))"),
        QRegularExpression::CaseInsensitiveOption);
    m = outOfRange.match(text);
    if (m.hasMatch()) {
        return withEngineText(QStringLiteral("“%1”超出范围（%2 到 %3），本次操作没有保存")
                                  .arg(columnCaption(m.captured(1)), m.captured(2), m.captured(3)),
                              text);
    }
    // Tables are strict: a value of the wrong kind is refused by its column.
    static const QRegularExpression wrongType(
        QStringLiteral(R"(^cannot store (\w+) value in (\w+) column (?:\w+\.)?(\w+))"),
        QRegularExpression::CaseInsensitiveOption);
    m = wrongType.match(text);
    if (m.hasMatch()) {
        const bool whole = m.captured(2).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        return withEngineText(
            QStringLiteral("“%1”必须是%2，本次操作没有保存")
                .arg(columnCaption(m.captured(3)), whole ? QStringLiteral("整数") : QStringLiteral("数字")),
            text);
    }
    static const QRegularExpression unique(QStringLiteral(R"(^UNIQUE constraint failed: (?:\w+\.)?(\w+))"),
                                           QRegularExpression::CaseInsensitiveOption);
    m = unique.match(text);
    if (m.hasMatch()) {
        return withEngineText(QStringLiteral("“%1”已经存在，本次操作没有保存").arg(columnCaption(m.captured(1))), text);
    }
    static const QRegularExpression notNull(QStringLiteral(R"(^NOT NULL constraint failed: (?:\w+\.)?(\w+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    m = notNull.match(text);
    if (m.hasMatch()) {
        return withEngineText(QStringLiteral("“%1”不能为空，本次操作没有保存").arg(columnCaption(m.captured(1))), text);
    }
    if (text.startsWith(QLatin1String("CHECK constraint failed"), Qt::CaseInsensitive))
        return withEngineText(QStringLiteral("数据不符合要求，本次操作没有保存"), text);
    static const QRegularExpression noTable(QStringLiteral(R"(^no such table: (?:\w+\.)?(\w+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    m = noTable.match(text);
    if (m.hasMatch())
        return withEngineText(QStringLiteral("数据库中缺少数据表 %1，本次操作没有保存").arg(m.captured(1)), text);
    static const QRegularExpression noColumn(QStringLiteral(R"(^no such column: (?:\w+\.)?(\w+))"),
                                             QRegularExpression::CaseInsensitiveOption);
    m = noColumn.match(text);
    if (m.hasMatch())
        return withEngineText(QStringLiteral("数据库中缺少字段 %1，本次操作没有保存").arg(m.captured(1)), text);
    return engineText;
}

} // namespace DbErrorText
