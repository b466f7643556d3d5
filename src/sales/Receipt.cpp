#include "sales/Receipt.h"

#include "core/DbConnection.h"
#include "core/ProgramFolder.h"
#include "core/TextUtil.h"
#include "sales/SaleKind.h"

#include <QSaveFile>

namespace {

const QByteArray kRule(36, '-');

// Control characters in a product name or a shop name would reach the printer as commands
// (ESC sequences) or break a line in two; they print as blanks.
QByteArray gbk(const QString& text)
{
    QString clean = text;
    for (QChar& c : clean) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return TextUtil::toGbk(clean);
}

bool isLeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xfe;
}

// The first `width` bytes of a GBK text. Where the cut falls inside a Chinese character its
// stray first byte becomes a blank, so the printer never gets half a character (which would
// swallow the next byte and shift the rest of the line).
QByteArray leftBytes(const QByteArray& text, int width)
{
    if (text.size() <= width)
        return text;
    QByteArray out = text.left(width);
    int i = 0;
    while (i < width) {
        if (isLeadByte(text[i])) {
            if (i + 1 >= width) {
                out[i] = ' ';
                break;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

// Right-aligned in `width` bytes; a wider text is written whole.
QByteArray rightAligned(const QByteArray& text, int width)
{
    if (text.size() >= width)
        return text;
    return QByteArray(width - text.size(), ' ') + text;
}

// Padded with blanks on the right to `width` bytes; a wider text is written whole.
QByteArray leftAligned(const QByteArray& text, int width)
{
    if (text.size() >= width)
        return text;
    return text + QByteArray(width - text.size(), ' ');
}

// The name takes 16 bytes. An odd byte length means a single-byte character among the
// Chinese ones, so the cut is made at 15 bytes and a blank added to keep characters whole.
QByteArray nameField(const QString& spmc)
{
    const QByteArray name = gbk(spmc);
    const bool odd = name.size() % 2 == 1;
    const QByteArray padded = leftAligned(name, 16);
    if (odd)
        return leftBytes(padded, 15) + ' ';
    return leftBytes(padded, 16);
}

QByteArray modelField(const QString& spxh)
{
    const QByteArray model = gbk(spxh.trimmed());
    if (model.size() <= 6)
        return rightAligned(model, 6);
    return leftBytes(model, 6);
}

QByteArray lineBytes(const ReceiptLine& line)
{
    QByteArray out = nameField(line.spmc);
    out += modelField(line.spxh);
    out += rightAligned(TextUtil::toGbk(TextUtil::shortestNumber(line.sl)), 2);
    out += ' ';
    out += rightAligned(TextUtil::toGbk(TextUtil::formatFixed(line.sale1, 1)), 6);
    out += ' ';
    out += rightAligned(TextUtil::toGbk(TextUtil::formatFixed(line.jine, 2)), 6);
    return out;
}

// Centred on a 32-byte line, as the title is.
QByteArray centred(const QByteArray& text)
{
    const int blanks = (32 - int(text.size())) / 2;
    return QByteArray(qMax(0, blanks), ' ') + text;
}

QByteArray titleLine(const ReceiptData& data)
{
    return centred(gbk(data.shopName) +
                   TextUtil::toGbk(data.refund ? QStringLiteral("退款清单") : QStringLiteral("购物清单")));
}

} // namespace

namespace Receipt {

QByteArray render(const ReceiptData& data)
{
    QList<QByteArray> lines;
    lines << titleLine(data);
    if (data.reprint)
        lines << centred(TextUtil::toGbk(QStringLiteral("重打")));
    lines << TextUtil::toGbk(QStringLiteral("收银员:")) + leftAligned(gbk(data.operatorName), 10) +
                 TextUtil::toGbk(QStringLiteral("单号:")) + gbk(data.voucherNumber);
    lines << TextUtil::toGbk(QStringLiteral("日期:")) + gbk(data.date) + TextUtil::toGbk(QStringLiteral("  时间:")) +
                 gbk(data.time);
    lines << kRule;
    lines << TextUtil::toGbk(QStringLiteral("商品名称        型号  数量 单价  金额"));
    for (const ReceiptLine& line : data.lines)
        lines << lineBytes(line);
    lines << kRule;
    lines << TextUtil::toGbk(QStringLiteral("合计:") + TextUtil::money(data.amountDue));
    lines << TextUtil::toGbk((data.refund ? QStringLiteral("付款:") : QStringLiteral("收款:")) +
                             TextUtil::money(data.tendered));
    lines << TextUtil::toGbk(QStringLiteral("找还:") + TextUtil::money(data.change));
    lines << TextUtil::toGbk(QStringLiteral("公司电话:")) + gbk(data.shopPhone);
    lines << TextUtil::toGbk(QStringLiteral("谢谢惠顾!"));
    lines << QByteArray(" ");

    QByteArray out;
    for (const QByteArray& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

QList<ReceiptLine> linesFrom(const Query& lines)
{
    QList<ReceiptLine> out;
    out.reserve(lines.recordCount());
    for (int row = 0; row < lines.recordCount(); ++row) {
        ReceiptLine line;
        line.spmc = lines.text(row, QStringLiteral("spmc"));
        line.spxh = lines.text(row, QStringLiteral("spxh"));
        line.sl = lines.number(row, QStringLiteral("sl"));
        line.sale1 = lines.number(row, QStringLiteral("sale1"));
        line.jine = lines.number(row, QStringLiteral("jine"));
        out << line;
    }
    return out;
}

bool load(DbConnection& db, const SaleKind& kind, const QString& number, ReceiptData* data, QString* error)
{
    Query q(db);
    q.setSql(QStringLiteral("select * from xtsz"));
    if (!q.open()) {
        *error = q.lastError();
        return false;
    }
    ReceiptData d;
    d.refund = kind.refundReceipt;
    d.shopName = q.text(QStringLiteral("gsmc"));
    d.shopPhone = q.text(QStringLiteral("gsdh"));

    q.setSql(QStringLiteral("select * from %1 where djbh=:DJBH").arg(kind.voucher.headerTable));
    q.bind(QStringLiteral("DJBH"), number);
    if (!q.open()) {
        *error = q.lastError();
        return false;
    }
    // Posting writes the amount tendered; a held header has none.
    if (!q.first() || q.value(QStringLiteral("lkje")).isNull()) {
        *error = QStringLiteral("单据%1还没有过账，没有小票").arg(number);
        return false;
    }
    d.operatorName = q.text(QStringLiteral("xm"));
    d.voucherNumber = q.text(QStringLiteral("djbh"));
    d.date = q.text(QStringLiteral("rq"));
    d.time = q.text(QStringLiteral("sj"));
    d.amountDue = q.number(QStringLiteral("hjje"));
    d.tendered = q.number(QStringLiteral("lkje"));
    d.change = q.number(QStringLiteral("zhaoje"));

    q.setSql(QStringLiteral("select * from %1 where djbh=:DJBH").arg(kind.lineTable));
    q.bind(QStringLiteral("DJBH"), number);
    if (!q.open()) {
        *error = q.lastError();
        return false;
    }
    d.lines = linesFrom(q);
    *data = d;
    return true;
}

QString billFile()
{
    return ProgramFolder::file(QStringLiteral("bill.txt"));
}

bool write(const ReceiptData& data, const QString& file, QString* error)
{
    // Written to a temporary file and renamed, so a failed write never leaves half a receipt.
    QSaveFile out(file);
    const QByteArray bytes = render(data);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        if (error)
            *error = QStringLiteral("收银小票文件写入错误: %1 (%2)").arg(file, out.errorString());
        return false;
    }
    return true;
}

} // namespace Receipt
