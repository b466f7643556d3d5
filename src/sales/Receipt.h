#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Query;

// One line of the receipt, copied from a sales (or refund) line row.
struct ReceiptLine {
    QString spmc;
    QString spxh;
    double sl = 0;
    double sale1 = 0;
    double jine = 0;
};

// Everything the receipt prints; the checkout fills it when a sale or refund is posted.
struct ReceiptData {
    bool refund = false; // "退款清单" and "付款:" instead of "购物清单" and "收款:"
    QString shopName;    // xtsz.gsmc
    QString shopPhone;   // xtsz.gsdh
    QString operatorName;
    QString voucherNumber;
    QString date;         // "yyyy-mm-dd"
    QString time;         // "hh:mm:ss" (the checkout passes Clock::timeText())
    double amountDue = 0; // hj
    double tendered = 0;  // sk
    double change = 0;    // zhao
    QList<ReceiptLine> lines;
};

// The receipt text "bill.txt": GBK bytes, fixed byte widths, every line ended by CR LF,
// because it goes to the receipt printer as it is.
namespace Receipt {

// The file's bytes: GBK, every line ends CR LF.
QByteArray render(const ReceiptData& data);
// Rows of "select * from xiaoshoudrecord[th] where djbh=:DJBH", in the order returned.
QList<ReceiptLine> linesFrom(const Query& lines);
// ProgramFolder::file("bill.txt")
QString billFile();
// Writes the receipt afresh (the old one is replaced whole); on failure *error holds the reason.
bool write(const ReceiptData& data, const QString& file, QString* error);

} // namespace Receipt
