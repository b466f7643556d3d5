#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class DbConnection;
class Query;
struct SaleKind;

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
    bool refund = false;  // "退款清单" and "付款:" instead of "购物清单" and "收款:"
    bool reprint = false; // a line "重打" under the title; otherwise the same bytes
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
// The receipt of a posted voucher as the database holds it: the shop's name and telephone
// from the settings, the operator, date, time and amounts from the voucher's header, its lines
// in the order returned. The first print and every reprint are made from this, so a reprint
// carries the same bytes. False with *error (a message for the person) when the voucher has no
// posted header or a statement fails.
bool load(DbConnection& db, const SaleKind& kind, const QString& number, ReceiptData* data, QString* error);
// ProgramFolder::file("bill.txt")
QString billFile();
// Writes the receipt afresh (the old one is replaced whole); on failure *error holds the reason.
bool write(const ReceiptData& data, const QString& file, QString* error);

} // namespace Receipt
